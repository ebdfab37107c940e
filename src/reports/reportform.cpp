#include "reportform.h"

#include "access/funcode.h"
#include "data/accesstext.h"
#include "data/dberror.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "master/location.h"
#include "output/xlsxexport.h"
#include "reportprint.h"
#include "rpt_engine.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/permission.h"
#include "ui/spreadsheetexport.h"
#include "ui/widgethelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

ReportForm::ReportForm(const char* objectName, const QString& title, const QString& header, QWidget* parent)
    : QWidget(parent), m_header(header) {
    setObjectName(objectName);
    setWindowTitle(title);
    utoolbar = NewFormToolBar();
    utoolbar->setObjectName("utoolbar");

    // the account selection: a read-only list of names and a box of check boxes
    txt_accountType = NamedEdit("txt_accountType");
    txt_accountType->setReadOnly(true);
    btn_selectAccountType = NamedButton("btn_selectAccountType", "...");
    btn_selectAccountType->setFixedWidth(32);
    connect(btn_selectAccountType, &QPushButton::clicked, this, &ReportForm::ShowAccountBox);
    pic_Box = new QFrame(this);
    pic_Box->setObjectName("pic_Box");
    pic_Box->setFrameShape(QFrame::StyledPanel);
    pic_Box->setAutoFillBackground(true);
    tv_accountType = new QTreeWidget;
    tv_accountType->setObjectName("tv_accountType");
    tv_accountType->setHeaderHidden(true);
    auto* boxLayout = new QVBoxLayout(pic_Box);
    boxLayout->addWidget(new QLabel(QStringLiteral("请选中账目标识:")));
    boxLayout->addWidget(tv_accountType, 1);
    auto* boxButtons = new QHBoxLayout;
    const std::pair<const char*, const char*> buttons[] = {{"btn_AllSelectAccountType", "全选"},
                                                           {"btn_NoneSelectAccountType", "取消全选"},
                                                           {"btn_SelectBath", "确定"},
                                                           {"btn_cancel", "取消"}};
    for (const auto& [name, text] : buttons) {
        QPushButton* b = NamedButton(name, text);
        boxButtons->addWidget(b);
        if (QLatin1String(name) == QLatin1String("btn_AllSelectAccountType"))
            connect(b, &QPushButton::clicked, this, &ReportForm::SelectAllAccounts);
        else if (QLatin1String(name) == QLatin1String("btn_NoneSelectAccountType"))
            connect(b, &QPushButton::clicked, this, &ReportForm::SelectNoAccounts);
        else if (QLatin1String(name) == QLatin1String("btn_SelectBath"))
            connect(b, &QPushButton::clicked, this, &ReportForm::ConfirmAccounts);
        else
            connect(b, &QPushButton::clicked, this, &ReportForm::CancelAccounts);
    }
    boxLayout->addLayout(boxButtons);
    pic_Box->resize(320, 240);
    pic_Box->hide();
    txt_condition_list = NamedEdit("txt_condition_list");
    txt_condition_list->hide();

    // the grid and its pager
    dg_List = new QTableWidget;
    dg_List->setObjectName("dg_List");
    dg_List->verticalHeader()->hide();
    dg_List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dg_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    dg_List->setContextMenuPolicy(Qt::CustomContextMenu);
    vs_pop_menu = new QMenu(this);
    vs_pop_menu->setObjectName("vs_pop_menu");
    connect(dg_List, &QTableWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { vs_pop_menu->popup(dg_List->viewport()->mapToGlobal(p)); });
    connect(dg_List->horizontalHeader(), &QHeaderView::sectionClicked, this, &ReportForm::SortByColumn);
    m_pager = NewPager({"20", "50", "100", "150", "200"}, this);
    AdoptPager(m_pager);
    connect(comb_pageSize, &QComboBox::activated, this, &ReportForm::PageSizeChanged);
    connect(btn_FirstPage, &QPushButton::clicked, this, &ReportForm::FirstPage);
    connect(btn_PrevPage, &QPushButton::clicked, this, &ReportForm::PrevPage);
    connect(btn_NextPage, &QPushButton::clicked, this, &ReportForm::NextPage);
    connect(btn_LastPage, &QPushButton::clicked, this, &ReportForm::LastPage);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(4, 4, 4, 4);
    m_layout->addWidget(utoolbar);
    m_layout->addWidget(dg_List, 1);
    m_layout->addLayout(m_pager.row);
    resize(1180, 620);

    pageInfo.str_orderBy.clear();
    pageInfo.int_currentPageIndex = 1;
    resetGrid();
    UpdatePager(1, 0);
}

