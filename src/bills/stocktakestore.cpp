// The stored counts: started, read, saved, posted and abandoned in transactions.
#include "stocktake.h"

#include "bill.h"
#include "data/accesstext.h"
#include "data/applog.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "master/location.h"
#include "numbering/billno.h"

#include <QSet>
#include <cmath>

namespace {

constexpr double kEpsilon = 0.000001;

QString num(double v) {
    return QString::number(v, 'g', 15);
}

// "" places: every location.
bool placesOverlap(const QString& a, const QString& b) {
    if (a.trimmed().isEmpty() || b.trimmed().isEmpty()) return true;
    return StockTakeIdSet(a).intersects(StockTakeIdSet(b));
}

// Inside the transaction: the count as stored; refused unless it is open.
StockTakeHead openCountInTrans(int headId, const QString& what) {
    const RecordSet rs = sqlHelper::QueryInTrans(
        "select billNo, state, accountId, places from tb_stocktake_head where id=" + QString::number(headId));
    if (rs.RecordCount() < 1) throw DbError(QStringLiteral("当前盘点单已被删除!"));
    StockTakeHead h;
    h.id = headId;
    h.billNo = acc::valueText(rs.at(0, "billNo"));
    h.state = rs.at(0, "state").toInt();
    h.accountId = rs.at(0, "accountId").toInt();
    h.places = acc::valueText(rs.at(0, "places"));
    if (h.state != kCounting) throw DbError(StockTakeRefusal(h.billNo, h.state, what));
    return h;
}

// The surplus (importType 盘盈) or shortage (exportType 盘亏) entry, made when missing.
int adjustmentTypeInTrans(bool out) {
    const QString type = out ? "exportType" : "importType";
    const QString name = out ? QStringLiteral("盘亏") : QStringLiteral("盘盈");
    const RecordSet rs = sqlHelper::QueryInTrans("select top 1 id from tb_dictionary where utype='" + type +
                                                 "' and uname='" + name + "' order by isSystemSet desc, id");
    if (rs.RecordCount() > 0) return rs.at(0, "id").toInt();
    const int id = sqlHelper::MaxIdInTrans("tb_dictionary") + 1;
    sqlHelper::ExecuteInTrans(
        QStringLiteral("insert into tb_dictionary (id, utype, uname, parentId, orderBy, "
                       "remark, isstart, isSystemSet) values (%1, '%2', '%3', 0, 0, '', 1, 1)")
            .arg(id)
            .arg(type, name));
    return id;
}

// A record's columns: the select expression and the name it is read by, so
// that the select list and the reading of a row cannot drift apart.
struct Column {
    QString expr;
    const char* name;
};
QString selectList(const std::vector<Column>& columns) {
    QStringList items;
    for (const Column& c : columns)
        items << c.expr + " as " + QLatin1String(c.name);
    return items.join(", ");
}

// The balance of a count line's goods at its location now, in pieces; of its
// lot for a line counted by lot.
QString balanceNow(const QString& account, const QString& line = "d") {
    return "iif(" + line +
           ".byLot = 0, (select sum(s.importQty - s.exportQty) from tb_stock_location as s "
           "where s.goodsId = " +
           line + ".goodsId and s.accountId = " + account + " and s.locationId = " + line +
           ".locationId), (select sum(s.importQty - s.exportQty) from tb_stock_lot as s where s.goodsId = " +
           line + ".goodsId and s.accountId = " + account + " and s.locationId = " + line +
           ".locationId and s.lotNo = " + line + ".lotNo))";
}

// The default unit's field of a count line's goods.
QString defaultUnit(const char* field) {
    return QStringLiteral("(select top 1 %1 from tb_goods_detail where headId = d.goodsId and isDefault = 1 "
                          "order by id)")
        .arg(QLatin1String(field));
}

// A stored count with the names of its account, location and category.
const std::vector<Column>& headColumns() {
    static const std::vector<Column> columns = {{"h.id", "id"},
                                                {"h.billNo", "billNo"},
                                                {"h.accountId", "accountId"},
                                                {"h.locationId", "locationId"},
                                                {"h.goodsTypeId", "goodsTypeId"},
                                                {"h.places", "places"},
                                                {"h.state", "state"},
                                                {"h.creator", "creator"},
                                                {"h.createTime", "createTime"},
                                                {"h.userId", "userId"},
                                                {"h.rkHeadId", "rkHeadId"},
                                                {"h.ckHeadId", "ckHeadId"},
                                                {"h.postUser", "postUser"},
                                                {"h.postTime", "postTime"},
                                                {"a.uname", "accountName"},
                                                {"l.locationCode & ' ' & l.uname", "locationName"},
                                                {"t.uname", "goodsTypeName"},
                                                {"h.goodsTypes", "goodsTypes"}};
    return columns;
}

// A stored count line with its goods and location.
const std::vector<Column>& lineColumns() {
    static const std::vector<Column> columns = {{"d.id", "id"},
                                                {"d.goodsId", "goodsId"},
                                                {"d.locationId", "locationId"},
                                                {"b.goodsCode", "goodsCode"},
                                                {"b.goodsName", "goodsName"},
                                                {"b.goodsDesc", "goodsDesc"},
                                                {"b.pinyin", "pinyin"},
                                                {"l.locationCode", "locationCode"},
                                                {"d.unit", "unit"},
                                                {"d.packQty", "packQty"},
                                                {"d.bookQty", "bookQty"},
                                                {"d.countQty", "countQty"},
                                                {"b.goodsTypeId", "goodsTypeId"},
                                                {"d.postQty", "postQty"},
                                                {"d.byLot", "byLot"},
                                                {"d.lotNo", "lotNo"},
                                                {"b.lotTracked", "lotTracked"}};
    return columns;
}

// A line that differs at posting, in its goods' default unit.
const std::vector<Column>& differenceColumns() {
    static const std::vector<Column> columns = {{"d.countQty", "countQty"},
                                                {"d.postQty", "postQty"},
                                                {"d.goodsId", "goodsId"},
                                                {"d.locationId", "locationId"},
                                                {"b.goodsTypeId", "goodsTypeId"},
                                                {"t.uname", "goodsTypeName"},
                                                {"b.goodsCode", "goodsCode"},
                                                {"b.goodsName", "goodsName"},
                                                {"b.goodsDesc", "goodsDesc"},
                                                {"nz(" + defaultUnit("unit") + ", d.unit)", "unit"},
                                                {defaultUnit("packQty"), "packQty"},
                                                {defaultUnit("weight"), "weight"},
                                                {defaultUnit("goodsDetailCode"), "goodsDetailCode"},
                                                {defaultUnit("inPrice"), "inPrice"},
                                                {defaultUnit("salePrice"), "salePrice"},
                                                {"d.lotNo", "lotNo"},
                                                {"(select min(e.expiryDate) from tb_stock_lot as e where "
                                                 "e.goodsId = d.goodsId and e.lotNo = d.lotNo)",
                                                 "expiryDate"}};
    return columns;
}

template <class Detail>
Detail adjustmentLine(const RecordSet& rs, int row, double pieces, const QString& remark) {
    Detail l;
    auto value = [&](const char* name) { return rs.at(row, QLatin1String(name)); };
    auto text = [&](const char* name) { return acc::valueText(value(name)); };
    l.goodsId = value("goodsId").toInt();
    l.locationId = value("locationId").toInt();
    l.goodsTypeId = value("goodsTypeId").toInt();
    l.goodsTypeName = text("goodsTypeName");
    l.goodsCode = text("goodsCode");
    l.goodsName = text("goodsName");
    l.goodsDesc = text("goodsDesc");
    l.unit = text("unit");
    const double packQty = value("packQty").toDouble();
    l.goodsDetailCode = text("goodsDetailCode");
    // a goods without pieces in its default unit is booked in pieces
    l.packQty = packQty > 0 ? packQty : 1;
    l.weight = packQty > 0 ? value("weight").toDouble() : 0;
    l.qty = pieces / l.packQty;
    // valued at the default unit's purchase price, so that the reports show what was found or lost
    l.inPrice = value("inPrice").toDouble();
    l.remark = remark;
    l.lotNo = text("lotNo");
    l.expiryDate = text("expiryDate");
    return l;
}

} // namespace

