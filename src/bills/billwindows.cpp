#include "billwindows.h"

#include "frmbillentry.h"
#include "frmopeningstock.h"
#include "frmstocktake.h"

#include "bill.h"

#include "data/sysvar.h"
#include "ui/frm_select.h"
#include "ui/windowregistry.h"

#include <QTableWidget>
#include <any>

namespace {

// The bill lists: stored bills of the accounts the user may use.
template <class Dal, class Head>
void registerBillMode(const char* name, const QString& partnerColumn, const QStringList& header) {
    frm_select::Mode bill;
    bill.selectPart =
        "select id,0,billNo,ubillNo,utype," + partnerColumn + ",accountName,totalItemRow,creator,passName ";
    bill.headerPieces = header;
    bill.conditions = [partnerColumn](const QString& keyword, const m_condition&) {
        ConditionSet c;
        c.AddItem("1", m_condition("accountId", "in", Raw(SysVar().Sys_accountJoinId)));
        if (!keyword.isEmpty())
            c.AddItem("2", m_condition("billNo&ubillNo&" + partnerColumn, "like", keyword));
        return c;
    };
    bill.source = [](const ConditionSet& c, const QString& select) {
        return Dal().GetListForCondition(c, select);
    };
    bill.record = [](const QTableWidget* g, int row) {
        Head m;
        m.id = frm_select::CellText(g, row, 1).toInt();
        return std::any(m);
    };
    frm_select::RegisterMode(name, bill);
}

// The lookup modes of stored bills.
void registerLookups() {
    registerBillMode<dal_rk_head, m_rk_head>("rk_bill", "supplierName",
                                             {"<入库单号       ", "<自定义单号     ", "<入库类别 ",
                                              "<供应商名称       ", "<账目标识   ", "^单据项目  ",
                                              "<创建人   ", "<状态   "});
    registerBillMode<dal_ck_head, m_ck_head>("ck_bill", "customerName",
                                             {"<出库单号       ", "<自定义单号     ", "<出库类别 ",
                                              "<客户名称       ", "<账目标识   ", "^单据项目  ", "<创建人   ",
                                              "<状态   "});
}

} // namespace

void registerBillWindows() {
    registerLookups();
    WindowRegistry::Register(
        "frmImport", {.create = [](QWidget*) { return new frmImport; }, .title = QStringLiteral("入库业务")});
    WindowRegistry::Register(
        "frmExport", {.create = [](QWidget*) { return new frmExport; }, .title = QStringLiteral("出库业务")});
    WindowRegistry::Register("frmTransfer", {.create = [](QWidget*) { return new frmTransfer; },
                                             .title = QStringLiteral("调拨业务")});
    WindowRegistry::Register("frmStockTake", {.create = [](QWidget*) { return new frmStockTake; },
                                              .title = QStringLiteral("库存盘点")});
    WindowRegistry::Register(
        "frmOpeningStock",
        {.create = [](QWidget* parent) { return NewOpeningStockDialog(parent); }, .modal = true});
}
