#include "sqlitedatabase.h"

#include "accesstext.h"
#include "applog.h"

#include "dberror.h"
#include "sqlfunctions.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <chrono>
#include <random>
#include <sys/stat.h>
#include <thread>

namespace {

unsigned long long fileIdentity(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return (static_cast<unsigned long long>(st.st_dev) << 40) ^ static_cast<unsigned long long>(st.st_ino);
}


struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

// True when nothing but blanks, semicolons and comments follows the first
// statement; the engine would silently skip any further statement.
bool onlyEndFollows(sqlite3* db, const char* tail) {
    while (tail && *tail) {
        sqlite3_stmt* next = nullptr;
        const char* rest = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, -1, &next, &rest);
        const bool empty = rc == SQLITE_OK && next == nullptr;
        sqlite3_finalize(next);
        if (!empty) return false;
        if (rest == tail) break;
        tail = rest;
    }
    return true;
}

// Waits for another program's lock in short, slightly uneven steps, at most
// 5 s. The engine's own timeout sleeps up to 100 ms at a time, and two
// programs saving in a loop can starve one another that way.
int busyWait(void*, int attempt) {
    using Clock = std::chrono::steady_clock;
    thread_local Clock::time_point start;
    thread_local std::minstd_rand jitter(static_cast<unsigned>(Clock::now().time_since_epoch().count()));
    if (attempt == 0) start = Clock::now();
    if (Clock::now() - start > std::chrono::milliseconds(5000)) return 0;
    std::this_thread::sleep_for(std::chrono::microseconds(500 + jitter() % 1500));
    return 1;
}

// The folder of the engine's temporary files, as the engine chooses it.
QString tempFolder() {
    for (const char* name : {"SQLITE_TMPDIR", "TMPDIR"}) {
        const QString dir = qEnvironmentVariable(name);
        if (!dir.isEmpty() && QFileInfo(dir).isDir() && QFileInfo(dir).isWritable()) return dir;
    }
    for (const char* dir : {"/var/tmp", "/usr/tmp", "/tmp"})
        if (QFileInfo(QString::fromLatin1(dir)).isWritable()) return QString::fromLatin1(dir);
    return QStringLiteral(".");
}

// The engine's message; a full disk names where the file and the temporary files are.
QString errorText(sqlite3* db) {
    const QString text = QString::fromUtf8(sqlite3_errmsg(db));
    if ((sqlite3_errcode(db) & 0xff) != SQLITE_FULL) return text;
    const char* file = sqlite3_db_filename(db, "main");
    return QStringLiteral("磁盘空间已满 (%1)。临时文件在 %2, 数据库在 %3; 请腾出空间后再试。")
        .arg(text, tempFolder(), QString::fromUtf8(file ? file : ""));
}

} // namespace

SqliteDatabase& SqliteDatabase::instance() {
    static SqliteDatabase db;
    return db;
}

SqliteDatabase::~SqliteDatabase() {
    close();
}

void SqliteDatabase::fail() const {
    throw DbError(m_db ? errorText(m_db) : QStringLiteral("数据库没有打开"));
}

void SqliteDatabase::open(const QString& path, bool create) {
    const unsigned long long id = fileIdentity(path);
    if (m_db && path == m_path && id == m_fileId && id != 0) return;
    close();
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw DbError(msg + ": " + path);
    }
    m_db = db;
    m_path = path;
    sqlite3_busy_handler(m_db, busyWait, nullptr);
    // Reports read large parts of the bill tables: keep more of the file in
    // memory. Report tables and large sorts go to temporary files (see tempFolder).
    sqlite3_exec(m_db, "PRAGMA cache_size = -65536; PRAGMA temp.cache_size = -16384", nullptr, nullptr, nullptr);
    sqlite3_extended_result_codes(m_db, 0);
    registerAccessFunctions(m_db);
    try {
        prepareOpened();
    } catch (...) {
        close();
        throw;
    }
    m_fileId = fileIdentity(path);
}

void SqliteDatabase::close() {
    if (!m_db) return;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_path.clear();
    m_fileId = 0;
}

bool SqliteDatabase::inTransaction() const {
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

void SqliteDatabase::prepareOne(const QByteArray& text, sqlite3_stmt*& stmt) const {
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()) + 1, &stmt, &tail) != SQLITE_OK)
        fail();
    if (!onlyEndFollows(m_db, tail)) throw DbError(oneStatementOnly());
}

