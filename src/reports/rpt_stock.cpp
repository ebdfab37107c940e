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

// The same items with the goods category's name by a join (tb_dictionary gt).
const char* const kJoinedHeadItems =
    "b.id AS id, b.goodsTypeId AS goodsTypeId, gt.uname AS goodsTypeName, b.goodsCode AS goodsCode, "
    "b.goodsName AS goodsName, b.goodsDesc AS goodsDesc, b.pinyin AS pinyin, b.upqty AS upqty, b.downqty AS "
    "downqty, b.status AS status, a.isDefault AS isDefault, a.unit AS unit, ";

// The goods listed, with what the figures sum: every goods' default unit.
QString goodsWith(const QString& sums) {
    return " FROM tb_goods_detail AS a LEFT JOIN tb_goods_head AS b ON a.headId = b.id LEFT JOIN "
           "tb_dictionary "
           "AS gt ON gt.id = b.goodsTypeId LEFT JOIN (" +
           sums + ") AS s ON s.goodsId = b.id WHERE a.isDefault = 1";
}

// The two closing updates of the statements as first written: sums of 0
// read 0, then the balances.
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

// The three figures of one side of a goods, from its sums of pieces and
// weight. A default unit of 0 pieces leaves the default-unit figure empty
// instead of failing the whole report.
QString sideFigures(const QString& qty, const QString& weight, const QString& prefix) {
    return ReportDal::zeroAsZero("format(" + qty + ", '#0.0##')") + " AS " + prefix +
           "Qty, iif(a.packQty = 0, Null, " +
           ReportDal::zeroAsZero("format(" + qty + " / a.packQty, '#0.0##')") + ") AS " + prefix +
           "DefaultQty, " + ReportDal::zeroAsZero("format(" + weight + ", '#0.0#')") + " AS " + prefix +
           "Weight";
}

// One pass over the running balance; the balances are the differences of
// the figures as shown.
QString fastSelect(const QString& accounts, const QString&) {
    const QString figures =
        QStringLiteral("SELECT ") + kJoinedHeadItems + sideFigures("s.iq", "s.iw", "totalImport") + ", " +
        sideFigures("s.eq", "s.ew", "totalExport") +
        goodsWith("SELECT goodsId, sum(importQty) AS iq, sum(importWeight) AS iw, sum(exportQty) AS eq, "
                  "sum(exportWeight) AS ew FROM tb_stock_balance WHERE accountId IN (" +
                  accounts + ") GROUP BY goodsId");
    QStringList items;
    for (const QString& c : QString(kColumns).split(',').mid(0, 18))
        items << "x." + c;
    for (const char* f : {"Qty", "DefaultQty", "Weight"})
        items << QStringLiteral("val(x.totalImport%1) - val(x.totalExport%1) AS totalBlance%1")
                     .arg(QLatin1String(f));
    return "SELECT " + items.join(", ") + " FROM (" + figures + ") AS x";
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
// account and sum conditions; goods without such lines get sums of 0. The
// bills are chosen first, so a month's summary reads only that month's lines.
QString fastSumSelect(bool out, const QString& accounts, const QString& sumConditions) {
    const QString lines =
        QStringLiteral(
            "SELECT tb_%1_detail.goodsId AS goodsId, sum(tb_%1_detail.qty * tb_%1_detail.packQty) AS q, "
            "sum(tb_%1_detail.qty * tb_%1_detail.weight) AS w FROM tb_%1_detail WHERE "
            "tb_%1_detail.headId IN (SELECT tb_%1_head.id FROM tb_%1_head WHERE tb_%1_head.ispass = 1 "
            "AND tb_%1_head.accountId IN (%2)")
            .arg(out ? "ck" : "rk", accounts);
    return QStringLiteral("SELECT ") + kJoinedHeadItems + sideFigures("s.q", "s.w", sumPrefix(out)) +
           goodsWith(lines + sumConditions + ") GROUP BY tb_" + (out ? "ck" : "rk") + "_detail.goodsId");
}

ReportKindDef sumKind(bool out) {
    const QString p = sumPrefix(out);
    return {sumTable(out), sumColumns(out),
            "status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit," + p + "Qty," + p +
                "Weight," + p + "DefaultQty",
            [out](const QString& accounts, const QString& sumConditions) {
                return fastSumSelect(out, accounts, sumConditions);
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
                 &fastSelect}) {}

RecordSet dal_rpt_stock::GetStockQtyForGoodCode(int goodsId) {
    return GoodsStockBalance(goodsId);
}
