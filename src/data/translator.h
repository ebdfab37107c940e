#pragma once
// Translation of the Access (Jet 4.0) SQL dialect into SQLite SQL, or into
// PostgreSQL SQL with the same meaning for a database on a server.
//
// The statement is tokenized and parsed with operator precedence, and the
// SQLite text is written from the parse: & becomes acc_cat(), iif() a CASE,
// top N a LIMIT, True/False 1/0, and comparisons with text ignore case.
// A statement that cannot be parsed raises TranslateError naming the place.

#include <QString>

namespace AccessSql {

// The engine a translation is written for.
enum class Dialect { Sqlite, Postgres };

// Translates one statement; results are cached by statement text.
QString translate(const QString& accessSql, Dialect dialect = Dialect::Sqlite);

// Translates without the cache (for benchmarks and tests).
QString translateUncached(const QString& accessSql, Dialect dialect = Dialect::Sqlite);

// A table or column name as the server takes it: plain names unquoted (the
// server folds them to lower case), the server's reserved words and other
// names quoted in lower case.
QString serverName(const QString& name);

// Splits a script into statements at top-level semicolons (not inside
// literals or comments); blank statements are dropped.
QStringList splitScript(const QString& script);

void clearCache();

} // namespace AccessSql