namespace {

QVariant cellOf(sqlite3_stmt* stmt, int c) {
    switch (sqlite3_column_type(stmt, c)) {
    case SQLITE_INTEGER:
        return static_cast<qlonglong>(sqlite3_column_int64(stmt, c));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, c);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                 sqlite3_column_bytes(stmt, c));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, c)), sqlite3_column_bytes(stmt, c));
    default:
        return {};
    }
}

QStringList namesOf(sqlite3_stmt* stmt) {
    QStringList names;
    const int cols = stmt ? sqlite3_column_count(stmt) : 0;
    names.reserve(cols);
    for (int c = 0; c < cols; ++c)
        names << QString::fromUtf8(sqlite3_column_name(stmt, c));
    return names;
}

class SqliteCursor final : public RowCursor {
public:
    SqliteCursor(sqlite3* db, sqlite3_stmt* stmt, QString sql) : m_db(db), m_stmt(stmt), m_sql(std::move(sql)) {
        m_names = namesOf(stmt);
    }
    ~SqliteCursor() override { sqlite3_finalize(m_stmt); }
    bool next() override {
        if (!m_stmt || m_done) return false;
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) return true;
        m_done = true;
        if (rc == SQLITE_DONE) return false;
        const QString message = errorText(m_db);
        AppLog::EngineError(m_sql, message);
        throw DbError(message);
    }
    QVariant value(int column) const override { return cellOf(m_stmt, column); }
    QByteArray utf8(int column) const override {
        switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return QByteArray::number(static_cast<qlonglong>(sqlite3_column_int64(m_stmt, column)));
        case SQLITE_FLOAT:
            return QByteArray::fromStdString(acc::numberText(sqlite3_column_double(m_stmt, column)));
        case SQLITE_TEXT:
            // the engine's own bytes, no copy: they last until the next row
            return QByteArray::fromRawData(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column)),
                                           sqlite3_column_bytes(m_stmt, column));
        default:
            return RowCursor::utf8(column);
        }
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt;
    QString m_sql;
    bool m_done = false;
};

} // namespace

RecordSet SqliteDatabase::query(const QString& sql) try {
    if (!m_db) fail();
    ++m_sent;
    const QByteArray text = sql.toUtf8();
    Statement s;
    prepareOne(text, s.stmt);
    if (!s.stmt) return RecordSet(QStringList(), {});
    QStringList names = namesOf(s.stmt);
    const int cols = static_cast<int>(names.size());
    std::vector<QVariant> cells;
    for (;;) {
        const int rc = sqlite3_step(s.stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) fail();
        for (int c = 0; c < cols; ++c)
            cells.push_back(cellOf(s.stmt, c));
    }
    return RecordSet(std::move(names), std::move(cells));
} catch (const DbError& e) {
    AppLog::EngineError(sql, e.message());
    throw;
}

std::unique_ptr<RowCursor> SqliteDatabase::cursor(const QString& sql) try {
    if (!m_db) fail();
    ++m_sent;
    Statement s;
    prepareOne(sql.toUtf8(), s.stmt);
    auto out = std::make_unique<SqliteCursor>(m_db, s.stmt, sql);
    s.stmt = nullptr;
    return out;
} catch (const DbError& e) {
    AppLog::EngineError(sql, e.message());
    throw;
}

int SqliteDatabase::execute(const QString& sql) try {
    if (!m_db) fail();
    ++m_sent;
    const QByteArray text = sql.toUtf8();
    Statement s;
    prepareOne(text, s.stmt);
    if (!s.stmt) return 0;
    for (;;) {
        const int rc = sqlite3_step(s.stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) fail();
    }
    return sqlite3_changes(m_db);
} catch (const DbError& e) {
    AppLog::EngineError(sql, e.message());
    throw;
}

void SqliteDatabase::createTempShadows() {
    const RecordSet tables =
        query("SELECT m.name, m.sql FROM main.sqlite_master m WHERE m.type = 'table' AND m.name LIKE "
              "'temp\\_%' ESCAPE '\\' "
              "AND NOT EXISTS (SELECT 1 FROM temp.sqlite_master t WHERE t.name = m.name)");
    for (int r = 0; r < tables.RecordCount(); ++r) {
        QString ddl = tables.at(r, 1).toString();
        const int at = ddl.indexOf(QLatin1String("TABLE"), 0, Qt::CaseInsensitive);
        if (at < 0) continue;
        ddl.insert(at, QLatin1String("TEMP "));
        execute(ddl);
    }
}
