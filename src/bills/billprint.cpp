#include "billprint.h"

#include "bill.h"
#include "stocktake.h"

#include "data/msgbox.h"
#include "data/recordset.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "output/printout.h"
#include "ui/printguard.h"

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

bool PrintTransfer(int transferId, const QString& caption) {
    if (transferId < 1) return refuse(QStringLiteral("当前记录不存在!"), caption);
    return PrintOut::Guarded(caption, [&] {
        const QString code = "kx_transfer_bill";
        const QString id = QString::number(transferId);
        const QDomElement detailNode = PrintOut::BuildRecordNode(
            sqlHelper::ExecuteSql("select * from v_transfer_detail where headId=" + id +
                                  " order by rowNo,id"),
            code, "DataDetail");
        if (detailNode.isNull()) return refuse(QStringLiteral("当前调拨明细信息不存在!"), caption);
        // the checker of an approved transfer: its approval is the last change it took
        const QDomElement headNode = PrintOut::BuildRecordNode(
            sqlHelper::ExecuteSql(
                "select *, iif(ispass = 0, Null, updateLastUser) as checker from v_transfer_head "
                "where id=" +
                id),
            code, "DataGroupHead");
        if (headNode.isNull()) return refuse(QStringLiteral("当前调拨主表信息不存在!"), caption);
        PrintOut::StartPrintTool(
            SysVar().Sys_transferBill +
            PrintOut::GenerateFile(code, {{"Content/DataGroupHead/DataRecord", headNode},
                                          {"Content/DataDetail/DataRecord", detailNode}}));
        return true;
    });
}

bool PrintStockTakeSheet(int headId, bool blind, const QString& caption) {
    const QString code = "kx_stocktake";
    const StockTakeHead h = dal_stocktake().GetModel(headId);
    if (h.id < 1) return refuse(QStringLiteral("当前盘点单不存在!"), caption);
    return PrintOut::Guarded(caption, [&] {
        const RecordSet lines = sqlHelper::ExecuteSql(
            "select l.locationCode, b.goodsCode, b.goodsName, b.goodsDesc, d.unit, d.bookQty / iif(d.packQty "
            "> 0, "
            "d.packQty, 1) as bookQty, '' as countQty, '' as remark from (tb_stocktake_detail as d left join "
            "tb_goods_head as b on b.id = d.goodsId) left join tb_location as l on l.id = d.locationId where "
            "d.headId=" +
            QString::number(headId) + " order by l.locationCode, b.goodsCode, d.id");
        const QDomElement detailNode = PrintOut::BuildRecordNode(lines, code, "DataDetail");
        if (detailNode.isNull()) return refuse(QStringLiteral("当前盘点单没有要盘点的货品!"), caption);
        const RecordSet head({"billNo", "createTime", "accountName", "locationName", "goodsTypeName",
                              "stateName", "creator", "counter", "checker"},
                             {h.billNo, h.createTime, h.accountName, h.locationName, h.goodsTypeName,
                              StockTakeStateName(h.state), h.creator, QString(), QString()});
        PrintOut::NodeList nodes = {
            {"Content/DataGroupHead/DataRecord", PrintOut::BuildRecordNode(head, code, "DataGroupHead")},
            {"Content/DataDetail/DataRecord", detailNode}};
        if (blind) {
            QDomElement cols = PrintOut::TemplateNode(code, "Content/DataDetail/DataCols");
            cols.removeChild(cols.firstChildElement("bookQty"));
            nodes.push_back({"Content/DataDetail/DataCols", cols});
        }
        PrintOut::StartPrintTool(SysVar().Sys_stockTakeBill + PrintOut::GenerateFile(code, nodes));
        return true;
    });
}
