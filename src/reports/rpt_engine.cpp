#include "rpt_engine.h"

#include "data/database.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "output/printout.h"

#include <algorithm>

QString ReportDal::dayOf(const QString& field) {
    return "format(" + field + ",'" + SysVar().Sys_DateFormat + "')";
}

QString ReportDal::zeroAsZero(const QString& formatted) {
    return "nz(nullif(nullif(" + formatted + ", '0.0'), ''), '0')";
}

QStringList ReportDal::RefillStatements(const QString& argument, const QString& sumConditions) const {
    const QString select = m_kind.select(argument, sumConditions);
    if (select.isEmpty()) return {}; // a kind read straight from the books
    return {"delete from " + m_kind.table,
            "insert into " + m_kind.table + " (" + m_kind.columns + ") " + select};
}

m_DBresult ReportDal::RefillWith(const QString& argument, const QString& sumConditions) {
    KeyValue batch;
    for (const QString& statement : RefillStatements(argument, sumConditions))
        batch.AddItem(statement, SqlParams());
    return sqlHelper::ExecuteTrans(batch);
}

namespace {

bool onFile() {
    return Database::instance().dialect() == AccessSql::Dialect::Sqlite;
}

} // namespace

m_recordSet ReportDal::ListAfterRefill(const QString& argument, const ConditionSet& list,
                                       const m_PageInfor& page, const QString& selectList,
                                       const QString& sumConditions) {
    m_count = 0;
    m_select = selectList.trimmed().isEmpty() ? "select " + m_kind.columns : selectList;
    m_sortField = page.str_orderBy.trimmed();
    m_sortDesc = page.isDesc;
    const QString condition = GetConditionSql(list);
    m_order = OrderClause(page);
    if (m_order.isEmpty()) m_order = " order by " + m_kind.tieOrder;
    const QString select = m_kind.select(argument, sumConditions);
    m_direct = !m_kind.pagedSort.isEmpty() && m_sortField == m_kind.pagedSort;
    m_rows = m_direct ? "(" + select + ") AS r" : m_kind.table;
    m_where = m_direct ? condition : QString();
    m_recordSet result;
    if (m_direct) {
        try {
            m_count = sqlHelper::ExecuteSql("select count(*) from " + m_rows + " where 1=1 " + condition)
                          .at(0, 0)
                          .toInt();
        } catch (const DbError& e) {
            m_rows = m_kind.table;
            m_direct = false;
            result.str_MsgBox = e.message();
            return result;
        }
    } else {
        // the table holds just the rows listed, in the list's order, so that a
        // page is read by its place and export and print read it as it stands
        KeyValue batch;
        batch.AddItem("delete from " + m_kind.table, SqlParams());
        batch.AddItem("insert into " + m_kind.table + " (" + m_kind.columns + ") select " + m_kind.columns +
                          " from (" + select + ") AS r where 1=1 " + condition + m_order,
                      SqlParams());
        const m_DBresult refilled = sqlHelper::ExecuteTrans(batch);
        if (!refilled.isResult) {
            result.str_MsgBox = refilled.str_MsgBox;
            return result;
        }
        // on a file the rows are numbered in order from the first: the count
        // comes from the two ends without reading the table
        const RecordSet counted = sqlHelper::ExecuteSql(
            onFile() ? "select min(rowid), max(rowid) - min(rowid) + 1 from " + m_kind.table
                     : "select 0, count(*) from " + m_kind.table);
        m_firstRow = counted.at(0, 0).toLongLong();
        m_count = counted.at(0, 1).toInt(); // Null (no rows) reads 0
    }
    result.recordCount = m_count;
    result.str_condition = condition;
    return result;
}

