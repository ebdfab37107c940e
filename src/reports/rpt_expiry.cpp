#include "rpt_expiry.h"

#include "data/results.h"
#include "data/sqlhelper.h"

#include <QStringList>
#include <algorithm>

namespace {

const char* const kColumns =
    "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,unit,locationId,"
    "locationCode,locationName,lotNo,expiryDate,daysLeft,totalDefaultQty,totalQty";

// A list of ids as numbers only ("" stays "").
QString idList(const QString& ids) {
    QStringList out;
    for (const QString& id : ids.split(',', Qt::SkipEmptyParts))
        out << QString::number(id.trimmed().toLongLong());
    return out.join(',');
}

// The lots with pieces in stock of the accounts at the places, expiring on or
// before the last day, with their names and days left from today.
QString lots(const ExpiryFilter& f) {
    const QString accounts = idList(f.accountIds + ",0");
    const QString places = idList(f.locationIds);
    const QString day = f.today.toString("yyyy-MM-dd");
    const QString last = f.today.addDays(std::max(0, f.days)).toString("yyyy-MM-dd");
    // the lots found by their expiry (through its index), then their balance over the accounts
    const QString rows =
        QStringLiteral(
            "SELECT s.goodsId, s.locationId, s.lotNo, min(c.e) AS expiryDate, sum(s.importQty - "
            "s.exportQty) AS q FROM (SELECT goodsId, locationId, lotNo, min(expiryDate) AS e FROM "
            "tb_stock_lot WHERE expiryDate <= '%3' AND accountId IN (%1)%2 GROUP BY goodsId, "
            "locationId, lotNo) AS c INNER JOIN tb_stock_lot AS s ON (s.goodsId = c.goodsId AND "
            "s.locationId = c.locationId AND s.lotNo = c.lotNo) WHERE s.accountId IN (%1) GROUP BY "
            "s.goodsId, s.locationId, s.lotNo HAVING sum(s.importQty - s.exportQty) > 0.000001")
            .arg(accounts, places.isEmpty() ? QString() : " AND locationId IN (" + places + ")", last);
    return QStringLiteral(
               "(SELECT b.id, b.goodsTypeId, t.uname AS goodsTypeName, b.goodsCode, b.goodsName, "
               "b.goodsDesc, "
               "b.pinyin, a.unit, s.locationId, l.locationCode, l.uname AS locationName, s.lotNo, "
               "s.expiryDate, DateDiff('d', '%1', s.expiryDate) AS daysLeft, iif(a.packQty = 0, Null, "
               "format(s.q / a.packQty, '#0.0##')) AS totalDefaultQty, s.q AS totalQty FROM ((((%2) AS s "
               "INNER JOIN tb_goods_head AS b ON b.id = s.goodsId) LEFT JOIN tb_goods_detail AS a ON "
               "(a.headId = b.id AND a.isDefault = 1)) LEFT JOIN tb_location AS l ON l.id = s.locationId) "
               "LEFT JOIN tb_dictionary AS t ON t.id = b.goodsTypeId) AS v")
        .arg(day, rows);
}

// A sort that pages the same way every time.
QString order(const QString& field, bool desc) {
    const QString dir = desc ? " desc" : " asc";
    QString out = " order by " + field + dir;
    for (const char* tie : {"expiryDate", "goodsCode", "id", "locationCode", "locationId", "lotNo"})
        if (field != QLatin1String(tie)) out += QStringLiteral(", %1%2").arg(QLatin1String(tie), dir);
    return out;
}

} // namespace

dal_rpt_expiry::dal_rpt_expiry()
    : ReportDal({QString(), kColumns,
                 "goodsCode,goodsName,goodsDesc,unit,locationCode,locationName,lotNo,expiryDate,daysLeft,"
                 "totalDefaultQty,totalQty",
                 [](const QString&, const QString&) { return QString(); }}) {
    setFilter(ExpiryFilter(), ConditionSet());
}

