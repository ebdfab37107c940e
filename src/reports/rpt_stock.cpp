#include "rpt_stock.h"

#include "data/sqlhelper.h"
#include "data/sysvar.h"

namespace {

const char* const kColumns =
    "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,status,isDefault,unit,"
    "totalImportQty,totalImportDefaultQty,totalImportWeight,totalExportQty,totalExportDefaultQty,totalExportWeight,"
    "totalBlanceQty,totalBlanceDefaultQty,totalBlanceWeight";

const char* const kHeadItems =
    "b.id, b.goodsTypeId, (SELECT uname FROM tb_dictionary WHERE id = b.goodsTypeId) AS goodsTypeName, b.goodsCode, "
    "b.goodsName, b.goodsDesc, b.pinyin, b.upqty, b.downqty, b.status, a.isDefault, a.unit, ";

// The two closing updates: sums of 0 read 0, then the balances.
QStringList closingUpdates() {
    QString zero = "UPDATE temp_rpt_stock SET ";
    QStringList sets;
    for (const char* c : {"totalImportQty", "totalImportDefaultQty", "totalImportWeight", "totalExportQty",
                          "totalExportDefaultQty", "totalExportWeight"})
        sets << QStringLiteral("%1 =iif(val(%1)=0,0,%1)").arg(c);
    zero += sets.join(", ");
    return {zero, "UPDATE temp_rpt_stock SET   totalBlanceQty = val(totalImportQty) - val(totalExportQty),"
                  "       totalBlanceDefaultQty = val(totalImportDefaultQty) - val(totalExportDefaultQty),"
                  "       totalBlanceWeight = val(totalImportWeight) - val(totalExportWeight) "};
}

QStringList fastRefill(const QString& accounts) {
    // one pass over the running balance; a default unit of 0 pieces leaves
    // the default-unit figures empty instead of failing the whole report
    const QString perUnit = "iif(a.packQty = 0, Null, format(%1 / a.packQty, '#0.0##'))";
    const QString insert =
        QStringLiteral("insert into temp_rpt_stock( ") + kColumns + ") SELECT " + kHeadItems +
        "format(s.iq, '#0.0##') AS totalImportQty, " + perUnit.arg("s.iq") +
        " AS totalImportDefaultQty, format(s.iw, '#0.0#') AS totalImportWeight, format(s.eq, '#0.0##') AS "
        "totalExportQty, " +
        perUnit.arg("s.eq") +
        " AS totalExportDefaultQty, format(s.ew, '#0.0#') AS totalExportWeight, '0', '0', '0' FROM tb_goods_detail "
        "AS a LEFT JOIN tb_goods_head AS b ON a.headId = b.id LEFT JOIN (SELECT goodsId, sum(importQty) AS iq, "
        "sum(importWeight) AS iw, sum(exportQty) AS eq, sum(exportWeight) AS ew FROM tb_stock_balance WHERE "
        "accountId IN (" +
        accounts + ") GROUP BY goodsId) AS s ON s.goodsId = b.id WHERE a.isDefault = 1";
    QStringList out{"delete from temp_rpt_stock", insert};
    out << closingUpdates(); // val(Null) is Null, so an empty figure stays empty
    return out;
}

} // namespace

QStringList CorrelatedStockRefill(const QString& accounts) {
    auto sum = [](const char* kind, const QString& expr, const char* pattern, const char* alias) {
        return QStringLiteral("FORMAT((SELECT SUM(%2) FROM tb_%1_detail LEFT JOIN tb_%1_head ON tb_%1_detail.headid = "
                              "tb_%1_head.id WHERE tb_%1_detail.goodsId = b.id AND tb_%1_head.ispass = 1 AND "
                              "tb_%1_head.accountId IN ( @accountId@ )), '%3') AS %4")
            .arg(kind, expr, pattern, alias);
    };
    QStringList sums;
    for (const char* kind : {"rk", "ck"}) {
        const QString q = QStringLiteral("( tb_%1_detail.qty * tb_%1_detail.packQty )").arg(kind);
        const QString w = QStringLiteral("( tb_%1_detail.qty * tb_%1_detail.weight )").arg(kind);
        const bool in = QLatin1String(kind) == QLatin1String("rk");
        sums << sum(kind, q, "#0.0##", in ? "totalImportQty" : "totalExportQty")
             << sum(kind, q + " / a.packQty", "#0.0##", in ? "totalImportDefaultQty" : "totalExportDefaultQty")
             << sum(kind, w, "#0.0#", in ? "totalImportWeight" : "totalExportWeight");
    }
    QString insert = QStringLiteral("insert into temp_rpt_stock( ") + kColumns + ") SELECT " + kHeadItems +
                     sums.join(", ") +
                     ", '0', '0', '0' FROM   tb_goods_detail AS a       LEFT JOIN tb_goods_head AS b         ON "
                     "a.headId = b.id WHERE  a.isDefault = 1 ";
    insert.replace("@accountId@", accounts);
    QStringList out{"delete from temp_rpt_stock", insert};
    out << closingUpdates();
    return out;
}

dal_rpt_stock::dal_rpt_stock()
    : ReportDal({"temp_rpt_stock", kColumns,
                 "status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,totalImportQty,"
                 "totalExportQty,totalBlanceQty,totalImportWeight,totalExportWeight,totalBlanceWeight,"
                 "totalImportDefaultQty,totalExportDefaultQty,totalBlanceDefaultQty",
                 &fastRefill}) {}

RecordSet dal_rpt_stock::GetStockQtyForGoodCode(int goodsId) {
    const QString id = QString::number(goodsId);
    return sqlHelper::ExecuteSql(
        "select b.goodsId as id, sum(b.importQty) - sum(b.exportQty) as totalBlanceQty from tb_stock_balance b "
        "where b.goodsId=" + id +
        " and b.accountId in (select id from tb_dictionary where utype='accountType' and isstart=1 and id in (" +
        SysVar().Sys_accountJoinId + ")) and exists (select 1 from tb_goods_detail where headId=" + id +
        " and isDefault=1) group by b.goodsId");
}
