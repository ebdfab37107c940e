#pragma once
// The tables and indexes of a database on the server, written from those of
// an open SQLite database (the program's own schema, or a shop's file being
// copied): the same tables, columns, keys, defaults and indexes. Text the
// file compares without regard to case (COLLATE NOCASE) becomes citext, so
// that comparing, sorting and unique keys ignore case there too. Names are
// written unquoted, as the server folds them to lower case; a name the server
// reserves is quoted in lower case.

#include <QStringList>
#include <functional>

class Database;

QStringList ServerTablesFrom(Database& source);

// The script that installs the Access functions the translated statements call.
QString ServerFunctionsScript();

class PgDatabase;

// What a copy to the server wrote.
struct ServerCopy {
    qint64 rows = 0;   // rows copied
    qint64 nulled = 0; // values the server's typed columns cannot hold (text in a number column), left Null
};

// Copies the open file database into an empty database on the server, in
// one transaction: functions, tables, rows, the balance triggers, views and
// the names catalogue; then every table's row count and both stock balances
// are checked there before the commit. A database that holds anything is
// refused and left as it was; on any failure nothing stays.
ServerCopy CopyToServer(Database& file, PgDatabase& server,
                        const std::function<void(const QString&)>& progress = {});

// The schema version the server's database records (wms_version); 0 when it records none.
int ServerSchemaVersion(PgDatabase& server);

// Refuses (DbError) a server's database of another schema version than this
// program's: an older one must be upgraded first (wms-admin upgrade), a newer
// one needs a newer program. A database without a version (being made) passes.
void CheckServerVersion(PgDatabase& server);

class SchemaWriter;
// Runs one schema step on the server's database in a transaction of its own,
// without recording a version.
void RunServerStep(PgDatabase& server, void (*step)(SchemaWriter&));

// Brings the server's database to this program's schema version: the pending
// steps in one transaction, the version recorded. Returns what the steps
// brought (nothing when the database is already at this version).
QStringList UpgradeServer(PgDatabase& server);
