#include "rpt_engine.h"

#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "output/printout.h"

m_DBresult ReportDal::RefillWith(const QString& argument, const QString& sumConditions) {
    KeyValue batch;
    for (const QString& statement : m_kind.refill(argument, sumConditions))
        batch.AddItem(statement, SqlParams());
    return sqlHelper::ExecuteTrans(batch);
}

m_recordSet ReportDal::ListAfterRefill(const QString& argument, const ConditionSet& list,
                                       const m_PageInfor& page, const QString& selectList,
                                       const QString& extraWhere, const QString& sumConditions) {
    const m_DBresult refilled = RefillWith(argument, sumConditions);
    m_recordSet result;
    if (!refilled.isResult) {
        result.str_MsgBox = refilled.str_MsgBox;
        return result;
    }
    const QString condition = GetConditionSql(list);
    QString sql = (selectList.trimmed().isEmpty() ? "select " + m_kind.columns : selectList) + " from " +
                  m_kind.table + "  where 1=1 " + condition + extraWhere;
    sql += OrderClause(page);
    result.recordSet = sqlHelper::ExecuteSql(sql);
    result.recordCount = result.recordSet.RecordCount();
    result.str_condition = condition;
    return result;
}

QString ReportDal::OrderClause(const m_PageInfor& page) const {
    if (page.str_orderBy.trimmed().isEmpty()) return {};
    return " order by " + page.str_orderBy + (page.isDesc ? " desc, " : " asc, ") + m_kind.tieOrder;
}

RecordSet ReportDal::GetDataTable(const QString& where, const QString& order, bool output) {
    return sqlHelper::ExecuteSql("select " + (output ? m_kind.outputColumns : m_kind.columns) + " from " +
                                 m_kind.table + "  where 1=1 " + where + order);
}

QDomElement ReportDal::GetDetailRowNode(const QString& where, const m_PageInfor& page,
                                        const QString& templateCode) {
    return PrintOut::BuildRecordNode(GetDataTable(where, OrderClause(page), false), templateCode,
                                     "DataDetail");
}

