#include "goodslabels.h"

#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "output/printout.h"

#include <QDomElement>
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

bool PrintGoodsLabels(const QList<int>& goodsIds, const QString& caption) {
    return PrintOut::Guarded(caption, [&] {
        const QDomElement node =
            PrintOut::BuildRecordNode(GoodsLabelRows(goodsIds), "kx_goods_label", "DataDetail");
        if (node.isNull()) {
            MsgBox::Show(QStringLiteral("所选货品没有可打印的标签!"), MsgBox::Exclamation, caption);
            return false;
        }
        const QString file =
            PrintOut::GenerateFile("kx_goods_label", {{"Content/DataDetail/DataRecord", node}});
        PrintOut::StartPrintTool(SysVar().Sys_goodsLabel + file);
        return true;
    });
}