m_DBresult dal_stocktake::Start(StockTakeHead& head, const QString& granted) {
    StockTakeHead stored = head;
    stored.places = LocationSubtree(stored.locationId, granted);
    if (stored.places == "-1") {
        m_DBresult r;
        r.str_MsgBox = QStringLiteral("所选库位不在您的权限范围内!");
        return r;
    }
    if (stored.accountId < 1) {
        m_DBresult r;
        r.str_MsgBox = QStringLiteral("请选择账目标识!");
        return r;
    }
    // a category takes the categories below it
    stored.goodsTypes =
        stored.goodsTypeId > 0 ? GetSubIds(stored.goodsTypeId, "tb_dictionary", "id") : QString();
    const m_DBresult r = sqlHelper::ExecuteTransWith([&] {
        const RecordSet open = sqlHelper::QueryInTrans(
            "select billNo, places, goodsTypes from tb_stocktake_head where state=0 and accountId=" +
            QString::number(stored.accountId) + " order by id");
        for (int k = 0; k < open.RecordCount(); ++k) {
            const bool sameGoods = placesOverlap(acc::valueText(open.at(k, "goodsTypes")), stored.goodsTypes);
            if (sameGoods && placesOverlap(acc::valueText(open.at(k, "places")), stored.places))
                throw DbError(QStringLiteral("盘点单 %1 还在盘点中, 它的账目标识和库位与本次盘点重叠, "
                                             "请先过账或作废它!")
                                  .arg(acc::valueText(open.at(k, "billNo"))));
        }
        stored.id = sqlHelper::MaxIdInTrans("tb_stocktake_head") + 1;
        stored.billNo = NextBillNoInTrans("pd", stored.createTime);
        stored.state = kCounting;
        SqlParams p;
        p.AddItem("@id", stored.id);
        p.AddItem("@billNo", stored.billNo);
        p.AddItem("@accountId", stored.accountId);
        p.AddItem("@locationId", stored.locationId);
        p.AddItem("@goodsTypeId", stored.goodsTypeId);
        p.AddItem("@places", stored.places);
        p.AddItem("@goodsTypes", stored.goodsTypes);
        p.AddItem("@creator", stored.creator);
        p.AddItem("@createTime", stored.createTime);
        p.AddItem("@userId", stored.userId);
        sqlHelper::ExecuteInTrans("insert into tb_stocktake_head (id, billNo, accountId, locationId, "
                                  "goodsTypeId, places, goodsTypes, "
                                  "state, creator, createTime, userId) values (@id, @billNo, @accountId, "
                                  "@locationId, @goodsTypeId, "
                                  "@places, @goodsTypes, 0, @creator, @createTime, @userId)",
                                  p);
        const QString where =
            stored.places.isEmpty() ? QString() : " and locationId in (" + stored.places + ")";
        const QString type =
            stored.goodsTypes.isEmpty() ? QString() : " and b.goodsTypeId in (" + stored.goodsTypes + ")";
        // the goods kept by lot per lot, the others per location
        for (const bool byLot : {false, true})
            sqlHelper::ExecuteInTrans(
                QStringLiteral(
                    "insert into tb_stocktake_detail (headId, goodsId, locationId, byLot, lotNo, unit, "
                    "packQty, bookQty) select %1, d.goodsId, d.locationId, %7, %2, %3, d.q from "
                    "(select goodsId, locationId%8, sum(importQty - exportQty) as q from %9 where "
                    "accountId = %4%5 group by goodsId, locationId%8 having abs(sum(importQty - "
                    "exportQty)) > 0.000001) as d inner join tb_goods_head as b on b.id = d.goodsId "
                    "where b.lotTracked = %10%6")
                    .arg(stored.id)
                    .arg(defaultUnit("unit"), defaultUnit("packQty"))
                    .arg(stored.accountId)
                    .arg(where, type, byLot ? "1, d.lotNo" : "0, ''", byLot ? ", lotNo" : "",
                         byLot ? "tb_stock_lot" : "tb_stock_location")
                    .arg(byLot ? 1 : 0));
    });
    if (r.isResult) head = stored;
    return r;
}

