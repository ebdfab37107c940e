#include "rpt_stock.h"

#include "data/sqlhelper.h"
#include "data/sysvar.h"

RecordSet dal_rpt_stock::GetStockQtyForGoodCode(int goodsId) {
    const QString id = QString::number(goodsId);
    return sqlHelper::ExecuteSql(
        "select b.goodsId as id, sum(b.importQty) - sum(b.exportQty) as totalBlanceQty from tb_stock_balance b "
        "where b.goodsId=" + id +
        " and b.accountId in (select id from tb_dictionary where utype='accountType' and isstart=1 and id in (" +
        SysVar().Sys_accountJoinId + ")) and exists (select 1 from tb_goods_detail where headId=" + id +
        " and isDefault=1) group by b.goodsId");
}
