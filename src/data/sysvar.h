#pragma once
// The process-wide system variables: fixed working values of the program and
// the grant lists of the current user.

#include <QString>

struct m_SysVar {
    QString Sys_dbName = "wms.mdb";
    unsigned Sys_NotNullColor = 0xFFE0C0; // red 255, green 224, blue 192
    QString Sys_AmountFormat = "#0.0##";
    QString Sys_PriceFormat = "#0.0##";
    QString Sys_DateFormat = "yyyy-MM-dd";
    QString acc_OrderBy = "& '~'&CStr(id)&'^'";
    QString Sys_importBill = "orkPrint:TypeId=1003&BillCode=kx_import_bill&FileName=";
    QString Sys_exportBill = "orkPrint:TypeId=1003&BillCode=kx_export_bill&FileName=";
    QString Sys_stockBill = "orkPrint:TypeId=1002&BillCode=kx_stock_bill&FileName=";
    QString Sys_importSumBill = "orkPrint:TypeId=1002&BillCode=kx_rpt_rkSum&FileName=";
    QString Sys_exportSumBill = "orkPrint:TypeId=1002&BillCode=kx_rpt_ckSum&FileName=";
    QString Sys_locStockBill = "orkPrint:TypeId=1002&BillCode=kx_rpt_locStock&FileName=";
    QString Sys_expiryBill = "orkPrint:TypeId=1002&BillCode=kx_rpt_expiry&FileName=";
    QString Sys_transferBill = "orkPrint:TypeId=1003&BillCode=kx_transfer_bill&FileName=";
    QString Sys_stockTakeBill = "orkPrint:TypeId=1003&BillCode=kx_stocktake&FileName=";
    QString Sys_goodsLabel = "orkPrint:TypeId=1101&BillCode=kx_goods_label&FileName="; // barcode labels
    QString Sys_funJoinCode = "0";
    QString Sys_locationJoinId = "0";
    QString Sys_accountJoinId = "0";
};

// The one instance for the whole run.
m_SysVar& SysVar();

// True when the current user's department holds the function code.
bool HasFunction(const QString& code);