namespace {

// The bill list of a kind: stock-in text, stock-out by naming the customer,
// its tables and the sale price.
ReportKindDef billList(bool out) {
    auto forKind = [out](QString text) {
        if (!out) return text;
        return text.replace("supplier", "customer")
            .replace("tb_rk_", "tb_ck_")
            .replace("rkHead", "ckHead")
            .replace("inPrice", "salePrice");
    };
    ReportKindDef k;
    k.table = forKind("temp_rpt_rkHead");
    k.columns =
        forKind("id,accountId,accountName,billNo,ubillNo,utypeId,utype,supplierId,ispass,passName,"
                "supplierName,remark,creator,createTime,updateLastUser,updateLastTime,userId,totalItemRow,"
                "rowsCount,totalQty,totalAmount");
    k.outputColumns =
        forKind("accountName,passName,billNo,ubillNo,utype,supplierName,totalItemRow,totalAmount,"
                "remark,creator,createTime");
    k.refill = [forKind, columns = k.columns, table = k.table](const QString& conditions, const QString&) {
        const QString insert =
            "insert into " + table + "( " + columns +
            ") SELECT a.id, a.accountId, (SELECT uname FROM tb_dictionary WHERE id = a.accountId) AS "
            "accountName, "
            "a.billNo, a.ubillNo, a.utypeId, (SELECT uname FROM tb_dictionary WHERE id = a.utypeId) AS "
            "utype, "
            "a.supplierId, a.ispass, Iif(a.ispass = 0, '未审核', '已审核') AS passName, a.supplierName, "
            "a.remark, "
            "a.creator, format(a.createTime,'" +
            SysVar().Sys_DateFormat +
            "') as createTime, a.updateLastUser, a.updateLastTime, a.userId, (SELECT '1单'&COUNT(*)&'项' "
            "FROM "
            "tb_rk_detail WHERE headid = a.id) AS totalItemRow, (SELECT COUNT(*) FROM tb_rk_detail WHERE "
            "headid = "
            "a.id) AS rowsCount, (SELECT SUM(qty) FROM tb_rk_detail WHERE headid = a.id) AS totalQty, "
            "FORMAT((SELECT SUM(qty * inPrice) FROM tb_rk_detail WHERE headid = a.id), '#0.0#') AS "
            "totalAmount "
            " FROM   tb_rk_head AS a where 1=1 " +
            conditions;
        return QStringList{
            forKind("delete from temp_rpt_rkHead"), forKind(insert),
            forKind("UPDATE temp_rpt_rkHead SET   totalAmount =iif(val(totalAmount)=0,0,totalAmount)")};
    };
    return k;
}

// The lines of the bills of a kind with their bill's head. The heads come
// first, so that the conditions on them (dates, accounts, approval) choose the
// month's bills before their lines are read; a line without a bill, which
// no approval state matches, is not listed.
ReportKindDef billLines(bool out) {
    auto forKind = [out](QString text) {
        if (!out) return text;
        return text.replace("supplier", "customer")
            .replace("tb_rk_", "tb_ck_")
            .replace("rkDetail", "ckDetail")
            .replace("a.inPrice * a.qty", "a.salePrice * a.qty");
    };
    const QString sale = out ? "salePrice," : "";
    ReportKindDef k;
    k.table = forKind("temp_rpt_rkDetail");
    k.tieOrder = "headId, rowNo, id";
    k.columns =
        forKind("id,headId,accountId,accountName,ispass,passName,billNo,ubillNo,utypeId,utype,supplierId,"
                "supplierName,userId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,goodsDetailCode,"
                "goodsName,pinyin,goodsDesc,unit,inPrice," +
                sale +
                "packQty,weight,qty,totalQty,totalDefaultQty,totalWeight,totalAmount,locationId,locationCode,"
                "lotNo,remark,creator,createTime");
    k.outputColumns =
        forKind(QString("accountName,passName,billNo,ubillNo,utype,supplierName,goodsTypeName,goodsCode,"
                        "goodsName,goodsDesc,unit,packQty,weight,") +
                (out ? "salePrice" : "inPrice") +
                ",qty,totalAmount,totalQty,totalDefaultQty,totalWeight,locationCode,lotNo,remark,creator,"
                "createTime");
    k.refill = [forKind, out, columns = k.columns, table = k.table](const QString& conditions,
                                                                    const QString&) {
        const QString insert =
            "insert into " + table + "( " + columns +
            ") SELECT a.id, a.headId, b.accountId, (SELECT uname FROM tb_dictionary WHERE id = b.accountId) "
            "AS "
            "accountName, b.ispass, Iif(b.ispass = 0, '未审核', '已审核') AS passName, b.billNo, b.ubillNo, "
            "b.utypeId, "
            "(SELECT uname FROM tb_dictionary WHERE id = b.utypeId) AS utype, b.supplierId, b.supplierName, "
            "b.userId, "
            "a.rowNo, a.goodsTypeId, a.goodsTypeName, a.goodsId, a.goodsCode, a.goodsDetailCode, "
            "a.goodsName, "
            "(select pinyin from tb_goods_head where id=a.goodsId) as pinyin, a.goodsDesc, a.unit, "
            "FORMAT(a.inPrice, '#0.0##') AS inPrice, " +
            QString(out ? "FORMAT(a.salePrice, '#0.0##') AS salePrice, " : "") +
            "a.packQty, a.weight, a.qty, ( a.packQty * a.qty ) AS totalQty, "
            // a goods without a default unit has no default pieces: Null, which
            // the zero normalisation below leaves alone (Format would give '')
            "iif((SELECT packQty FROM tb_goods_detail WHERE  isDefault = 1 AND headId = a.goodsId) is null, "
            "Null, FORMAT(( a.packQty * a.qty ) / (SELECT packQty FROM tb_goods_detail WHERE  isDefault = 1 "
            "AND headId = a.goodsId), '#0.0##')) AS totalDefaultQty, "
            "( a.weight * a.qty ) AS totalWeight, FORMAT(( a.inPrice * a.qty ), '#0.0##') AS totalAmount, "
            "a.locationId, (SELECT locationCode FROM tb_location WHERE id = a.locationId) AS locationCode, "
            "a.lotNo, "
            "a.remark, b.creator, format(b.createTime,'" +
            SysVar().Sys_DateFormat +
            "') FROM   tb_rk_head AS b       INNER JOIN tb_rk_detail AS a         ON a.headId = b.id  where "
            "1=1 " +
            conditions;
        QStringList sets;
        for (const char* c : {"totalQty", "totalDefaultQty", "totalWeight", "totalAmount"})
            sets << QStringLiteral("%1 =iif(val(%1)=0,0,%1)").arg(c);
        return QStringList{forKind("delete from temp_rpt_rkDetail"), forKind(insert),
                           forKind("UPDATE temp_rpt_rkDetail SET   " + sets.join(", "))};
    };
    return k;
}

} // namespace

dal_rpt_rkDetail::dal_rpt_rkDetail() : ReportDal(billLines(false)) {}

dal_rpt_ckDetail::dal_rpt_ckDetail() : ReportDal(billLines(true)) {}

dal_rpt_rkHead::dal_rpt_rkHead() : ReportDal(billList(false)) {}

dal_rpt_ckHead::dal_rpt_ckHead() : ReportDal(billList(true)) {}

std::unique_ptr<RowCursor> ReportDal::OpenDataCursor(const QString& where, const QString& order, bool output) {
    return sqlHelper::OpenCursor("select " + (output ? m_kind.outputColumns : m_kind.columns) + " from " +
                                 m_kind.table + "  where 1=1 " + where + order);
}
