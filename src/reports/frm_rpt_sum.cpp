#include "frm_rpt_sum.h"

#include "access/funcode.h"
#include "billreportform.h"
#include "rpt_filters.h"
#include "rpt_stock.h"

#include "data/accesstext.h"
#include "data/results.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "ui/formparts.h"
#include "ui/widgethelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The second header row; the first groups columns 11 to 13.
const char* const kHeader =
    "^序号 |^选中 |^ID   |^状态    |<货品类别    |<货品编码       |<货品名称          "
    "|<描述              |>上限    |>下限    |^单位 |>小件汇总    |>重量汇总    |>默认件数    ";

} // namespace

SumReport::SumReport(bool stockOut, QWidget* parent)
    : ReportForm(stockOut ? "frm_rpt_ckSum" : "frm_rpt_rkSum",
                 stockOut ? QStringLiteral("出库汇总") : QStringLiteral("入库汇总"),
                 QString::fromUtf8(kHeader), parent),
      m_out(stockOut) {
    if (stockOut)
        m_dal = std::make_unique<dal_rpt_ckSum>();
    else
        m_dal = std::make_unique<dal_rpt_rkSum>();
    pagesFrom(*m_dal);
    AddToolAction(utoolbar, this, "export", "导出", "导", QColor(210, 140, 20), [this] {
        exportRows(*m_dal, m_out ? m_funCode::rpt_cksum_export() : m_funCode::rpt_rksum_export(),
                   windowTitle(), SumCaptions(), SumKinds());
    });
    // the summaries print without a function code of their own
    AddToolAction(utoolbar, this, "print", "打印", "印", QColor(200, 120, 30), [this] {
        printRows(*m_dal, QString(), m_out ? "kx_rpt_ckSum" : "kx_rpt_rkSum",
                  m_out ? SysVar().Sys_exportSumBill : SysVar().Sys_importSumBill,
                  m_out ? QStringLiteral("当前出库汇总信息不存在!")
                        : QStringLiteral("当前入库汇总信息不存在!"));
    });
    utoolbar->addSeparator();
    AddToolAction(utoolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });
    dg_List->setColumnHidden(1, true);
    dg_List->setColumnHidden(2, true);
    headerReset();

    dt_createDateFrom = NewDateEdit("dt_createDateFrom", FirstDayOfMonth(QDate::currentDate()));
    dt_createDateTo = NewDateEdit("dt_createDateTo", QDate::currentDate());
    cobo_goodsTypeName = NewGoodsTypeCombo();
    txt_partnerName = NamedEdit(stockOut ? "txt_customerName" : "txt_supplierName");
    txt_partnerName->setMaxLength(100);
    auto* partnerButton = NamedButton(stockOut ? "btn_searchCustomer" : "btn_searchSupplier", "...");
    partnerButton->setFixedWidth(32);
    connect(partnerButton, &QPushButton::clicked, this, &SumReport::SearchPartner);
    txt_KeyWord = NamedEdit("txt_KeyWord");
    searchOnEnter(txt_KeyWord);
    Chk_ContainerZero = new QCheckBox(QStringLiteral("包括汇总为0的货品"));
    Chk_ContainerZero->setObjectName("Chk_ContainerZero");
    Chk_ContainerZero->setChecked(true);

    // the type selection box
    const QString side = stockOut ? "ExportType" : "ImportType";
    txt_type = NamedEdit(stockOut ? "txt_ExportType" : "txt_importType");
    txt_type->setReadOnly(true);
    auto* selectType = NamedButton(qPrintable("btn_select" + side), "...");
    selectType->setFixedWidth(32);
    connect(selectType, &QPushButton::clicked, this, &SumReport::ShowTypeBox);
    pic_Box_Type = new QFrame(this);
    pic_Box_Type->setObjectName("pic_Box_" + side);
    pic_Box_Type->setFrameShape(QFrame::StyledPanel);
    pic_Box_Type->setAutoFillBackground(true);
    auto* closeBox = new QToolButton;
    closeBox->setObjectName("lb_Close" + side);
    closeBox->setText(QStringLiteral("×"));
    closeBox->setAutoRaise(true);
    connect(closeBox, &QToolButton::clicked, pic_Box_Type, &QWidget::hide);
    auto* boxTitle = new QHBoxLayout;
    boxTitle->addWidget(
        new QLabel(stockOut ? QStringLiteral("请选中出库类别:") : QStringLiteral("请选中入库类别:")), 1);
    boxTitle->addWidget(closeBox);
    tv_Type = new QTreeWidget;
    tv_Type->setObjectName("tv_" + side);
    tv_Type->setHeaderHidden(true);
    connect(tv_Type, &QTreeWidget::itemClicked, this, &SumReport::ChooseType);
    auto* clear = NamedButton(qPrintable("btn_Clear" + side), "清空");
    connect(clear, &QPushButton::clicked, this, &SumReport::ClearType);
    auto* cancel = NamedButton(qPrintable("btn_" + side + "Cancel"), "取消");
    connect(cancel, &QPushButton::clicked, pic_Box_Type, &QWidget::hide);
    auto* boxButtons = new QHBoxLayout;
    boxButtons->addStretch(1);
    boxButtons->addWidget(clear);
    boxButtons->addWidget(cancel);
    auto* boxLayout = new QVBoxLayout(pic_Box_Type);
    boxLayout->addLayout(boxTitle);
    boxLayout->addWidget(tv_Type, 1);
    boxLayout->addLayout(boxButtons);
    pic_Box_Type->resize(240, 260);
    pic_Box_Type->hide();
    // the dictionary's type names compare without regard to case
    const RecordSet types = sqlHelper::ExecuteSql("select id,uname  from tb_dictionary where (utype='" +
                                                  side + "') and (isstart=1) order by id,orderby");
    for (int r = 0; r < types.RecordCount(); ++r) {
        auto* node = new QTreeWidgetItem(tv_Type, {acc::valueText(types.at(r, "uname"))});
        node->setData(0, Qt::UserRole, "key_" + acc::valueText(types.at(r, "id")).trimmed());
    }

    QPushButton* search = newSearchButton();
    auto* row1 = new QHBoxLayout;
    addDateRange(row1, dt_createDateFrom, dt_createDateTo);
    addAccountBox(row1);
    row1->addWidget(new QLabel(stockOut ? QStringLiteral("出库类别:") : QStringLiteral("入库类别:")));
    row1->addWidget(txt_type);
    row1->addWidget(selectType);
    auto* row2 = new QHBoxLayout;
    row2->addWidget(new QLabel(stockOut ? QStringLiteral("客户:") : QStringLiteral("供应商:")));
    row2->addWidget(txt_partnerName, 1);
    row2->addWidget(partnerButton);
    row2->addWidget(new QLabel(QStringLiteral("货品类别:")));
    row2->addWidget(cobo_goodsTypeName);
    row2->addWidget(new QLabel(QStringLiteral("关键字:")));
    row2->addWidget(txt_KeyWord, 1);
    row2->addWidget(Chk_ContainerZero);
    row2->addWidget(search);
    setFilterRows({row1, row2});

    LoadAccountTypes();
    pageInfo.str_orderBy = "goodsCode";
    pageInfo.isDesc = true;
    pageInfo.int_currentPageIndex = 1;
}