StockTakeHead dal_stocktake::GetModel(int id) {
    StockTakeHead h;
    const RecordSet rs = sqlHelper::ExecuteSql(
        "select " + selectList(headColumns()) +
        " from ((tb_stocktake_head as h left join tb_dictionary as a on a.id = h.accountId) left join "
        "tb_location as l on l.id = h.locationId) left join tb_dictionary as t on t.id = h.goodsTypeId "
        "where h.id=" +
        QString::number(id));
    if (rs.RecordCount() < 1) return h;
    auto value = [&](const char* name) { return rs.at(0, QLatin1String(name)); };
    auto text = [&](const char* name) { return acc::valueText(value(name)); };
    h.id = value("id").toInt();
    h.billNo = text("billNo");
    h.accountId = value("accountId").toInt();
    h.locationId = value("locationId").toInt();
    h.goodsTypeId = value("goodsTypeId").toInt();
    h.places = text("places");
    h.state = value("state").toInt();
    h.creator = text("creator");
    h.createTime = text("createTime");
    h.userId = value("userId").toInt();
    h.rkHeadId = value("rkHeadId").toInt();
    h.ckHeadId = value("ckHeadId").toInt();
    h.postUser = text("postUser");
    h.postTime = text("postTime");
    h.accountName = text("accountName");
    h.locationName = h.locationId > 0 ? text("locationName") : QStringLiteral("全部库位");
    h.goodsTypeName = h.goodsTypeId > 0 ? text("goodsTypeName") : QStringLiteral("全部类别");
    h.goodsTypes = text("goodsTypes");
    return h;
}

