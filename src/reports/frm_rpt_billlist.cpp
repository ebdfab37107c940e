#include "frm_rpt_billlist.h"

#include "rpt_filters.h"

#include "access/funcode.h"
#include "access/user.h"
#include "bills/billstore.h"
#include "bills/frm_select.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/results.h"
#include "data/sysvar.h"
#include "master/customer.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/modal.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>

struct BillListKind {
    bool out;
    const char* objectName;
    const char* title;
    const char* header;
    const char* typeComboName;
    const char* typeDict;
    const char* partnerLabel;
    const char* partnerNameName;
    const char* partnerButtonName;
    const char* partnerField;
    const char* partnerMode;
    const char* entryWindow;
    QString (*codeAdd)();
    QString (*codeBrowse)();
    QString (*codePass)();
    QString (*codeNoPass)();
    QString (*codeDelete)();
    std::unique_ptr<BillStore> (*store)();
};

namespace {

const BillListKind kRkKind{false, "frm_rpt_rkHead", "入库单据",
                           "^序号  |^选中  |^ID   |^状态     |<账目标识    |<单据号码      |<自定义单号    |<入库类别  "
                           "|<供应商名称         |^单据项目 |>单据金额  |<备注        |<建单人  |<建单日期   ",
                           "cobo_importType", "importType", "供应商:", "txt_supplierName", "btn_searchSupplier",
                           "supplierName", "supplier", "frmImport", &m_funCode::rpt_rkbill_add,
                           &m_funCode::rpt_rkbill_browse, &m_funCode::rpt_rkbill_pass, &m_funCode::rpt_rkbill_nopass,
                           &m_funCode::rpt_rkbill_delete, &NewStockInStore};

const BillListKind kCkKind{true, "frm_rpt_ckHead", "出库单据",
                           "^序号  |^选中  |^ID   |^状态     |<账目标识    |<单据号码      |<自定义单号    |<出库类别  "
                           "|<客户名称         |^单据项目 |>单据金额  |<备注        |<建单人  |<建单日期   ",
                           "cobo_exportType", "exportType", "客户:", "txt_customerName", "btn_searchCustomer",
                           "customerName", "customer", "frmExport", &m_funCode::rpt_ckbill_add,
                           &m_funCode::rpt_ckbill_browse, &m_funCode::rpt_ckbill_pass, &m_funCode::rpt_ckbill_nopass,
                           &m_funCode::rpt_ckbill_delete, &NewStockOutStore};

const QString kApproved = QStringLiteral("已审核");
const QString kNotApproved = QStringLiteral("未审核");

QIcon statusIcon(const QString& passName) {
    return KeyIcon(passName == kApproved ? "ok_01.gif" : "flg3.ico");
}

} // namespace