SumReport::~SumReport() = default;

void SumReport::headerReset() {
    const QString group = m_out ? QStringLiteral("出库汇总") : QStringLiteral("入库汇总");
    for (int c = 11; c <= 13 && c < dg_List->columnCount(); ++c) {
        QTableWidgetItem* head = dg_List->horizontalHeaderItem(c);
        if (!head->text().contains('\n')) head->setText(group + "\n" + head->text());
    }
}

QString SumReport::GetColName(int column) const {
    const QString p = m_out ? "totalExport" : "totalImport";
    switch (column) {
    case 2:
        return "id";
    case 3:
        return "status";
    case 4:
        return "goodsTypeName";
    case 5:
        return "goodsCode";
    case 6:
        return "goodsName";
    case 7:
        return "goodsDesc";
    case 8:
        return "upqty";
    case 9:
        return "downqty";
    case 10:
        return "unit";
    // the totals are stored as text: sort them as numbers
    case 11:
        return "val(" + p + "Qty)";
    case 12:
        return "val(" + p + "Weight)";
    case 13:
        return "val(" + p + "DefaultQty)";
    default:
        return {};
    }
}

void SumReport::ShowTypeBox() {
    showBelow(pic_Box_Type, txt_type);
}

void SumReport::ChooseType(QTreeWidgetItem* node) {
    if (!node) return;
    txt_type->setText(node->text(0));
    typeTag = node->data(0, Qt::UserRole).toString().mid(4);
    pic_Box_Type->hide();
}

void SumReport::ClearType() {
    txt_type->clear();
    typeTag.clear();
    tv_Type->setCurrentItem(nullptr);
    tv_Type->clearSelection();
    pic_Box_Type->hide();
}

void SumReport::SearchPartner() {
    const QString name = PickPartnerName(this, m_out ? "customer" : "supplier");
    if (!name.isEmpty()) txt_partnerName->setText(name);
}

bool SumReport::buildConditions(ConditionSet&, ConditionSet& list) {
    SumFilter f;
    f.stockOut = m_out;
    if (!dt_createDateFrom->text().trimmed().isEmpty()) f.from = dt_createDateFrom->date();
    if (!dt_createDateTo->text().trimmed().isEmpty()) f.to = dt_createDateTo->date();
    f.typeId = typeTag;
    f.partner = txt_partnerName->text();
    f.goodsType = cobo_goodsTypeName->currentText();
    f.keyword = txt_KeyWord->text();
    f.includeZero = Chk_ContainerZero->isChecked();
    m_sum = ConditionSet();
    SumConditions(f, list, m_sum);
    return true;
}

m_recordSet SumReport::runList(const ConditionSet&, const ConditionSet& list) {
    return m_dal->GetListForCondition(list, m_sum, accountTag + "0", pageInfo, SumSelect(m_out));
}

void SumReport::fillRow(int row, const RecordSet& rs) {
    for (int c = 1; c < 14; ++c)
        setCell(row, c, acc::valueText(rs.value(c - 1)));
    showGoodsStatusIcon(row, 3);
}
