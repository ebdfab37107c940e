#include "goodslabels.h"

#include "data/sqlhelper.h"

#include <QStringList>

RecordSet GoodsLabelRows(const QList<int>& goodsIds) {
    QStringList ids{"0"};
    for (int id : goodsIds)
        ids << QString::number(id);
    return sqlHelper::ExecuteSql(
        "select goodsName, goodsDesc, unit, salePrice, iif(goodsDetailCode is null or goodsDetailCode='', "
        "goodsCode, "
        "goodsDetailCode) as barcode from v_goods_detail as d where headId in (" +
        ids.join(',') +
        ") and ((goodsDetailCode<>'') or (isDefault=1 and not exists (select 1 from tb_goods_detail as x "
        "where "
        "x.headId=d.headId and x.goodsDetailCode<>''))) order by goodsCode, isDefault desc, rowNo");
}
