#include "schemasteps.h"
#include "stockbalance.h"

#include <iterator>

namespace {

int funId(SchemaWriter& w, const char* code) {
    const RecordSet rs =
        w.query(QStringLiteral("SELECT id FROM tb_sys_fun WHERE funCode = '%1'").arg(QLatin1String(code)));
    return rs.RecordCount() > 0 ? rs.at(0, 0).toInt() : 0;
}

int nextFunId(SchemaWriter& w) {
    return w.query("SELECT coalesce(max(id), 0) + 1 FROM tb_sys_fun").at(0, 0).toInt();
}

// Codes granted to every department that may grant permissions.
void grantToAdministrators(SchemaWriter& w, const QStringList& codes) {
    QStringList arms;
    for (const QString& code : codes)
        arms << "SELECT '" + code + "' AS code";
    w.run("INSERT INTO tb_user_group_fun (funCode, departmentId) SELECT c.code, g.departmentId FROM (" +
          arms.join(" UNION ALL ") +
          ") c, (SELECT DISTINCT departmentId FROM tb_user_group_fun WHERE funCode = 'limited') g");
}

// An action after the last one of a command, granted as above.
void addAction(SchemaWriter& w, const char* command, const char* code, const char* text) {
    const int parent = funId(w, command);
    const int order =
        w.query(QStringLiteral("SELECT coalesce(max(orderby), 0) + 1 FROM tb_sys_fun WHERE parentid = %1").arg(parent))
            .at(0, 0)
            .toInt();
    w.run(QStringLiteral("INSERT INTO tb_sys_fun (id, funCode, displaytext, parentid, type, orderby) VALUES "
                         "(%1, '%2', '%3', %4, 2, %5)")
              .arg(nextFunId(w))
              .arg(QLatin1String(code), QString::fromUtf8(text))
              .arg(parent)
              .arg(order));
    grantToAdministrators(w, {QLatin1String(code)});
}

// A bill type the program itself uses: enabled and marked as the system's;
// a shop's own entry of that name is taken.
void systemBillType(SchemaWriter& w, const char* type, const char* name) {
    const QString where =
        QStringLiteral("utype = '%1' AND uname = '%2'").arg(QLatin1String(type), QString::fromUtf8(name));
    const RecordSet have = w.query("SELECT id FROM tb_dictionary WHERE " + where + " ORDER BY id");
    if (have.RecordCount() > 0) {
        w.run("UPDATE tb_dictionary SET isSystemSet = 1, isstart = 1 WHERE id = " + have.at(0, 0).toString());
        return;
    }
    w.run(QStringLiteral("INSERT INTO tb_dictionary (id, utype, uname, parentId, orderBy, remark, isstart, "
                         "isSystemSet) SELECT coalesce(max(id), 0) + 1, '%1', '%2', 0, 0, '', 1, 1 FROM "
                         "tb_dictionary")
              .arg(QLatin1String(type), QString::fromUtf8(name)));
}

// A command and its first action under a menu entry, granted to every
// department that may grant permissions.
void addCommand(SchemaWriter& w, const char* parent, const char* code, const char* text, int order,
                const char* action, const char* actionText) {
    const int next = nextFunId(w);
    w.run(QStringLiteral("INSERT INTO tb_sys_fun (id, funCode, displaytext, parentid, type, orderby) VALUES "
                         "(%1, '%2', '%3', %4, 1, %5), (%6, '%7', '%8', %1, 2, 1)")
              .arg(next)
              .arg(QLatin1String(code), QString::fromUtf8(text))
              .arg(funId(w, parent))
              .arg(order)
              .arg(next + 1)
              .arg(QLatin1String(action), QString::fromUtf8(actionText)));
    grantToAdministrators(w, {QLatin1String(code), QLatin1String(action)});
}

// Version 2: the running stock balance, and the line indexes the last-price
// lookup of bill entry needs.
void to2(SchemaWriter& w) {
    w.objects(StockBalanceSchema(), "pg_balance.sql");
    w.objects({"CREATE INDEX IF NOT EXISTS ix_rk_detail_goods_code ON tb_rk_detail(goodsCode)",
               "CREATE INDEX IF NOT EXISTS ix_ck_detail_goods_code ON tb_ck_detail(goodsCode)"});
    w.rebuildBalances(false);
}

// Version 3: the running balance per location, the report of it and its
// function codes.
void to3(SchemaWriter& w) {
    w.objects(StockLocationSchema(), "pg_location.sql");
    w.rebuildBalances(true);
    w.objects({"CREATE TABLE temp_rpt_locStock (id INTEGER, goodsTypeId INTEGER, goodsTypeName "
               "TEXT COLLATE NOCASE, "
               "goodsCode TEXT COLLATE NOCASE, goodsName TEXT COLLATE NOCASE, goodsDesc TEXT COLLATE NOCASE, pinyin "
               "TEXT COLLATE NOCASE, unit TEXT COLLATE NOCASE, locationId INTEGER, locationCode TEXT COLLATE "
               "NOCASE, "
               "locationName TEXT COLLATE NOCASE, totalQty REAL, totalDefaultQty TEXT COLLATE NOCASE, totalWeight "
               "REAL)"});
    addCommand(w, "reportCenter", "rpt_locstock", "库位库存", 20, "rpt_locstock_export", "导出");
}

// Version 4: stock-taking, its dictionary entries and commands.
void to4(SchemaWriter& w) {
    // the location report reads the balance page by page: no report table of its own
    w.dropTable("temp_rpt_locStock");
    // the balance per location read in goods order without touching the table
    w.objects({"CREATE INDEX ix_stock_location_goods ON tb_stock_location(goodsId, locationId, "
               "accountId, importQty, exportQty, importWeight, exportWeight)",
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
               "CREATE INDEX ix_stocktake_detail_location ON tb_stocktake_detail(locationId)"});
    // the adjustment bills' types
    systemBillType(w, "importType", "盘盈");
    systemBillType(w, "exportType", "盘亏");
    addCommand(w, "ckmg", "stocktake", "库存盘点", 3, "stocktake_post", "盘点过账");
}

// Version 5: the lists choose a span of bills by their stored creation text,
// which a plain index serves on both engines (the server's index on the
// formatted day goes).
void to5(SchemaWriter& w) {
    for (const char* kind : {"rk", "ck"}) {
        w.run(QStringLiteral("DROP INDEX IF EXISTS ix_tb_%1_head_day").arg(QLatin1String(kind)));
        w.objects({QStringLiteral("CREATE INDEX IF NOT EXISTS ix_%1_head_create_time ON tb_%1_head(createTime)")
                       .arg(QLatin1String(kind))});
    }
}

// Version 6: bringing goods, partners, opening stock and counts in from
// spreadsheets; the opening stock's bill type.
void to6(SchemaWriter& w) {
    addAction(w, "goodsInfor", "goodsInfor_import", "导入货品");
    addAction(w, "customer", "customer_import", "导入往来单位");
    addAction(w, "import", "import_opening", "期初库存");
    addAction(w, "stocktake", "stocktake_import", "导入盘点");
    systemBillType(w, "importType", "期初入库");
}

constexpr SchemaStep kSteps[] = {
    {2, "库存余额表及其触发器, 单据明细的货品编码索引", &to2},
    {3, "库位库存余额表及其触发器, 库位库存报表及其权限", &to3},
    {4, "库存盘点的表、字典项和权限", &to4},
    {5, "单据建单日期索引", &to5},
    {6, "导入货品、往来单位、期初库存和盘点的权限, 期初入库类别", &to6},
};
static_assert(std::size(kSteps) + 1 == kSchemaVersion);

} // namespace

std::vector<SchemaStep> SchemaStepsBetween(int from, int to) {
    std::vector<SchemaStep> out;
    for (const SchemaStep& s : kSteps)
        if (s.version > from && s.version <= to) out.push_back(s);
    return out;
}
