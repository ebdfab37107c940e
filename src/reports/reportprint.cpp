#include "reportprint.h"

#include "bills/bill.h"
#include "data/msgbox.h"
#include "data/sysvar.h"
#include "printout.h"
#include "rpt_engine.h"

#include <QDomElement>

namespace {

bool refuse(const QString& text, const QString& caption) {
    MsgBox::Show(text, MsgBox::Exclamation, caption);
    return false;
}

} // namespace

bool PrintBill(bool stockOut, int billId, const QString& caption) {
    if (billId < 1) return refuse(QStringLiteral("当前记录不存在!"), caption);
    return PrintOut::Guarded(caption, [&] {
        const QString code = stockOut ? "kx_export_bill" : "kx_import_bill";
        ConditionSet lines, head;
        lines.AddItem("1", m_condition("headId", "=", billId));
        head.AddItem("1", m_condition("id", "=", billId));
        const QDomElement detailNode = stockOut ? dal_ck_detail().GetDetailRowNode(lines, code)
                                                : dal_rk_detail().GetDetailRowNode(lines, code);
        if (detailNode.isNull())
            return refuse(stockOut ? QStringLiteral("当前出库明细信息不存在!")
                                   : QStringLiteral("当前入库明细信息不存在!"),
                          caption);
        const QDomElement headNode = stockOut ? dal_ck_head().GetGroupHeadRowNode(head, code)
                                              : dal_rk_head().GetGroupHeadRowNode(head, code);
        if (headNode.isNull())
            return refuse(stockOut ? QStringLiteral("当前出库主表信息不存在!")
                                   : QStringLiteral("当前入库主表信息不存在!"),
                          caption);
        const QString file = PrintOut::GenerateFile(code, {{"Content/DataGroupHead/DataRecord", headNode},
                                                           {"Content/DataDetail/DataRecord", detailNode}});
        PrintOut::StartPrintTool((stockOut ? SysVar().Sys_exportBill : SysVar().Sys_importBill) + file);
        return true;
    });
}

bool PrintReport(ReportDal& dal, const QString& where, const m_PageInfor& page, const QString& templateCode,
                 const QString& commandPrefix, const QString& emptyMessage, const QString& caption) {
    return PrintOut::Guarded(caption, [&] {
        const QDomElement node = dal.GetDetailRowNode(where, page, templateCode);
        if (node.isNull()) return refuse(emptyMessage, caption);
        const QString file = PrintOut::GenerateFile(templateCode, {{"Content/DataDetail/DataRecord", node}});
        PrintOut::StartPrintTool(commandPrefix + file);
        return true;
    });
}
