#include "migrations.h"
#include "dbsetup.h"
#include "serverschema.h"

#include "data/database.h"
#include "data/pgdatabase.h"

namespace {

void checkAtOpening(Database& db) {
    if (db.dialect() == AccessSql::Dialect::Postgres)
        CheckServerVersion(static_cast<PgDatabase&>(db));
    else
        MigrateDatabase(db);
}

} // namespace

void InstallMigrations() {
    Database::setOpenHook(&checkAtOpening);
}

qint64 SchemaVersionOf(Database& db) {
    if (db.dialect() == AccessSql::Dialect::Postgres)
        return ServerSchemaVersion(static_cast<PgDatabase&>(db));
    return db.query("PRAGMA user_version").at(0, 0).toLongLong();
}

QStringList UpgradeDatabase(Database& db) {
    if (db.dialect() == AccessSql::Dialect::Postgres) return UpgradeServer(static_cast<PgDatabase&>(db));
    return MigrateDatabase(db);
}

void RunSchemaStep(Database& db, void (*step)(SchemaWriter&)) {
    if (db.dialect() == AccessSql::Dialect::Postgres)
        RunServerStep(static_cast<PgDatabase&>(db), step);
    else
        RunFileStep(db, step);
}