BillListReport::BillListReport(const BillListKind& kind, QWidget* parent)
    : ReportForm(kind.objectName, QString::fromUtf8(kind.title), QString::fromUtf8(kind.header), parent),
      m_kind(kind) {
    if (kind.out)
        m_dal = std::make_unique<dal_rpt_ckHead>();
    else
        m_dal = std::make_unique<dal_rpt_rkHead>();
    AddToolAction(utoolbar, this, "addNew", "新建单据", "新", QColor(46, 139, 87), &BillListReport::AddNew);
    QAction* print = AddToolAction(utoolbar, this, "print", "打印", "印", QColor(200, 120, 30), [] {});
    QAction* exportList = AddToolAction(utoolbar, this, "export", "导出", "导", QColor(210, 140, 20), [] {});
    print->setEnabled(false); // print and export come with the print tool
    exportList->setEnabled(false);
    utoolbar->addSeparator();
    AddToolAction(utoolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    QAction* browse = vs_pop_menu->addAction(QStringLiteral("查看单据"), this, &BillListReport::OpenBill);
    browse->setObjectName("menu_BrowseBill");
    vs_pop_menu->addAction(QStringLiteral("删除单据"), this, &BillListReport::menu_DeleteBill)
        ->setObjectName("menu_DeleteBill");
    vs_pop_menu->addSeparator();
    vs_pop_menu->addAction(QStringLiteral("反审单据"), this, &BillListReport::menu_nopass)->setObjectName("menu_nopass");
    vs_pop_menu->addAction(QStringLiteral("审核单据"), this, &BillListReport::menu_pass)->setObjectName("menu_pass");
    connect(dg_List, &QTableWidget::cellDoubleClicked, this, [this] { OpenBill(); });
    dg_List->setColumnHidden(colCheck, true);
    dg_List->setColumnHidden(colId, true);

    // filters
    dt_createDateFrom = new QDateEdit;
    dt_createDateFrom->setObjectName("dt_createDateFrom");
    dt_createDateTo = new QDateEdit;
    dt_createDateTo->setObjectName("dt_createDateTo");
    for (QDateEdit* d : {dt_createDateFrom, dt_createDateTo}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(SysVar().Sys_DateFormat);
    }
    dt_createDateFrom->setDate(FirstDayOfMonth(QDate::currentDate()));
    dt_createDateTo->setDate(QDate::currentDate());
    cobo_billType = NamedCombo(kind.typeComboName);
    FillCombo(cobo_billType,
              QStringLiteral("select id,uname  from tb_dictionary where (utype='%1') and (isstart=1) order by "
                             "id,orderby")
                  .arg(kind.typeDict),
              "uname");
    cobo_billType->insertItem(0, QString()); // every type
    cobo_billType->setCurrentIndex(0);
    txt_partnerName = NamedEdit(kind.partnerNameName);
    auto* partnerButton = NamedButton(kind.partnerButtonName, "...");
    partnerButton->setFixedWidth(32);
    connect(partnerButton, &QPushButton::clicked, this, &BillListReport::SearchPartner);
    txt_KeyWord = NamedEdit("txt_KeyWord");
    searchOnEnter(txt_KeyWord);
    check_pass = new QCheckBox(kApproved);
    check_pass->setObjectName("check_pass");
    check_nopass = new QCheckBox(kNotApproved);
    check_nopass->setObjectName("check_nopass");
    check_pass->setChecked(true);
    check_nopass->setChecked(true);
    auto* search = NamedButton("btn_search", "查询");
    connect(search, &QPushButton::clicked, this, &ReportForm::btn_search);

    auto* panel = new QWidget;
    auto* row1 = new QHBoxLayout;
    row1->addWidget(new QLabel(QStringLiteral("建单日期:")));
    row1->addWidget(dt_createDateFrom);
    row1->addWidget(new QLabel(QStringLiteral("至")));
    row1->addWidget(dt_createDateTo);
    row1->addWidget(new QLabel(QStringLiteral("账目标识:")));
    row1->addWidget(txt_accountType, 1);
    row1->addWidget(btn_selectAccountType);
    row1->addWidget(new QLabel(QString::fromUtf8(kind.out ? "出库类别:" : "入库类别:")));
    row1->addWidget(cobo_billType);
    auto* row2 = new QHBoxLayout;
    row2->addWidget(new QLabel(QString::fromUtf8(kind.partnerLabel)));
    row2->addWidget(txt_partnerName, 1);
    row2->addWidget(partnerButton);
    row2->addWidget(new QLabel(QStringLiteral("关键字:")));
    row2->addWidget(txt_KeyWord, 1);
    row2->addWidget(check_pass);
    row2->addWidget(check_nopass);
    row2->addWidget(search);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addLayout(row1);
    panelLayout->addLayout(row2);
    setFilterPanel(panel);

    LoadAccountTypes();
    pageInfo.str_orderBy = "passName asc,createTime";
    pageInfo.isDesc = true;
    pageInfo.int_currentPageIndex = 1;
}

BillListReport::~BillListReport() = default;

QString BillListReport::GetColName(int column) const {
    switch (column) {
    case colId: return "id";
    case colStatus: return "passName";
    case colAccount: return "accountName";
    case colBillNo: return "billNo";
    case colUBillNo: return "ubillNo";
    case colType: return "utype";
    case colPartner: return m_kind.partnerField;
    case colItems: return "totalItemRow";
    case colAmount: return "val(totalAmount)"; // the amounts are stored as text: sort them as numbers
    case colRemark: return "remark";
    case colCreator: return "creator";
    case colDate: return "createTime";
    default: return {};
    }
}

bool BillListReport::buildConditions(ConditionSet& source, ConditionSet& list) {
    BillListFilter f;
    f.stockOut = m_kind.out;
    if (!dt_createDateFrom->text().trimmed().isEmpty()) f.from = dt_createDateFrom->date();
    if (!dt_createDateTo->text().trimmed().isEmpty()) f.to = dt_createDateTo->date();
    f.accountIds = accountTag;
    f.approved = check_pass->isChecked();
    f.unapproved = check_nopass->isChecked();
    f.type = cobo_billType->currentText();
    f.partner = txt_partnerName->text();
    f.keyword = txt_KeyWord->text();
    BillListConditions(f, source, list);
    return true;
}

m_recordSet BillListReport::runList(const ConditionSet& source, const ConditionSet& list) {
    return m_dal->GetListForCondition(source, list, pageInfo, BillListSelect(m_kind.out));
}

void BillListReport::fillRow(int row, const RecordSet& rs) {
    for (int c = colCheck; c < colCount; ++c)
        setCell(row, c, acc::valueText(rs.value(c - 1)));
    const QString status = cell(row, colStatus);
    if (!status.isEmpty()) dg_List->item(row, colStatus)->setIcon(statusIcon(status));
}

int BillListReport::currentId() const {
    const int row = dg_List->currentRow();
    return row < 0 ? 0 : static_cast<int>(acc::val(cell(row, colId)));
}

void BillListReport::OpenBill() {
    const int id = currentId();
    if (id <= 0 || !CheckFunction(m_kind.codeBrowse())) return;
    if (QWidget* entry = WindowRegistry::Open(m_kind.entryWindow))
        QMetaObject::invokeMethod(entry, "LoadBill", Q_ARG(int, id));
}

void BillListReport::AddNew() {
    if (!CheckFunction(m_kind.codeAdd())) return;
    if (QWidget* entry = WindowRegistry::Open(m_kind.entryWindow))
        QMetaObject::invokeMethod(entry, "NewBillForPartner", Q_ARG(int, 0), Q_ARG(QString, QString()));
}

void BillListReport::SearchPartner() {
    frm_select dlg(this);
    dlg.setMode(m_kind.partnerMode);
    dlg.setSinglePick(true);
    dlg.RunSearch();
    RunModal(&dlg);
    const auto picked = dlg.picked<m_customer>();
    if (!picked.empty() && !picked.front().customerCode.trimmed().isEmpty())
        txt_partnerName->setText(picked.front().uname);
}

void BillListReport::setPass(bool approve) {
    const int id = currentId();
    if (id <= 0) return;
    if (!CheckFunction(approve ? m_kind.codePass() : m_kind.codeNoPass())) return;
    const int row = dg_List->currentRow();
    const QString status = cell(row, colStatus).trimmed();
    if (approve && status == kApproved)
        return Refuse(this, QStringLiteral("当前单据已经审核,不能再审核!"));
    if (!approve && status == kNotApproved)
        return Refuse(this, QStringLiteral("当前单据未审核,不能再反审!"));
    const QString caption = approve ? QStringLiteral("审核") : QStringLiteral("反审");
    if (!MsgBox::Confirm(QStringLiteral("是否 [%1] 当前单据?").arg(caption), windowTitle())) return;
    if (!m_kind.store()->SetPass(id, approve ? 1 : 0, CurrentUser().user, FormatNow("yyyy-mm-dd hh:nn:ss")))
        return Refuse(this, QStringLiteral("当前单据已被删除!"));
    const QString now = approve ? kApproved : kNotApproved;
    setCell(row, colStatus, now);
    dg_List->item(row, colStatus)->setIcon(statusIcon(now));
    MsgBox::Show(caption + QStringLiteral("成功!"), MsgBox::Information, windowTitle());
}

void BillListReport::menu_pass() {
    setPass(true);
}

void BillListReport::menu_nopass() {
    setPass(false);
}

void BillListReport::menu_DeleteBill() {
    const int id = currentId();
    if (id <= 0 || !CheckFunction(m_kind.codeDelete())) return;
    if (cell(dg_List->currentRow(), colStatus).trimmed() == kApproved)
        return Refuse(this, QStringLiteral("当前单据已审核,不能删除!"));
    if (!MsgBox::Confirm(QStringLiteral("是否删除当前单据?"), windowTitle())) return;
    const m_DBresult r = m_kind.store()->Delete(id);
    if (!r.isResult) Refuse(this, r.str_MsgBox); // approved or deleted by somebody else meanwhile
    btn_search();
}


frm_rpt_rkHead::frm_rpt_rkHead(QWidget* parent) : BillListReport(kRkKind, parent) {}

frm_rpt_ckHead::frm_rpt_ckHead(QWidget* parent) : BillListReport(kCkKind, parent) {}
