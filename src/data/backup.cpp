#include "backup.h"

#include "appenv.h"
#include "database.h"
#include "dberror.h"
#include "msgbox.h"
#include "sqlhelper.h"

#include <QFileInfo>

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

m_DBresult BackUpDB(bool showMessage) {
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    try {
        const QString target = AppPath() + "CompactBackUp_" + FormatNow("yyyymmddhhmmss") + ".mdb";
        if (QFileInfo::exists(target))
            throw DbError(QStringLiteral("备份文件 %1 已经存在").arg(QFileInfo(target).fileName()));
        sqlHelper::OpenConn();
        // VACUUM INTO writes a compacted copy from the live file in one step.
        Database::instance().execute("VACUUM INTO '" + sqlHelper::EscapeQuote(target) + "'");
        sqlHelper::CloseConn();
    } catch (const DbError& e) {
        sqlHelper::CloseConn();
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
