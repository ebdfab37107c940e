#pragma once
// The function codes that guard the commands, and the test every guarded
// command makes against the grants of the current user.

#include <QString>
#include <QStringList>

// Every function code, in catalogue order.
#define WMS_FUNCODES(X)                                                                                      \
    X(SysMenu, "SysMenu")                                                                                    \
    X(customer, "customer")                                                                                  \
    X(ckmg, "ckmg")                                                                                          \
    X(reportCenter, "reportCenter")                                                                          \
    X(rcmg, "rcmg")                                                                                          \
    X(basicInfor, "basicInfor")                                                                              \
    X(system, "system")                                                                                      \
    X(import_, "import")                                                                                     \
    X(export_, "export")                                                                                     \
    X(rpt_kctz, "rpt_kctz")                                                                                  \
    X(rpt_kczz, "rpt_kczz")                                                                                  \
    X(rpt_kwjk, "rpt_kwjk")                                                                                  \
    X(rpt_hpjk, "rpt_hpjk")                                                                                  \
    X(rpt_fckc, "rpt_fckc")                                                                                  \
    X(rpt_rkbill, "rpt_rkbill")                                                                              \
    X(rpt_rk_detail_bill, "rpt_rk_detail_bill")                                                              \
    X(rpt_rksum, "rpt_rksum")                                                                                \
    X(rpt_ckbill, "rpt_ckbill")                                                                              \
    X(rpt_ck_detail_bill, "rpt_ck_detail_bill")                                                              \
    X(rpt_cksum, "rpt_cksum")                                                                                \
    X(goodsInfor, "goodsInfor")                                                                              \
    X(locationInfor, "locationInfor")                                                                        \
    X(dictionary, "dictionary")                                                                              \
    X(limited, "limited")                                                                                    \
    X(optionset, "optionset")                                                                                \
    X(user, "user")                                                                                          \
    X(modifyPW, "modifyPW")                                                                                  \
    X(customer_save, "customer_save")                                                                        \
    X(customer_update, "customer_update")                                                                    \
    X(customer_delete, "customer_delete")                                                                    \
    X(customer_export, "customer_export")                                                                    \
    X(import_save, "import_save")                                                                            \
    X(import_update, "import_update")                                                                        \
    X(import_delete, "import_delete")                                                                        \
    X(import_pass, "import_pass")                                                                            \
    X(import_nopass, "import_nopass")                                                                        \
    X(import_print, "import_print")                                                                          \
    X(import_searchBill, "import_searchBill")                                                                \
    X(export_save, "export_save")                                                                            \
    X(export_update, "export_update")                                                                        \
    X(export_delete, "export_delete")                                                                        \
    X(export_pass, "export_pass")                                                                            \
    X(export_nopass, "export_nopass")                                                                        \
    X(export_print, "export_print")                                                                          \
    X(export_searchBill, "export_searchBill")                                                                \
    X(goodsInfor_save, "goodsInfor_save")                                                                    \
    X(goodsInfor_update, "goodsInfor_update")                                                                \
    X(goodsInfor_delete, "goodsInfor_delete")                                                                \
    X(goodsInfor_export, "goodsInfor_export")                                                                \
    X(locationInfor_save, "locationInfor_save")                                                              \
    X(locationInfor_update, "locationInfor_update")                                                          \
    X(locationInfor_delete, "locationInfor_delete")                                                          \
    X(locationInfor_export, "locationInfor_export")                                                          \
    X(dictionary_save, "dictionary_save")                                                                    \
    X(dictionary_update, "dictionary_update")                                                                \
    X(dictionary_delete, "dictionary_delete")                                                                \
    X(dictionary_export, "dictionary_export")                                                                \
    X(user_save, "user_save")                                                                                \
    X(user_update, "user_update")                                                                            \
    X(user_delete, "user_delete")                                                                            \
    X(user_export, "user_export")                                                                            \
    X(rpt_kctz_print, "rpt_kctz_print")                                                                      \
    X(rpt_kctz_export, "rpt_kctz_export")                                                                    \
    X(rpt_kczz_print, "rpt_kczz_print")                                                                      \
    X(rpt_kczz_export, "rpt_kczz_export")                                                                    \
    X(rpt_kwjk_print, "rpt_kwjk_print")                                                                      \
    X(rpt_kwjk_export, "rpt_kwjk_export")                                                                    \
    X(rpt_hpjk_print, "rpt_hpjk_print")                                                                      \
    X(rpt_hpjk_export, "rpt_hpjk_export")                                                                    \
    X(rpt_fckc_print, "rpt_fckc_print")                                                                      \
    X(rpt_fckc_export, "rpt_fckc_export")                                                                    \
    X(rpt_rkbill_print, "rpt_rkbill_print")                                                                  \
    X(rpt_rkbill_export, "rpt_rkbill_export")                                                                \
    X(rpt_rkbill_browse, "rpt_rkbill_browse")                                                                \
    X(rpt_rkbill_delete, "rpt_rkbill_delete")                                                                \
    X(rpt_rkbill_pass, "rpt_rkbill_pass")                                                                    \
    X(rpt_rkbill_nopass, "rpt_rkbill_nopass")                                                                \
    X(rpt_rkbill_add, "rpt_rkbill_add")                                                                      \
    X(rpt_rk_detail_bill_print, "rpt_rk_detail_bill_print")                                                  \
    X(rpt_rk_detail_bill_export, "rpt_rk_detail_bill_export")                                                \
    X(rpt_rk_detail_bill_browse, "rpt_rk_detail_bill_browse")                                                \
    X(rpt_rk_detail_bill_delete, "rpt_rk_detail_bill_delete")                                                \
    X(rpt_rksum_print, "rpt_rksum_print")                                                                    \
    X(rpt_rksum_export, "rpt_rksum_export")                                                                  \
    X(rpt_ckbill_print, "rpt_ckbill_print")                                                                  \
    X(rpt_ckbill_export, "rpt_ckbill_export")                                                                \
    X(rpt_ckbill_browse, "rpt_ckbill_browse")                                                                \
    X(rpt_ckbill_delete, "rpt_ckbill_delete")                                                                \
    X(rpt_ckbill_pass, "rpt_ckbill_pass")                                                                    \
    X(rpt_ckbill_nopass, "rpt_ckbill_nopass")                                                                \
    X(rpt_ckbill_add, "rpt_ckbill_add")                                                                      \
    X(rpt_ck_detail_bill_print, "rpt_ck_detail_bill_print")                                                  \
    X(rpt_ck_detail_bill_export, "rpt_ck_detail_bill_export")                                                \
    X(rpt_ck_detail_bill_browse, "rpt_ck_detail_bill_browse")                                                \
    X(rpt_ck_detail_bill_delete, "rpt_ck_detail_bill_delete")                                                \
    X(rpt_cksum_print, "rpt_cksum_print")                                                                    \
    X(rpt_cksum_export, "rpt_cksum_export")                                                                  \
    X(rpt_locstock, "rpt_locstock")                                                                          \
    X(rpt_locstock_export, "rpt_locstock_export")                                                            \
    X(stocktake, "stocktake")                                                                                \
    X(stocktake_post, "stocktake_post")                                                                      \
    X(goodsInfor_import, "goodsInfor_import")                                                                \
    X(customer_import, "customer_import")                                                                    \
    X(import_opening, "import_opening")                                                                      \
    X(stocktake_import, "stocktake_import")                                                                  \
    X(transfer, "transfer")                                                                                  \
    X(transfer_save, "transfer_save")                                                                        \
    X(transfer_update, "transfer_update")                                                                    \
    X(transfer_delete, "transfer_delete")                                                                    \
    X(transfer_pass, "transfer_pass")                                                                        \
    X(transfer_nopass, "transfer_nopass")                                                                    \
    X(transfer_print, "transfer_print")                                                                      \
    X(transfer_searchBill, "transfer_searchBill")                                                            \
    X(rpt_dbbill, "rpt_dbbill")                                                                              \
    X(rpt_dbbill_print, "rpt_dbbill_print")                                                                  \
    X(rpt_dbbill_export, "rpt_dbbill_export")                                                                \
    X(rpt_dbbill_browse, "rpt_dbbill_browse")                                                                \
    X(rpt_dbbill_delete, "rpt_dbbill_delete")                                                                \
    X(rpt_dbbill_pass, "rpt_dbbill_pass")                                                                    \
    X(rpt_dbbill_nopass, "rpt_dbbill_nopass")                                                                \
    X(rpt_dbbill_add, "rpt_dbbill_add")                                                                      \
    X(rpt_db_detail_bill, "rpt_db_detail_bill")                                                              \
    X(rpt_db_detail_bill_print, "rpt_db_detail_bill_print")                                                  \
    X(rpt_db_detail_bill_export, "rpt_db_detail_bill_export")                                                \
    X(rpt_db_detail_bill_browse, "rpt_db_detail_bill_browse")                                                \
    X(rpt_db_detail_bill_delete, "rpt_db_detail_bill_delete")                                                \
    X(rpt_expiry, "rpt_expiry")                                                                              \
    X(rpt_expiry_export, "rpt_expiry_export")

class m_funCode {
public:
#define WMS_FUNCODE_PROPERTY(name, code)                                                                     \
    static QString name() {                                                                                  \
        return QStringLiteral(code);                                                                         \
    }
    WMS_FUNCODES(WMS_FUNCODE_PROPERTY)
#undef WMS_FUNCODE_PROPERTY

    // All codes in catalogue order.
    static QStringList all();
};

// One grant list: the granted values each followed by ",", then "0".
// kind: "f" function codes, "a" account ids, "l" location ids.
QString GetJoinedGrants(int departmentId, const QString& kind);
