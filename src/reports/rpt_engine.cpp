#include "rpt_engine.h"

#include "data/sqlhelper.h"
#include "data/sysvar.h"

m_DBresult ReportDal::RefillWith(const QString& argument) {
    KeyValue batch;
    for (const QString& statement : m_kind.refill(argument))
        batch.AddItem(statement, SqlParams());
    return sqlHelper::ExecuteTrans(batch);
}

m_recordSet ReportDal::ListAfterRefill(const QString& argument, const ConditionSet& list, const m_PageInfor& page,
                                      const QString& selectList, const QString& extraWhere) {
    const m_DBresult refilled = RefillWith(argument);
    m_recordSet result;
    if (!refilled.isResult) {
        result.str_MsgBox = refilled.str_MsgBox;
        return result;
    }
    const QString condition = GetConditionSql(list);
    QString sql = (selectList.trimmed().isEmpty() ? "select " + m_kind.columns : selectList) + " from " +
                  m_kind.table + "  where 1=1 " + condition + extraWhere;
    if (!page.str_orderBy.isEmpty()) sql += " order by " + page.str_orderBy + (page.isDesc ? " desc " : " asc ");
    result.recordSet = sqlHelper::ExecuteSql(sql);
    result.recordCount = result.recordSet.RecordCount();
    result.str_condition = condition;
    return result;
}

RecordSet ReportDal::GetDataTable(const QString& where, const QString& order, bool output) {
    return sqlHelper::ExecuteSql("select " + (output ? m_kind.outputColumns : m_kind.columns) + " from " +
                                 m_kind.table + "  where 1=1 " + where + order);
}

namespace {

// The bill list of a kind: stock-in text, stock-out by naming the customer,
// its tables and the sale price.
ReportKindDef billList(bool out) {
    auto forKind = [out](QString text) {
        if (!out) return text;
        return text.replace("supplier", "customer").replace("tb_rk_", "tb_ck_").replace("rkHead", "ckHead")
            .replace("inPrice", "salePrice");
    };
    ReportKindDef k;
    k.table = forKind("temp_rpt_rkHead");
    k.columns = forKind("id,accountId,accountName,billNo,ubillNo,utypeId,utype,supplierId,ispass,passName,"
                        "supplierName,remark,creator,createTime,updateLastUser,updateLastTime,userId,totalItemRow,"
                        "rowsCount,totalQty,totalAmount");
    k.outputColumns = forKind("accountName,passName,billNo,ubillNo,utype,supplierName,totalItemRow,totalAmount,"
                              "remark,creator,createTime");
    k.refill = [forKind, columns = k.columns, table = k.table](const QString& conditions) {
        const QString insert =
            "insert into " + table + "( " + columns +
            ") SELECT a.id, a.accountId, (SELECT uname FROM tb_dictionary WHERE id = a.accountId) AS accountName, "
            "a.billNo, a.ubillNo, a.utypeId, (SELECT uname FROM tb_dictionary WHERE id = a.utypeId) AS utype, "
            "a.supplierId, a.ispass, Iif(a.ispass = 0, '未审核', '已审核') AS passName, a.supplierName, a.remark, "
            "a.creator, format(a.createTime,'" +
            SysVar().Sys_DateFormat +
            "') as createTime, a.updateLastUser, a.updateLastTime, a.userId, (SELECT '1单'&COUNT(*)&'项' FROM "
            "tb_rk_detail WHERE headid = a.id) AS totalItemRow, (SELECT COUNT(*) FROM tb_rk_detail WHERE headid = "
            "a.id) AS rowsCount, (SELECT SUM(qty) FROM tb_rk_detail WHERE headid = a.id) AS totalQty, "
            "FORMAT((SELECT SUM(qty * inPrice) FROM tb_rk_detail WHERE headid = a.id), '#0.0#') AS totalAmount "
            " FROM   tb_rk_head AS a where 1=1 " +
            conditions;
        return QStringList{forKind("delete from temp_rpt_rkHead"), forKind(insert),
                           forKind("UPDATE temp_rpt_rkHead SET   totalAmount =iif(val(totalAmount)=0,0,totalAmount)")};
    };
    return k;
}

} // namespace

dal_rpt_rkHead::dal_rpt_rkHead() : ReportDal(billList(false)) {}

dal_rpt_ckHead::dal_rpt_ckHead() : ReportDal(billList(true)) {}