std::unique_ptr<RowCursor> ReportDal::OpenListCursor(const QString& argument, const ConditionSet& list,
                                                     const m_PageInfor& page,
                                                     const QString& sumConditions) const {
    QString order = OrderClause(page);
    if (order.isEmpty()) order = " order by " + m_kind.tieOrder;
    return sqlHelper::OpenCursor("select " + m_kind.outputColumns + " from (" +
                                 m_kind.select(argument, sumConditions) + ") AS r where 1=1 " +
                                 GetConditionSql(list) + order);
}

RecordSet ReportDal::Page(int pageIndex, int pageSize) const {
    if (m_count < 1 || pageSize < 1) return RecordSet();
    const int pages = (m_count + pageSize - 1) / pageSize;
    pageIndex = std::clamp(pageIndex, 1, pages);
    const int offset = (pageIndex - 1) * pageSize;
    const int rows = std::min(pageSize, m_count - offset);
    // the rows up to the page's end, or from the last row back to its start
    const bool fromEnd = pageIndex > (pages + 1) / 2;
    const int top = fromEnd ? m_count - offset : offset + rows;
    if (m_direct) return directPage(fromEnd, top, rows);
    if (onFile())
        return sqlHelper::ExecuteSql(
            QStringLiteral("%1 from %2 where rowid >= %3 and rowid < %4 order by rowid")
                .arg(m_select, m_kind.table)
                .arg(m_firstRow + offset)
                .arg(m_firstRow + offset + rows));
    return sqlHelper::ExecuteSql(
        QStringLiteral("%1 from (SELECT TOP %2 * FROM (SELECT TOP %3 * FROM %4%5) AS a%6) AS v%7")
            .arg(m_select)
            .arg(rows)
            .arg(top)
            .arg(m_kind.table, sortText(fromEnd), sortText(!fromEnd), sortText(false)));
}

RecordSet ReportDal::directPage(bool fromEnd, int top, int rows) const {
    // the sort keys alone first, so that only the page's rows are computed whole
    QStringList keys{m_sortField};
    for (const QString& tie : m_kind.tieOrder.split(','))
        keys << tie.trimmed();
    keys << "id";
    keys.removeDuplicates();
    RecordSet found = sqlHelper::ExecuteSql(
        QStringLiteral("SELECT TOP %1 id FROM (SELECT TOP %2 %3 FROM %4 WHERE 1=1 %5%6) AS a%7")
            .arg(rows)
            .arg(top)
            .arg(keys.join(", "), m_rows, m_where, sortText(fromEnd), sortText(!fromEnd)));
    QStringList ids;
    for (; !found.eof(); found.MoveNext())
        ids << QString::number(found.value(0).toLongLong());
    if (ids.isEmpty()) return RecordSet();
    return sqlHelper::ExecuteSql(m_select + " from " + m_rows + " where id in (" + ids.join(',') + ")" +
                                 sortText(false));
}

QString ReportDal::sortText(bool reversed) const {
    QStringList keys;
    if (!m_sortField.isEmpty()) keys << m_sortField + (m_sortDesc != reversed ? " desc" : " asc");
    for (const QString& tie : m_kind.tieOrder.split(','))
        keys << tie.trimmed() + (reversed ? " desc" : " asc");
    return " order by " + keys.join(", ");
}

QString ReportDal::OrderClause(const m_PageInfor& page) const {
    if (page.str_orderBy.trimmed().isEmpty()) return {};
    return " order by " + page.str_orderBy + (page.isDesc ? " desc, " : " asc, ") + m_kind.tieOrder;
}

RecordSet ReportDal::GetDataTable(const QString& where, const QString& order, bool output) {
    return sqlHelper::ExecuteSql("select " + (output ? m_kind.outputColumns : m_kind.columns) + " from " +
                                 m_rows + "  where 1=1 " + where + tableOrder(order));
}

QString ReportDal::tableOrder(const QString& order) const {
    // the table stands in the last list's order already
    const QString own = " order by " + m_kind.tieOrder;
    if (onFile() && !m_direct && (order == m_order || (order.isEmpty() && m_order == own)))
        return " order by rowid";
    return order.isEmpty() ? own : order;
}

