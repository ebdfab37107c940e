#include "backup.h"

#include "appenv.h"
#include "applog.h"
#include "database.h"
#include "dberror.h"
#include "sqlhelper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <sqlite3.h>

namespace {

m_DBresult failed(const QString& message) {
    m_DBresult r;
    r.str_MsgBox = message;
    return r;
}

QString& lastBackup() {
    static QString file;
    return file;
}

m_DBresult succeeded() {
    m_DBresult r;
    r.isResult = true;
    r.int_Count = 1;
    return r;
}

} // namespace

namespace {

// "ok" when the engine finds the file sound, else its first complaint.
QString integrityOf(const QString& file) {
    sqlite3* db = nullptr;
    QString verdict = QStringLiteral("无法打开");
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            verdict = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        else
            verdict = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return verdict;
}

// A program of the server's client tools: on the path, or where Debian keeps them.
QString serverTool(const QString& name) {
    const QString found = QStandardPaths::findExecutable(name);
    if (!found.isEmpty()) return found;
    const QStringList versions =
        QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (auto it = versions.crbegin(); it != versions.crend(); ++it) {
        const QString path = "/usr/lib/postgresql/" + *it + "/bin/" + name;
        if (QFileInfo(path).isExecutable()) return path;
    }
    throw DbError(
        QStringLiteral("找不到数据库服务器的工具 %1 (Debian 的 postgresql-client 软件包)").arg(name));
}

// Runs a client tool to its end; its complaint when it fails.
void runTool(const QString& name, const QStringList& args) {
    QProcess p;
    p.start(serverTool(name), args);
    if (!p.waitForStarted(10000)) throw DbError(QStringLiteral("无法启动 %1").arg(name));
    p.waitForFinished(-1);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw DbError(QStringLiteral("%1 失败: %2")
                          .arg(name, QString::fromLocal8Bit(p.readAllStandardError()).trimmed()));
}

// The server's database as a pg_dump archive, checked by reading its table of contents.
void dumpServer(const QString& conninfo, const QString& work) {
    runTool("pg_dump", {"--format=custom", "--file=" + work, "--dbname=" + conninfo});
    runTool("pg_restore", {"--list", work});
}

} // namespace

m_DBresult BackUpDB() {
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    const QString server = sqlHelper::ServerConnInfo();
    const QString extension = server.isEmpty() ? QStringLiteral(".mdb") : QStringLiteral(".dump");
    const QString stamp = FormatNow("yyyymmddhhmmss");
    const QString target = DataFolder() + "CompactBackUp_" + stamp + extension;
    // The copy is written under a working name and takes the backup's name
    // only once it is complete and sound, so a failed backup never leaves a
    // file that looks like one.
    const QString work =
        DataFolder() + "BackUp_" + stamp + "_" + QString::number(QCoreApplication::applicationPid()) + extension;
    try {
        if (QFileInfo::exists(target))
            throw DbError(QStringLiteral("备份文件 %1 已经存在").arg(QFileInfo(target).fileName()));
        QFile::remove(work);
        if (!server.isEmpty()) {
            dumpServer(server, work);
        } else {
            sqlHelper::OpenConn();
            // VACUUM INTO writes a compacted copy from the live file in one step.
            Database::instance().execute("VACUUM INTO '" + sqlHelper::EscapeQuote(work) + "'");
            sqlHelper::CloseConn();
            const QString verdict = integrityOf(work);
            if (verdict != QLatin1String("ok"))
                throw DbError(QStringLiteral("备份文件检查未通过: %1").arg(verdict));
        }
        // rename never replaces an existing file
        if (!QFile::rename(work, target))
            throw DbError(QStringLiteral("备份文件 %1 无法写入").arg(QFileInfo(target).fileName()));
    } catch (const DbError& e) {
        sqlHelper::CloseConn();
        QFile::remove(work);
        qCWarning(lcData).noquote() << "backup failed:" << e.message();
        return failed(e.message());
    }
    lastBackup() = target;
    qCInfo(lcData).noquote() << "backup written:" << target;
    return succeeded();
}

QString LastBackupFile() {
    return lastBackup();
}

QString BackupDoneMessage() {
    return QStringLiteral("数据压缩备份完毕!\n") + QDir::toNativeSeparators(lastBackup());
}

m_DBresult CompactDB() {
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    try {
        sqlHelper::OpenConn();
        // the server's compaction also renews the planner's statistics
        Database& db = Database::instance();
        db.execute(db.dialect() == AccessSql::Dialect::Postgres ? "VACUUM ANALYZE" : "VACUUM");
        sqlHelper::CloseConn();
    } catch (const DbError& e) {
        sqlHelper::CloseConn();
        qCWarning(lcData).noquote() << "compaction failed:" << e.message();
        return failed(e.message());
    }
    qCInfo(lcData) << "database compacted";
    return succeeded();
}

QString CompactDoneMessage() {
    return QStringLiteral("数据压缩修复完毕!");
}
