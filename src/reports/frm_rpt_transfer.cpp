#include "frm_rpt_transfer.h"

#include "rpt_engine.h"
#include "rpt_filters.h"

#include "access/funcode.h"
#include "access/user.h"
#include "bills/billprint.h"
#include "bills/billstore.h"
#include "bills/transfer.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "master/location.h"
#include "ui/formparts.h"
#include "ui/permission.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QToolBar>

namespace {

const BillReportKind kTransferList{
    false,
    "frm_rpt_dbHead",
    "调拨单据",
    "^序号  |^选中  |^ID   |^状态     |<账目标识    |<单据号码      |^单据项目 "
    "|>小件数量  |<备注          |<建单人  |<建单日期   ",
    "cobo_billType",
    nullptr,
    nullptr,
    "txt_partnerName",
    "btn_searchPartner",
    "",
    "frmTransfer",
    &m_funCode::rpt_dbbill_browse,
    &m_funCode::rpt_dbbill_delete,
    &m_funCode::rpt_dbbill_add,
    &m_funCode::rpt_dbbill_pass,
    &m_funCode::rpt_dbbill_nopass,
    &NewTransferStore};

const BillReportKind kTransferLines{
    false,
    "frm_rpt_dbDetail",
    "调拨明细",
    "^序号 |^选中 |^ID   |^状态     |<headId     |<账目标识      |<单据号码      |^货品类别 |<货品编码       "
    " "
    "|<货品名称       |<描述      |^单位 |>内装数|>重量  |>数量    |>小件数量|>默认件数|>重量小计|<调出库位 "
    "|<调入库位 |<批次号    |<备注     |<建单人  |<建单日期    ",
    "cobo_billType",
    nullptr,
    nullptr,
    "txt_partnerName",
    "btn_searchPartner",
    "",
    "frmTransfer",
    &m_funCode::rpt_db_detail_bill_browse,
    &m_funCode::rpt_db_detail_bill_delete,
    nullptr,
    nullptr,
    nullptr,
    &NewTransferStore};

const QString kApproved = QStringLiteral("已审核");
const QString kNotApproved = QStringLiteral("未审核");

// The locations the user may see, each with its code and name; blank first: any.
QComboBox* locationCombo(const char* name) {
    QComboBox* c = NamedCombo(name);
    c->setMinimumContentsLength(14); // a code and a name show whole
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->addItem(QString(), 0);
    const RecordSet places =
        sqlHelper::ExecuteSql("select id, locationCode, uname from tb_location where id in (" +
                              SysVar().Sys_locationJoinId + ") order by locationCode");
    for (int r = 0; r < places.RecordCount(); ++r)
        c->addItem(acc::valueText(places.at(r, 1)) + " " + acc::valueText(places.at(r, 2)),
                   places.at(r, 0).toInt());
    return c;
}

// The chosen location and those below it the user may see; blank for none chosen.
QString subtreeOf(const QComboBox* c) {
    const int place = c->currentData().toInt();
    return place > 0 ? LocationSubtree(place, SysVar().Sys_locationJoinId) : QString();
}

} // namespace