void ReportForm::setFilterPanel(QWidget* panel) {
    m_layout->insertWidget(1, panel);
}

void ReportForm::setFilterRows(std::initializer_list<QLayout*> rows) {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QLayout* row : rows)
        layout->addLayout(row);
    setFilterPanel(panel);
}

void ReportForm::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = dg_List->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        // cells align as their header piece says
        if (const QTableWidgetItem* head = dg_List->horizontalHeaderItem(column))
            item->setTextAlignment(Qt::Alignment(head->textAlignment()));
        dg_List->setItem(row, column, item);
    }
    item->setText(text);
}

void ReportForm::exportRows(ReportDal& dal, const QString& permission, const QString& title,
                            const QString& captions, const QString& kinds) {
    if (!CheckFunction(permission)) return;
    const QString where = txt_condition_list->text();
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const qint64 total = ReportRowCount(dal, where);
        const auto rows = dal.OpenDataCursor(where, dal.OrderClause(pageInfo), true);
        QApplication::restoreOverrideCursor();
        Export::ExportToSpreadsheet(*rows, title, captions, kinds, total);
    } catch (const DbError& e) {
        QApplication::restoreOverrideCursor();
        MsgBox::Show(e.message(), MsgBox::Critical, windowTitle());
    }
}

void ReportForm::printRows(ReportDal& dal, const QString& permission, const QString& templateCode,
                           const QString& commandPrefix, const QString& emptyMessage) {
    if (!permission.isEmpty() && !CheckFunction(permission)) return;
    PrintReport(dal, txt_condition_list->text(), pageInfo, templateCode, commandPrefix, emptyMessage,
                windowTitle());
}

void ReportForm::showGoodsStatusIcon(int row, int column) {
    const QString status = cell(row, column);
    if (!status.isEmpty()) dg_List->item(row, column)->setIcon(StatusIcon(status));
}

QString ReportForm::cell(int row, int column) const {
    return CellText(dg_List, row, column);
}

void ReportForm::resetGrid() {
    const QStringList pieces = m_header.split('|');
    dg_List->clear();
    dg_List->setRowCount(0);
    SetGridHeader(dg_List, m_header);
    for (int c = 0; c < pieces.size(); ++c) // the trailing blanks of a piece widen its column
        dg_List->setColumnWidth(c, std::max(44, fontMetrics().horizontalAdvance(pieces[c].mid(1)) + 16));
    headerReset();
}

// ---- accounts ----

void ReportForm::LoadAccountTypes() {
    tv_accountType->clear();
    const RecordSet rs = sqlHelper::ExecuteSql(
        "select id,uname  from tb_dictionary where (utype='accountType') and (isstart=1) and (id in (" +
        SysVar().Sys_accountJoinId + ")) order by id,orderby");
    for (int r = 0; r < rs.RecordCount(); ++r) {
        auto* node = new QTreeWidgetItem(tv_accountType, {acc::valueText(rs.at(r, "uname"))});
        node->setData(0, Qt::UserRole, "key_" + acc::valueText(rs.at(r, "id")).trimmed());
        node->setFlags(node->flags() | Qt::ItemIsUserCheckable);
        node->setCheckState(0, Qt::Unchecked);
    }
    if (tv_accountType->topLevelItemCount() > 0) tv_accountType->topLevelItem(0)->setExpanded(true);
}

QComboBox* ReportForm::NewGoodsTypeCombo() {
    QComboBox* combo = NamedCombo("cobo_goodsTypeName");
    FillCombo(
        combo,
        "select id,uname  from tb_dictionary where (utype='goodsType') and (isstart=1) order by id,orderby",
        "uname");
    combo->insertItem(0, QString()); // every category
    combo->setCurrentIndex(0);
    return combo;
}

