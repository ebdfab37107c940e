#include "masterwindows.h"

#include "frm_customer.h"
#include "frm_dictionary.h"
#include "frmgoods.h"
#include "frmlocation.h"

#include "ui/windowregistry.h"

void registerMasterWindows() {
    WindowRegistry::Register("frm_dictionary", {.create = [](QWidget*) { return new frm_dictionary; },
                                                .title = QStringLiteral("数据字典")});
    WindowRegistry::Register(
        "frmGoods", {.create = [](QWidget*) { return new frmGoods; }, .title = QStringLiteral("货品信息")});
    WindowRegistry::Register("frmLocation", {.create = [](QWidget*) { return new frmLocation; },
                                             .title = QStringLiteral("库位信息")});
    WindowRegistry::Register("frm_customer", {.create = [](QWidget*) { return new frm_customer; },
                                              .title = QStringLiteral("往来单位")});
}