QDomElement ReportDal::GetDetailRowNode(const QString& where, const m_PageInfor& page,
                                        const QString& templateCode) {
    return PrintOut::BuildRecordNode(GetDataTable(where, OrderClause(page), false), templateCode,
                                     "DataDetail");
}

namespace {

// A stock-in text turned into its stock-out twin: the customer, its tables.
QString stockOutText(QString text) {
    return text.replace("supplier", "customer")
        .replace("tb_rk_", "tb_ck_")
        .replace("rkHead", "ckHead")
        .replace("rkDetail", "ckDetail");
}

// The bill list of a kind: the chosen bills, each with its names and the
// count and totals of its lines, grouped once over the chosen bills' lines.
ReportKindDef billList(bool out) {
    auto forKind = [out](const QString& text) { return out ? stockOutText(text) : text; };
    ReportKindDef k;
    k.table = forKind("temp_rpt_rkHead");
    k.columns =
        forKind("id,accountId,accountName,billNo,ubillNo,utypeId,utype,supplierId,ispass,passName,"
                "supplierName,remark,creator,createTime,updateLastUser,updateLastTime,userId,totalItemRow,"
                "rowsCount,totalQty,totalAmount");
    k.outputColumns =
        forKind("accountName,passName,billNo,ubillNo,utype,supplierName,totalItemRow,totalAmount,"
                "remark,creator,createTime");
    k.select = [forKind, out](const QString& conditions, const QString&) {
        return forKind(
                   "SELECT a.id AS id, a.accountId AS accountId, da.uname AS accountName, a.billNo AS "
                   "billNo, "
                   "a.ubillNo AS ubillNo, a.utypeId AS utypeId, dt.uname AS utype, a.supplierId AS "
                   "supplierId, "
                   "a.ispass AS ispass, Iif(a.ispass = 0, '未审核', '已审核') AS passName, a.supplierName AS "
                   "supplierName, a.remark AS remark, a.creator AS creator, " +
                   ReportDal::dayOf("a.createTime") +
                   " AS createTime, a.updateLastUser AS updateLastUser, "
                   "a.updateLastTime AS updateLastTime, a.userId AS userId, '1单' & nz(s.n, 0) & '项' AS "
                   "totalItemRow, nz(s.n, 0) AS rowsCount, s.q AS totalQty, " +
                   ReportDal::zeroAsZero("format(s.amt, '#0.0#')") +
                   " AS totalAmount FROM (SELECT * FROM tb_rk_head WHERE 1=1 " + conditions +
                   ") AS a LEFT JOIN tb_dictionary AS da ON da.id = a.accountId LEFT JOIN tb_dictionary AS "
                   "dt ON "
                   "dt.id = a.utypeId LEFT JOIN (SELECT headId, count(*) AS n, sum(qty) AS q, sum(qty * "
                   "@price@) "
                   "AS amt FROM tb_rk_detail WHERE headId IN (SELECT id FROM tb_rk_head WHERE 1=1 " +
                   conditions + ") GROUP BY headId) AS s ON s.headId = a.id")
            .replace("@price@", out ? "salePrice" : "inPrice");
    };
    return k;
}

// The lines of the bills of a kind with their bill's head. The heads come
// first, so that the conditions on them (dates, accounts, approval) choose
// the span's bills before their lines are read; a line without a bill, which
// no approval state matches, is not listed. Names come by joins.
ReportKindDef billLines(bool out) {
    auto forKind = [out](const QString& text) { return out ? stockOutText(text) : text; };
    ReportKindDef k;
    k.table = forKind("temp_rpt_rkDetail");
    k.tieOrder = "headId, rowNo, id";
    k.pagedSort = "createTime";
    k.columns =
        forKind(QString("id,headId,accountId,accountName,ispass,passName,billNo,ubillNo,utypeId,utype,"
                        "supplierId,supplierName,userId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,"
                        "goodsDetailCode,goodsName,pinyin,goodsDesc,unit,inPrice,") +
                (out ? "salePrice," : "") +
                "packQty,weight,qty,totalQty,totalDefaultQty,totalWeight,totalAmount,locationId,"
                "locationCode,lotNo,remark,creator,createTime,productionDate,expiryDate");
    k.outputColumns =
        forKind(QString("accountName,passName,billNo,ubillNo,utype,supplierName,goodsTypeName,goodsCode,"
                        "goodsName,goodsDesc,unit,packQty,weight,") +
                (out ? "salePrice" : "inPrice") +
                ",qty,totalAmount,totalQty,totalDefaultQty,totalWeight,locationCode,lotNo,remark,creator,"
                "createTime,productionDate,expiryDate");
    k.select = [forKind, out](const QString& conditions, const QString&) {
        // the stock-out lines list their purchase price beside the sale price
        QString price = "FORMAT(a.inPrice, '#0.0##') AS inPrice, ";
        if (out) price += "FORMAT(a.salePrice, '#0.0##') AS salePrice, ";
        const QString text =
            "SELECT a.id AS id, a.headId AS headId, b.accountId AS accountId, da.uname AS accountName, "
            "b.ispass AS ispass, Iif(b.ispass = 0, '未审核', '已审核') AS passName, b.billNo AS billNo, "
            "b.ubillNo AS ubillNo, b.utypeId AS utypeId, dt.uname AS utype, b.supplierId AS supplierId, "
            "b.supplierName AS supplierName, b.userId AS userId, a.rowNo AS rowNo, a.goodsTypeId AS "
            "goodsTypeId, a.goodsTypeName AS goodsTypeName, a.goodsId AS goodsId, a.goodsCode AS goodsCode, "
            "a.goodsDetailCode AS goodsDetailCode, a.goodsName AS goodsName, g.pinyin AS pinyin, "
            "a.goodsDesc AS goodsDesc, a.unit AS unit, @price@a.packQty AS packQty, a.weight AS weight, "
            "a.qty AS qty, iif(a.packQty * a.qty = 0, 0, a.packQty * a.qty) AS totalQty, "
            // a goods without a default unit has no default pieces: Null
            "iif(u.packQty is null, Null, " +
            ReportDal::zeroAsZero("FORMAT((a.packQty * a.qty) / u.packQty, '#0.0##')") +
            ") AS totalDefaultQty, iif(a.weight * a.qty = 0, 0, a.weight * a.qty) AS totalWeight, " +
            ReportDal::zeroAsZero("FORMAT(a.@sum@ * a.qty, '#0.0##')") +
            " AS totalAmount, a.locationId AS locationId, l.locationCode AS locationCode, a.lotNo AS lotNo, "
            "a.remark AS remark, b.creator AS creator, " +
            ReportDal::dayOf("b.createTime") +
            " AS createTime, a.productionDate AS productionDate, a.expiryDate AS expiryDate FROM (SELECT * "
            "FROM tb_rk_head WHERE 1=1 " +
            conditions +
            ") AS b INNER JOIN tb_rk_detail AS a ON a.headId = b.id LEFT JOIN tb_dictionary AS da ON da.id "
            "= b.accountId LEFT JOIN tb_dictionary AS dt ON dt.id = b.utypeId LEFT JOIN tb_goods_head AS g "
            "ON g.id = a.goodsId LEFT JOIN (SELECT headId, min(packQty) AS packQty FROM tb_goods_detail "
            "WHERE isDefault = 1 GROUP BY headId) AS u ON u.headId = a.goodsId LEFT JOIN tb_location AS l "
            "ON l.id = a.locationId";
        return forKind(text).replace("@price@", price).replace("@sum@", out ? "salePrice" : "inPrice");
    };
    return k;
}

// The transfers: the heads under the source conditions with their lines'
// count and pieces.
ReportKindDef transferList() {
    ReportKindDef k;
    k.table = "temp_rpt_dbHead";
    k.columns = "id,accountId,accountName,billNo,ispass,passName,remark,creator,createTime,updateLastUser,"
                "updateLastTime,userId,totalItemRow,rowsCount,totalQty";
    k.outputColumns = "accountName,passName,billNo,totalItemRow,totalQty,remark,creator,createTime";
    k.pagedSort = "createTime";
    k.select = [](const QString& conditions, const QString&) {
        return "SELECT a.id AS id, a.accountId AS accountId, da.uname AS accountName, a.billNo AS billNo, "
               "a.ispass "
               "AS ispass, Iif(a.ispass = 0, '未审核', '已审核') AS passName, a.remark AS remark, a.creator "
               "AS "
               "creator, " +
               ReportDal::dayOf("a.createTime") +
               " AS createTime, a.updateLastUser AS updateLastUser, a.updateLastTime AS updateLastTime, "
               "a.userId "
               "AS userId, '1单' & nz(s.n, 0) & '项' AS totalItemRow, nz(s.n, 0) AS rowsCount, s.q AS "
               "totalQty "
               "FROM (SELECT * FROM tb_transfer_head WHERE 1=1 " +
               conditions +
               ") AS a LEFT JOIN tb_dictionary AS da ON da.id = a.accountId LEFT JOIN (SELECT headId, "
               "count(*) AS "
               "n, sum(qty * packQty) AS q FROM tb_transfer_detail WHERE headId IN (SELECT id FROM "
               "tb_transfer_head WHERE 1=1 " +
               conditions + ") GROUP BY headId) AS s ON s.headId = a.id";
    };
    return k;
}

// The transfer lines with their head, the heads first as for the bills' lines.
ReportKindDef transferLines() {
    ReportKindDef k;
    k.table = "temp_rpt_dbDetail";
    k.tieOrder = "headId, rowNo, id";
    k.pagedSort = "createTime";
    k.columns =
        "id,headId,accountId,accountName,ispass,passName,billNo,userId,rowNo,goodsTypeId,goodsTypeName,"
        "goodsId,goodsCode,goodsDetailCode,goodsName,pinyin,goodsDesc,unit,packQty,weight,qty,totalQty,"
        "totalDefaultQty,totalWeight,fromLocationId,fromLocationCode,fromLocationName,toLocationId,"
        "toLocationCode,toLocationName,lotNo,remark,creator,createTime,productionDate,expiryDate";
    k.outputColumns =
        "accountName,passName,billNo,goodsTypeName,goodsCode,goodsName,goodsDesc,unit,packQty,weight,"
        "qty,totalQty,totalDefaultQty,totalWeight,fromLocationCode,fromLocationName,toLocationCode,"
        "toLocationName,lotNo,remark,creator,createTime,productionDate,expiryDate";
    k.select = [](const QString& conditions, const QString&) {
        return "SELECT a.id AS id, a.headId AS headId, b.accountId AS accountId, da.uname AS accountName, "
               "b.ispass "
               "AS ispass, Iif(b.ispass = 0, '未审核', '已审核') AS passName, b.billNo AS billNo, b.userId "
               "AS "
               "userId, a.rowNo AS rowNo, a.goodsTypeId AS goodsTypeId, a.goodsTypeName AS goodsTypeName, "
               "a.goodsId AS goodsId, a.goodsCode AS goodsCode, a.goodsDetailCode AS goodsDetailCode, "
               "a.goodsName "
               "AS goodsName, g.pinyin AS pinyin, a.goodsDesc AS goodsDesc, a.unit AS unit, a.packQty AS "
               "packQty, "
               "a.weight AS weight, a.qty AS qty, iif(a.packQty * a.qty = 0, 0, a.packQty * a.qty) AS "
               "totalQty, "
               "iif(u.packQty is null, Null, " +
               ReportDal::zeroAsZero("FORMAT((a.packQty * a.qty) / u.packQty, '#0.0##')") +
               ") AS totalDefaultQty, iif(a.weight * a.qty = 0, 0, a.weight * a.qty) AS totalWeight, "
               "a.fromLocationId AS fromLocationId, lf.locationCode AS fromLocationCode, lf.uname AS "
               "fromLocationName, a.toLocationId AS toLocationId, lt.locationCode AS toLocationCode, "
               "lt.uname AS "
               "toLocationName, a.lotNo AS lotNo, a.remark AS remark, b.creator AS creator, " +
               ReportDal::dayOf("b.createTime") +
               " AS createTime, a.productionDate AS productionDate, a.expiryDate AS expiryDate FROM (SELECT "
               "* "
               "FROM tb_transfer_head WHERE 1=1 " +
               conditions +
               ") AS b INNER JOIN tb_transfer_detail AS a ON a.headId = b.id LEFT JOIN tb_dictionary AS da "
               "ON "
               "da.id = b.accountId LEFT JOIN tb_goods_head AS g ON g.id = a.goodsId LEFT JOIN (SELECT "
               "headId, "
               "min(packQty) AS packQty FROM tb_goods_detail WHERE isDefault = 1 GROUP BY headId) AS u ON "
               "u.headId = a.goodsId LEFT JOIN tb_location AS lf ON lf.id = a.fromLocationId LEFT JOIN "
               "tb_location AS lt ON lt.id = a.toLocationId";
    };
    return k;
}

} // namespace