void dal_rpt_expiry::setFilter(const ExpiryFilter& f, const ConditionSet& list) {
    m_condition = GetConditionSql(list);
    setTable(lots(f));
}

QString dal_rpt_expiry::OrderClause(const m_PageInfor& page) const {
    return order(page.str_orderBy.isEmpty() ? DefaultOrder() : page.str_orderBy, page.isDesc);
}

m_recordSet dal_rpt_expiry::CountForCondition(const ExpiryFilter& f, const ConditionSet& list) {
    setFilter(f, list);
    m_recordSet result;
    const RecordSet rs =
        sqlHelper::ExecuteSql("SELECT count(*) FROM " + kind().table + " WHERE 1=1 " + m_condition);
    m_count = rs.RecordCount() > 0 ? rs.at(0, 0).toInt() : 0;
    result.recordCount = m_count;
    result.str_condition = m_condition;
    return result;
}

RecordSet dal_rpt_expiry::GetPage(const m_PageInfor& page, int pageIndex, int pageSize,
                                  const QString& selectList) {
    const QString field = page.str_orderBy.isEmpty() ? DefaultOrder() : page.str_orderBy;
    return PageFromNearerEnd(selectList.trimmed().isEmpty() ? "select " + kind().columns : selectList,
                             kind().table, m_condition, m_count, pageIndex, pageSize,
                             [&](bool reversed) { return order(field, page.isDesc != reversed); });
}

void ExpiryConditions(const ExpiryFilter& f, ConditionSet& list) {
    if (!f.goodsType.trimmed().isEmpty()) list.AddItem("1", m_condition("goodsTypeName", "=", f.goodsType));
    if (!f.keyword.isEmpty())
        list.AddItem("2",
                     m_condition("goodsCode&goodsName&iif(pinyin is null,'',pinyin)&iif(goodsDesc is null,'',"
                                 "goodsDesc)&iif(locationCode is null,'',locationCode)&iif(locationName is "
                                 "null,'',locationName)&lotNo",
                                 "like", f.keyword));
}

QString ExpirySelect() {
    return "select 0,id,goodsTypeName,goodsCode,goodsName,goodsDesc,unit,locationCode,locationName,lotNo,"
           "expiryDate,daysLeft,totalDefaultQty,totalQty ";
}

QString ExpiryCaptions() {
    return QStringLiteral(
        "货品编码,货品名称,规格,单位,库位编号,库位名称,批次号,有效期至,剩余天数,默认件数,小件数量");
}

QString ExpiryKinds() {
    return "tttttttt"
           "nnn";
}

int ExpiryWarnDays() {
    const RecordSet rs =
        sqlHelper::ExecuteSql("select setValue from tb_setting where setKey='expiryWarnDays'");
    bool ok = false;
    const int days = rs.RecordCount() > 0 ? rs.at(0, 0).toString().trimmed().toInt(&ok) : 0;
    return ok && days >= 0 ? days : 30;
}

bool SetExpiryWarnDays(int days) {
    if (days < 0) return false;
    SqlParams params;
    params.AddItem("@v", QString::number(days));
    if (sqlHelper::ExecuteNonQuery("update tb_setting set setValue=@v where setKey='expiryWarnDays'",
                                   params) > 0)
        return true;
    // a settings table without the row takes it
    sqlHelper::ExecuteNonQuery("insert into tb_setting (id, setKey, setValue) select iif(max(id) is null, 0, "
                               "max(id)) + 1, 'expiryWarnDays', @v from tb_setting",
                               params);
    return true;
}

int ExpiringLotCount(const QString& accountIds, const QString& locationIds, int days) {
    ExpiryFilter f;
    f.accountIds = accountIds;
    f.locationIds = locationIds;
    f.days = days;
    const RecordSet rs = sqlHelper::ExecuteSql("SELECT count(*) FROM " + lots(f));
    return rs.RecordCount() > 0 ? rs.at(0, 0).toInt() : 0;
}
