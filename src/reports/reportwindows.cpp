#include "reportwindows.h"

#include "frm_rpt_billlist.h"
#include "frm_rpt_expiry.h"
#include "frm_rpt_lines.h"
#include "frm_rpt_locstock.h"
#include "frm_rpt_stock.h"
#include "frm_rpt_sum.h"
#include "frm_rpt_transfer.h"

#include "ui/windowregistry.h"

void registerReportWindows() {
    WindowRegistry::Register("frm_rpt_rkDetail", {.create = [](QWidget*) { return new frm_rpt_rkDetail; },
                                                  .title = QStringLiteral("入库明细"),
                                                  .report = true});
    WindowRegistry::Register("frm_rpt_ckDetail", {.create = [](QWidget*) { return new frm_rpt_ckDetail; },
                                                  .title = QStringLiteral("出库明细"),
                                                  .report = true});
    WindowRegistry::Register("frm_rpt_stock", {.create = [](QWidget*) { return new frm_rpt_stock; },
                                               .title = QStringLiteral("库存总账"),
                                               .report = true});
    WindowRegistry::Register("frm_rpt_rkSum", {.create = [](QWidget*) { return new frm_rpt_rkSum; },
                                               .title = QStringLiteral("入库汇总"),
                                               .report = true});
    WindowRegistry::Register("frm_rpt_ckSum", {.create = [](QWidget*) { return new frm_rpt_ckSum; },
                                               .title = QStringLiteral("出库汇总"),
                                               .report = true});
    WindowRegistry::Register("frm_rpt_locStock", {.create = [](QWidget*) { return new frm_rpt_locStock; },
                                                  .title = QStringLiteral("库位库存"),
                                                  .report = true});
    WindowRegistry::Register("frm_rpt_expiry", {.create = [](QWidget*) { return new frm_rpt_expiry; },
                                                .title = QStringLiteral("效期预警"),
                                                .report = true});
    WindowRegistry::Register("frm_rpt_rkHead", {.create = [](QWidget*) { return new frm_rpt_rkHead; },
                                                .title = QStringLiteral("入库单据"),
                                                .report = true});
    WindowRegistry::Register("frm_rpt_ckHead", {.create = [](QWidget*) { return new frm_rpt_ckHead; },
                                                .title = QStringLiteral("出库单据"),
                                                .report = true});
    WindowRegistry::Register("frm_rpt_dbHead", {.create = [](QWidget*) { return new frm_rpt_dbHead; },
                                                .title = QStringLiteral("调拨单据"),
                                                .report = true});
    WindowRegistry::Register("frm_rpt_dbDetail", {.create = [](QWidget*) { return new frm_rpt_dbDetail; },
                                                  .title = QStringLiteral("调拨明细"),
                                                  .report = true});
}