dal_rpt_dbHead::dal_rpt_dbHead() : ReportDal(transferList()) {}

dal_rpt_dbDetail::dal_rpt_dbDetail() : ReportDal(transferLines()) {}

dal_rpt_rkDetail::dal_rpt_rkDetail() : ReportDal(billLines(false)) {}

dal_rpt_ckDetail::dal_rpt_ckDetail() : ReportDal(billLines(true)) {}

dal_rpt_rkHead::dal_rpt_rkHead() : ReportDal(billList(false)) {}

dal_rpt_ckHead::dal_rpt_ckHead() : ReportDal(billList(true)) {}

QStringList CorrelatedBillListRefill(bool out, const QString& conditions) {
    auto forKind = [out](const QString& text) {
        return out ? stockOutText(text).replace("inPrice", "salePrice") : text;
    };
    const QString insert =
        "insert into temp_rpt_rkHead( " + billList(out).columns +
        ") SELECT a.id, a.accountId, (SELECT uname FROM tb_dictionary WHERE id = a.accountId) AS "
        "accountName, "
        "a.billNo, a.ubillNo, a.utypeId, (SELECT uname FROM tb_dictionary WHERE id = a.utypeId) AS utype, "
        "a.supplierId, a.ispass, Iif(a.ispass = 0, '未审核', '已审核') AS passName, a.supplierName, "
        "a.remark, "
        "a.creator, " +
        ReportDal::dayOf("a.createTime") +
        " as createTime, a.updateLastUser, a.updateLastTime, a.userId, (SELECT '1单'&COUNT(*)&'项' FROM "
        "tb_rk_detail WHERE headid = a.id) AS totalItemRow, (SELECT COUNT(*) FROM tb_rk_detail WHERE headid "
        "= "
        "a.id) AS rowsCount, (SELECT SUM(qty) FROM tb_rk_detail WHERE headid = a.id) AS totalQty, "
        "FORMAT((SELECT SUM(qty * inPrice) FROM tb_rk_detail WHERE headid = a.id), '#0.0#') AS totalAmount "
        " FROM   tb_rk_head AS a where 1=1 " +
        conditions;
    return {forKind("delete from temp_rpt_rkHead"), forKind(insert),
            forKind("UPDATE temp_rpt_rkHead SET   totalAmount =iif(val(totalAmount)=0,0,totalAmount)")};
}