TransferReport::TransferReport(const BillReportKind& kind, bool lines, QWidget* parent)
    : BillReportForm(kind, parent), m_lines(lines) {
    if (lines)
        m_dal = std::make_unique<dal_rpt_dbDetail>();
    else
        m_dal = std::make_unique<dal_rpt_dbHead>();
    pagesFrom(*m_dal);
    m_fields = (lines ? TransferLineSelect() : TransferListSelect()).mid(7).trimmed().split(',');
    if (!lines)
        AddToolAction(utoolbar, this, "addNew", "新建单据", "新", QColor(46, 139, 87),
                      &TransferReport::AddNew);
    AddToolAction(utoolbar, this, "print", "打印", "印", QColor(200, 120, 30), &TransferReport::PrintCurrent);
    AddToolAction(utoolbar, this, "export", "导出", "导", QColor(210, 140, 20), [this] {
        exportRows(*m_dal, m_lines ? m_funCode::rpt_db_detail_bill_export() : m_funCode::rpt_dbbill_export(),
                   QString::fromUtf8(m_kind.title), m_lines ? TransferLineCaptions() : TransferListCaptions(),
                   m_lines ? TransferLineKinds() : TransferListKinds());
    });
    utoolbar->addSeparator();
    AddToolAction(utoolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    addBillMenu();
    if (!lines) {
        vs_pop_menu->addSeparator();
        vs_pop_menu->addAction(QStringLiteral("反审单据"), this, &TransferReport::menu_nopass)
            ->setObjectName("menu_nopass");
        vs_pop_menu->addAction(QStringLiteral("审核单据"), this, &TransferReport::menu_pass)
            ->setObjectName("menu_pass");
    }
    for (int c : {1, 2})
        dg_List->setColumnHidden(c, true);
    if (lines) {
        dg_List->setColumnHidden(billIdColumn(), true);
        dg_List->setColumnHidden(m_fields.indexOf("totalDefaultQty") + 1, true);
    }
    cobo_fromLocation = locationCombo("cobo_fromLocation");
    cobo_toLocation = locationCombo("cobo_toLocation");
    layOutFilters({{"调出库位:", cobo_fromLocation}, {"调入库位:", cobo_toLocation}}, {});

    LoadAccountTypes();
    pageInfo.str_orderBy = "createTime";
    pageInfo.isDesc = true;
    pageInfo.int_currentPageIndex = 1;
}

TransferReport::~TransferReport() = default;

QString TransferReport::GetColName(int column) const {
    if (column == 0) return m_lines ? "rowNo" : QString();
    if (column <= 1 || column > m_fields.size()) return {};
    const QString field = m_fields[column - 1];
    return field == "totalDefaultQty" ? "val(" + field + ")" : field; // stored as text: sorted as a number
}

bool TransferReport::buildConditions(ConditionSet& source, ConditionSet& list) {
    TransferFilter f;
    if (!dt_createDateFrom->text().trimmed().isEmpty()) f.from = dt_createDateFrom->date();
    if (!dt_createDateTo->text().trimmed().isEmpty()) f.to = dt_createDateTo->date();
    f.accountIds = accountTag;
    f.approved = check_pass->isChecked();
    f.unapproved = check_nopass->isChecked();
    f.fromIds = subtreeOf(cobo_fromLocation);
    f.toIds = subtreeOf(cobo_toLocation);
    f.grantedIds = SysVar().Sys_locationJoinId;
    f.keyword = txt_KeyWord->text();
    if (m_lines)
        TransferLineConditions(f, source, list);
    else
        TransferListConditions(f, source, list);
    return true;
}

m_recordSet TransferReport::runList(const ConditionSet& source, const ConditionSet& list) {
    return m_dal->GetListForCondition(source, list, pageInfo,
                                      m_lines ? TransferLineSelect() : TransferListSelect());
}

void TransferReport::fillRow(int row, const RecordSet& rs) {
    for (int c = 1; c <= m_fields.size(); ++c)
        setCell(row, c, acc::valueText(rs.value(c - 1)));
    showStatusIcon(row);
}

void TransferReport::AddNew() {
    if (!CheckFunction(m_kind.codeAdd())) return;
    if (QWidget* entry = WindowRegistry::Open(m_kind.entryWindow))
        QMetaObject::invokeMethod(entry, "NewBillForPartner", Q_ARG(int, 0), Q_ARG(QString, QString()));
}

void TransferReport::PrintCurrent() {
    if (!CheckFunction(m_lines ? m_funCode::rpt_db_detail_bill_print() : m_funCode::rpt_dbbill_print()))
        return;
    const int id = currentBillId();
    if (id <= 0) return Refuse(this, QStringLiteral("请先选择要打印的调拨单!"));
    PrintTransfer(id, windowTitle());
}

void TransferReport::setPass(bool approve) {
    const int id = currentBillId();
    if (id <= 0) return;
    if (!CheckFunction(approve ? m_kind.codePass() : m_kind.codeNoPass())) return;
    const int row = dg_List->currentRow();
    const QString status = cell(row, statusColumn()).trimmed();
    if (approve && status == kApproved) return Refuse(this, QStringLiteral("当前单据已经审核,不能再审核!"));
    if (!approve && status == kNotApproved) return Refuse(this, QStringLiteral("当前单据未审核,不能再反审!"));
    const QString caption = approve ? QStringLiteral("审核") : QStringLiteral("反审");
    // a transfer withdrawn after its goods left the to location takes that location below 0
    const QString shortfall = approve ? QString() : TransferWithdrawalShortfall(id);
    if (!MsgBox::Confirm(shortfall.isEmpty() ? QStringLiteral("是否 [%1] 当前单据?").arg(caption) : shortfall,
                         windowTitle()))
        return;
    if (!m_kind.store()->SetPass(id, approve ? 1 : 0, CurrentUser().user, FormatNow("yyyy-mm-dd hh:nn:ss")))
        return Refuse(this, QStringLiteral("当前单据已被删除!"));
    WindowRegistry::ApprovalsChanged();
    setCell(row, statusColumn(), approve ? kApproved : kNotApproved);
    showStatusIcon(row);
    MsgBox::Show(caption + QStringLiteral("成功!"), MsgBox::Information, windowTitle());
}

void TransferReport::menu_pass() {
    setPass(true);
}

void TransferReport::menu_nopass() {
    setPass(false);
}

frm_rpt_dbHead::frm_rpt_dbHead(QWidget* parent) : TransferReport(kTransferList, false, parent) {}

frm_rpt_dbDetail::frm_rpt_dbDetail(QWidget* parent) : TransferReport(kTransferLines, true, parent) {}
