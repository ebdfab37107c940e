#include "rpt_locstock.h"

#include "data/results.h"
#include "data/sqlhelper.h"

#include <QSet>

namespace {

const char* const kColumns =
    "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,unit,locationId,"
    "locationCode,locationName,totalQty,totalDefaultQty,totalWeight";

// argument: the account id list; places: " AND locationId IN (...)" or "".
QStringList refill(const QString& accounts, const QString& places) {
    // one grouped pass over the balance per location, then the names by join
    return {
        "delete from temp_rpt_locStock",
        QStringLiteral(
            "insert into temp_rpt_locStock( %1) SELECT b.id, b.goodsTypeId, t.uname, b.goodsCode, "
            "b.goodsName, "
            "b.goodsDesc, b.pinyin, a.unit, s.locationId, l.locationCode, l.uname, s.q, iif(a.packQty = 0, "
            "Null, "
            "format(s.q / a.packQty, '#0.0##')), s.w FROM ((((SELECT goodsId, locationId, sum(importQty - "
            "exportQty) AS q, sum(importWeight - exportWeight) AS w FROM tb_stock_location WHERE accountId "
            "IN "
            "(%2)%3 GROUP BY goodsId, locationId HAVING abs(sum(importQty - exportQty)) > 0.000001) AS s "
            "INNER "
            "JOIN tb_goods_head AS b ON b.id = s.goodsId) LEFT JOIN tb_goods_detail AS a ON (a.headId = b.id "
            "AND "
            "a.isDefault = 1)) LEFT JOIN tb_location AS l ON l.id = s.locationId) LEFT JOIN tb_dictionary AS "
            "t ON "
            "t.id = b.goodsTypeId")
            .arg(QLatin1String(kColumns), accounts, places)};
}

} // namespace

QString LocationSubtree(int locationId, const QString& granted) {
    if (locationId <= 0) return granted;
    QStringList ids{QString::number(locationId)};
    const QString below = GetSubIds(locationId, "tb_location", "id");
    for (const QString& id : below.split(',', Qt::SkipEmptyParts))
        if (!ids.contains(id.trimmed())) ids << id.trimmed();
    if (granted.trimmed().isEmpty()) return ids.join(',');
    const QStringList allowed = granted.split(',', Qt::SkipEmptyParts);
    QStringList out;
    for (const QString& id : ids)
        if (allowed.contains(id)) out << id;
    return out.isEmpty() ? "-1" : out.join(',');
}

dal_rpt_locStock::dal_rpt_locStock()
    : ReportDal({"temp_rpt_locStock", kColumns,
                 "goodsCode,goodsName,goodsDesc,unit,locationCode,locationName,totalDefaultQty,totalQty,"
                 "totalWeight",
                 &refill}) {}

m_recordSet dal_rpt_locStock::GetListForCondition(const LocStockFilter& f, const ConditionSet& list,
                                                  const m_PageInfor& page, const QString& selectList) {
    QString accounts;
    for (const QString& id : f.accountIds.split(',', Qt::SkipEmptyParts))
        accounts += QString::number(id.trimmed().toLongLong()) + ",";
    QString places;
    if (!f.locationIds.trimmed().isEmpty()) {
        QStringList ids;
        for (const QString& id : f.locationIds.split(',', Qt::SkipEmptyParts))
            ids << QString::number(id.trimmed().toLongLong());
        places = " AND locationId IN (" + ids.join(',') + ")";
    }
    return ListAfterRefill(accounts + "0", list, page, selectList, QString(), places);
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
