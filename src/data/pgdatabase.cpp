#include "pgdatabase.h"

#include "applog.h"

#include "dberror.h"

#include <QTimeZone>
#include <libpq-fe.h>
#include <memory>

namespace {

// Type oids of the server's catalogue (pg_type).
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kNumeric = 1700,
};

QString messageOf(const char* text) {
    return QString::fromUtf8(text).trimmed();
}

// A cell as the SQLite engine would give it: integers, doubles, text, bytes, Null.
QVariant cellOf(const PGresult* res, int row, int column) {
    if (PQgetisnull(res, row, column)) return {};
    const char* text = PQgetvalue(res, row, column);
    switch (PQftype(res, column)) {
    case kBool:
        return qlonglong(text[0] == 't' ? 1 : 0);
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return QByteArray(text).toLongLong();
    case kNumeric: {
        // a whole number (a sum of integers) comes back as an integer, as SQLite gives it
        const QByteArray t(text);
        bool whole = false;
        const qlonglong n = t.contains('.') ? 0 : t.toLongLong(&whole);
        if (whole) return n;
        return t.toDouble();
    }
    case kFloat4:
    case kFloat8:
        return QByteArray(text).toDouble();
    case kBytea: {
        size_t size = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
        QByteArray out(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
        PQfreemem(bytes);
        return out;
    }
    default:
        return QString::fromUtf8(text, PQgetlength(res, row, column));
    }
}

// The engine's own words for a failed command: its primary message, without
// the "ERROR:" prefix and the context lines.
QString errorOf(const PGresult* res, pg_conn* conn) {
    if (res) {
        const char* primary = PQresultErrorField(res, PG_DIAG_MESSAGE_PRIMARY);
        if (primary && *primary) return messageOf(primary);
        const QString m = messageOf(PQresultErrorMessage(res));
        if (!m.isEmpty()) return m;
    }
    return messageOf(PQerrorMessage(conn));
}

} // namespace

struct PgDatabase::Result {
    std::unique_ptr<PGresult, void (*)(PGresult*)> res{nullptr, PQclear};
};

PgDatabase::~PgDatabase() {
    close();
}

PgDatabase& PgDatabase::shared() {
    static PgDatabase db;
    return db;
}

void PgDatabase::open(const QString& path, bool) {
    if (m_conn && path == m_conninfo && PQstatus(m_conn) == CONNECTION_OK) return;
    close();
    PGconn* conn = PQconnectdb(path.toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString host = PQhost(conn) ? QString::fromUtf8(PQhost(conn)) : path;
        const QString reason = messageOf(PQerrorMessage(conn));
        PQfinish(conn);
        throw DbError(QStringLiteral("无法连接数据库服务器 %1: %2").arg(AppLog::WithoutPassword(host), reason));
    }
    // the server's notices (a table that was not there to drop) are not the user's business
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    m_conn = conn;
    m_conninfo = path;
    try {
        setUpSession();
        // the server's schema is set up by its administration, not on opening: its version is only checked
        runOpenHook();
        createTempShadows();
        loadWrittenNames();
    } catch (...) {
        close();
        throw;
    }
}

void PgDatabase::close() {
    m_prepared.clear();
    m_seen.clear();
    if (!m_conn) return;
    PQfinish(m_conn);
    m_conn = nullptr;
    m_conninfo.clear();
}

pg_conn* PgDatabase::connection() {
    if (!m_conn) throw DbError(QStringLiteral("数据库没有打开"));
    if (PQstatus(m_conn) == CONNECTION_OK) return m_conn;
    // dropped by the server: connect again, with this program's report tables
    PQreset(m_conn);
    m_prepared.clear(); // the new session has none
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw DbError(
            QStringLiteral("与数据库服务器的连接已断开: %1").arg(messageOf(PQerrorMessage(m_conn))));
    setUpSession();
    createTempShadows();
    loadWrittenNames();
    return m_conn;
}

// Text in UTF-8; dates and times (now, date) in this computer's time zone, as on SQLite.
void PgDatabase::setUpSession() {
    PQsetClientEncoding(m_conn, "UTF8");
    // a program that waits for another's lock gives up after a while instead of hanging, as
    // SQLite's busy timeout does
    execute(QStringLiteral("SET lock_timeout = '15s'"));
    const QByteArray zone = QTimeZone::systemTimeZoneId();
    if (zone.isEmpty()) return;
    char* literal = PQescapeLiteral(m_conn, zone.constData(), static_cast<size_t>(zone.size()));
    if (!literal) return;
    const QString set = QStringLiteral("SET TimeZone = %1").arg(QString::fromUtf8(literal));
    PQfreemem(literal);
    try {
        execute(set);
    } catch (const DbError&) {
        // a zone the server does not know: it keeps its own
    }
}

