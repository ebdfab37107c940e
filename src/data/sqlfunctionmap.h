#pragma once
// The Access functions (iif, nz, mid, format, CStr, ...) as SQL: what each
// becomes on either engine, with the engine's differences from its dialect.

#include "sqlexpr.h"
#include "sqllexer.h"

#include <vector>

namespace AccessSql {

class SqlDialect;

// A call of the function named by nameTok with its translated arguments;
// src is the statement, for the message on a wrong number of arguments.
Ex mapFunction(const QString& src, const Token& nameTok, std::vector<Ex>& args, const SqlDialect& dialect);

} // namespace AccessSql
