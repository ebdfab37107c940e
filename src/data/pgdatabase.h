#pragma once
// The PostgreSQL engine: one connection to a server through libpq, named by
// a libpq connection string ("host=... port=... dbname=... user=..."; the
// password comes from libpq's password file or PGPASSWORD, never from here).
// A connection the server drops fails the command that meets it with the
// engine's message; the next command connects again.

#include "database.h"

#include <QHash>
#include <QSet>
#include <functional>

struct pg_conn;
struct pg_result;

class PgDatabase final : public Database {
public:
    PgDatabase() = default;
    ~PgDatabase() override;
    // The process's connection to its server.
    static PgDatabase& shared();

    // path: the connection string; create is not used (a server's database is made by its administrator).
    void open(const QString& path, bool create = false) override;
    void close() override;
    bool isOpen() const override { return m_conn != nullptr; }
    QString path() const override { return m_conninfo; }
    RecordSet query(const QString& sql) override;
    int execute(const QString& sql) override;
    std::unique_ptr<RowCursor> cursor(const QString& sql) override;
    bool inTransaction() const override;
    void beginWrite() override { execute(QStringLiteral("BEGIN")); }
    AccessSql::Dialect dialect() const override { return AccessSql::Dialect::Postgres; }
    void createTempShadows() override;
    // Runs a script of several statements (schema setup), as one command.
    void runScript(const QString& script);
    // Copies rows into a table (COPY ... FROM STDIN, text format): nextChunk
    // fills whole lines and returns false when there are no more.
    void copyIn(const QString& table, const QStringList& columns,
                const std::function<bool(QByteArray&)>& nextChunk);
    // Reads again the names the schema writes in mixed case (wms_names),
    // which result columns the server folded to lower case get back.
    void loadWrittenNames();

private:
    void setUpSession();
    // The live connection, connected again when the server dropped it.
    pg_conn* connection();
    struct Result;
    Result run(const QString& sql);
    class Cursor;
    // The result's column names as the schema writes them.
    QStringList namesOf(const pg_result* res) const;

    pg_conn* m_conn = nullptr;
    QString m_conninfo;
    QHash<QString, QString> m_written; // lower case -> as the schema writes it
    static bool preparable(const QByteArray& text);
    QSet<QByteArray> m_seen;                  // statements met once
    QHash<QByteArray, QByteArray> m_prepared; // statement -> its prepared name on the server
    quint64 m_statements = 0;
    quint64 m_cursors = 0;       // cursors declared, for their names
    int m_openCursors = 0;       // cursors not yet closed
    bool m_cursorTransaction = false; // the open cursors' transaction is their own
};
