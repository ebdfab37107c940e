#include "frm_rpt_lines.h"

#include "access/funcode.h"
#include "bills/billstore.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/results.h"
#include "data/sysvar.h"
#include "rpt_filters.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>

struct LineListKind {
    bool out;
    const char* objectName;
    const char* title;
    const char* header;
    const char* typeComboName;
    const char* typeDict;
    const char* partnerLabel;
    const char* partnerNameName;
    const char* entryWindow;
    QString (*codeBrowse)();
    QString (*codeDelete)();
    std::unique_ptr<BillStore> (*store)();
};

namespace {

const LineListKind kRkLines{
    false, "frm_rpt_rkDetail", "入库明细",
    "^序号 |^选中 |^ID   |^状态     |<headId     |<账目标识      |<单据号码      |<自定义单号  |<入库类别 |<供应商名称     "
    "|^货品类别 |<货品编码        |<goodsDetailCode|<货品名称       |<描述      |^单位 |>内装数|>重量  |>价格    |>数量    "
    "|>金额    |>小件数量|>默认件数|>重量小计|>存放库位 |>批次号    |<备注     |<建单人  |<建单日期    ",
    "cobo_importType", "importType", "供应商:", "txt_supplierName", "frmImport", &m_funCode::rpt_rk_detail_bill_browse,
    &m_funCode::rpt_rk_detail_bill_delete, &NewStockInStore};

const LineListKind kCkLines{
    true, "frm_rpt_ckDetail", "出库明细",
    "^序号 |^选中 |^ID   |^状态     |<headId     |<账目标识      |<单据号码      |<自定义单号  |<出库类别 |<客户名称     "
    "|^货品类别 |<货品编码        |<goodsDetailCode|<货品名称       |<描述      |^单位 |>内装数|>重量  |>进价    |>售价    "
    "|>数量    |>金额    |>小件数量|>默认件数|>重量小计|>存放库位 |>批次号    |<备注     |<建单人  |<建单日期    ",
    "cobo_exportType", "exportType", "客户:", "txt_customerName", "frmExport", &m_funCode::rpt_ck_detail_bill_browse,
    &m_funCode::rpt_ck_detail_bill_delete, &NewStockOutStore};

} // namespace

LineListReport::LineListReport(const LineListKind& kind, QWidget* parent)
    : ReportForm(kind.objectName, QString::fromUtf8(kind.title), QString::fromUtf8(kind.header), parent),
      m_kind(kind) {
    if (kind.out)
        m_dal = std::make_unique<dal_rpt_ckDetail>();
    else
        m_dal = std::make_unique<dal_rpt_rkDetail>();
    // the fields of the select list, grid column c showing field c - 1
    m_fields = LineListSelect(kind.out).mid(7).trimmed().split(',');
    QAction* operation = AddToolAction(utoolbar, this, "operation", "操作", "操", QColor(60, 140, 160), [] {});
    connect(operation, &QAction::triggered, this, [this] {
        vs_pop_menu->popup(utoolbar->mapToGlobal(QPoint(0, utoolbar->height())));
    });
    QAction* print = AddToolAction(utoolbar, this, "print", "打印", "印", QColor(200, 120, 30), [] {});
    QAction* exportList = AddToolAction(utoolbar, this, "export", "导出", "导", QColor(210, 140, 20), [] {});
    print->setEnabled(false); // print and export come with the print tool
    exportList->setEnabled(false);
    utoolbar->addSeparator();
    AddToolAction(utoolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });
    vs_pop_menu->addAction(QStringLiteral("查看单据"), this, &LineListReport::OpenBill)->setObjectName("menu_BrowseBill");
    vs_pop_menu->addAction(QStringLiteral("删除单据"), this, &LineListReport::menu_DeleteBill)
        ->setObjectName("menu_DeleteBill");
    connect(dg_List, &QTableWidget::cellDoubleClicked, this, [this] { OpenBill(); });
    const int hidden[] = {1, 2, 4, 12};
    for (int c : hidden)
        dg_List->setColumnHidden(c, true);
    dg_List->setColumnHidden(m_fields.indexOf("totalQty") + 1, true);
    dg_List->setColumnHidden(m_fields.indexOf("totalDefaultQty") + 1, true);
    if (kind.out) dg_List->setColumnHidden(m_fields.indexOf("inPrice") + 1, true);

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
    cobo_goodsTypeName = NamedCombo("cobo_goodsTypeName");
    FillCombo(cobo_goodsTypeName,
              "select id,uname  from tb_dictionary where (utype='goodsType') and (isstart=1) order by id,orderby",
              "uname");
    cobo_billType = NamedCombo(kind.typeComboName);
    FillCombo(cobo_billType,
              QStringLiteral("select id,uname  from tb_dictionary where (utype='%1') and (isstart=1) order by id,orderby")
                  .arg(kind.typeDict),
              "uname");
    for (QComboBox* c : {cobo_goodsTypeName, cobo_billType}) {
        c->insertItem(0, QString()); // every type
        c->setCurrentIndex(0);
    }
    txt_partnerName = NamedEdit(kind.partnerNameName);
    txt_goodsCode = NamedEdit("txt_goodsCode");
    txt_KeyWord = NamedEdit("txt_KeyWord");
    searchOnEnter(txt_KeyWord);
    check_pass = new QCheckBox(QStringLiteral("已审核"));
    check_pass->setObjectName("check_pass");
    check_nopass = new QCheckBox(QStringLiteral("未审核"));
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
    row1->addWidget(new QLabel(QStringLiteral("货品类别:")));
    row1->addWidget(cobo_goodsTypeName);
    row1->addWidget(new QLabel(QString::fromUtf8(kind.out ? "出库类别:" : "入库类别:")));
    row1->addWidget(cobo_billType);
    auto* row2 = new QHBoxLayout;
    row2->addWidget(new QLabel(QString::fromUtf8(kind.partnerLabel)));
    row2->addWidget(txt_partnerName, 1);
    row2->addWidget(new QLabel(QStringLiteral("货品编码:")));
    row2->addWidget(txt_goodsCode);
    row2->addWidget(new QLabel(QStringLiteral("关键字:")));
    row2->addWidget(txt_KeyWord, 1);
    row2->addWidget(check_pass);
    row2->addWidget(check_nopass);
    row2->addWidget(search);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row1);
    layout->addLayout(row2);
    setFilterPanel(panel);

    LoadAccountTypes();
    pageInfo.str_orderBy = "createTime";
    pageInfo.isDesc = true;
    pageInfo.int_currentPageIndex = 1;
}

