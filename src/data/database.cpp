#include "pgdatabase.h"
#include "sqlitedatabase.h"

namespace {
Database::OpenHook g_openHook = nullptr;
Database* g_current = nullptr;
} // namespace

void Database::setOpenHook(OpenHook hook) {
    g_openHook = hook;
}

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

QString Database::oneStatementOnly() {
    return QStringLiteral("一次只能执行一条 SQL 语句, 第一条语句后面还有内容");
}

void Database::prepareOpened() {
    if (g_openHook) g_openHook(*this);
    createTempShadows();
}
