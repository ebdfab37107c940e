#pragma once
// The one database connection of the process, behind the engine that keeps
// it. It is opened on first use and kept for the whole run; the logical open
// and close of the data layer do not touch it unless the database changes.
// Statements reach it in the engine's own SQL (the translator writes it).

#include "recordset.h"
#include "translator.h"

#include <QString>
#include <memory>

class Database {
public:
    // The engine of the process's connection.
    static Database& instance();
    // Makes the engine of this dialect the process's connection; the other
    // engine's connection is closed.
    static Database& choose(AccessSql::Dialect dialect);
    virtual ~Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the database, or keeps the open connection when it is the same one.
    // create: make the database when it does not exist.
    virtual void open(const QString& path, bool create = false) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString path() const = 0;

    // Runs one statement and fetches every row.
    virtual RecordSet query(const QString& sql) = 0;
    // Runs one query and reads its rows as they come; engine errors are
    // thrown as DbError, at the opening or at any step.
    virtual std::unique_ptr<RowCursor> cursor(const QString& sql) = 0;
    // Runs one statement, discarding rows; returns the changed row count.
    virtual int execute(const QString& sql) = 0;

    virtual bool inTransaction() const = 0;
    // Begins a transaction that writes (the file engine takes the file's write lock at once).
    virtual void beginWrite() = 0;

    // The SQL the engine takes: the translator writes statements for it.
    virtual AccessSql::Dialect dialect() const = 0;

    // Called after every opening, before the program uses the database (the
    // schema migrations); an exception from it closes the connection again.
    using OpenHook = void (*)(Database&);
    static void setOpenHook(OpenHook hook);

    // Each report table gets a temporary table of the same name, which the
    // engine resolves first: every program sees only its own report rows.
    virtual void createTempShadows() = 0;

    // The statements sent to the engine so far; on the server each one is a
    // round trip (a statement prepared on its way counts twice).
    quint64 statementsSent() const { return m_sent; }

protected:
    Database() = default;
    quint64 m_sent = 0;
    // The refusal of text holding more than one statement, the same on every engine.
    static QString oneStatementOnly();
    // Runs the open hook and makes the report shadows of a fresh connection.
    void prepareOpened();
    void runOpenHook();
};
