#include "sqldialect.h"

#include "sqllexer.h"

#include <QStringList>
#include <sqlite3.h>

namespace AccessSql {

QString serverIdentifier(const QString& name) {
    const QString lower = name.toLower();
    bool plain = !name.isEmpty() && !name[0].isDigit() && name[0] != '$';
    for (const QChar c : name)
        plain = plain && (c.isLetterOrNumber() || c == '_' || c == '$');
    if (plain && !serverReserved(lower)) return name;
    QString quoted = lower;
    return '"' + quoted.replace('"', "\"\"") + '"';
}

namespace {

Ex callOf(const QString& sqlName, const std::vector<Ex>& args, bool text) {
    QStringList a;
    for (const auto& e : args)
        a << e.sql;
    return {sqlName + '(' + a.join(", ") + ')', P_PRIMARY, text};
}

class SqliteDialect final : public SqlDialect {
public:
    // SQLite takes the brackets as they are.
    QString bracketName(const QString& bracketed) const override { return bracketed; }
    // Words SQLite reserves but the dialect does not (limit, using, except, ...) are bracketed.
    QString wordName(const QString& s) const override {
        char word[18];
        for (int k = 0; k < s.size(); ++k)
            word[k] = static_cast<char>(s[k].unicode());
        return sqlite3_keyword_check(word, static_cast<int>(s.size())) ? '[' + s + ']' : s;
    }
    QString derivedName(int&) const override { return QString(); }
    bool namesOuterColumns() const override { return false; }

    QString explainHead(bool queryPlan) const override {
        return queryPlan ? QStringLiteral("EXPLAIN QUERY PLAN ") : QStringLiteral("EXPLAIN ");
    }
    bool lastSetOnly() const override { return false; }
    QString deleteAll(const QString& table) const override { return "DELETE FROM " + table; }
    QString unionOrder(int) const override { return QString(); }
    QString groupItem(const Ex& e) const override {
        return e.text && e.prec == P_PRIMARY && !e.column ? e.sql + " COLLATE NOCASE" : e.sql;
    }
    QString orderItem(const Ex& e, bool, const QString*) const override {
        return e.text && !e.column ? nocase(e) : e.sql;
    }
    QString orderDirection(bool desc, bool asc) const override {
        return desc ? QStringLiteral(" DESC") : asc ? QStringLiteral(" ASC") : QString();
    }

    QString condition(const Ex& e) const override { return e.sql; }
    Ex conditionEx(const Ex& e) const override { return e; }
    QString asText(const Ex& e) const override { return e.sql; }
    QString xorTerm(const Ex& e) const override { return "((" + e.sql + ") <> 0)"; }
    QString nocase(const Ex& e) const override { return wrap(e, P_PRIMARY) + " COLLATE NOCASE"; }
    void numberMeetsColumn(Ex&, const Ex&) const override {}
    QString compareOperands(Ex& l, Ex& r, int prec) const override {
        return (l.text || r.text) ? nocase(r) : wrap(r, prec + 1);
    }
    void inListOperand(Ex& l, bool anyText) const override {
        if (anyText) l = {nocase(l), P_PRIMARY, false};
    }
    void like(Ex& l, const Ex& r, bool negated) const override {
        appendOp(l, P_EQ, negated ? " NOT LIKE " : " LIKE ", wrap(r, P_REL));
    }
    void betweenOperands(Ex& l, Ex& lo, Ex& hi) const override {
        if (l.text || lo.text || hi.text) l = {nocase(l), P_PRIMARY, false};
    }
    // Access divides as floating point: 7/2 is 3.5; by zero gives Null
    Ex divide(Ex l, const Ex& r) const override {
        appendOp(l, P_MUL, " * 1.0 / ", wrap(r, P_MUL + 1));
        return l;
    }
    Ex number(const QString& n) const override { return {n, P_PRIMARY, false, false, true}; }

