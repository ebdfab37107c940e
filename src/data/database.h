#pragma once
// The one SQLite handle of the process. It is opened on first use and kept
// for the whole run; the logical open and close of the data layer do not
// touch it unless the database file changes.

#include "recordset.h"

#include <QString>

struct sqlite3;
struct sqlite3_stmt;
class QByteArray;

class Database {
public:
    static Database& instance();

    // Opens the file, or keeps the open handle when it is the same file.
    // create: make the file when it does not exist.
    void open(const QString& path, bool create = false);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    // Runs one SQLite statement and fetches every row.
    RecordSet query(const QString& sql);
    // Runs one SQLite statement, discarding rows; returns the changed row count.
    int execute(const QString& sql);

    bool inTransaction() const;

    // Called after every opening of a file, before the program uses it (the
    // schema migrations); an exception from it closes the file again.
    using OpenHook = void (*)(Database&);
    static void setOpenHook(OpenHook hook);

    // Each report table of the file gets a TEMP table of the same name, which
    // SQLite resolves first: every program sees only its own report rows.
    void createTempShadows();

private:
    Database() = default;
    ~Database();
    [[noreturn]] void fail() const;
    // Prepares the one statement of text; refuses anything after it.
    void prepareOne(const QByteArray& text, sqlite3_stmt*& stmt) const;

    sqlite3* m_db = nullptr;
    QString m_path;
    unsigned long long m_fileId = 0;
};
