// The process's connection: which engine keeps it. Apart from the interface,
// so that the interface does not depend on the engines that implement it.
#include "pgdatabase.h"
#include "sqlitedatabase.h"

namespace {
Database* g_current = nullptr;
} // namespace

Database& Database::instance() {
    return g_current ? *g_current : SqliteDatabase::instance();
}

Database& Database::choose(AccessSql::Dialect dialect) {
    Database& wanted = dialect == AccessSql::Dialect::Postgres ? static_cast<Database&>(PgDatabase::shared())
                                                               : SqliteDatabase::instance();
    Database& current = instance();
    if (&current != &wanted) current.close();
    g_current = &wanted;
    return wanted;
}
