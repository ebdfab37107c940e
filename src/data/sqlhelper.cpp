#include "sqlhelper.h"

#include "accesstext.h"
#include "appenv.h"
#include "applog.h"
#include "database.h"
#include "dberror.h"
#include "sysvar.h"
#include "translator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>
#include <charconv>
#include <cmath>
#include <functional>
#include <vector>

namespace sqlHelper {

namespace {
bool g_connOpen = false;
QString g_connString;
QString g_overrideFile;
QString g_overrideServer;
QString g_reachedServer; // the server this run has reached
QStringList g_heldKeys;  // keys a maximum was read under before the save that uses it (server)
QSet<QString> g_keysInTrans; // keys the running ExecuteTransWith holds until it ends (server)
bool g_inTransBody = false;
void releaseHeldKeys();
RecordSet g_rs;
RecordSet g_rs2;
std::function<void(const QString&)> g_observer;

QString translated(const QString& sql) {
    if (g_observer) g_observer(sql);
    return AccessSql::translate(sql, Database::instance().dialect());
}

QString withSlash(QString folder) {
    folder.replace('\\', '/');
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}

QString unquote(const QString& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

// The statement of a batch key: the part after the first "|".
QString statementOfKey(const QString& key) {
    const int bar = key.indexOf('|');
    return bar < 0 ? key : key.mid(bar + 1);
}

} // namespace

QString GetIniValue(const QString& section, const QString& key, const QString& filePath, int limit) {
    QFile f(filePath);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&f);
    bool inSection = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[')) {
            const int end = line.indexOf(']');
            inSection = end > 0 && line.mid(1, end - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection) continue;
        const int eq = line.indexOf('=');
        if (eq < 0) continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) continue;
        const QString value = unquote(line.mid(eq + 1).trimmed());
        return limit < 0 ? value : value.left(limit);
    }
    return {};
}

QString ServerConnInfo() {
    if (!g_overrideServer.isEmpty()) return g_overrideServer;
    if (!g_overrideFile.isEmpty()) return {};
    const QString ini = ConfigFile();
    if (acc::val(GetIniValue("DB_Link", "LinkType", ini)) != 2) return {};
    // read whole: a cut string would name another database without a word
    const QString server = GetIniValue("DB_Link", "Server", ini, -1).trimmed();
    if (server.isEmpty()) {
        const QString message =
            QStringLiteral("linkDB.ini 中 LinkType=2 (数据库服务器) 缺少 Server 连接串,系统即将退出!");
        EndProgram(1, message);
        throw DbError(message);
    }
    return server;
}

void SetServer(const QString& conninfo) {
    g_overrideServer = conninfo.trimmed();
    g_connOpen = false;
}

namespace {

// The folder linkDB.ini names for the database file, relative to the data folder.
QString namedFolder() {
    if (!g_overrideFile.isEmpty()) return withSlash(QFileInfo(g_overrideFile).absolutePath());
    const QString ini = ConfigFile();
    const double linkType = acc::val(GetIniValue("DB_Link", "LinkType", ini));
    const QString dbPath = GetIniValue("DB_Link", "DBPath", ini).trimmed();
    if (linkType == 0 || dbPath.isEmpty()) return DataFolder();
    const QString folder = withSlash(dbPath);
    return QDir::isRelativePath(folder) ? DataFolder() + folder : folder;
}

} // namespace

QString ExpectedDatabaseFile() {
    if (!ServerConnInfo().isEmpty()) return {};
    return g_overrideFile.isEmpty() ? namedFolder() + SysVar().Sys_dbName : g_overrideFile;
}

QString GetDBPath() {
    if (!ServerConnInfo().isEmpty()) return DataFolder(); // a server keeps no file here
    const QString folder = namedFolder();
    const QString file = g_overrideFile.isEmpty() ? folder + SysVar().Sys_dbName : g_overrideFile;
    if (!QFileInfo::exists(file)) {
        const QString message = QStringLiteral("数据库文件路径错误,系统即将退出!");
        EndProgram(1, message);
        throw DbError(message); // the program is ending: nothing may go on with the database
    }
    return folder;
}

