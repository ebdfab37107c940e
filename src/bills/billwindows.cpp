#include "billwindows.h"

#include "frmbillentry.h"
#include "frmstocktake.h"

#include "ui/windowregistry.h"

void registerBillWindows() {
    WindowRegistry::Register("frmImport", {.create = [](QWidget*) { return new frmImport; },
                                           .title = QStringLiteral("入库业务")});
    WindowRegistry::Register("frmExport", {.create = [](QWidget*) { return new frmExport; },
                                           .title = QStringLiteral("出库业务")});
    WindowRegistry::Register("frmStockTake", {.create = [](QWidget*) { return new frmStockTake; },
                                              .title = QStringLiteral("库存盘点")});
}
