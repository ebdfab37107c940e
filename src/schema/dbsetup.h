#pragma once
#include "schemasteps.h"

#include <QString>
#include <QStringList>

class Database;

// Brings the open file up to kSchemaVersion: the pending steps run in one
// transaction. A file newer than this program, or with a negative version,
// is refused (DbError). Returns what the steps brought ("" when none ran).
QStringList MigrateDatabase(Database& db);

// The refusal of a database written by a newer program.
QString NewerSchemaMessage(qint64 version);

// Refuses (DbError) a stored schema version no program of this kind writes:
// one below 0.
void CheckSchemaVersion(qint64 version);

// Creates a new database file from the schema, views and seed rows, with the
// demonstration data on top when demo is set, at the given schema version.
// An existing file is refused unless force is set. Throws DbError.
void CreateDatabase(const QString& file, bool demo, bool force, int version = kSchemaVersion);

// Runs one schema step on the open file in a transaction of its own, without
// recording a version.
void RunFileStep(Database& db, void (*step)(SchemaWriter&));

// The text of one of the program's SQL resources (":/sql/<name>"); DbError when it is missing.
QString SqlResourceText(const QString& name);

// Runs a script of Access-dialect statements on the open database.
void RunScript(const QString& script);