QStringList CorrelatedBillLinesRefill(bool out, const QString& conditions) {
    auto forKind = [out](const QString& text) {
        return out ? stockOutText(text).replace("a.inPrice * a.qty", "a.salePrice * a.qty") : text;
    };
    const QString insert =
        "insert into temp_rpt_rkDetail( " + billLines(out).columns +
        ") SELECT a.id, a.headId, b.accountId, (SELECT uname FROM tb_dictionary WHERE id = b.accountId) AS "
        "accountName, b.ispass, Iif(b.ispass = 0, '未审核', '已审核') AS passName, b.billNo, b.ubillNo, "
        "b.utypeId, (SELECT uname FROM tb_dictionary WHERE id = b.utypeId) AS utype, b.supplierId, "
        "b.supplierName, b.userId, a.rowNo, a.goodsTypeId, a.goodsTypeName, a.goodsId, a.goodsCode, "
        "a.goodsDetailCode, a.goodsName, (select pinyin from tb_goods_head where id=a.goodsId) as pinyin, "
        "a.goodsDesc, a.unit, FORMAT(a.inPrice, '#0.0##') AS inPrice, " +
        QString(out ? "FORMAT(a.salePrice, '#0.0##') AS salePrice, " : "") +
        "a.packQty, a.weight, a.qty, ( a.packQty * a.qty ) AS totalQty, "
        "iif((SELECT packQty FROM tb_goods_detail WHERE  isDefault = 1 AND headId = a.goodsId) is null, "
        "Null, FORMAT(( a.packQty * a.qty ) / (SELECT packQty FROM tb_goods_detail WHERE  isDefault = 1 "
        "AND headId = a.goodsId), '#0.0##')) AS totalDefaultQty, "
        "( a.weight * a.qty ) AS totalWeight, FORMAT(( a.inPrice * a.qty ), '#0.0##') AS totalAmount, "
        "a.locationId, (SELECT locationCode FROM tb_location WHERE id = a.locationId) AS locationCode, "
        "a.lotNo, a.remark, b.creator, " +
        ReportDal::dayOf("b.createTime") +
        ", a.productionDate, a.expiryDate FROM   tb_rk_head AS b       INNER JOIN tb_rk_detail AS a         "
        "ON a.headId = b.id  where 1=1 " +
        conditions;
    QStringList sets;
    for (const char* c : {"totalQty", "totalDefaultQty", "totalWeight", "totalAmount"})
        sets << QStringLiteral("%1 =iif(val(%1)=0,0,%1)").arg(c);
    return {forKind("delete from temp_rpt_rkDetail"), forKind(insert),
            forKind("UPDATE temp_rpt_rkDetail SET   " + sets.join(", "))};
}