    void textArg(Ex&) const override {}
    QString cstrFunction() const override { return QStringLiteral("acc_cstr"); }
    QString instrFunction() const override { return QStringLiteral("instr"); }
    Ex left(const Ex& s, const Ex& n) const override {
        return {"substr(" + s.sql + ", 1, " + n.sql + ')', P_PRIMARY, true};
    }
    Ex now() const override { return {"datetime('now', 'localtime')", P_PRIMARY, true}; }
    Ex today() const override { return {"date('now', 'localtime')", P_PRIMARY, true}; }
    Ex dayDiff(const Ex& from, const Ex& to) const override {
        return {"CAST(julianday(substr(" + to.sql + ", 1, 10)) - julianday(substr(" + from.sql +
                    ", 1, 10)) AS INTEGER)",
                P_PRIMARY, false};
    }
    Ex toDouble(const Ex& e) const override { return {"CAST(" + e.sql + " AS REAL)", P_PRIMARY, false}; }
    Ex toLong(const Ex& e) const override {
        return {"CAST(round(" + e.sql + ") AS INTEGER)", P_PRIMARY, false};
    }
    Ex engineCall(const QString& name, std::vector<Ex>& args) const override {
        return callOf(name, args, false);
    }
};

class ServerDialect final : public SqlDialect {
public:
    // The server takes a name of its own for [name].
    QString bracketName(const QString& bracketed) const override {
        return serverIdentifier(bracketed.mid(1, bracketed.size() - 2));
    }
    QString wordName(const QString& s) const override { return serverIdentifier(s); }
    // A derived table without a name gets one on the server.
    QString derivedName(int& counter) const override { return QStringLiteral(" AS acc_d%1").arg(++counter); }
    // The server folds names to lower case: the outer select's names keep the case they are written in.
    bool namesOuterColumns() const override { return true; }

    QString explainHead(bool) const override { return QStringLiteral("EXPLAIN "); }
    // a column set twice keeps its last value, as on SQLite
    bool lastSetOnly() const override { return true; }
    QString deleteAll(const QString& table) const override {
        // a report table emptied for its refill: the server never vacuums a program's own
        // tables, and deleted rows would pile up in it refill after refill
        if (table.startsWith(QLatin1String("temp_"), Qt::CaseInsensitive)) return "TRUNCATE " + table;
        return "DELETE FROM " + table;
    }
    // SQLite's duplicate removal gives the rows in order: so does the server here
    QString unionOrder(int columns) const override {
        QStringList items;
        for (int k = 1; k <= columns; ++k)
            items << QString::number(k) + " NULLS FIRST";
        return " ORDER BY " + items.join(", ");
    }
    QString groupItem(const Ex& e) const override { return e.sql; }
    QString orderItem(const Ex& e, bool selectColumnsOnly, const QString* outerName) const override {
        if (outerName) return *outerName; // a name of the outer select, as written there
        if (!selectColumnsOnly && (e.column || e.text)) {
            // text sorts without case and byte by byte, as SQLite's NOCASE sorts it, whatever
            // the server's locale; each value's key is made once
            return "acc_key(" + (e.text && !e.column ? "CAST(" + e.sql + " AS citext)" : e.sql) + ')';
        }
        return e.sql;
    }
    // SQLite puts Null first in a rising order, the server last
    QString orderDirection(bool desc, bool) const override {
        return desc ? QStringLiteral(" DESC NULLS LAST") : QStringLiteral(" NULLS FIRST");
    }

    // The server takes no number where a truth value is wanted, so a number
    // is true when it is not 0, as on SQLite.
    QString condition(const Ex& e) const override {
        if (e.cond) return e.sql;
        if (e.sql == QLatin1String("1")) return QStringLiteral("true");
        if (e.sql == QLatin1String("0")) return QStringLiteral("false");
        return wrap(e, P_REL) + " <> 0";
    }
    Ex conditionEx(const Ex& e) const override {
        if (e.cond) return e;
        return {'(' + condition(e) + ')', P_PRIMARY, false, false, false, true};
    }
    // A number where text is wanted: text as Access writes it (the server
    // matches no text with a number on its own).
    QString asText(const Ex& e) const override {
        if (e.text || e.sql == QLatin1String("NULL")) return e.sql;
        return "acc_str(" + e.sql + ')';
    }
    QString xorTerm(const Ex& e) const override {
        return "(CASE WHEN " + condition(e) + " THEN 1 ELSE 0 END)";
    }
    QString nocase(const Ex& e) const override { return "CAST(" + e.sql + " AS citext)"; }
    // A number met with a column takes the column's type, as SQLite's column
    // affinity makes it: it is written as a literal of no type (a text column
    // compares it as text, a number column as a number).
    void numberMeetsColumn(Ex& number, const Ex& other) const override {
        if (!number.literal || number.text || !other.column) return;
        QString raw = number.sql;
        raw.remove(QLatin1String("float8 ")).remove('\'');
        number = {'\'' + raw + '\'', P_PRIMARY, false, false, true};
    }
    QString compareOperands(Ex& l, Ex& r, int prec) const override {
        caseless(l, r);
        return wrap(r, prec + 1);
    }
    void inListOperand(Ex& l, bool anyText) const override {
        if (anyText && l.text && !l.column) l = {nocase(l), P_PRIMARY, false};
    }
    // without case and without an escape character, as in Access
    void like(Ex& l, const Ex& r, bool negated) const override {
        if (!l.text) l = {"CAST(" + l.sql + " AS text)", P_PRIMARY};
        appendOp(l, P_EQ, negated ? " NOT ILIKE " : " ILIKE ", wrap(r, P_REL) + " ESCAPE ''");
    }
    void betweenOperands(Ex& l, Ex& lo, Ex& hi) const override {
        Ex l2 = l;
        caseless(l, lo);
        caseless(l2, hi);
    }
    // Access divides as floating point: 7/2 is 3.5; by zero gives Null as on SQLite
    Ex divide(Ex l, const Ex& r) const override {
        return {"CAST(" + l.sql + " AS double precision) / NULLIF(CAST(" + r.sql +
                    " AS double precision), 0)",
                P_MUL};
    }
    // a number with a point or an exponent is a double, as on SQLite
    Ex number(const QString& n) const override {
        if (n.contains('.') || n.contains('e') || n.contains('E'))
            return {"float8 '" + n + '\'', P_PRIMARY, false, false, true};
        return {n, P_PRIMARY, false, false, true};
    }