QString DatabaseFile() {
    const QString folder = GetDBPath();
    return g_overrideFile.isEmpty() ? folder + SysVar().Sys_dbName
                                    : QFileInfo(g_overrideFile).absoluteFilePath();
}

void SetDatabaseFile(const QString& path) {
    g_overrideFile = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    g_connOpen = false;
}

void BuildConnString() {
    g_connString = "Data Source=" + DatabaseFile();
}

QString connString() {
    return g_connString;
}

void OpenConn(const QString&) {
    if (g_connOpen) return;
    const QString server = ServerConnInfo();
    if (server.isEmpty()) {
        const QString file = DatabaseFile();
        try {
            Database::choose(AccessSql::Dialect::Sqlite).open(file);
        } catch (const DbError& e) {
            qCWarning(lcData).noquote() << "cannot open" << file << ":" << e.message();
            throw;
        }
    } else {
        try {
            Database::choose(AccessSql::Dialect::Postgres).open(server);
        } catch (const DbError& e) {
            qCWarning(lcData).noquote() << "cannot reach the server" << AppLog::WithoutPassword(server) << ":"
                                        << e.message();
            // a server not reached at start-up ends the program, as a missing file does;
            // later the command fails and the next one tries again
            if (server != g_reachedServer && g_overrideServer.isEmpty()) {
                EndProgram(1, e.message() + QStringLiteral("\n系统即将退出!"));
            }
            throw;
        }
        g_reachedServer = server;
    }
    g_connOpen = true;
}

void CloseConn() {
    g_connOpen = false;
}
bool IsConnOpen() {
    return g_connOpen;
}

RecordSet& rs() {
    return g_rs;
}
RecordSet& rs2() {
    return g_rs2;
}
void CloseRs() {
    g_rs.Close();
}
void CloseRs2() {
    g_rs2.Close();
}

bool IsQueryText(const QString& sql) {
    return sql.left(6).toUpper() == QLatin1String("SELECT") || sql.left(2).toUpper() == QLatin1String("SP");
}

void SetStatementObserver(std::function<void(const QString&)> observer) {
    g_observer = std::move(observer);
}

RecordSet ExecuteSql(const QString& sql) {
    OpenConn();
    const QString text = translated(sql);
    if (IsQueryText(sql)) return Database::instance().query(text);
    Database::instance().execute(text);
    return {};
}

std::unique_ptr<RowCursor> OpenCursor(const QString& sql) {
    OpenConn();
    return Database::instance().cursor(translated(sql));
}

RecordSet ReadRecord(const QString& sql) {
    CloseRs();
    g_rs = ExecuteSql(sql);
    RecordSet read = g_rs;
    read.MoveFirst();
    CloseRs();
    return read;
}

int ExecuteNonQuery(const QString& sql, const SqlParams* params) {
    OpenConn();
    const QString text = ReplaceParams(sql, params);
    int changed = 0;
    const AppLog::StatementNote note(sql, params);
    try {
        changed = Database::instance().execute(translated(text));
    } catch (...) {
        releaseHeldKeys();
        throw;
    }
    releaseHeldKeys();
    CloseConn();
    return changed;
}

m_DBresult ExecuteTransWith(const std::function<void()>& body) {
    m_DBresult result;
    bool begun = false;
    auto rollback = [&] {
        Database& db = Database::instance();
        if (!begun || !db.inTransaction()) return;
        try {
            db.execute("ROLLBACK");
        } catch (const DbError&) {
        }
    };
    try {
        OpenConn(); // picks the engine
        Database& db = Database::instance();
        db.beginWrite();
        begun = true;
        g_keysInTrans.clear();
        g_inTransBody = true;
        body();
        g_inTransBody = false;
        db.execute("COMMIT");
        begun = false;
        CloseConn();
        result.isResult = true;
    } catch (const DbError& e) {
        rollback();
        result.str_MsgBox = e.message();
    } catch (const std::exception& e) {
        rollback();
        result.str_MsgBox = QString::fromUtf8(e.what());
    }
    g_inTransBody = false;
    g_keysInTrans.clear();
    releaseHeldKeys();
    return result;
}