void PgDatabase::loadWrittenNames() {
    m_written.clear();
    if (query("SELECT to_regclass('wms_names') IS NOT NULL").at(0, 0).toInt() == 0) return;
    // by the table's oid and the folded name, and by the name alone for computed columns
    const RecordSet names =
        query("SELECT to_regclass(tbl::text)::oid, to_regclass(current_schema() || '.' || tbl)::oid, "
              "lower(name::text), written FROM wms_names ORDER BY tbl, name");
    for (int r = 0; r < names.RecordCount(); ++r) {
        // a report table's own rows are in its temporary shadow, which has an oid of its own
        const QString name = names.at(r, 2).toString(), written = names.at(r, 3).toString();
        for (int k = 0; k < 2; ++k)
            if (!names.at(r, k).isNull()) m_written.insert(names.at(r, k).toString() + '.' + name, written);
        if (written != name && !m_written.contains(name)) m_written.insert(name, written);
    }
}

void PgDatabase::copyIn(const QString& table, const QStringList& columns,
                        const std::function<bool(QByteArray&)>& nextChunk) {
    pg_conn* conn = connection();
    using Res = std::unique_ptr<PGresult, void (*)(PGresult*)>;
    ++m_sent;
    Res start(
        PQexec(conn, ("COPY " + table + " (" + columns.join(", ") + ") FROM STDIN").toUtf8().constData()),
        PQclear);
    if (PQresultStatus(start.get()) != PGRES_COPY_IN) throw DbError(errorOf(start.get(), conn));
    QByteArray chunk;
    QString failure;
    while (failure.isEmpty() && nextChunk(chunk)) {
        if (PQputCopyData(conn, chunk.constData(), static_cast<int>(chunk.size())) != 1)
            failure = messageOf(PQerrorMessage(conn));
        chunk.clear();
    }
    PQputCopyEnd(conn, failure.isEmpty() ? nullptr : "aborted");
    QString error = failure;
    while (PGresult* raw = PQgetResult(conn)) {
        Res res(raw, PQclear);
        if (PQresultStatus(raw) != PGRES_COMMAND_OK && error.isEmpty()) error = errorOf(raw, conn);
    }
    if (!error.isEmpty()) throw DbError(error);
}

void PgDatabase::runScript(const QString& script) try {
    pg_conn* conn = connection();
    ++m_sent;
    std::unique_ptr<PGresult, void (*)(PGresult*)> res(PQexec(conn, script.toUtf8().constData()), PQclear);
    const ExecStatusType status = PQresultStatus(res.get());
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK || status == PGRES_EMPTY_QUERY) return;
    throw DbError(errorOf(res.get(), conn));
} catch (const DbError& e) {
    AppLog::EngineError(script, e.message());
    throw;
}

// Statements the server prepares: queries and writes, not commands.
bool PgDatabase::preparable(const QByteArray& text) {
    const QByteArray head = text.left(7).toUpper();
    return head.startsWith("SELECT") || head.startsWith("INSERT") || head.startsWith("UPDATE") ||
           head.startsWith("DELETE");
}

PgDatabase::Result PgDatabase::run(const QString& sql) try {
    pg_conn* conn = connection();
    Result r;
    // without parameters, but through the extended protocol: one statement only. A statement met
    // a second time is prepared, so that the server keeps its plan (the lists and refills come
    // again and again).
    const QByteArray text = sql.toUtf8();
    const auto prepared = m_prepared.constFind(text);
    if (prepared != m_prepared.cend()) {
        ++m_sent;
        r.res.reset(PQexecPrepared(conn, prepared.value().constData(), 0, nullptr, nullptr, nullptr, 0));
    } else if (m_seen.contains(text) && preparable(text)) {
        if (m_prepared.size() >= 500) {
            ++m_sent;
            r.res.reset(PQexec(conn, "DEALLOCATE ALL"));
            m_prepared.clear();
        }
        const QByteArray name = "wms_" + QByteArray::number(++m_statements);
        ++m_sent;
        r.res.reset(PQprepare(conn, name.constData(), text.constData(), 0, nullptr));
        if (PQresultStatus(r.res.get()) == PGRES_COMMAND_OK) {
            ++m_sent;
            m_prepared.insert(text, name);
            r.res.reset(PQexecPrepared(conn, name.constData(), 0, nullptr, nullptr, nullptr, 0));
        }
    } else {
        if (m_seen.size() >= 5000) m_seen.clear();
        m_seen.insert(text);
        ++m_sent;
        r.res.reset(PQexecParams(conn, text.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0));
    }
    const ExecStatusType status = PQresultStatus(r.res.get());
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK || status == PGRES_EMPTY_QUERY) return r;
    QString message = errorOf(r.res.get(), conn);
    if (PQstatus(conn) == CONNECTION_BAD)
        message = QStringLiteral("与数据库服务器的连接已断开, 这个操作没有完成; 下一个操作会重新连接。(%1)")
                      .arg(message);
    if (message.contains(QLatin1String("cannot insert multiple commands into a prepared statement")))
        message = oneStatementOnly();
    throw DbError(message);
} catch (const DbError& e) {
    AppLog::EngineError(sql, e.message());
    throw;
}