std::vector<StockTakeLine> dal_stocktake::Lines(int headId) {
    const RecordSet rs = sqlHelper::ExecuteSql(
        "select " + selectList(lineColumns()) +
        " from (tb_stocktake_detail as d left join "
        "tb_goods_head as b on b.id = d.goodsId) left join tb_location as l on l.id = d.locationId where "
        "d.headId=" +
        QString::number(headId) + " order by l.locationCode, b.goodsCode, d.lotNo, d.id");
    std::vector<StockTakeLine> out;
    out.reserve(static_cast<size_t>(rs.RecordCount()));
    for (int r = 0; r < rs.RecordCount(); ++r) {
        StockTakeLine l;
        auto value = [&](const char* name) { return rs.at(r, QLatin1String(name)); };
        auto text = [&](const char* name) { return acc::valueText(value(name)); };
        l.id = value("id").toInt();
        l.goodsId = value("goodsId").toInt();
        l.locationId = value("locationId").toInt();
        l.goodsCode = text("goodsCode");
        l.goodsName = text("goodsName");
        l.goodsDesc = text("goodsDesc");
        l.pinyin = text("pinyin");
        l.locationCode = text("locationCode");
        l.unit = text("unit");
        l.packQty = value("packQty").toDouble();
        l.bookQty = value("bookQty").toDouble();
        if (!IsBlank(value("countQty"))) l.countQty = value("countQty").toDouble();
        l.goodsTypeId = value("goodsTypeId").toInt();
        if (!IsBlank(value("postQty"))) l.postQty = value("postQty").toDouble();
        l.byLot = value("byLot").toInt() != 0;
        l.lotNo = text("lotNo");
        l.lotTracked = value("lotTracked").toInt() != 0;
        out.push_back(std::move(l));
    }
    return out;
}

