#include "schemasteps.h"
#include "stockbalance.h"

#include <initializer_list>
#include <iterator>
#include <utility>

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
        w.query(QStringLiteral("SELECT coalesce(max(orderby), 0) + 1 FROM tb_sys_fun WHERE parentid = %1")
                    .arg(parent))
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

// A command and its actions under a menu entry, granted to every department
// that may grant permissions.
void addCommand(SchemaWriter& w, const char* parent, const char* code, const char* text, int order,
                std::initializer_list<std::pair<const char*, const char*>> actions) {
    const int next = nextFunId(w);
    QStringList rows{QStringLiteral("(%1, '%2', '%3', %4, 1, %5)")
                         .arg(next)
                         .arg(QLatin1String(code), QString::fromUtf8(text))
                         .arg(funId(w, parent))
                         .arg(order)};
    QStringList codes{QLatin1String(code)};
    int k = 0;
    for (const auto& [action, actionText] : actions) {
        ++k;
        rows << QStringLiteral("(%1, '%2', '%3', %4, 2, %5)")
                    .arg(next + k)
                    .arg(QLatin1String(action), QString::fromUtf8(actionText))
                    .arg(next)
                    .arg(k);
        codes << QLatin1String(action);
    }
    w.run("INSERT INTO tb_sys_fun (id, funCode, displaytext, parentid, type, orderby) VALUES " +
          rows.join(", "));
    grantToAdministrators(w, codes);
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
    w.objects(
        {"CREATE TABLE temp_rpt_locStock (id INTEGER, goodsTypeId INTEGER, goodsTypeName "
         "TEXT COLLATE NOCASE, "
         "goodsCode TEXT COLLATE NOCASE, goodsName TEXT COLLATE NOCASE, goodsDesc TEXT COLLATE NOCASE, "
         "pinyin "
         "TEXT COLLATE NOCASE, unit TEXT COLLATE NOCASE, locationId INTEGER, locationCode TEXT COLLATE "
         "NOCASE, "
         "locationName TEXT COLLATE NOCASE, totalQty REAL, totalDefaultQty TEXT COLLATE NOCASE, totalWeight "
         "REAL)"});
    addCommand(w, "reportCenter", "rpt_locstock", "库位库存", 20, {{"rpt_locstock_export", "导出"}});
}

