#include "backup.h"

#include "appenv.h"
#include "database.h"
#include "dberror.h"
#include "msgbox.h"
#include "sqlhelper.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

m_DBresult failed(const QString& message) {
    MsgBox::Show(message, MsgBox::Exclamation, "System");
    m_DBresult r;
    r.str_MsgBox = message;
    return r;
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
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
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

} // namespace

m_DBresult BackUpDB(bool showMessage) {
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    const QString stamp = FormatNow("yyyymmddhhmmss");
    const QString target = AppPath() + "CompactBackUp_" + stamp + ".mdb";
    // The copy is written under a working name and takes the backup's name
    // only once it is complete and sound, so a failed backup never leaves a
    // file that looks like one.
    const QString work =
        AppPath() + "BackUp_" + stamp + "_" + QString::number(QCoreApplication::applicationPid()) + ".mdb";
    try {
        if (QFileInfo::exists(target))
            throw DbError(QStringLiteral("备份文件 %1 已经存在").arg(QFileInfo(target).fileName()));
        QFile::remove(work);
        sqlHelper::OpenConn();
        // VACUUM INTO writes a compacted copy from the live file in one step.
        Database::instance().execute("VACUUM INTO '" + sqlHelper::EscapeQuote(work) + "'");
        sqlHelper::CloseConn();
        const QString verdict = integrityOf(work);
        if (verdict != QLatin1String("ok"))
            throw DbError(QStringLiteral("备份文件检查未通过: %1").arg(verdict));
        // rename never replaces an existing file
        if (!QFile::rename(work, target))
            throw DbError(QStringLiteral("备份文件 %1 无法写入").arg(QFileInfo(target).fileName()));
    } catch (const DbError& e) {
        sqlHelper::CloseConn();
        QFile::remove(work);
        return failed(e.message());
    }
    if (showMessage) MsgBox::Show(QStringLiteral("数据压缩备份完毕!"), MsgBox::Information, "System");
    return succeeded();
}

m_DBresult CompactDB() {
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    try {
        sqlHelper::OpenConn();
        Database::instance().execute("VACUUM");
        sqlHelper::CloseConn();
    } catch (const DbError& e) {
        sqlHelper::CloseConn();
        return failed(e.message());
    }
    MsgBox::Show(QStringLiteral("数据压缩修复完毕!"), MsgBox::Information, "System");
    return succeeded();
}