LineListReport::~LineListReport() = default;

int LineListReport::colAmount() const {
    return m_fields.indexOf("totalAmount") + 1;
}

QString LineListReport::GetColName(int column) const {
    if (column == 0) return "rowNo";
    if (column <= 1 || column > m_fields.size()) return {};
    const QString field = m_fields[column - 1];
    // prices, amounts and default pieces are stored as text: sort them as numbers
    if (field == "inPrice" || field == "salePrice" || field == "totalAmount" || field == "totalDefaultQty")
        return "val(" + field + ")";
    return field;
}

bool LineListReport::buildConditions(ConditionSet& source, ConditionSet& list) {
    LineListFilter f;
    f.stockOut = m_kind.out;
    if (!dt_createDateFrom->text().trimmed().isEmpty()) f.from = dt_createDateFrom->date();
    if (!dt_createDateTo->text().trimmed().isEmpty()) f.to = dt_createDateTo->date();
    f.accountIds = accountTag;
    f.approved = check_pass->isChecked();
    f.unapproved = check_nopass->isChecked();
    f.type = cobo_billType->currentText();
    f.partner = txt_partnerName->text();
    f.keyword = txt_KeyWord->text();
    f.goodsType = cobo_goodsTypeName->currentText();
    f.goodsCode = txt_goodsCode->text();
    LineListConditions(f, source, list);
    return true;
}

m_recordSet LineListReport::runList(const ConditionSet& source, const ConditionSet& list) {
    return m_dal->GetListForCondition(source, list, pageInfo, LineListSelect(m_kind.out));
}

void LineListReport::fillRow(int row, const RecordSet& rs) {
    for (int c = 1; c <= m_fields.size(); ++c)
        setCell(row, c, acc::valueText(rs.value(c - 1)));
    const QString status = cell(row, colStatus());
    if (!status.isEmpty())
        dg_List->item(row, colStatus())->setIcon(KeyIcon(status == QStringLiteral("已审核") ? "ok_01.gif" : "flg3.ico"));
}

int LineListReport::headIdOfCurrentRow() const {
    const int row = dg_List->currentRow();
    return row < 0 ? 0 : static_cast<int>(acc::val(cell(row, colHeadId())));
}

void LineListReport::OpenBill() {
    const int headId = headIdOfCurrentRow(); // the line's bill, not the line
    if (headId <= 0 || !CheckFunction(m_kind.codeBrowse())) return;
    if (QWidget* entry = WindowRegistry::Open(m_kind.entryWindow))
        QMetaObject::invokeMethod(entry, "LoadBill", Q_ARG(int, headId));
}

void LineListReport::menu_DeleteBill() {
    const int headId = headIdOfCurrentRow();
    if (headId <= 0 || !CheckFunction(m_kind.codeDelete())) return;
    if (cell(dg_List->currentRow(), colStatus()).trimmed() == QStringLiteral("已审核"))
        return Refuse(this, QStringLiteral("当前单据已审核,不能删除!"));
    if (!MsgBox::Confirm(QStringLiteral("是否删除当前单据?"), windowTitle())) return;
    const m_DBresult r = m_kind.store()->Delete(headId);
    if (!r.isResult) Refuse(this, r.str_MsgBox); // approved or deleted by somebody else meanwhile
    btn_search();
}

frm_rpt_rkDetail::frm_rpt_rkDetail(QWidget* parent) : LineListReport(kRkLines, parent) {}

frm_rpt_ckDetail::frm_rpt_ckDetail(QWidget* parent) : LineListReport(kCkLines, parent) {}
