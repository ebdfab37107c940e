#include "goodslabelprint.h"
#include "goodslabels.h"

#include "data/msgbox.h"
#include "data/sysvar.h"
#include "output/printout.h"
#include "ui/printguard.h"

#include <QDomElement>

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