QStringList PgDatabase::namesOf(const PGresult* res) const {
    const int cols = PQnfields(res);
    QStringList names;
    names.reserve(cols);
    for (int c = 0; c < cols; ++c) {
        // a column of a table or view as its schema writes it, other names as the statement wrote them
        const QString name = QString::fromUtf8(PQfname(res, c));
        const Oid table = PQftable(res, c);
        auto it =
            table != InvalidOid ? m_written.constFind(QString::number(table) + '.' + name) : m_written.cend();
        if (it == m_written.cend()) it = m_written.constFind(name);
        names << (it == m_written.cend() ? name : it.value());
    }
    return names;
}

RecordSet PgDatabase::query(const QString& sql) {
    const Result r = run(sql);
    const PGresult* res = r.res.get();
    if (PQresultStatus(res) != PGRES_TUPLES_OK) return RecordSet(QStringList(), {});
    const int rows = PQntuples(res), cols = PQnfields(res);
    std::vector<QVariant> cells;
    cells.reserve(static_cast<size_t>(rows) * static_cast<size_t>(cols));
    for (int row = 0; row < rows; ++row)
        for (int c = 0; c < cols; ++c)
            cells.push_back(cellOf(res, row, c));
    return RecordSet(namesOf(res), std::move(cells));
}

// A server-side cursor read a batch at a time. Cursors live in a
// transaction: outside the caller's own, the first cursor begins one and the
// last one to close ends it, so that several may be read side by side.
class PgDatabase::Cursor final : public RowCursor {
public:
    Cursor(PgDatabase& db, const QString& sql) : m_db(db) {
        m_name = QStringLiteral("wms_cursor_%1").arg(++db.m_cursors);
        if (db.m_openCursors == 0) {
            db.m_cursorTransaction = !db.inTransaction();
            if (db.m_cursorTransaction) db.execute(QStringLiteral("BEGIN"));
        }
        ++db.m_openCursors;
        try {
            db.execute("DECLARE " + m_name + " NO SCROLL CURSOR FOR " + sql);
            fetch();
        } catch (...) {
            m_name.clear();
            release();
            throw;
        }
        m_names = db.namesOf(m_batch.res.get());
    }
    ~Cursor() override {
        try {
            if (!m_name.isEmpty()) m_db.execute("CLOSE " + m_name);
        } catch (const DbError&) {
            // an aborted transaction or a lost connection: ending it closes the cursor too
        }
        release();
    }
    bool next() override {
        if (++m_row < m_rows) return true;
        if (m_rows < kBatch) return false;
        fetch();
        m_row = 0;
        return m_rows > 0;
    }
    QVariant value(int column) const override { return cellOf(m_batch.res.get(), m_row, column); }

private:
    static constexpr int kBatch = 2000;
    void fetch() {
        m_batch = m_db.run(QStringLiteral("FETCH FORWARD %1 FROM %2").arg(kBatch).arg(m_name));
        m_rows = PQntuples(m_batch.res.get());
    }
    void release() {
        if (--m_db.m_openCursors > 0 || !m_db.m_cursorTransaction) return;
        m_db.m_cursorTransaction = false;
        try {
            m_db.execute(QStringLiteral("COMMIT")); // after an error this rolls back
        } catch (const DbError&) {
        }
    }
    PgDatabase& m_db;
    QString m_name;
    Result m_batch;
    int m_rows = 0;
    int m_row = -1;
};

std::unique_ptr<RowCursor> PgDatabase::cursor(const QString& sql) {
    return std::make_unique<Cursor>(*this, sql);
}

int PgDatabase::execute(const QString& sql) {
    const Result r = run(sql);
    return QByteArray(PQcmdTuples(r.res.get())).toInt();
}

bool PgDatabase::inTransaction() const {
    if (!m_conn) return false;
    const PGTransactionStatusType t = PQtransactionStatus(m_conn);
    return t == PQTRANS_INTRANS || t == PQTRANS_INERROR || t == PQTRANS_ACTIVE;
}

void PgDatabase::createTempShadows() {
    const RecordSet tables = query(
        "SELECT n.nspname, c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace WHERE "
        "c.relkind = 'r' AND n.nspname = current_schema() AND c.relname LIKE 'temp\\_%' AND NOT EXISTS "
        "(SELECT 1 FROM pg_class t WHERE t.relname = c.relname AND t.relnamespace = pg_my_temp_schema())");
    for (int r = 0; r < tables.RecordCount(); ++r) {
        const QByteArray schema = tables.at(r, 0).toString().toUtf8(),
                         name = tables.at(r, 1).toString().toUtf8();
        char* s = PQescapeIdentifier(m_conn, schema.constData(), static_cast<size_t>(schema.size()));
        char* t = PQescapeIdentifier(m_conn, name.constData(), static_cast<size_t>(name.size()));
        const QString ddl = QStringLiteral("CREATE TEMP TABLE %1 (LIKE %2.%1 INCLUDING ALL)")
                                .arg(QString::fromUtf8(t), QString::fromUtf8(s));
        PQfreemem(s);
        PQfreemem(t);
        execute(ddl);
    }
}
