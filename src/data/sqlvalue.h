#pragma once
// Values handed to statements. Text is always quoted; raw SQL fragments and
// contains-patterns are distinct types that only code can build, so nothing a
// user types can turn into SQL.

#include "orderedmap.h"

#include <QMetaType>
#include <QString>
#include <QVariant>

// A raw SQL fragment inserted without quotes: a number list such as 1,2,3, a
// column name or an expression. Built by code only, never from user input.
struct SqlRaw {
    QString text;
};

// A contains-pattern for like: becomes '%text%' with quotes doubled.
struct SqlContains {
    QString text;
};

Q_DECLARE_METATYPE(SqlRaw)
Q_DECLARE_METATYPE(SqlContains)

inline QVariant Raw(const QString& sql) {
    return QVariant::fromValue(SqlRaw{sql});
}
inline QVariant Contains(const QString& text) {
    return QVariant::fromValue(SqlContains{text});
}

// "@name" placeholders of one statement and their values, in insertion order.
using SqlParams = OrderedMap<QString, QVariant>;

// A statement batch: statement text (optionally "tag|" before it) to its
// parameters. The unit of a transaction and of a reference check.
using KeyValue = OrderedMap<QString, SqlParams>;
