#include "dbsetup.h"

#include "data/database.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "data/translator.h"

#include <QFile>
#include <QFileInfo>

// Resources of a static library must be registered by hand.
static void initSqlResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

QString resourceText(const QString& name) {
    initSqlResources();
    QFile f(":/sql/" + name);
    if (!f.open(QIODevice::ReadOnly)) throw DbError(QStringLiteral("缺少资源文件 %1").arg(name));
    return QString::fromUtf8(f.readAll());
}

} // namespace

void RunScript(const QString& script) {
    Database& db = Database::instance();
    for (const QString& statement : AccessSql::splitScript(script)) {
        try {
            db.execute(AccessSql::translateUncached(statement));
        } catch (const DbError& e) {
            throw DbError(e.message() + "\n" + statement.left(200));
        }
    }
}

void CreateDatabase(const QString& file, bool demo, bool force) {
    const QString path = QFileInfo(file).absoluteFilePath();
    Database& db = Database::instance();
    if (QFileInfo::exists(path)) {
        if (!force) throw DbError(QStringLiteral("数据库文件已经存在: %1 (用 --force 覆盖)").arg(path));
        if (db.path() == path) db.close();
        if (!QFile::remove(path)) throw DbError(QStringLiteral("不能删除原有的数据库文件: %1").arg(path));
        QFile::remove(path + "-journal");
    }
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    db.open(path, true);
    try {
        db.execute("BEGIN");
        RunScript(resourceText("schema.sql"));
        RunScript(resourceText("temp_tables.sql"));
        RunScript(resourceText("views.sql"));
        RunScript(resourceText("seed.sql"));
        if (demo) RunScript(resourceText("demo.sql"));
        db.execute(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
        db.execute("COMMIT");
        db.createTempShadows();
    } catch (...) {
        db.close();
        QFile::remove(path);
        throw;
    }
}