ReportForm::PlaceFilters
ReportForm::addPlaceFilters(std::initializer_list<std::pair<const char*, QLineEdit*>> own) {
    PlaceFilters f;
    f.location = NamedCombo("cobo_location");
    f.location->addItem(QString(), 0);
    const RecordSet places =
        sqlHelper::ExecuteSql("select id, locationCode, uname from tb_location where id in (" +
                              SysVar().Sys_locationJoinId + ") order by locationCode");
    for (int r = 0; r < places.RecordCount(); ++r)
        f.location->addItem(acc::valueText(places.at(r, 1)) + " " + acc::valueText(places.at(r, 2)),
                            places.at(r, 0).toInt());
    f.goodsType = NewGoodsTypeCombo();
    f.keyword = NamedEdit("txt_KeyWord");
    searchOnEnter(f.keyword);
    auto* panel = new QWidget;
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    addAccountBox(row);
    row->addWidget(new QLabel(QStringLiteral("库位:")));
    row->addWidget(f.location);
    row->addWidget(new QLabel(QStringLiteral("货品类别:")));
    row->addWidget(f.goodsType);
    for (const auto& [caption, box] : own) {
        searchOnEnter(box);
        row->addWidget(new QLabel(QString::fromUtf8(caption)));
        row->addWidget(box);
    }
    row->addWidget(new QLabel(QStringLiteral("关键字:")));
    row->addWidget(f.keyword, 1);
    row->addWidget(newSearchButton());
    setFilterPanel(panel);
    return f;
}

QString ReportForm::chosenPlaces(const QComboBox* location) {
    const int place = location->currentData().toInt();
    return place > 0 ? LocationSubtree(place, SysVar().Sys_locationJoinId) : SysVar().Sys_locationJoinId;
}

QPushButton* ReportForm::newSearchButton() {
    auto* search = NamedButton("btn_search", "查询");
    connect(search, &QPushButton::clicked, this, &ReportForm::Search);
    return search;
}

void ReportForm::addAccountBox(QHBoxLayout* row) {
    row->addWidget(new QLabel(QStringLiteral("账目标识:")));
    row->addWidget(txt_accountType, 1);
    row->addWidget(btn_selectAccountType);
}

void ReportForm::addDateRange(QHBoxLayout* row, QDateEdit* from, QDateEdit* to) {
    row->addWidget(new QLabel(QStringLiteral("建单日期:")));
    row->addWidget(from);
    row->addWidget(new QLabel(QStringLiteral("至")));
    row->addWidget(to);
}

QDateEdit* ReportForm::NewDateEdit(const char* name, const QDate& date) {
    auto* edit = new QDateEdit;
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(SysVar().Sys_DateFormat);
    edit->setDate(date);
    return edit;
}

void ReportForm::showBelow(QWidget* box, QWidget* anchor) {
    QPoint at = anchor->mapTo(this, QPoint(0, anchor->height()));
    at.setX(std::max(0, std::min(at.x(), width() - box->width())));
    at.setY(std::max(0, std::min(at.y(), height() - box->height())));
    box->move(at);
    box->raise();
    box->show();
}

void ReportForm::ShowAccountBox() {
    showBelow(pic_Box, txt_accountType);
}

void ReportForm::SelectAllAccounts() {
    for (int i = 0; i < tv_accountType->topLevelItemCount(); ++i)
        tv_accountType->topLevelItem(i)->setCheckState(0, Qt::Checked);
}

void ReportForm::SelectNoAccounts() {
    for (int i = 0; i < tv_accountType->topLevelItemCount(); ++i)
        tv_accountType->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
}

void ReportForm::ConfirmAccounts() {
    QString names, ids;
    for (int i = 0; i < tv_accountType->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* node = tv_accountType->topLevelItem(i);
        if (node->checkState(0) != Qt::Checked) continue;
        names += node->text(0) + ",";
        ids += node->data(0, Qt::UserRole).toString().mid(4) + ",";
    }
    txt_accountType->setText(names);
    accountTag = ids;
    pic_Box->hide();
}

void ReportForm::CancelAccounts() {
    // the ticks go back to the accounts chosen before
    const QStringList chosen = accountTag.split(',', Qt::SkipEmptyParts);
    for (int i = 0; i < tv_accountType->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = tv_accountType->topLevelItem(i);
        node->setCheckState(
            0, chosen.contains(node->data(0, Qt::UserRole).toString().mid(4)) ? Qt::Checked : Qt::Unchecked);
    }
    pic_Box->hide();
}

// ---- search and pages ----

void ReportForm::InitReport() {
    SelectAllAccounts();
    ConfirmAccounts();
    result = m_recordSet();
    comb_pageSize->setCurrentIndex(0);
    Search();
}

void ReportForm::Search() {
    pageInfo.int_currentPageIndex = 1;
    btn_search();
}