// Version 4: stock-taking, its dictionary entries and commands.
void to4(SchemaWriter& w) {
    // the location report reads the balance page by page: no report table of its own
    w.dropTable("temp_rpt_locStock");
    // the balance per location read in goods order without touching the table
    w.objects(
        {"CREATE INDEX ix_stock_location_goods ON tb_stock_location(goodsId, locationId, "
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
    addCommand(w, "ckmg", "stocktake", "库存盘点", 3, {{"stocktake_post", "盘点过账"}});
}

// Version 5: the lists choose a span of bills by their stored creation text,
// which a plain index serves on both engines (the server's index on the
// formatted day goes).
void to5(SchemaWriter& w) {
    for (const char* kind : {"rk", "ck"}) {
        w.run(QStringLiteral("DROP INDEX IF EXISTS ix_tb_%1_head_day").arg(QLatin1String(kind)));
        w.objects(
            {QStringLiteral("CREATE INDEX IF NOT EXISTS ix_%1_head_create_time ON tb_%1_head(createTime)")
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

// Version 7: transfers between locations: their tables, views and triggers
// (the balance per location only), report tables, and commands.
void to7(SchemaWriter& w) {
    w.objects(TransferSchema(), "pg_transfer.sql");
    const QString accountName = "(select uname from tb_dictionary where id = %1.accountId) as accountName";
    const QString passName = "iif(%1.ispass = 0, '未审核', '已审核') as passName";
    w.view(
        "v_transfer_head",
        "select a.id, a.accountId, " + accountName.arg('a') + ", a.billNo, a.ispass, " + passName.arg('a') +
            ", a.remark, a.creator, a.createTime, a.updateLastUser, a.updateLastTime, a.userId, "
            "(select '1单' & count(*) & '项' from tb_transfer_detail where headId = a.id) as totalItemRow, "
            "(select count(*) from tb_transfer_detail where headId = a.id) as rowsCount, "
            "(select sum(qty * packQty) from tb_transfer_detail where headId = a.id) as totalQty "
            "from tb_transfer_head a");
    const QString place = "(select %1 from tb_location where id = a.%2LocationId) as %2Location%3";
    w.view(
        "v_transfer_detail",
        "select a.id, a.headId, b.accountId, " + accountName.arg('b') + ", b.ispass, " + passName.arg('b') +
            ", b.billNo, b.creator, b.createTime, b.userId, a.rowNo, a.goodsTypeId, a.goodsTypeName, "
            "a.goodsId, a.goodsCode, a.goodsDetailCode, a.goodsName, a.goodsDesc, a.unit, a.packQty, "
            "a.weight, "
            "a.qty, a.packQty * a.qty as totalQty, "
            "format(a.packQty * a.qty / (select packQty from tb_goods_detail where isDefault = 1 and headId "
            "= "
            "a.goodsId), '#0.0##') as totalDefaultQty, a.weight * a.qty as totalWeight, a.fromLocationId, " +
            place.arg("locationCode", "from", "Code") + ", " + place.arg("uname", "from", "Name") +
            ", a.toLocationId, " + place.arg("locationCode", "to", "Code") + ", " +
            place.arg("uname", "to", "Name") +
            ", a.lotNo, a.remark from tb_transfer_detail a left join tb_transfer_head b on a.headId = b.id");
    // the report tables of the transfer list and the transfer lines
    w.objects(
        {"CREATE TABLE temp_rpt_dbHead (id INTEGER, accountId INTEGER, accountName TEXT COLLATE NOCASE, "
         "billNo TEXT COLLATE NOCASE, ispass INTEGER, passName TEXT COLLATE NOCASE, remark TEXT COLLATE "
         "NOCASE, creator TEXT COLLATE NOCASE, createTime TEXT COLLATE NOCASE, updateLastUser TEXT COLLATE "
         "NOCASE, updateLastTime TEXT COLLATE NOCASE, userId INTEGER, totalItemRow TEXT COLLATE NOCASE, "
         "rowsCount INTEGER, totalQty REAL)",
         "CREATE TABLE temp_rpt_dbDetail (id INTEGER, headId INTEGER, accountId INTEGER, accountName TEXT "
         "COLLATE NOCASE, ispass INTEGER, passName TEXT COLLATE NOCASE, billNo TEXT COLLATE NOCASE, userId "
         "INTEGER, rowNo INTEGER, goodsTypeId INTEGER, goodsTypeName TEXT COLLATE NOCASE, goodsId INTEGER, "
         "goodsCode TEXT COLLATE NOCASE, goodsDetailCode TEXT COLLATE NOCASE, goodsName TEXT COLLATE NOCASE, "
         "pinyin TEXT COLLATE NOCASE, goodsDesc TEXT COLLATE NOCASE, unit TEXT COLLATE NOCASE, packQty REAL, "
         "weight REAL, qty REAL, totalQty REAL, totalDefaultQty TEXT COLLATE NOCASE, totalWeight REAL, "
         "fromLocationId INTEGER, fromLocationCode TEXT COLLATE NOCASE, fromLocationName TEXT COLLATE "
         "NOCASE, toLocationId INTEGER, toLocationCode TEXT COLLATE NOCASE, toLocationName TEXT COLLATE "
         "NOCASE, lotNo TEXT COLLATE NOCASE, remark TEXT COLLATE NOCASE, creator TEXT COLLATE NOCASE, "
         "createTime TEXT COLLATE NOCASE)"});
    addCommand(w, "ckmg", "transfer", "调拨业务", 4,
               {{"transfer_save", "新增调拨单"},
                {"transfer_update", "修改调拨单"},
                {"transfer_delete", "删除调拨单"},
                {"transfer_pass", "审核调拨单"},
                {"transfer_nopass", "反审调拨单"},
                {"transfer_print", "打印调拨单"},
                {"transfer_searchBill", "查找调拨单"}});
    addCommand(w, "reportCenter", "rpt_dbbill", "调拨单据", 21,
               {{"rpt_dbbill_print", "打印"},
                {"rpt_dbbill_export", "导出"},
                {"rpt_dbbill_browse", "查看单据"},
                {"rpt_dbbill_delete", "删除单据"},
                {"rpt_dbbill_pass", "审核单据"},
                {"rpt_dbbill_nopass", "反审单据"},
                {"rpt_dbbill_add", "新增单据"}});
    addCommand(w, "reportCenter", "rpt_db_detail_bill", "调拨明细", 22,
               {{"rpt_db_detail_bill_print", "打印"},
                {"rpt_db_detail_bill_export", "导出"},
                {"rpt_db_detail_bill_browse", "查看单据"},
                {"rpt_db_detail_bill_delete", "删除单据"}});
}

// Version 8: lots and expiry dates: the goods' lot settings, the lines'
// production and expiry dates, the balance per lot with its triggers, the
// near-expiry warning's days and the near-expiry report's codes.
void to8(SchemaWriter& w) {
    w.addColumn("tb_goods_head", "lotTracked INTEGER NOT NULL DEFAULT 0");
    w.addColumn("tb_goods_head", "shelfLifeDays INTEGER NOT NULL DEFAULT 0");
    for (const char* lines : {"tb_rk_detail", "tb_ck_detail", "tb_transfer_detail"}) {
        w.addColumn(QLatin1String(lines), "productionDate TEXT COLLATE NOCASE");
        w.addColumn(QLatin1String(lines), "expiryDate TEXT COLLATE NOCASE");
    }
    w.objects(StockLotSchema(), "pg_lot.sql");
    w.rebuildLots();
    w.run(
        "INSERT INTO tb_setting (id, setKey, setValue) SELECT m.id, 'expiryWarnDays', '30' FROM (SELECT "
        "coalesce(max(id), 0) + 1 AS id FROM tb_setting) m WHERE NOT EXISTS (SELECT 1 FROM tb_setting WHERE "
        "setKey = 'expiryWarnDays')");
    addCommand(w, "reportCenter", "rpt_expiry", "效期预警", 23, {{"rpt_expiry_export", "导出"}});
}

// Version 9: the report tables of the lines take the lines' production and
// expiry dates, which their exports append; the lots' expiry index serves the
// file's comparisons, which ignore case; stock-taking counts by lot.
void to9(SchemaWriter& w) {
    // a withdrawn stock-in or transfer gives its lots' expiries back
    w.replaceTriggers(StockLotSchema(), "pg_lot_expiry.sql");
    w.run("DROP INDEX IF EXISTS ix_stock_lot_expiry");
    w.objects({"CREATE INDEX ix_stock_lot_expiry ON tb_stock_lot(expiryDate COLLATE NOCASE)"}, nullptr);
    // a count's line of a lot-tracked goods is one lot (byLot 1), the others the whole location
    w.addColumn("tb_stocktake_detail", "byLot INTEGER NOT NULL DEFAULT 0");
    w.addColumn("tb_stocktake_detail", "lotNo TEXT NOT NULL DEFAULT ''");
    w.run("DROP INDEX IF EXISTS ux_stocktake_detail_line");
    w.objects(
        {"CREATE UNIQUE INDEX ux_stocktake_detail_line ON tb_stocktake_detail(headId, goodsId, locationId, "
         "byLot, lotNo)"},
        nullptr);
    for (const char* table : {"temp_rpt_rkDetail", "temp_rpt_ckDetail", "temp_rpt_dbDetail"}) {
        w.addColumn(QLatin1String(table), "productionDate TEXT COLLATE NOCASE");
        w.addColumn(QLatin1String(table), "expiryDate TEXT COLLATE NOCASE");
    }
}

constexpr SchemaStep kSteps[] = {
    {2, "库存余额表及其触发器, 单据明细的货品编码索引", &to2},
    {3, "库位库存余额表及其触发器, 库位库存报表及其权限", &to3},
    {4, "库存盘点的表、字典项和权限", &to4},
    {5, "单据建单日期索引", &to5},
    {6, "导入货品、往来单位、期初库存和盘点的权限, 期初入库类别", &to6},
    {7, "调拨单的表、视图、触发器、报表和权限", &to7},
    {8, "批次和有效期: 货品的批次设置, 明细的生产日期和有效期, 批次库存及其触发器, 效期预警", &to8},
    {9, "明细报表的生产日期和有效期, 批次有效期索引, 按批次盘点", &to9},
};
static_assert(std::size(kSteps) + 1 == kSchemaVersion);

} // namespace

std::vector<SchemaStep> SchemaStepsBetween(int from, int to) {
    std::vector<SchemaStep> out;
    for (const SchemaStep& s : kSteps)
        if (s.version > from && s.version <= to) out.push_back(s);
    return out;
}
