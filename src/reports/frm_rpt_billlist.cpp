#include "frm_rpt_billlist.h"

#include "bills/bill.h"

#include "access/funcode.h"
#include "access/user.h"
#include "bills/billstore.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/results.h"
#include "ui/formparts.h"
#include "ui/permission.h"
#include "ui/windowregistry.h"

#include <QAction>
#include <QMenu>
#include <QTableWidget>
#include <QToolBar>

namespace {

const BillReportKind kRkKind{
    false,
    "frm_rpt_rkHead",
    "入库单据",
    "^序号  |^选中  |^ID   |^状态     |<账目标识    |<单据号码      |<自定义单号    |<入库类别  "
    "|<供应商名称         |^单据项目 |>单据金额  |<备注        |<建单人  |<建单日期   ",
    "cobo_importType",
    "importType",
    "供应商:",
    "txt_supplierName",
    "btn_searchSupplier",
    "supplier",
    "frmImport",
    &m_funCode::rpt_rkbill_browse,
    &m_funCode::rpt_rkbill_delete,
    &m_funCode::rpt_rkbill_add,
    &m_funCode::rpt_rkbill_pass,
    &m_funCode::rpt_rkbill_nopass,
    &NewStockInStore};

const BillReportKind kCkKind{
    true,
    "frm_rpt_ckHead",
    "出库单据",
    "^序号  |^选中  |^ID   |^状态     |<账目标识    |<单据号码      |<自定义单号    |<出库类别  "
    "|<客户名称         |^单据项目 |>单据金额  |<备注        |<建单人  |<建单日期   ",
    "cobo_exportType",
    "exportType",
    "客户:",
    "txt_customerName",
    "btn_searchCustomer",
    "customer",
    "frmExport",
    &m_funCode::rpt_ckbill_browse,
    &m_funCode::rpt_ckbill_delete,
    &m_funCode::rpt_ckbill_add,
    &m_funCode::rpt_ckbill_pass,
    &m_funCode::rpt_ckbill_nopass,
    &NewStockOutStore};

const QString kApproved = QStringLiteral("已审核");
const QString kNotApproved = QStringLiteral("未审核");

} // namespace

BillListReport::BillListReport(const BillReportKind& kind, QWidget* parent) : BillReportForm(kind, parent) {
    if (kind.out)
        m_dal = std::make_unique<dal_rpt_ckHead>();
    else
        m_dal = std::make_unique<dal_rpt_rkHead>();
    pagesFrom(*m_dal);
    AddToolAction(utoolbar, this, "addNew", "新建单据", "新", QColor(46, 139, 87), &BillListReport::AddNew);
    // the bill lists have nothing to print: their bills print from the entry window
    AddToolAction(utoolbar, this, "print", "打印", "印", QColor(200, 120, 30), [] {})->setEnabled(false);
    AddToolAction(utoolbar, this, "export", "导出", "导", QColor(210, 140, 20), [this] {
        exportRows(*m_dal, m_kind.out ? m_funCode::rpt_ckbill_export() : m_funCode::rpt_rkbill_export(),
                   QString::fromUtf8(m_kind.title), BillListCaptions(m_kind.out), BillListKinds());
    });
    utoolbar->addSeparator();
    AddToolAction(utoolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    addBillMenu();
    vs_pop_menu->addSeparator();
    vs_pop_menu->addAction(QStringLiteral("反审单据"), this, &BillListReport::menu_nopass)
        ->setObjectName("menu_nopass");
    vs_pop_menu->addAction(QStringLiteral("审核单据"), this, &BillListReport::menu_pass)
        ->setObjectName("menu_pass");
    dg_List->setColumnHidden(colCheck, true);
    dg_List->setColumnHidden(colId, true);
    layOutFilters({}, {});

    LoadAccountTypes();
    pageInfo.str_orderBy = "passName asc,createTime";
    pageInfo.isDesc = true;
    pageInfo.int_currentPageIndex = 1;
}

BillListReport::~BillListReport() = default;

QString BillListReport::GetColName(int column) const {
    switch (column) {
    case colId:
        return "id";
    case colStatus:
        return "passName";
    case colAccount:
        return "accountName";
    case colBillNo:
        return "billNo";
    case colUBillNo:
        return "ubillNo";
    case colType:
        return "utype";
    case colPartner:
        return m_kind.out ? "customerName" : "supplierName";
    case colItems:
        return "totalItemRow";
    case colAmount:
        return "val(totalAmount)"; // the amounts are stored as text: sort them as numbers
    case colRemark:
        return "remark";
    case colCreator:
        return "creator";
    case colDate:
        return "createTime";
    default:
        return {};
    }
}

bool BillListReport::buildConditions(ConditionSet& source, ConditionSet& list) {
    BillListFilter f;
    fillFilter(f);
    BillListConditions(f, source, list);
    return true;
}

m_recordSet BillListReport::runList(const ConditionSet& source, const ConditionSet& list) {
    return m_dal->GetListForCondition(source, list, pageInfo, BillListSelect(m_kind.out));
}

void BillListReport::fillRow(int row, const RecordSet& rs) {
    for (int c = colCheck; c < colCount; ++c)
        setCell(row, c, acc::valueText(rs.value(c - 1)));
    showStatusIcon(row);
}

void BillListReport::AddNew() {
    if (!CheckFunction(m_kind.codeAdd())) return;
    if (QWidget* entry = WindowRegistry::Open(m_kind.entryWindow))
        QMetaObject::invokeMethod(entry, "NewBillForPartner", Q_ARG(int, 0), Q_ARG(QString, QString()));
}

void BillListReport::setPass(bool approve) {
    const int id = currentBillId();
    if (id <= 0) return;
    if (!CheckFunction(approve ? m_kind.codePass() : m_kind.codeNoPass())) return;
    const int row = dg_List->currentRow();
    const QString status = cell(row, colStatus).trimmed();
    if (approve && status == kApproved) return Refuse(this, QStringLiteral("当前单据已经审核,不能再审核!"));
    if (!approve && status == kNotApproved) return Refuse(this, QStringLiteral("当前单据未审核,不能再反审!"));
    const QString caption = approve ? QStringLiteral("审核") : QStringLiteral("反审");
    if (!approve) {
        const QString count = CountOfAdjustmentBill(m_kind.out, id);
        if (!count.isEmpty()) return Refuse(this, AdjustmentBillRefusal(count, caption));
    }
    if (!MsgBox::Confirm(QStringLiteral("是否 [%1] 当前单据?").arg(caption), windowTitle())) return;
    if (!m_kind.store()->SetPass(id, approve ? 1 : 0, CurrentUser().user, FormatNow("yyyy-mm-dd hh:nn:ss")))
        return Refuse(this, QStringLiteral("当前单据已被删除!"));
    WindowRegistry::ApprovalsChanged();
    setCell(row, colStatus, approve ? kApproved : kNotApproved);
    showStatusIcon(row);
    MsgBox::Show(caption + QStringLiteral("成功!"), MsgBox::Information, windowTitle());
}

void BillListReport::menu_pass() {
    setPass(true);
}

void BillListReport::menu_nopass() {
    setPass(false);
}

frm_rpt_rkHead::frm_rpt_rkHead(QWidget* parent) : BillListReport(kRkKind, parent) {}

frm_rpt_ckHead::frm_rpt_ckHead(QWidget* parent) : BillListReport(kCkKind, parent) {}