std::unique_ptr<RowCursor> ReportDal::OpenDataCursor(const QString& where, const QString& order,
                                                     bool output) {
    return sqlHelper::OpenCursor("select " + (output ? m_kind.outputColumns : m_kind.columns) + " from " +
                                 m_rows + "  where 1=1 " + where + tableOrder(order));
}

RecordSet PageFromNearerEnd(const QString& select, const QString& relation, const QString& condition,
                            int count, int pageIndex, int pageSize,
                            const std::function<QString(bool reversed)>& order) {
    if (count < 1 || pageSize < 1) return RecordSet();
    const int pages = GetPageCount(count, pageSize);
    pageIndex = std::clamp(pageIndex, 1, pages);
    const int offset = (pageIndex - 1) * pageSize;
    const int rows = std::min(pageSize, count - offset);
    const bool fromEnd = pageIndex > (pages + 1) / 2;
    const int top = fromEnd ? count - offset : offset + rows;
    const QString took = QStringLiteral("SELECT TOP %1 * FROM %2 WHERE 1=1 %3%4")
                             .arg(top)
                             .arg(relation, condition, order(fromEnd));
    const QString source =
        QStringLiteral("(SELECT TOP %1 * FROM (%2) AS a%3) AS w").arg(rows).arg(took, order(!fromEnd));
    return sqlHelper::ExecuteSql(select + " from " + source + order(false));
}
