#include "rpt_locstock.h"

#include "data/results.h"
#include "data/sqlhelper.h"

#include <QSet>
#include <algorithm>

namespace {

const char* const kColumns =
    "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,unit,locationId,"
    "locationCode,locationName,totalQty,totalDefaultQty,totalWeight";

// The balance per goods and location of the accounts (" AND locationId IN
// (...)" or "" for places), in goods code order; top > 0 keeps the first
// rows of that order (or of its reverse).
QString balance(const QString& accounts, const QString& places, int top = 0, bool desc = false) {
    const QString dir = desc ? " DESC" : "";
    return QStringLiteral(
               "SELECT %1b.goodsCode AS code, b.id AS goodsId, s.locationId, sum(s.importQty - "
               "s.exportQty) AS q, sum(s.importWeight - s.exportWeight) AS w FROM tb_goods_head AS "
               "b INNER JOIN tb_stock_location AS s ON s.goodsId = b.id WHERE s.accountId IN (%2)%3 "
               "GROUP BY b.goodsCode, b.id, s.locationId HAVING abs(sum(s.importQty - s.exportQty)) "
               "> 0.000001")
               .arg(top > 0 ? QStringLiteral("TOP %1 ").arg(top) : QString(), accounts,
                    QString(places).replace("locationId", "s.locationId")) +
           (top > 0 ? QStringLiteral(" ORDER BY b.goodsCode%1, b.id%1, s.locationId%1").arg(dir) : QString());
}

// The report's columns for the balance rows of a statement.
QString named(const QString& rows) {
    return QStringLiteral(
               "SELECT b.id, b.goodsTypeId, t.uname AS goodsTypeName, b.goodsCode, b.goodsName, b.goodsDesc, "
               "b.pinyin, a.unit, s.locationId, l.locationCode, l.uname AS locationName, s.q AS totalQty, "
               "iif(a.packQty = 0, Null, format(s.q / a.packQty, '#0.0##')) AS totalDefaultQty, round(s.w, "
               "4) AS "
               "totalWeight FROM ((((%1) AS s INNER JOIN tb_goods_head AS b ON b.id = s.goodsId) LEFT JOIN "
               "tb_goods_detail AS a ON (a.headId = b.id AND a.isDefault = 1)) LEFT JOIN tb_location AS l ON "
               "l.id = s.locationId) LEFT JOIN tb_dictionary AS t ON t.id = b.goodsTypeId")
        .arg(rows);
}

// A sort that pages the same way every time: ties by goods and location.
QString order(const QString& field, bool desc) {
    const QString dir = desc ? " desc" : " asc";
    return " order by " + field + dir + ", id" + dir + ", locationId" + dir;
}

} // namespace

dal_rpt_locStock::dal_rpt_locStock()
    : ReportDal({QString(), kColumns,
                 "goodsCode,goodsName,goodsDesc,unit,locationCode,locationName,totalDefaultQty,totalQty,"
                 "totalWeight",
                 [](const QString&, const QString&) { return QString(); }}) {
    setFilter(LocStockFilter(), ConditionSet());
}

void dal_rpt_locStock::setFilter(const LocStockFilter& f, const ConditionSet& list) {
    m_accounts.clear();
    for (const QString& id : f.accountIds.split(',', Qt::SkipEmptyParts))
        m_accounts += QString::number(id.trimmed().toLongLong()) + ",";
    m_accounts += "0";
    m_places.clear();
    if (!f.locationIds.trimmed().isEmpty()) {
        QStringList ids;
        for (const QString& id : f.locationIds.split(',', Qt::SkipEmptyParts))
            ids << QString::number(id.trimmed().toLongLong());
        m_places = " AND locationId IN (" + ids.join(',') + ")";
    }
    m_condition = GetConditionSql(list);
    setTable("(" + named(balance(m_accounts, m_places)) + ") AS v");
}

QString dal_rpt_locStock::OrderClause(const m_PageInfor& page) const {
    return page.str_orderBy.isEmpty() ? QString() : order(page.str_orderBy, page.isDesc);
}