int ExecuteInTrans(const QString& sql, const SqlParams* params) {
    const AppLog::StatementNote note(sql, params);
    return Database::instance().execute(translated(ReplaceParams(sql, params)));
}

namespace {

QString lockKey(const QString& key) {
    return "hashtext('wms:" + EscapeQuote(key.toLower()) + "')";
}

// A maximum read outside a transaction numbers the save that follows it: on the server its key
// is held from now until that save's write has ended, whether it committed or failed.
void holdUntilTheWrite(const QString& key) {
    Database& db = Database::instance();
    if (db.dialect() != AccessSql::Dialect::Postgres) return;
    if (db.inTransaction()) return LockInTrans(key);
    if (g_heldKeys.contains(key.toLower())) return;
    db.query("SELECT pg_advisory_lock(" + lockKey(key) + ")");
    g_heldKeys << key.toLower();
}

void releaseHeldKeys() {
    if (g_heldKeys.isEmpty()) return;
    Database& db = Database::instance();
    for (const QString& key : std::as_const(g_heldKeys)) {
        try {
            db.query("SELECT pg_advisory_unlock(" + lockKey(key) + ")");
        } catch (const DbError&) {
            break; // a lost connection took its locks with it
        }
    }
    g_heldKeys.clear();
}

} // namespace

void LockInTrans(const QString& key) {
    LockInTrans(QStringList{key});
}

void LockInTrans(const QStringList& keys) {
    Database& db = Database::instance();
    if (db.dialect() != AccessSql::Dialect::Postgres || !db.inTransaction()) return;
    QStringList locks, taken;
    for (const QString& key : keys) {
        const QString k = key.toLower();
        if ((g_inTransBody && g_keysInTrans.contains(k)) || taken.contains(k)) continue;
        locks << "pg_advisory_xact_lock(" + lockKey(key) + ")";
        taken << k;
    }
    if (locks.isEmpty()) return;
    db.query("SELECT " + locks.join(", "));
    if (g_inTransBody)
        for (const QString& k : std::as_const(taken))
            g_keysInTrans.insert(k);
}

int MaxIdInTrans(const QString& table) {
    LockInTrans(table);
    const RecordSet rs = QueryInTrans("select max(id) from " + table);
    return rs.RecordCount() > 0 ? rs.at(0, 0).toInt() : 0;
}

RecordSet QueryInTrans(const QString& sql) {
    return Database::instance().query(translated(sql));
}

m_DBresult ExecuteTrans(const KeyValue& batch) {
    return ExecuteTransWith([&] {
        for (const auto& [key, params] : batch)
            ExecuteInTrans(statementOfKey(key), &params);
    });
}

m_DBresult ExecuteTransById(const QStringList& statements, int id) {
    SqlParams p;
    p.AddItem("@id", id);
    KeyValue batch;
    for (const QString& s : statements)
        batch.AddItem(s, p);
    return ExecuteTrans(batch);
}

FkCheckResult CheckFkUsage(const KeyValue& batch) {
    FkCheckResult result;
    result.isResult = true;
    if (batch.empty()) return result;
    QStringList parts;
    for (const auto& [key, params] : batch)
        parts << ReplaceParams(statementOfKey(key), &params);
    const QString sql =
        "select strMsg,fkCount from (" + parts.join(" union ") + ") as tbTemp" + " where tbTemp.fkCount>0";
    CloseRs();
    g_rs = ExecuteSql(sql);
    if (g_rs.RecordCount() > 0) {
        g_rs.MoveFirst();
        result.str_MsgBox = acc::valueText(g_rs.value("strMsg"));
        result.int_Count = g_rs.value("fkCount").toInt();
        result.isResult = false;
    }
    CloseRs();
    return result;
}

