#include "dbsetup.h"
#include "stockbalance.h"

#include "data/database.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "data/translator.h"

#include <QFile>
#include <QFileInfo>
#include <iterator>

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

namespace {

int userVersion(Database& db) {
    return db.query("PRAGMA user_version").at(0, 0).toInt();
}

// Version 2: the running stock balance, and the line indexes the last-price
// lookup of bill entry needs.
void migrateTo2(Database& db) {
    for (const QString& statement : StockBalanceSchema())
        db.execute(statement);
    db.execute("CREATE INDEX IF NOT EXISTS ix_rk_detail_goods_code ON tb_rk_detail(goodsCode)");
    db.execute("CREATE INDEX IF NOT EXISTS ix_ck_detail_goods_code ON tb_ck_detail(goodsCode)");
    RebuildStockBalance();
}

// Version 3: the running balance per location, the report of it and its
// function codes, granted to every department that may grant permissions.
void migrateTo3(Database& db) {
    for (const QString& statement : StockLocationSchema())
        db.execute(statement);
    RebuildStockLocation();
    db.execute(
        "CREATE TABLE IF NOT EXISTS main.temp_rpt_locStock (id INTEGER, goodsTypeId INTEGER, goodsTypeName "
        "TEXT COLLATE NOCASE, "
        "goodsCode TEXT COLLATE NOCASE, goodsName TEXT COLLATE NOCASE, goodsDesc TEXT COLLATE NOCASE, pinyin "
        "TEXT COLLATE NOCASE, unit TEXT COLLATE NOCASE, locationId INTEGER, locationCode TEXT COLLATE "
        "NOCASE, "
        "locationName TEXT COLLATE NOCASE, totalQty REAL, totalDefaultQty TEXT COLLATE NOCASE, totalWeight "
        "REAL)");
    const int report =
        db.query("SELECT id FROM tb_sys_fun WHERE funCode = 'reportCenter'").RecordCount() > 0
            ? db.query("SELECT id FROM tb_sys_fun WHERE funCode = 'reportCenter'").at(0, 0).toInt()
            : 0;
    const int next = db.query("SELECT ifnull(max(id), 0) + 1 FROM tb_sys_fun").at(0, 0).toInt();
    db.execute(QStringLiteral(
                   "INSERT INTO tb_sys_fun (id, funCode, displaytext, parentid, type, orderby) VALUES "
                   "(%1, 'rpt_locstock', '库位库存', %2, 1, 20), (%3, 'rpt_locstock_export', '导出', %1, 2, "
                   "1)")
                   .arg(next)
                   .arg(report)
                   .arg(next + 1));
    db.execute(
        "INSERT INTO tb_user_group_fun (funCode, departmentId) SELECT c.code, g.departmentId FROM (SELECT "
        "'rpt_locstock' AS code UNION ALL SELECT 'rpt_locstock_export') c, (SELECT DISTINCT departmentId "
        "FROM "
        "tb_user_group_fun WHERE funCode = 'limited') g");
}

int funId(Database& db, const char* code) {
    const RecordSet rs =
        db.query(QStringLiteral("SELECT id FROM tb_sys_fun WHERE funCode = '%1'").arg(QLatin1String(code)));
    return rs.RecordCount() > 0 ? rs.at(0, 0).toInt() : 0;
}

// Stock-taking: the counts, their dictionary entries and commands.
void migrateTo4(Database& db) {
    // the location report reads the balance page by page: no report table of its own
    db.execute("DROP TABLE IF EXISTS main.temp_rpt_locStock");
    // the balance per location read in goods order without touching the table
    db.execute("CREATE INDEX IF NOT EXISTS ix_stock_location_goods ON tb_stock_location(goodsId, locationId, "
               "accountId, importQty, exportQty, importWeight, exportWeight)");
    for (const char* statement : {
             "CREATE TABLE tb_stocktake_head (id INTEGER PRIMARY KEY, billNo TEXT COLLATE NOCASE, accountId "
             "INTEGER, locationId INTEGER NOT NULL DEFAULT 0, goodsTypeId INTEGER NOT NULL DEFAULT 0, places "
             "TEXT, goodsTypes TEXT, "
             "state INTEGER NOT NULL DEFAULT 0, creator TEXT COLLATE NOCASE, createTime TEXT COLLATE NOCASE, "
             "userId INTEGER, rkHeadId INTEGER NOT NULL DEFAULT 0, ckHeadId INTEGER NOT NULL DEFAULT 0, "
             "postUser "
             "TEXT COLLATE NOCASE, postTime TEXT COLLATE NOCASE)",
             "CREATE UNIQUE INDEX ux_stocktake_head_bill_no ON tb_stocktake_head(billNo)",
             "CREATE INDEX ix_stocktake_head_account ON tb_stocktake_head(accountId, state)",
             "CREATE INDEX ix_stocktake_head_location ON tb_stocktake_head(locationId)",
             "CREATE INDEX ix_stocktake_head_user ON tb_stocktake_head(userId)",
             "CREATE INDEX ix_stocktake_head_rk ON tb_stocktake_head(rkHeadId)",
             "CREATE INDEX ix_stocktake_head_ck ON tb_stocktake_head(ckHeadId)",
             "CREATE TABLE tb_stocktake_detail (id INTEGER PRIMARY KEY, headId INTEGER NOT NULL, goodsId "
             "INTEGER, "
             "locationId INTEGER NOT NULL DEFAULT 0, unit TEXT COLLATE NOCASE, packQty REAL, bookQty REAL "
             "NOT "
             "NULL DEFAULT 0, countQty REAL, postQty REAL)",
             "CREATE UNIQUE INDEX ux_stocktake_detail_line ON tb_stocktake_detail(headId, goodsId, "
             "locationId)",
             "CREATE INDEX ix_stocktake_detail_goods ON tb_stocktake_detail(goodsId)",
             "CREATE INDEX ix_stocktake_detail_location ON tb_stocktake_detail(locationId)",
         })
        db.execute(QString::fromUtf8(statement));
    // the adjustment bills' types; a shop's own entry of that name is taken
    for (const auto& [type, name] : {std::pair{"importType", "盘盈"}, std::pair{"exportType", "盘亏"}}) {
        const QString where =
            QStringLiteral("utype = '%1' AND uname = '%2'").arg(QLatin1String(type), QString::fromUtf8(name));
        const RecordSet have = db.query("SELECT id FROM tb_dictionary WHERE " + where + " ORDER BY id");
        if (have.RecordCount() > 0) {
            db.execute("UPDATE tb_dictionary SET isSystemSet = 1, isstart = 1 WHERE id = " +
                       have.at(0, 0).toString());
            continue;
        }
        db.execute(
            QStringLiteral("INSERT INTO tb_dictionary (id, utype, uname, parentId, orderBy, remark, isstart, "
                           "isSystemSet) SELECT ifnull(max(id), 0) + 1, '%1', '%2', 0, 0, '', 1, 1 FROM "
                           "tb_dictionary")
                .arg(QLatin1String(type), QString::fromUtf8(name)));
    }
    const int next = db.query("SELECT ifnull(max(id), 0) + 1 FROM tb_sys_fun").at(0, 0).toInt();
    db.execute(QStringLiteral(
                   "INSERT INTO tb_sys_fun (id, funCode, displaytext, parentid, type, orderby) VALUES "
                   "(%1, 'stocktake', '库存盘点', %2, 1, 3), (%3, 'stocktake_post', '盘点过账', %1, 2, 1)")
                   .arg(next)
                   .arg(funId(db, "ckmg"))
                   .arg(next + 1));
    db.execute(
        "INSERT INTO tb_user_group_fun (funCode, departmentId) SELECT c.code, g.departmentId FROM (SELECT "
        "'stocktake' AS code UNION ALL SELECT 'stocktake_post') c, (SELECT DISTINCT departmentId FROM "
        "tb_user_group_fun WHERE funCode = 'limited') g");
}

using Migration = void (*)(Database&);
// migrations[k] brings a file from version k + 1 to k + 2
constexpr Migration kMigrations[] = {migrateTo2, migrateTo3, migrateTo4};
static_assert(std::size(kMigrations) + 1 == kSchemaVersion);

// Runs the migrations after `from` inside the caller's transaction.
void runMigrations(Database& db, int from) {
    for (int v = from; v < kSchemaVersion; ++v)
        kMigrations[v - 1](db);
    db.execute(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
}

} // namespace

void CheckSchemaVersion(qint64 version) {
    if (version < 0)
        throw DbError(
            QStringLiteral("数据库文件的版本 (%1) 无法识别, 不是本程序的数据库!").arg(version));
}

void MigrateDatabase(Database& db) {
    int version = userVersion(db);
    CheckSchemaVersion(version);
    if (version == 0) return; // a file being created
    if (version > kSchemaVersion)
        throw DbError(
            QStringLiteral("数据库文件的版本 (%1) 比本程序能识别的版本 (%2) 新, 请使用新版的程序打开!")
                .arg(version)
                .arg(kSchemaVersion));
    if (version == kSchemaVersion) return;
    db.execute("BEGIN IMMEDIATE");
    try {
        version = userVersion(db); // another program may have migrated it meanwhile
        if (version >= 1 && version < kSchemaVersion) runMigrations(db, version);
        db.execute("COMMIT");
    } catch (const DbError& e) {
        if (db.inTransaction()) db.execute("ROLLBACK");
        throw DbError(QStringLiteral("数据库升级失败: %1").arg(e.message()));
    }
}

void InstallMigrations() {
    Database::setOpenHook(&MigrateDatabase);
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
        runMigrations(db, 1);
        db.execute("COMMIT");
        db.createTempShadows();
    } catch (...) {
        db.close();
        QFile::remove(path);
        throw;
    }
}
