#pragma once
// Translation of the Access (Jet 4.0) SQL dialect into SQLite SQL.
//
// The statement is tokenized and parsed with operator precedence, and the
// SQLite text is written from the parse: & becomes acc_cat(), iif() a CASE,
// top N a LIMIT, True/False 1/0, and comparisons with text ignore case.
// A statement that cannot be parsed raises TranslateError naming the place.

#include <QString>

namespace AccessSql {

// Translates one statement; results are cached by statement text.
QString translate(const QString& accessSql);

// Translates without the cache (for benchmarks and tests).
QString translateUncached(const QString& accessSql);

// Splits a script into statements at top-level semicolons (not inside
// literals or comments); blank statements are dropped.
QStringList splitScript(const QString& script);

void clearCache();

} // namespace AccessSql
