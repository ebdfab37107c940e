#pragma once
#include <QString>

// The schema version this program writes and reads (PRAGMA user_version).
constexpr int kSchemaVersion = 4;

class Database;

// Brings the open file up to kSchemaVersion: the pending migrations run in
// one transaction. A file newer than this program, or with a negative
// version, is refused (DbError).
void MigrateDatabase(Database& db);

// Refuses (DbError) a stored schema version no program of this kind writes:
// one below 0.
void CheckSchemaVersion(qint64 version);

// Makes every opening of a database file run MigrateDatabase first.
void InstallMigrations();

// Creates a new database file from the schema, views and seed rows, with the
// demonstration data on top when demo is set. An existing file is refused
// unless force is set. Throws DbError.
void CreateDatabase(const QString& file, bool demo, bool force);

// Runs a script of Access-dialect statements on the open database.
void RunScript(const QString& script);