RecordSet dal_stocktake::List() {
    static const std::vector<Column> columns = {
        {"h.id", "id"},
        {"h.billNo", "billNo"},
        {"h.state", "state"},
        {"a.uname", "accountName"},
        {"iif(h.locationId = 0, '全部库位', l.locationCode & ' ' & l.uname)", "locationName"},
        {"h.creator", "creator"},
        {"h.createTime", "createTime"},
        {"iif(h.goodsTypeId = 0, '全部类别', t.uname)", "goodsTypeName"}};
    return sqlHelper::ExecuteSql(
        "select " + selectList(columns) +
        " from ((tb_stocktake_head as h left join tb_dictionary as a on a.id = h.accountId) left join "
        "tb_location as l on l.id = h.locationId) left join tb_dictionary as t on t.id = h.goodsTypeId "
        "order by h.id desc");
}

m_DBresult dal_stocktake::SaveCounts(int headId, std::vector<StockTakeLine>& lines,
                                     const std::vector<int>& removed) {
    std::vector<StockTakeLine> stored = lines;
    const m_DBresult r = sqlHelper::ExecuteTransWith([&] {
        openCountInTrans(headId, QStringLiteral("保存"));
        for (int id : removed)
            sqlHelper::ExecuteInTrans(
                QStringLiteral("delete from tb_stocktake_detail where id=%1 and headId=%2 and bookQty=0")
                    .arg(id)
                    .arg(headId));
        int next = sqlHelper::MaxIdInTrans("tb_stocktake_detail") + 1;
        for (StockTakeLine& l : stored) {
            if (!l.changed) continue;
            if (l.countQty && *l.countQty < 0) throw DbError(QStringLiteral("盘点数量不能小于 0!"));
            const QString count = l.countQty ? num(*l.countQty) : QStringLiteral("Null");
            if (l.id < 1) {
                // another window may have added the same goods and location meanwhile
                // (the engines compare texts without case: the lot is matched here)
                const RecordSet there = sqlHelper::QueryInTrans(
                    QStringLiteral(
                        "select id, lotNo from tb_stocktake_detail where headId=%1 and goodsId=%2 and "
                        "locationId=%3 and byLot=%4")
                        .arg(headId)
                        .arg(l.goodsId)
                        .arg(l.locationId)
                        .arg(l.byLot ? 1 : 0));
                int found = 0;
                for (int k = 0; k < there.RecordCount() && !found; ++k)
                    if (acc::valueText(there.at(k, "lotNo")) == l.lotNo) found = there.at(k, "id").toInt();
                if (found > 0) {
                    l.id = found;
                } else {
                    SqlParams p;
                    p.AddItem("@unit", l.unit);
                    p.AddItem("@lotNo", l.lotNo);
                    sqlHelper::ExecuteInTrans(
                        QStringLiteral(
                            "insert into tb_stocktake_detail (id, headId, goodsId, locationId, unit, "
                            "packQty, bookQty, countQty, byLot, lotNo) values (%1, %2, %3, %4, @unit, %5, "
                            "%6, %7, "
                            "%8, @lotNo)")
                            .arg(next)
                            .arg(headId)
                            .arg(l.goodsId)
                            .arg(l.locationId)
                            .arg(num(l.packQty), num(l.bookQty), count,
                                 l.byLot ? QStringLiteral("1") : QStringLiteral("0")),
                        p);
                    l.id = next++;
                    continue;
                }
            }
            sqlHelper::ExecuteInTrans(
                QStringLiteral("update tb_stocktake_detail set countQty=%1 where id=%2 and "
                               "headId=%3")
                    .arg(count)
                    .arg(l.id)
                    .arg(headId));
        }
    });
    if (r.isResult) {
        for (StockTakeLine& l : stored)
            l.changed = false;
        lines = std::move(stored);
    }
    return r;
}