    // the server takes the text of numbers where text is wanted
    void textArg(Ex& e) const override { e = {asText(e), P_PRIMARY, true}; }
    QString cstrFunction() const override { return QStringLiteral("acc_str"); }
    QString instrFunction() const override { return QStringLiteral("strpos"); }
    Ex left(const Ex& s, const Ex& n) const override {
        return {"acc_left(" + s.sql + ", " + n.sql + ')', P_PRIMARY, true};
    }
    Ex now() const override { return {"to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS')", P_PRIMARY, true}; }
    Ex today() const override { return {"to_char(localtimestamp, 'YYYY-MM-DD')", P_PRIMARY, true}; }
    Ex dayDiff(const Ex& from, const Ex& to) const override {
        auto day = [](const Ex& e) { return "CAST(nullif(substr(" + e.sql + ", 1, 10), '') AS date)"; };
        return {"(" + day(to) + " - " + day(from) + ")", P_PRIMARY, false};
    }
    Ex toDouble(const Ex& e) const override {
        return {"CAST(" + e.sql + " AS double precision)", P_PRIMARY, false};
    }
    Ex toLong(const Ex& e) const override {
        return {"CAST(acc_round(" + e.sql + ") AS bigint)", P_PRIMARY, false};
    }

    // SQLite's own functions that the statements use, in the server's words.
    Ex engineCall(const QString& name, std::vector<Ex>& args) const override {
        const QString fn = name.toUpper();
        QStringList a;
        for (const auto& e : args)
            a << e.sql;
        const QString list = a.join(", ");
        if (fn == "ROUND") return {"acc_round(" + list + ')', P_PRIMARY};
        if (fn == "TOTAL") return {"CAST(coalesce(sum(" + list + "), 0) AS double precision)", P_PRIMARY};
        if (fn == "IFNULL") return {"coalesce(" + list + ')', P_PRIMARY, args.size() > 1 && args[1].text};
        if ((fn == "MAX" || fn == "MIN") && args.size() > 1)
            return {(fn == "MAX" ? "greatest(" : "least(") + list + ')', P_PRIMARY};
        if (fn == "LENGTH" && args.size() == 1) return {"length(" + asText(args[0]) + ')', P_PRIMARY};
        if (fn == "SUBSTR") {
            a[0] = asText(args[0]);
            return {"substr(" + a.join(", ") + ')', P_PRIMARY, true};
        }
        if (fn == "UPPER" || fn == "LOWER") return {name + '(' + list + ')', P_PRIMARY, true};
        return {name + '(' + list + ')', P_PRIMARY};
    }

private:
    // Text columns are citext and compare without case; computed text is
    // made citext, and a literal takes the other side's type.
    void caseless(Ex& l, Ex& r) const {
        numberMeetsColumn(l, r);
        numberMeetsColumn(r, l);
        if (!l.text && !r.text) return;
        if (l.text && !l.literal && !l.column) l = {nocase(l), P_PRIMARY};
        if (r.text && !r.literal && !r.column) r = {nocase(r), P_PRIMARY};
        if (l.literal && r.literal) r = {nocase(r), P_PRIMARY};
    }
};

} // namespace

const SqlDialect& SqlDialect::sqlite() {
    static const SqliteDialect d;
    return d;
}

const SqlDialect& SqlDialect::server() {
    static const ServerDialect d;
    return d;
}

} // namespace AccessSql
