#include "frm_rpt_locstock.h"

#include "access/funcode.h"
#include "data/accesstext.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "ui/formparts.h"
#include "ui/lotdialog.h"
#include "ui/widgethelpers.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QToolBar>

namespace {

const char* const kHeader =
    "^序号 |^选中 |^ID   |<货品类别   |<货品编码      |<货品名称          |<规格        "
    "|^单位 |<库位编号   |<库位名称      |>默认件数   |>小件数量   |>重量     ";
const char* const kFields[] = {"",
                               "",
                               "id",
                               "goodsTypeName",
                               "goodsCode",
                               "goodsName",
                               "goodsDesc",
                               "unit",
                               "locationCode",
                               "locationName",
                               "val(totalDefaultQty)",
                               "totalQty",
                               "totalWeight"};

} // namespace

frm_rpt_locStock::frm_rpt_locStock(QWidget* parent)
    : ReportForm("frm_rpt_locStock", QStringLiteral("库位库存"), QString::fromUtf8(kHeader), parent) {
    AddToolAction(utoolbar, this, "export", "导出", "导", QColor(210, 140, 20), [this] {
        exportRows(m_dal, m_funCode::rpt_locstock_export(), windowTitle(), LocStockCaptions(),
                   LocStockKinds());
    });
    AddToolAction(utoolbar, this, "print", "打印", "印", QColor(200, 120, 30), [this] {
        printRows(m_dal, QString(), "kx_rpt_locStock", SysVar().Sys_locStockBill,
                  QStringLiteral("当前库位库存信息不存在!"));
    });
    utoolbar->addSeparator();
    AddToolAction(utoolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });
    dg_List->setColumnHidden(1, true);
    dg_List->setColumnHidden(2, true);
    vs_pop_menu->addAction(QStringLiteral("查看批次"), this, &frm_rpt_locStock::ShowRowLots);

    const PlaceFilters filters = addPlaceFilters();
    cobo_location = filters.location;
    cobo_goodsTypeName = filters.goodsType;
    txt_KeyWord = filters.keyword;

    LoadAccountTypes();
    pageInfo.str_orderBy = dal_rpt_locStock::DefaultOrder();
    pageInfo.isDesc = false;
    pageInfo.int_currentPageIndex = 1;
}

QString frm_rpt_locStock::GetColName(int column) const {
    if (column < 2 || column >= 13) return {};
    return QString::fromLatin1(kFields[column]);
}

void frm_rpt_locStock::ShowGoods(const QString& goodsCode) {
    txt_KeyWord->setText(goodsCode);
    Search();
}

void frm_rpt_locStock::ShowRowLots() {
    const int row = dg_List->currentRow();
    if (row < 0 || cell(row, 2).isEmpty()) return Refuse(this, QStringLiteral("请先选中一行货品!"));
    const RecordSet place = sqlHelper::ExecuteSql("select id from tb_location where locationCode=" +
                                                  sqlHelper::FormatParamValue(cell(row, 8)));
    ShowGoodsLots(this, cell(row, 2).toInt(), cell(row, 5),
                  place.RecordCount() > 0 ? place.at(0, 0).toInt() : 0, accountTag);
}

bool frm_rpt_locStock::buildConditions(ConditionSet&, ConditionSet& list) {
    m_filter = LocStockFilter();
    m_filter.accountIds = accountTag;
    m_filter.locationIds = chosenPlaces(cobo_location);
    m_filter.goodsType = cobo_goodsTypeName->currentText();
    m_filter.keyword = txt_KeyWord->text();
    LocStockConditions(m_filter, list);
    return true;
}

m_recordSet frm_rpt_locStock::runList(const ConditionSet&, const ConditionSet& list) {
    return m_dal.CountForCondition(m_filter, list);
}

RecordSet frm_rpt_locStock::pageRows(int pageIndex, int pageSize) {
    return m_dal.GetPage(pageInfo, pageIndex, pageSize, LocStockSelect());
}

void frm_rpt_locStock::fillRow(int row, const RecordSet& rs) {
    for (int c = 1; c < 13; ++c)
        setCell(row, c, acc::valueText(rs.value(c - 1)));
}