std::vector<StockTakeMove> dal_stocktake::Moved(int headId) {
    const StockTakeHead h = GetModel(headId);
    std::vector<StockTakeMove> out;
    if (h.id < 1) return out;
    const std::vector<Column> columns = {{"b.goodsCode", "goodsCode"},
                                         {"b.goodsName", "goodsName"},
                                         {"l.locationCode", "locationCode"},
                                         {"d.bookQty", "bookQty"},
                                         {balanceNow(QString::number(h.accountId)), "nowQty"}};
    const RecordSet rs =
        sqlHelper::ExecuteSql("select " + selectList(columns) +
                              " from (tb_stocktake_detail as d left join tb_goods_head as b on b.id = "
                              "d.goodsId) left join tb_location "
                              "as l on l.id = d.locationId where d.headId=" +
                              QString::number(headId) + " order by l.locationCode, b.goodsCode");
    for (int r = 0; r < rs.RecordCount(); ++r) {
        const double book = rs.at(r, "bookQty").toDouble(), now = rs.at(r, "nowQty").toDouble();
        if (std::abs(book - now) > kEpsilon)
            out.push_back({acc::valueText(rs.at(r, "goodsCode")), acc::valueText(rs.at(r, "goodsName")),
                           acc::valueText(rs.at(r, "locationCode")), book, now});
    }
    // stock that came to the count's locations where it has no line
    const QString places = h.places.isEmpty() ? QString() : " and s.locationId in (" + h.places + ")";
    const QString types = h.goodsTypes.isEmpty() ? QString() : " and b.goodsTypeId in (" + h.goodsTypes + ")";
    static const std::vector<Column> arrivedColumns = {{"b.goodsCode", "goodsCode"},
                                                       {"b.goodsName", "goodsName"},
                                                       {"l.locationCode", "locationCode"},
                                                       {"s.q", "nowQty"}};
    const RecordSet arrived = sqlHelper::ExecuteSql(
        QStringLiteral(
            "select %5 from ((select goodsId, locationId, "
            "sum(importQty - exportQty) as q from tb_stock_location as s where accountId = %1%2 group by "
            "goodsId, locationId having abs(sum(importQty - exportQty)) > 0.000001) as s inner join "
            "tb_goods_head as b on b.id = s.goodsId) left join tb_location as l on l.id = s.locationId where "
            "not exists (select 1 from tb_stocktake_detail as d where d.headId = %3 and d.goodsId = "
            "s.goodsId "
            "and d.locationId = s.locationId)%4 order by l.locationCode, b.goodsCode")
            .arg(h.accountId)
            .arg(places)
            .arg(headId)
            .arg(types)
            .arg(selectList(arrivedColumns)));
    for (int r = 0; r < arrived.RecordCount(); ++r)
        out.push_back({acc::valueText(arrived.at(r, "goodsCode")), acc::valueText(arrived.at(r, "goodsName")),
                       acc::valueText(arrived.at(r, "locationCode")), 0, arrived.at(r, "nowQty").toDouble(),
                       false});
    return out;
}

