#include "sqlitedatabase.h"

namespace {
Database::OpenHook g_openHook = nullptr;
}

void Database::setOpenHook(OpenHook hook) {
    g_openHook = hook;
}

Database& Database::instance() {
    return SqliteDatabase::instance();
}

void Database::prepareOpened() {
    if (g_openHook) g_openHook(*this);
    createTempShadows();
}
