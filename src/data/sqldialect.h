#pragma once
// What the SQL written for SQLite and for the PostgreSQL server differs in:
// names, truth values, case-blind text, LIKE, division, the order of Null,
// derived tables, and the engine's own functions. The parser writes one
// statement for either engine and asks its dialect at each such place.

#include "sqlexpr.h"

#include <QString>
#include <vector>

namespace AccessSql {

class SqlDialect {
public:
    virtual ~SqlDialect() = default;

    static const SqlDialect& sqlite();
    static const SqlDialect& server();

    // ---- names ----

    // [name] as the engine takes it.
    virtual QString bracketName(const QString& bracketed) const = 0;
    // A plain ASCII word of at most 17 letters, bracketed or quoted where the
    // engine reserves it.
    virtual QString wordName(const QString& word) const = 0;
    // The name of a derived table that was given none; counter counts the
    // names given so far in the statement.
    virtual QString derivedName(int& counter) const = 0;
    // The outer select names its columns as written, in their case.
    virtual bool namesOuterColumns() const = 0;

    // ---- statements ----

    virtual QString explainHead(bool queryPlan) const = 0;
    // An UPDATE setting one column twice is written with the last value only.
    virtual bool lastSetOnly() const = 0;
    // DELETE without a WHERE.
    virtual QString deleteAll(const QString& table) const = 0;
    // The order of a UNION (without ALL) that has no ORDER BY, by its columns.
    virtual QString unionOrder(int columns) const = 0;
    virtual QString groupItem(const Ex& e) const = 0;
    // e in an ORDER BY; outerName is the outer select's name for the column
    // e names, where it has one.
    virtual QString orderItem(const Ex& e, bool selectColumnsOnly, const QString* outerName) const = 0;
    virtual QString orderDirection(bool desc, bool asc) const = 0;

    // ---- expressions ----

    // e where a truth value is wanted.
    virtual QString condition(const Ex& e) const = 0;
    virtual Ex conditionEx(const Ex& e) const = 0;
    // e where text is wanted.
    virtual QString asText(const Ex& e) const = 0;
    // An operand of Xor as 1 for true and 0 for false.
    virtual QString xorTerm(const Ex& e) const = 0;
    // e compared without case.
    virtual QString nocase(const Ex& e) const = 0;
    // A number literal met with a column takes the column's type.
    virtual void numberMeetsColumn(Ex& number, const Ex& other) const = 0;
    // Prepares both sides of a comparison at precedence prec; returns the right side's text.
    virtual QString compareOperands(Ex& l, Ex& r, int prec) const = 0;
    // The left side of IN; anyText: a side of it is text.
    virtual void inListOperand(Ex& l, bool anyText) const = 0;
    virtual void like(Ex& l, const Ex& r, bool negated) const = 0;
    virtual void betweenOperands(Ex& l, Ex& lo, Ex& hi) const = 0;
    virtual Ex divide(Ex l, const Ex& r) const = 0;
    virtual Ex number(const QString& n) const = 0;

    // ---- functions ----

    // A function argument that must be text.
    virtual void textArg(Ex& e) const = 0;
    // The function that writes a value as CStr() does.
    virtual QString cstrFunction() const = 0;
    virtual QString instrFunction() const = 0;
    virtual Ex left(const Ex& s, const Ex& n) const = 0;
    virtual Ex now() const = 0;
    virtual Ex today() const = 0;
    // The whole days from one date (text, its first ten characters) to another.
    virtual Ex dayDiff(const Ex& from, const Ex& to) const = 0;
    virtual Ex toDouble(const Ex& e) const = 0;
    virtual Ex toLong(const Ex& e) const = 0;
    // A function the dialect does not know: the engine's own.
    virtual Ex engineCall(const QString& name, std::vector<Ex>& args) const = 0;
};

// A name as the server takes it (see AccessSql::serverName).
QString serverIdentifier(const QString& name);

} // namespace AccessSql