m_recordSet dal_rpt_locStock::GetListForCondition(const LocStockFilter& f, const ConditionSet& list,
                                                  const m_PageInfor& page, const QString& selectList) {
    setFilter(f, list);
    m_recordSet result;
    QString sql = (selectList.trimmed().isEmpty() ? "select " + kind().columns : selectList) + " from " +
                  kind().table + "  where 1=1 " + m_condition;
    sql += OrderClause(page);
    result.recordSet = sqlHelper::ExecuteSql(sql);
    result.recordCount = result.recordSet.RecordCount();
    result.str_condition = m_condition;
    return result;
}

m_recordSet dal_rpt_locStock::CountForCondition(const LocStockFilter& f, const ConditionSet& list) {
    setFilter(f, list);
    m_recordSet result;
    // without a condition on the names the balance alone is counted
    const QString counted =
        m_condition.isEmpty()
            ? QStringLiteral("SELECT count(*) FROM (SELECT goodsId FROM tb_stock_location WHERE accountId IN "
                             "(%1)%2 GROUP BY goodsId, locationId HAVING abs(sum(importQty - exportQty)) > "
                             "0.000001) AS c")
                  .arg(m_accounts, m_places)
            : "SELECT count(*) FROM " + kind().table + " WHERE 1=1 " + m_condition;
    const RecordSet rs = sqlHelper::ExecuteSql(counted);
    m_count = rs.RecordCount() > 0 ? rs.at(0, 0).toInt() : 0;
    result.recordCount = m_count;
    result.str_condition = m_condition;
    return result;
}

RecordSet dal_rpt_locStock::GetPage(const m_PageInfor& page, int pageIndex, int pageSize,
                                    const QString& selectList) {
    if (m_count < 1 || pageSize < 1) return RecordSet();
    const int pages = GetPageCount(m_count, pageSize);
    pageIndex = std::clamp(pageIndex, 1, pages);
    const int offset = (pageIndex - 1) * pageSize;
    const int rows = std::min(pageSize, m_count - offset);
    // from the nearer end: the rows up to the page's end, or from the last row back to its start
    const bool fromEnd = pageIndex > (pages + 1) / 2;
    const int top = fromEnd ? m_count - offset : offset + rows;
    const QString field = page.str_orderBy.isEmpty() ? DefaultOrder() : page.str_orderBy;
    const bool desc = page.isDesc;
    const QString select = selectList.trimmed().isEmpty() ? "select " + kind().columns : selectList;
    if (field == DefaultOrder() && m_condition.isEmpty()) {
        // goods in code order straight from the balance; only the page is named
        const QString took = balance(m_accounts, m_places, top, desc != fromEnd);
        const QString dir = desc == fromEnd ? " DESC" : "";
        const QString source =
            named(QStringLiteral("SELECT TOP %1 * FROM (%2) AS a ORDER BY code%3, goodsId%3, locationId%3")
                      .arg(rows)
                      .arg(took, dir));
        return sqlHelper::ExecuteSql(select + " from (" + source + ") AS v" + order(field, desc));
    }
    return PageFromNearerEnd(select, kind().table, m_condition, m_count, pageIndex, pageSize,
                             [&](bool reversed) { return order(field, desc != reversed); });
}

void LocStockConditions(const LocStockFilter& f, ConditionSet& list) {
    if (!f.goodsType.trimmed().isEmpty()) list.AddItem("1", m_condition("goodsTypeName", "=", f.goodsType));
    if (!f.keyword.isEmpty())
        list.AddItem("2",
                     m_condition("goodsCode&goodsName&iif(pinyin is null,'',pinyin)&iif(goodsDesc is null,'',"
                                 "goodsDesc)&iif(locationCode is null,'',locationCode)&iif(locationName is "
                                 "null,'',locationName)",
                                 "like", f.keyword));
}

QString LocStockSelect() {
    return "select "
           "0,id,goodsTypeName,goodsCode,goodsName,goodsDesc,unit,locationCode,locationName,totalDefaultQty,"
           "totalQty,totalWeight ";
}

QString LocStockCaptions() {
    return QStringLiteral("货品编码,货品名称,规格,单位,库位编号,库位名称,默认件数,小件数量,重量");
}

QString LocStockKinds() {
    return "tttttt"
           "nnn";
}
