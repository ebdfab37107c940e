#include "frm_rpt_expiry.h"

#include "access/funcode.h"
#include "data/accesstext.h"
#include "data/sysvar.h"
#include "ui/formparts.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolBar>

namespace {

const char* const kHeader =
    "^序号 |^选中 |^ID   |<货品类别   |<货品编码      |<货品名称          |<规格        "
    "|^单位 |<库位编号   |<库位名称      |<批次号        |^有效期至     |>剩余天数 "
    "|>默认件数   |>小件数量   ";
const char* const kFields[] = {"",          "",           "id",       "goodsTypeName",        "goodsCode",
                               "goodsName", "goodsDesc",  "unit",     "locationCode",         "locationName",
                               "lotNo",     "expiryDate", "daysLeft", "val(totalDefaultQty)", "totalQty"};
constexpr int kColumns = 15;
constexpr int kDaysLeft = 12;

} // namespace

frm_rpt_expiry::frm_rpt_expiry(QWidget* parent)
    : ReportForm("frm_rpt_expiry", QStringLiteral("效期预警"), QString::fromUtf8(kHeader), parent) {
    AddToolAction(utoolbar, this, "export", "导出", "导", QColor(210, 140, 20), [this] {
        exportRows(m_dal, m_funCode::rpt_expiry_export(), windowTitle(), ExpiryCaptions(), ExpiryKinds());
    });
    AddToolAction(utoolbar, this, "print", "打印", "印", QColor(200, 120, 30), [this] {
        printRows(m_dal, QString(), "kx_rpt_expiry", SysVar().Sys_expiryBill,
                  QStringLiteral("当前效期预警信息不存在!"));
    });
    utoolbar->addSeparator();
    AddToolAction(utoolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });
    dg_List->setColumnHidden(1, true);
    dg_List->setColumnHidden(2, true);

    txt_warnDays = NamedEdit("txt_warnDays");
    txt_warnDays->setText(QString::number(ExpiryWarnDays()));
    txt_warnDays->setMaximumWidth(60);
    txt_warnDays->setToolTip(QStringLiteral("列出有效期在今天起若干天之内(含已过期)的批次"));
    const PlaceFilters filters = addPlaceFilters({{"预警天数:", txt_warnDays}});
    cobo_location = filters.location;
    cobo_goodsTypeName = filters.goodsType;
    txt_KeyWord = filters.keyword;

    LoadAccountTypes();
    pageInfo.str_orderBy = dal_rpt_expiry::DefaultOrder();
    pageInfo.isDesc = false;
    pageInfo.int_currentPageIndex = 1;
}

QString frm_rpt_expiry::GetColName(int column) const {
    if (column < 2 || column >= kColumns) return {};
    return QString::fromLatin1(kFields[column]);
}

bool frm_rpt_expiry::buildConditions(ConditionSet&, ConditionSet& list) {
    bool ok = false;
    const int days = txt_warnDays->text().trimmed().toInt(&ok);
    if (!ok || days < 0 || days > 36500) {
        Refuse(this, QStringLiteral("预警天数必须是0到36500之间的整数!"), txt_warnDays);
        return false;
    }
    if (days != ExpiryWarnDays() && SetExpiryWarnDays(days))
        WindowRegistry::ApprovalsChanged(); // the status bar counts with them too
    txt_warnDays->setText(QString::number(days));
    m_filter = ExpiryFilter();
    m_filter.days = days;
    m_filter.accountIds = accountTag;
    m_filter.locationIds = chosenPlaces(cobo_location);
    m_filter.goodsType = cobo_goodsTypeName->currentText();
    m_filter.keyword = txt_KeyWord->text();
    ExpiryConditions(m_filter, list);
    return true;
}

m_recordSet frm_rpt_expiry::runList(const ConditionSet&, const ConditionSet& list) {
    return m_dal.CountForCondition(m_filter, list);
}

RecordSet frm_rpt_expiry::pageRows(int pageIndex, int pageSize) {
    return m_dal.GetPage(pageInfo, pageIndex, pageSize, ExpirySelect());
}

void frm_rpt_expiry::fillRow(int row, const RecordSet& rs) {
    for (int c = 1; c < kColumns; ++c)
        setCell(row, c, acc::valueText(rs.value(c - 1)));
    // expired in red, the others (all within the warning days) in amber
    const bool expired = rs.value(kDaysLeft - 1).toInt() < 0;
    const QColor back = expired ? QColor(255, 205, 205) : QColor(255, 236, 179);
    const QColor fore = expired ? QColor(160, 0, 0) : QColor(120, 80, 0);
    for (int c = 1; c < kColumns; ++c)
        if (QTableWidgetItem* item = dg_List->item(row, c)) {
            item->setBackground(back);
            item->setForeground(fore);
        }
}
