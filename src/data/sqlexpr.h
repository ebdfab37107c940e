#pragma once
// A translated expression: its SQL text, the precedence it binds with, and
// what the translation needs to know of its type.

#include <QString>

namespace AccessSql {

enum Prec {
    P_OR = 1,
    P_AND = 2,
    P_NOT = 3,
    P_EQ = 4,
    P_REL = 5,
    P_ADD = 7,
    P_MUL = 8,
    P_UNARY = 10,
    P_PRIMARY = 12
};

struct Ex {
    QString sql;
    int prec = P_PRIMARY;
    bool text = false;    // yields text, so comparisons with it ignore case
    bool column = false;  // a plain column reference, which has its column's collation
    bool literal = false; // a literal, whose type the server takes from the other side
    bool cond = false;    // a truth value (a comparison, And, Or, Not, ...), not a number
};

// The expression's text, bracketed when it binds more loosely than minPrec.
inline QString wrap(const Ex& e, int minPrec) {
    return e.prec < minPrec ? '(' + e.sql + ')' : e.sql;
}

// Chains of one operator are written by appending to the left operand's
// text, so a long chain costs time in proportion to its length.
inline void appendOp(Ex& l, int prec, const char* op, const QString& right) {
    if (l.prec < prec) l.sql = '(' + l.sql + ')';
    l.sql += QLatin1String(op);
    l.sql += right;
    l.prec = prec;
    l.text = false;
    l.column = false;
}

inline Ex truth(Ex e) {
    e.cond = true;
    return e;
}

} // namespace AccessSql
