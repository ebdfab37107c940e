#include "rpt_stock.h"

#include "schema/stockbalance.h"

#include "data/sqlhelper.h"
#include "data/sysvar.h"

namespace {

const char* const kColumns =
    "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,status,isDefault,unit,"
    "totalImportQty,totalImportDefaultQty,totalImportWeight,totalExportQty,totalExportDefaultQty,"
    "totalExportWeight,"
    "totalBlanceQty,totalBlanceDefaultQty,totalBlanceWeight";

const char* const kHeadItems =
    "b.id, b.goodsTypeId, (SELECT uname FROM tb_dictionary WHERE id = b.goodsTypeId) AS goodsTypeName, "
    "b.goodsCode, "
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

// A default unit of 0 pieces leaves the default-unit figures empty instead
// of failing the whole report.
const char* const kPerUnit = "iif(a.packQty = 0, Null, format(%1 / a.packQty, '#0.0##'))";

QStringList fastRefill(const QString& accounts, const QString&) {
    // one pass over the running balance
    const QString perUnit = kPerUnit;
    const QString insert =
        QStringLiteral("insert into temp_rpt_stock( ") + kColumns + ") SELECT " + kHeadItems +
        "format(s.iq, '#0.0##') AS totalImportQty, " + perUnit.arg("s.iq") +
        " AS totalImportDefaultQty, format(s.iw, '#0.0#') AS totalImportWeight, format(s.eq, '#0.0##') AS "
        "totalExportQty, " +
        perUnit.arg("s.eq") +
        " AS totalExportDefaultQty, format(s.ew, '#0.0#') AS totalExportWeight, '0', '0', '0' FROM "
        "tb_goods_detail "
        "AS a LEFT JOIN tb_goods_head AS b ON a.headId = b.id LEFT JOIN (SELECT goodsId, sum(importQty) AS "
        "iq, "
        "sum(importWeight) AS iw, sum(exportQty) AS eq, sum(exportWeight) AS ew FROM tb_stock_balance WHERE "
        "accountId IN (" +
        accounts + ") GROUP BY goodsId) AS s ON s.goodsId = b.id WHERE a.isDefault = 1";
    QStringList out{"delete from temp_rpt_stock", insert};
    out << closingUpdates(); // val(Null) is Null, so an empty figure stays empty
    return out;
}

// A sum over the approved lines of one side for the goods b, as first
// written: one correlated sub-select per figure.
QString correlatedSum(const char* kind, const QString& expr, const char* pattern, const QString& alias) {
    return QStringLiteral(
               "FORMAT((SELECT SUM(%2) FROM tb_%1_detail LEFT JOIN tb_%1_head ON tb_%1_detail.headid = "
               "tb_%1_head.id WHERE tb_%1_detail.goodsId = b.id AND tb_%1_head.ispass = 1 AND "
               "tb_%1_head.accountId IN ( @accountId@ )@sumCondition@), '%3') AS %4")
        .arg(QLatin1String(kind), expr, QLatin1String(pattern), alias);
}

QStringList correlatedSums(const char* kind, const QString& prefix) {
    const QString q = QStringLiteral("( tb_%1_detail.qty * tb_%1_detail.packQty )").arg(QLatin1String(kind));
    const QString w = QStringLiteral("( tb_%1_detail.qty * tb_%1_detail.weight )").arg(QLatin1String(kind));
    return {correlatedSum(kind, q, "#0.0##", prefix + "Qty"),
            correlatedSum(kind, q + " / a.packQty", "#0.0##", prefix + "DefaultQty"),
            correlatedSum(kind, w, "#0.0#", prefix + "Weight")};
}

// The summaries: the stock report's goods with the totals of one side.
QString sumTable(bool out) {
    return out ? "temp_rpt_ckSum" : "temp_rpt_rkSum";
}

QString sumPrefix(bool out) {
    return out ? "totalExport" : "totalImport";
}

QString sumColumns(bool out) {
    const QString p = sumPrefix(out);
    return "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,status,isDefault,"
           "unit," +
           p + "Qty," + p + "DefaultQty," + p + "Weight";
}

QString sumZeroUpdate(bool out) {
    const QString p = sumPrefix(out);
    QStringList sets;
    for (const QString& c : {p + "Qty", p + "DefaultQty", p + "Weight"})
        sets << QStringLiteral("%1 =iif(val(%1)=0,0,%1)").arg(c);
    return "UPDATE " + sumTable(out) + " SET   " + sets.join(", ");
}

// One grouped pass over the lines of the approved bills that pass the
// account and sum conditions; goods without such lines get empty sums,
// which read 0 after the closing update. The bills are chosen first, so a
// month's summary reads only that month's lines.
QStringList fastSumRefill(bool out, const QString& accounts, const QString& sumConditions) {
    const QString k = out ? "ck" : "rk";
    const QString perUnit = kPerUnit;
    const QString lines =
        QStringLiteral(
            "SELECT tb_%1_detail.goodsId, sum(tb_%1_detail.qty * tb_%1_detail.packQty) AS q, "
            "sum(tb_%1_detail.qty * tb_%1_detail.weight) AS w FROM tb_%1_detail WHERE "
            "tb_%1_detail.headId IN (SELECT tb_%1_head.id FROM tb_%1_head WHERE tb_%1_head.ispass = 1 "
            "AND tb_%1_head.accountId IN (%2)")
            .arg(k, accounts);
    const QString insert = "insert into " + sumTable(out) + "( " + sumColumns(out) + ") SELECT " +
                           kHeadItems + "format(s.q, '#0.0##'), " + perUnit.arg("s.q") +
                           ", format(s.w, '#0.0#') FROM tb_goods_detail AS a LEFT JOIN tb_goods_head AS b ON "
                           "a.headId = b.id LEFT JOIN (" +
                           lines + sumConditions + ") GROUP BY tb_" + k +
                           "_detail.goodsId) AS s ON s.goodsId = b.id WHERE a.isDefault = 1";
    return {"delete from " + sumTable(out), insert, sumZeroUpdate(out)};
}

ReportKindDef sumKind(bool out) {
    const QString p = sumPrefix(out);
    return {sumTable(out), sumColumns(out),
            "status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit," + p + "Qty," + p +
                "Weight," + p + "DefaultQty",
            [out](const QString& accounts, const QString& sumConditions) {
                return fastSumRefill(out, accounts, sumConditions);
            }};
}

} // namespace

