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

namespace {

const BillReportKind kRkLines{
    false,
    "frm_rpt_rkDetail",
    "入库明细",
    "^序号 |^选中 |^ID   |^状态     |<headId     |<账目标识      |<单据号码      |<自定义单号  |<入库类别 "
    "|<供应商名称     "
    "|^货品类别 |<货品编码        |<goodsDetailCode|<货品名称       |<描述      |^单位 |>内装数|>重量  "
    "|>价格    |>数量    "
    "|>金额    |>小件数量|>默认件数|>重量小计|>存放库位 |>批次号    |<备注     |<建单人  |<建单日期    ",
    "cobo_importType",
    "importType",
    "供应商:",
    "txt_supplierName",
    "btn_searchSupplier",
    "supplier",
    "frmImport",
    &m_funCode::rpt_rk_detail_bill_browse,
    &m_funCode::rpt_rk_detail_bill_delete,
    nullptr,
    nullptr,
    nullptr,
    &NewStockInStore};

const BillReportKind kCkLines{true,
                              "frm_rpt_ckDetail",
                              "出库明细",
                              "^序号 |^选中 |^ID   |^状态     |<headId     |<账目标识      |<单据号码      "
                              "|<自定义单号  |<出库类别 |<客户名称     "
                              "|^货品类别 |<货品编码        |<goodsDetailCode|<货品名称       |<描述      "
                              "|^单位 |>内装数|>重量  |>进价    |>售价    "
                              "|>数量    |>金额    |>小件数量|>默认件数|>重量小计|>存放库位 |>批次号    "
                              "|<备注     |<建单人  |<建单日期    ",
                              "cobo_exportType",
                              "exportType",
                              "客户:",
                              "txt_customerName",
                              "btn_searchCustomer",
                              "customer",
                              "frmExport",
                              &m_funCode::rpt_ck_detail_bill_browse,
                              &m_funCode::rpt_ck_detail_bill_delete,
                              nullptr,
                              nullptr,
                              nullptr,
                              &NewStockOutStore};

} // namespace

LineListReport::LineListReport(const BillReportKind& kind, QWidget* parent) : BillReportForm(kind, parent) {
    if (kind.out)
        m_dal = std::make_unique<dal_rpt_ckDetail>();
    else
        m_dal = std::make_unique<dal_rpt_rkDetail>();
    pagesFrom(*m_dal);
    // the fields of the select list, grid column c showing field c - 1
    m_fields = LineListSelect(kind.out).mid(7).trimmed().split(',');
    QAction* operation =
        AddToolAction(utoolbar, this, "operation", "操作", "操", QColor(60, 140, 160), [] {});
    connect(operation, &QAction::triggered, this,
            [this] { vs_pop_menu->popup(utoolbar->mapToGlobal(QPoint(0, utoolbar->height()))); });
    // lines print with their bill, from the entry window
    AddToolAction(utoolbar, this, "print", "打印", "印", QColor(200, 120, 30), [] {})->setEnabled(false);
    AddToolAction(utoolbar, this, "export", "导出", "导", QColor(210, 140, 20), [this] {
        exportRows(*m_dal,
                   m_kind.out ? m_funCode::rpt_ck_detail_bill_export()
                              : m_funCode::rpt_rk_detail_bill_export(),
                   QString::fromUtf8(m_kind.title), LineListCaptions(m_kind.out), LineListKinds());
    });
    utoolbar->addSeparator();
    AddToolAction(utoolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });
    addBillMenu();
    for (int c : {1, 2, colHeadId(), 12})
        dg_List->setColumnHidden(c, true);
    dg_List->setColumnHidden(m_fields.indexOf("totalQty") + 1, true);
    dg_List->setColumnHidden(m_fields.indexOf("totalDefaultQty") + 1, true);
    if (kind.out) dg_List->setColumnHidden(m_fields.indexOf("inPrice") + 1, true);

    cobo_goodsTypeName = NewGoodsTypeCombo();
    txt_goodsCode = NamedEdit("txt_goodsCode");
    txt_goodsCode->setMaxLength(100);
    layOutFilters({{"货品类别:", cobo_goodsTypeName}}, {{"货品编码:", txt_goodsCode}});

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
    fillFilter(f);
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
    showStatusIcon(row);
}

void LineListReport::pageFilled() {
    // the lines of one bill show its number once
    dg_List->clearSpans();
    for (int start = 0; start < dg_List->rowCount();) {
        int end = start + 1;
        while (end < dg_List->rowCount() && cell(end, colBillNo()) == cell(start, colBillNo()))
            ++end;
        if (end - start > 1) dg_List->setSpan(start, colBillNo(), end - start, 1);
        start = end;
    }
}

frm_rpt_rkDetail::frm_rpt_rkDetail(QWidget* parent) : LineListReport(kRkLines, parent) {}

frm_rpt_ckDetail::frm_rpt_ckDetail(QWidget* parent) : LineListReport(kCkLines, parent) {}
