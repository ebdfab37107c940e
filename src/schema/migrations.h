#pragma once
// Schema versions at opening, on either engine, and the upgrade command.

#include <QStringList>

class Database;

// Makes every opening run the version check first: a file is brought up to
// this program's version; a server's database of another version is refused.
void InstallMigrations();

// The version the open database records: PRAGMA user_version of a file,
// wms_version on a server (0 when it records none).
qint64 SchemaVersionOf(Database& db);

class SchemaWriter;
// Runs one schema step on the open database, on either engine, in a
// transaction of its own and without recording a version.
void RunSchemaStep(Database& db, void (*step)(SchemaWriter&));

// Brings the open database to this program's version and returns what the
// steps brought (nothing when it is there already). Throws DbError.
QStringList UpgradeDatabase(Database& db);
