#pragma once
// The steps that bring a shop's database from one schema version to the
// next. Each step is written once, against SchemaWriter, and runs on both
// engines: on a file as SQLite statements, on a server through the server's
// rules (citext, the server's trigger functions, the names catalogue).

#include "data/recordset.h"

#include <QString>
#include <QStringList>

// The schema version this program writes and reads (PRAGMA user_version on
// a file, wms_version on a server).
constexpr int kSchemaVersion = 9;

class SchemaWriter {
public:
    virtual ~SchemaWriter() = default;
    // Tables, indexes and triggers as a file holds them (SQLite statements).
    // The server makes the tables and indexes of its own kind and, instead of
    // the triggers, runs the named script of trigger functions (a resource).
    virtual void objects(const QStringList& statements, const char* serverScript = nullptr) = 0;
    // Triggers made anew: the file drops each of the statements' triggers and
    // creates it again; the server runs the script that replaces its functions.
    virtual void replaceTriggers(const QStringList& statements, const char* serverScript) = 0;
    virtual void dropTable(const QString& name) = 0;
    // A statement both engines take as it stands: rows of the system tables.
    virtual void run(const QString& sql) = 0;
    virtual RecordSet query(const QString& sql) = 0;
    // A column added to a table, declared as the file declares it ("note TEXT COLLATE NOCASE").
    virtual void addColumn(const QString& table, const QString& definition) = 0;
    // A view from a select in the program's SQL dialect (the translator writes it for each engine).
    virtual void view(const QString& name, const QString& accessSelect) = 0;
    // The running balances recomputed from the bill lines.
    virtual void rebuildBalances(bool perLocation) = 0;
    // The balance per lot recomputed from the bill and transfer lines.
    virtual void rebuildLots() = 0;
};

struct SchemaStep {
    int version;         // the version the step brings a database to
    const char* summary; // what it brings, for the upgrade's report
    void (*run)(SchemaWriter&);
};

// The steps after version `from` up to `to`, in order.
std::vector<SchemaStep> SchemaStepsBetween(int from, int to);
