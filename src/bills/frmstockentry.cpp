// The stock-in, stock-out and transfer entry windows: descriptions of their kind.

#include "billprint.h"
#include "frmbillentry.h"

#include "access/funcode.h"

namespace {

std::vector<LineColumn> lineColumns(const char* price, const char* location) {
    return {{LineField::No, "序号", 44},
            {LineField::GoodsCode, "货品编码或条码", 150},
            {LineField::GoodsName, "货品名称", 160},
            {LineField::GoodsDesc, "规格", 110},
            {LineField::Unit, "单位", 56},
            {LineField::PackQty, "内装数", 64},
            {LineField::Weight, "重量", 60},
            {LineField::Price, price, 80},
            {LineField::Qty, "数量", 80},
            {LineField::Amount, "金额", 90},
            {LineField::LocationCode, location, 90},
            {LineField::LotNo, "批次号", 90},
            {LineField::Remark, "备注", 110},
            {LineField::ProductionDate, "生产日期", 90},
            {LineField::ExpiryDate, "有效期至", 90}};
}

const BillEntryKind kImportKind{false,
                                "frmImport",
                                "入库业务",
                                "入库单号:",
                                "供应商:",
                                "入库类别:",
                                "txt_supplierName",
                                "txt_supplierId",
                                "btn_searchSupplier",
                                "cobo_importType",
                                "importType",
                                "txt_inPrice",
                                "vs_import",
                                lineColumns("进价", "存放库位"),
                                "supplier",
                                "inputGoods",
                                "供应商不能为空!",
                                "请选择入库类型!",
                                "存放库位不能为空,可以单击【鼠标右键】去批量预设!",
                                "frm_rpt_rkHead",
                                &m_funCode::import_save,
                                &m_funCode::import_update,
                                &m_funCode::import_delete,
                                &m_funCode::import_pass,
                                &m_funCode::import_nopass,
                                &m_funCode::import_print,
                                &m_funCode::rpt_rkbill,
                                &NewStockInStore,
                                [](int id, const QString& caption) { return PrintBill(false, id, caption); }};

const BillEntryKind kExportKind{true,
                                "frmExport",
                                "出库业务",
                                "出库单号:",
                                "客户:",
                                "出库类别:",
                                "txt_customerName",
                                "txt_customerId",
                                "btn_searchCustomer",
                                "cobo_exportType",
                                "exportType",
                                "txt_salePrice",
                                "vs_export",
                                lineColumns("售价", "取货库位"),
                                "customer",
                                "inputGoodsForExport",
                                "客户不能为空!",
                                "请选择出库类型!",
                                "取货库位不能为空,可以单击【鼠标右键】去批量预设!",
                                "frm_rpt_ckHead",
                                &m_funCode::export_save,
                                &m_funCode::export_update,
                                &m_funCode::export_delete,
                                &m_funCode::export_pass,
                                &m_funCode::export_nopass,
                                &m_funCode::export_print,
                                &m_funCode::export_searchBill,
                                &NewStockOutStore,
                                [](int id, const QString& caption) { return PrintBill(true, id, caption); }};

// A transfer names no partner, type or price: their controls stay out of the window.
const BillEntryKind kTransferKind{false,
                                  "frmTransfer",
                                  "调拨业务",
                                  "调拨单号:",
                                  "",
                                  "",
                                  "txt_partnerName",
                                  "txt_partnerId",
                                  "btn_searchPartner",
                                  "cobo_billType",
                                  "",
                                  "txt_price",
                                  "vs_transfer",
                                  {{LineField::No, "序号", 44},
                                   {LineField::GoodsCode, "货品编码或条码", 150},
                                   {LineField::GoodsName, "货品名称", 170},
                                   {LineField::GoodsDesc, "规格", 120},
                                   {LineField::Unit, "单位", 56},
                                   {LineField::PackQty, "内装数", 64},
                                   {LineField::Weight, "重量", 60},
                                   {LineField::Qty, "数量", 80},
                                   {LineField::LocationCode, "调出库位", 100},
                                   {LineField::ToLocationCode, "调入库位", 100},
                                   {LineField::LotNo, "批次号", 90},
                                   {LineField::Remark, "备注", 120},
                                   {LineField::ProductionDate, "生产日期", 90},
                                   {LineField::ExpiryDate, "有效期至", 90}},
                                  "",
                                  "inputGoods",
                                  "",
                                  "",
                                  "调出库位不能为空,可以单击【鼠标右键】去批量预设!",
                                  "frm_rpt_dbHead",
                                  &m_funCode::transfer_save,
                                  &m_funCode::transfer_update,
                                  &m_funCode::transfer_delete,
                                  &m_funCode::transfer_pass,
                                  &m_funCode::transfer_nopass,
                                  &m_funCode::transfer_print,
                                  &m_funCode::transfer_searchBill,
                                  &NewTransferStore,
                                  &PrintTransfer,
                                  "调入库位不能为空,可以单击【鼠标右键】去批量预设!"};

} // namespace

frmImport::frmImport(QWidget* parent) : BillEntryForm(kImportKind, parent) {}

frmExport::frmExport(QWidget* parent) : BillEntryForm(kExportKind, parent) {}

frmTransfer::frmTransfer(QWidget* parent) : BillEntryForm(kTransferKind, parent) {}
