#include "database.h"

namespace {
Database::OpenHook g_openHook = nullptr;
} // namespace

void Database::setOpenHook(OpenHook hook) {
    g_openHook = hook;
}

QString Database::oneStatementOnly() {
    return QStringLiteral("一次只能执行一条 SQL 语句, 第一条语句后面还有内容");
}

void Database::runOpenHook() {
    if (g_openHook) g_openHook(*this);
}

void Database::prepareOpened() {
    runOpenHook();
    createTempShadows();
}