m_DBresult dal_stocktake::Post(int headId, bool uncountedAsZero, const QString& user, const QString& time) {
    const m_DBresult r = sqlHelper::ExecuteTransWith([&] {
        const StockTakeHead h = openCountInTrans(headId, QStringLiteral("过账"));
        const QString id = QString::number(headId);
        const RecordSet left = sqlHelper::QueryInTrans(
            "select count(*) as uncounted from tb_stocktake_detail where countQty is null and headId=" + id);
        const int uncounted = left.RecordCount() > 0 ? left.at(0, "uncounted").toInt() : 0;
        if (uncounted > 0 && !uncountedAsZero)
            throw DbError(QStringLiteral("还有 %1 行没有盘点, 不能过账!").arg(uncounted));
        // the books as they stand now; what was not counted was not found
        const QString now = balanceNow(QString::number(h.accountId), "tb_stocktake_detail");
        sqlHelper::ExecuteInTrans("update tb_stocktake_detail set postQty = nz(" + now +
                                  ", 0), countQty = nz(countQty, 0) where headId=" + id);
        const RecordSet rs = sqlHelper::QueryInTrans(
            "select " + selectList(differenceColumns()) +
            " from (tb_stocktake_detail as d left join tb_goods_head as b on b.id = d.goodsId) left join "
            "tb_dictionary as t on t.id = b.goodsTypeId where d.headId=" +
            id + " and abs(d.countQty - d.postQty) > 0.000001 order by d.id");
        const QString remark = QStringLiteral("盘点单 %1").arg(h.billNo);
        rk_LineSet in;
        ck_LineSet out;
        for (int r = 0; r < rs.RecordCount(); ++r) {
            const double difference = rs.at(r, "countQty").toDouble() - rs.at(r, "postQty").toDouble();
            if (difference > 0) {
                m_rk_detail l = adjustmentLine<m_rk_detail>(rs, r, difference, remark);
                l.rowNo = in.size() + 1;
                in.AddItem(LineKey(kStockIn, -(r + 1)), l);
            } else {
                m_ck_detail l = adjustmentLine<m_ck_detail>(rs, r, -difference, remark);
                l.rowNo = out.size() + 1;
                l.salePrice = rs.at(r, "salePrice").toDouble();
                out.AddItem(LineKey(kStockOut, -(r + 1)), l);
            }
        }
        auto fillHead = [&](BillHeadFields& head, bool isOut) {
            head.accountId = h.accountId;
            head.utypeId = adjustmentTypeInTrans(isOut);
            head.remark = remark + (isOut ? QStringLiteral(" 盘亏") : QStringLiteral(" 盘盈"));
            head.ispass = 1; // written approved: every line books itself as it is inserted
            head.creator = user;
            head.createTime = time;
            head.updateLastUser = user;
            head.updateLastTime = time;
            head.userId = h.userId;
        };
        int rkId = 0, ckId = 0;
        if (in.size() > 0) {
            m_rk_head head;
            fillHead(head, false);
            dal_rk_head().AddInTrans(head, in);
            rkId = head.id;
        }
        if (out.size() > 0) {
            m_ck_head head;
            fillHead(head, true);
            dal_ck_head().AddInTrans(head, out);
            ckId = head.id;
        }
        SqlParams p;
        p.AddItem("@user", user);
        p.AddItem("@time", time);
        sqlHelper::ExecuteInTrans(
            QStringLiteral("update tb_stocktake_head set state=1, rkHeadId=%1, ckHeadId=%2, "
                           "postUser=@user, postTime=@time where id=%3")
                .arg(rkId)
                .arg(ckId)
                .arg(headId),
            p);
    });
    if (r.isResult)
        qCInfo(lcBills).noquote() << "stock count" << headId << "posted by" << user;
    else
        qCWarning(lcBills).noquote() << "stock count" << headId << "not posted:" << r.str_MsgBox;
    return r;
}

m_DBresult dal_stocktake::Abandon(int headId, const QString& user, const QString& time) {
    return sqlHelper::ExecuteTransWith([&] {
        openCountInTrans(headId, QStringLiteral("作废"));
        SqlParams p;
        p.AddItem("@user", user);
        p.AddItem("@time", time);
        sqlHelper::ExecuteInTrans(
            "update tb_stocktake_head set state=2, postUser=@user, postTime=@time where id=" +
                QString::number(headId),
            p);
    });
}