QString ReplaceParams(const QString& sql, const SqlParams* params) {
    if (!params || params->empty()) return sql;
    struct Span {
        int pos, len;
        QString literal;
    };
    std::vector<Span> spans;
    for (const auto& [key, value] : *params) {
        if (key.isEmpty()) continue;
        int from = 0;
        for (;;) {
            const int at = sql.indexOf(key, from, Qt::CaseSensitive);
            if (at < 0) break;
            bool overlaps = false;
            for (const Span& s : spans)
                if (at < s.pos + s.len && s.pos < at + key.size()) {
                    overlaps = true;
                    from = s.pos + s.len;
                    break;
                }
            if (overlaps) continue;
            spans.push_back({at, static_cast<int>(key.size()), FormatParamValue(value)});
            break;
        }
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.pos < b.pos; });
    QString out;
    out.reserve(sql.size() + 64);
    int last = 0;
    for (const Span& s : spans) {
        out += QStringView(sql).mid(last, s.pos - last);
        out += s.literal;
        last = s.pos + s.len;
    }
    out += QStringView(sql).mid(last);
    return out;
}

QString EscapeQuote(const QString& text) {
    QString out = text;
    out.replace('\'', "''");
    return out;
}

QString FormatParamValue(const QVariant& value) {
    if (!value.isValid() || value.isNull()) throw DbError(QStringLiteral("参数值不能为空值(Null)"));
    const int type = value.userType();
    if (type == qMetaTypeId<SqlRaw>()) return value.value<SqlRaw>().text;
    if (type == qMetaTypeId<SqlContains>()) return "'%" + EscapeQuote(value.value<SqlContains>().text) + "%'";
    if (acc::isIntegerType(type)) return QString::number(value.toLongLong());
    switch (type) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d)) throw DbError(QStringLiteral("参数值不是有效的数字"));
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, d);
        return QString::fromLatin1(buf, static_cast<int>(r.ptr - buf));
    }
    default:
        return "'" + EscapeQuote(acc::valueText(value)) + "'";
    }
}

QVariant DLookup(const QString& expr, const QString& table, const QString& condition) {
    CloseRs();
    g_rs = ExecuteSql("select " + expr + " From " + table + " where 1=1 " + condition);
    QVariant result;
    if (g_rs.RecordCount() > 0) {
        g_rs.MoveFirst();
        const QVariant v = g_rs.value(expr);
        result = IsBlank(v) ? QVariant(QString()) : v;
    }
    CloseRs();
    return result;
}

QVariant DMax(const QString& expr, const QString& table, const QString& condition) {
    CloseRs();
    OpenConn();
    holdUntilTheWrite(table);
    g_rs =
        ExecuteSql("select max(" + expr + ") as uKandriluDMaxExpr From " + table + " where 1=1" + condition);
    QVariant result = QString();
    if (g_rs.RecordCount() > 0) {
        g_rs.MoveFirst();
        const QVariant v = g_rs.value("uKandriluDMaxExpr");
        if (!IsBlank(v)) result = v;
    }
    CloseRs();
    return result;
}

double DCount(const QString& expr, const QString& table, const QString& condition) {
    CloseRs();
    g_rs = ExecuteSql("select count(" + expr + ") as u" + expr + " From " + table + " where 1=1" + condition);
    double result = 0;
    if (g_rs.RecordCount() > 0) {
        g_rs.MoveFirst();
        result = acc::val(acc::valueText(g_rs.value("u" + expr)));
    }
    CloseRs();
    return result;
}

} // namespace sqlHelper

QString GetSubIds(int parentId, const QString& table, const QString& column) {
    QString out;
    QSet<qlonglong> seen{parentId};
    std::function<void(qlonglong)> collect = [&](qlonglong parent) {
        const RecordSet rows = sqlHelper::ExecuteSql("select " + column + ",id from " + table +
                                                     " where parentId=" + QString::number(parent));
        for (int r = 0; r < rows.RecordCount(); ++r) {
            out += acc::valueText(rows.at(r, 0)) + ',';
            const qlonglong id = rows.at(r, 1).toLongLong();
            if (!seen.contains(id)) { // a loop in the tree must not recurse for ever
                seen.insert(id);
                collect(id);
            }
        }
    };
    collect(parentId);
    return out + QString::number(parentId);
}
