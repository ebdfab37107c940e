#include "frm_rpt_stock.h"

#include "rpt_filters.h"

#include "access/funcode.h"
#include "data/sysvar.h"

#include "data/accesstext.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/widgethelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>

namespace {

// The second header row; the first groups columns 11 to 19.
const char* const kHeader =
    "^序号 |^选中 |^ID   |^状态    |<货品类别     |<货品编码     |<货品名称       |<描述          "
    "|>上限   |>下限   |^单位 |>入库    |>出库    |>库存    |>入库    |>出库    |>库存    "
    "|>入库    |>出库    |>库存    ";
const char* const kFields[] = {"",
                               "",
                               "id",
                               "status",
                               "goodsTypeName",
                               "goodsCode",
                               "goodsName",
                               "goodsDesc",
                               "upqty",
                               "downqty",
                               "unit",
                               "totalImportQty",
                               "totalExportQty",
                               "totalBlanceQty",
                               "totalImportWeight",
                               "totalExportWeight",
                               "totalBlanceWeight",
                               "totalImportDefaultQty",
                               "totalExportDefaultQty",
                               "totalBlanceDefaultQty"};

} // namespace

QColor frm_rpt_stock::lowStockColor() {
    return QColor(200, 30, 30);
}

QColor frm_rpt_stock::highStockColor() {
    return QColor(220, 120, 0);
}

frm_rpt_stock::frm_rpt_stock(QWidget* parent)
    : ReportForm("frm_rpt_stock", QStringLiteral("库存总账"), QString::fromUtf8(kHeader), parent) {
    pagesFrom(m_dal);
    AddToolAction(utoolbar, this, "export", "导出", "导", QColor(210, 140, 20), [this] {
        exportRows(m_dal, m_funCode::rpt_kczz_export(), QStringLiteral("货品总账"), StockCaptions(),
                   StockKinds());
    });
    AddToolAction(utoolbar, this, "print", "打印", "印", QColor(200, 120, 30), [this] {
        printRows(m_dal, m_funCode::rpt_kczz_print(), "kx_stock_bill", SysVar().Sys_stockBill,
                  QStringLiteral("当前库存表信息不存在!"));
    });
    utoolbar->addSeparator();
    AddToolAction(utoolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });
    dg_List->setColumnHidden(1, true);
    dg_List->setColumnHidden(2, true);
    headerReset();

    cobo_goodsTypeName = NewGoodsTypeCombo();
    txt_KeyWord = NamedEdit("txt_KeyWord");
    searchOnEnter(txt_KeyWord);
    Chk_ContainerZero = new QCheckBox(QStringLiteral("包括库存为0的货品"));
    Chk_ContainerZero->setObjectName("Chk_ContainerZero");
    Chk_ContainerZero->setChecked(true);
    chk_lowStock = new QCheckBox(QStringLiteral("仅显示库存不足"));
    chk_lowStock->setObjectName("chk_lowStock");
    QPushButton* search = newSearchButton();
    auto* panel = new QWidget;
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    addAccountBox(row);
    row->addWidget(new QLabel(QStringLiteral("货品类别:")));
    row->addWidget(cobo_goodsTypeName);
    row->addWidget(new QLabel(QStringLiteral("关键字:")));
    row->addWidget(txt_KeyWord, 1);
    row->addWidget(Chk_ContainerZero);
    row->addWidget(chk_lowStock);
    row->addWidget(search);
    setFilterPanel(panel);

    LoadAccountTypes();
    pageInfo.str_orderBy = "goodsCode";
    pageInfo.isDesc = true;
    pageInfo.int_currentPageIndex = 1;
}

void frm_rpt_stock::headerReset() {
    // two header rows: each group's caption above its three columns
    const char* groups[] = {"小件汇总", "重量汇总", "默认件数"};
    for (int c = 11; c <= 19 && c < dg_List->columnCount(); ++c) {
        QTableWidgetItem* head = dg_List->horizontalHeaderItem(c);
        if (!head->text().contains('\n'))
            head->setText(QString::fromUtf8(groups[(c - 11) / 3]) + "\n" + head->text());
    }
}

QString frm_rpt_stock::GetColName(int column) const {
    if (column < 0 || column >= 20) return {};
    const QString field = QString::fromLatin1(kFields[column]);
    // the in and out totals are stored as text: sort them as numbers
    const bool textNumber = field.startsWith("totalImport") || field.startsWith("totalExport");
    return textNumber ? "val(" + field + ")" : field;
}

bool frm_rpt_stock::buildConditions(ConditionSet&, ConditionSet& list) {
    StockFilter f;
    f.goodsType = cobo_goodsTypeName->currentText();
    f.keyword = txt_KeyWord->text();
    f.includeZero = Chk_ContainerZero->isChecked();
    f.lowOnly = chk_lowStock->isChecked();
    StockConditions(f, list);
    return true;
}

m_recordSet frm_rpt_stock::runList(const ConditionSet&, const ConditionSet& list) {
    return m_dal.GetListForCondition(list, accountTag + "0", pageInfo, StockSelect());
}

void frm_rpt_stock::fillRow(int row, const RecordSet& rs) {
    for (int c = 1; c < 20; ++c)
        setCell(row, c, acc::valueText(rs.value(c - 1)));
    showGoodsStatusIcon(row, 3);
    // the balance in default units against the goods' limits
    const QString balanceText = cell(row, 19);
    if (balanceText.isEmpty()) return;
    const double balance = acc::val(balanceText);
    const double low = acc::val(cell(row, 9)), high = acc::val(cell(row, 8));
    QColor color;
    if (balance < low)
        color = lowStockColor();
    else if (high > 0 && balance > high)
        color = highStockColor();
    if (!color.isValid()) return;
    for (int c : {13, 16, 19})
        dg_List->item(row, c)->setForeground(color);
}
