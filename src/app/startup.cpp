#include "startup.h"

#include "access/sysvars.h"
#include "data/appenv.h"
#include "data/applog.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "schema/dbsetup.h"
#include "schema/migrations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

bool OfferFirstShop() {
    if (CurrentLayout() != Layout::Installed) return true;
    QString file;
    try {
        file = sqlHelper::ExpectedDatabaseFile();
    } catch (const DbError&) {
        return false; // linkDB.ini names a server without its connection: told and ending
    }
    if (file.isEmpty() || QFileInfo::exists(file)) return true;
    const QString folder = QDir::toNativeSeparators(QFileInfo(file).absolutePath());
    if (MsgBox::Ask(QStringLiteral("没有找到数据库, 是否在 %1 建立一个新的空数据库?").arg(folder), MsgBox::YesNo,
                    MsgBox::Question, "System") != MsgBox::Yes) {
        qCInfo(lcApp) << "no database, none created: the program ends";
        return false;
    }
    const bool demo = MsgBox::Ask(QStringLiteral("是否加入演示数据 (演示用的商品、库位、客户和单据)?"),
                                  MsgBox::YesNo, MsgBox::Question, "System") == MsgBox::Yes;
    try {
        QDir().mkpath(QFileInfo(file).absolutePath());
        CreateDatabase(file, demo, false);
        Database::instance().close();
    } catch (const DbError& e) {
        qCWarning(lcApp).noquote() << "first database not created:" << e.message();
        MsgBox::Show(e.message(), MsgBox::Critical, "System");
        return false;
    }
    return true;
}

void LogStartUp() {
    Database& db = Database::instance();
    const bool server = db.dialect() == AccessSql::Dialect::Postgres;
    QString version = QStringLiteral("?");
    try {
        version = QString::number(SchemaVersionOf(db));
    } catch (const DbError&) {
    }
    const QString where = server ? "server " + AppLog::WithoutPassword(db.path()) : "database " + db.path();
    qCInfo(lcApp).noquote() << QStringLiteral("%1 %2 started; engine %3, %4; schema version %5; data folder %6")
                                   .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion(),
                                        server ? "PostgreSQL" : "SQLite", where, version, DataFolder());
}

bool StartProgram() {
    SetUpProgramNames();
    AppLog::Start(QStringLiteral("wms"));
    // The first database access: a missing database ends the program here,
    // and an older file is brought up to date.
    InstallMigrations();
    if (!OfferFirstShop()) return false;
    try {
        InitSysVar();
        sqlHelper::OpenConn();
        LogStartUp();
    } catch (const DbError& e) {
        qCWarning(lcApp).noquote() << "start failed:" << e.message();
        MsgBox::Show(e.message(), MsgBox::Critical, "System");
        return false;
    }
    return true;
}
