#pragma once
// The SQLite engine: one database file through the SQLite C API, with the
// Access functions the translated statements call registered on it.

#include "database.h"

struct sqlite3;
struct sqlite3_stmt;
class QByteArray;

class SqliteDatabase final : public Database {
public:
    static SqliteDatabase& instance();
    ~SqliteDatabase() override;

    void open(const QString& path, bool create = false) override;
    void close() override;
    bool isOpen() const override { return m_db != nullptr; }
    QString path() const override { return m_path; }
    RecordSet query(const QString& sql) override;
    int execute(const QString& sql) override;
    std::unique_ptr<RowCursor> cursor(const QString& sql) override;
    bool inTransaction() const override;
    void beginWrite() override { execute(QStringLiteral("BEGIN IMMEDIATE")); }
    AccessSql::Dialect dialect() const override { return AccessSql::Dialect::Sqlite; }
    void createTempShadows() override;

    // The file's handle, for bulk work in the engine's own API.
    sqlite3* handle() const { return m_db; }

private:
    SqliteDatabase() = default;
    [[noreturn]] void fail() const;
    // Prepares the one statement of text; refuses anything after it.
    void prepareOne(const QByteArray& text, sqlite3_stmt*& stmt) const;

    sqlite3* m_db = nullptr;
    QString m_path;
    unsigned long long m_fileId = 0;
};