void ReportForm::btn_search() {
    ConditionSet source, list;
    if (accountTag.isEmpty()) {
        resetGrid();
        UpdatePager(1, 0);
        MsgBox::Show(QStringLiteral("请选中账目标识!"), MsgBox::Exclamation, windowTitle());
        ShowAccountBox();
        return;
    }
    // a filter refused leaves the rows shown before
    if (!buildConditions(source, list)) return;
    resetGrid();
    UpdatePager(1, 0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const m_recordSet found = runList(source, list);
    QApplication::restoreOverrideCursor();
    txt_condition_list->setText(found.str_condition);
    // nothing found: paging must not bring the search before back
    result = m_recordSet();
    pageInfo.recordCount = 0;
    if (found.recordCount > 0) {
        result = found;
        pageInfo.recordCount = result.recordCount;
        pageInfo.int_PageSize = std::max(1, comb_pageSize->currentText().toInt());
        LoadData();
    }
    if (!found.str_MsgBox.isEmpty()) MsgBox::Show(found.str_MsgBox, MsgBox::Critical, windowTitle());
}

void ReportForm::LoadData() {
    if (result.recordCount < 1) {
        UpdatePager(1, 0); // a page typed with nothing to show stays "0 / 0"
        return;
    }
    const int size = std::max(1, pageInfo.int_PageSize);
    const int pages = GetPageCount(result.recordCount, size);
    pageInfo.int_currentPageIndex = std::clamp(pageInfo.int_currentPageIndex, 1, std::max(1, pages));
    const int page = pageInfo.int_currentPageIndex;
    const int rest = result.recordCount % size;
    dg_List->setRowCount(page == pages && rest != 0 ? rest : size);
    dg_List->clearContents(); // no colour or icon of the page shown before stays behind
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RecordSet rs = pageRows(page, size);
    QApplication::restoreOverrideCursor();
    dg_List->setRowCount(std::min(dg_List->rowCount(), rs.RecordCount()));
    for (int k = 0; k < dg_List->rowCount() && !rs.eof(); ++k, rs.MoveNext()) {
        setCell(k, 0, QString::number((page - 1) * size + k + 1));
        fillRow(k, rs);
    }
    pageFilled();
    // wide enough for the page shown, never narrower than the header asks
    for (int c = 0; c < dg_List->columnCount(); ++c) {
        if (dg_List->isColumnHidden(c)) continue;
        const int header = dg_List->columnWidth(c);
        dg_List->resizeColumnToContents(c);
        dg_List->setColumnWidth(c, std::min(320, std::max(header, dg_List->columnWidth(c) + 8)));
    }
    UpdatePager(page, result.recordCount);
}

RecordSet ReportForm::pageRows(int pageIndex, int pageSize) {
    return m_pages ? m_pages->Page(pageIndex, pageSize) : RecordSet();
}

void ReportForm::UpdatePager(int pageIndex, int recordCount) {
    m_pager.show(pageIndex, recordCount, comb_pageSize->currentText().toInt());
}

namespace {

// A typed page number; one past every page goes to the last page (LoadData clamps).
int typedPage(const QString& text) {
    const double page = acc::val(text);
    if (!(page < 1e9)) return 1000000000;
    return page < 0 ? 0 : static_cast<int>(page);
}

} // namespace

void ReportForm::FirstPage() {
    pageInfo.int_currentPageIndex = 1;
    LoadData();
}

void ReportForm::PrevPage() {
    pageInfo.int_currentPageIndex -= 1;
    LoadData();
}

void ReportForm::NextPage() {
    pageInfo.int_currentPageIndex += 1;
    LoadData();
}

void ReportForm::LastPage() {
    pageInfo.int_currentPageIndex = typedPage(txt_MaxPageIndex->text());
    LoadData();
}

void ReportForm::GoToTypedPage() {
    pageInfo.int_currentPageIndex = typedPage(txt_PageIndex->text());
    LoadData();
}

void ReportForm::PageSizeChanged() {
    if (result.recordCount < 1) return;
    pageInfo.recordCount = result.recordCount;
    pageInfo.int_PageSize = std::max(1, comb_pageSize->currentText().toInt());
    pageInfo.int_currentPageIndex = 1;
    LoadData();
}

void ReportForm::SortByColumn(int column) {
    if (result.recordCount <= 0) return;
    const QString field = GetColName(column);
    if (field.isEmpty()) return;
    pageInfo.str_orderBy = field;
    pageInfo.isDesc = !pageInfo.isDesc;
    btn_search();
}

void ReportForm::searchOnEnter(QLineEdit* box) {
    box->setMaxLength(100);
    m_searchBoxes.push_back(box);
    box->installEventFilter(this);
}

bool ReportForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == txt_PageIndex) {
                GoToTypedPage();
                return true;
            }
            if (std::find(m_searchBoxes.begin(), m_searchBoxes.end(), watched) != m_searchBoxes.end()) {
                Search(); // the key itself is swallowed
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