QStringList CorrelatedStockRefill(const QString& accounts) {
    QString insert =
        QStringLiteral("insert into temp_rpt_stock( ") + kColumns + ") SELECT " + kHeadItems +
        (correlatedSums("rk", "totalImport") + correlatedSums("ck", "totalExport")).join(", ") +
        ", '0', '0', '0' FROM   tb_goods_detail AS a       LEFT JOIN tb_goods_head AS b         ON "
        "a.headId = b.id WHERE  a.isDefault = 1 ";
    insert.replace("@accountId@", accounts).replace("@sumCondition@", "");
    QStringList out{"delete from temp_rpt_stock", insert};
    out << closingUpdates();
    return out;
}

QStringList CorrelatedSumRefill(bool stockOut, const QString& accounts, const QString& sumConditions) {
    QString insert =
        "insert into " + sumTable(stockOut) + "( " + sumColumns(stockOut) + ") SELECT " + kHeadItems +
        correlatedSums(stockOut ? "ck" : "rk", sumPrefix(stockOut)).join(", ") +
        " FROM   tb_goods_detail AS a       LEFT JOIN tb_goods_head AS b         ON a.headId = b.id "
        "WHERE  a.isDefault = 1 ";
    // the account list first: the conditions carry the user's texts
    insert.replace("@accountId@", accounts).replace("@sumCondition@", sumConditions);
    return {"delete from " + sumTable(stockOut), insert, sumZeroUpdate(stockOut)};
}

SumReportDal::SumReportDal(bool stockOut) : ReportDal(sumKind(stockOut)) {}

dal_rpt_stock::dal_rpt_stock()
    : ReportDal({"temp_rpt_stock", kColumns,
                 "status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,totalImportQty,"
                 "totalExportQty,totalBlanceQty,totalImportWeight,totalExportWeight,totalBlanceWeight,"
                 "totalImportDefaultQty,totalExportDefaultQty,totalBlanceDefaultQty",
                 &fastRefill}) {}

RecordSet dal_rpt_stock::GetStockQtyForGoodCode(int goodsId) {
    return GoodsStockBalance(goodsId);
}
