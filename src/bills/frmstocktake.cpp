#include "frmstocktake.h"
#include "billprint.h"

#include "access/funcode.h"
#include "access/user.h"
#include "countimport.h"
#include "data/accesstext.h"
#include "data/conditions.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "master/goods.h"
#include "ui/formparts.h"
#include "ui/frm_select.h"
#include "ui/importdialog.h"
#include "ui/modal.h"
#include "ui/permission.h"
#include "ui/windowregistry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

QString now() {
    return FormatNow("yyyy-mm-dd hh:nn:ss");
}

} // namespace

frmStockTake::frmStockTake(QWidget* parent) : QWidget(parent) {
    setObjectName("frmStockTake");
    setWindowTitle(QStringLiteral("库存盘点"));
    auto* bar = NewFormToolBar();
    AddToolAction(bar, this, "new", "新建盘点", "新", QColor(40, 120, 200), [this] { NewCount(); });
    AddToolAction(bar, this, "open", "打开", "开", QColor(60, 140, 90), [this] { ChooseCount(); });
    saveAction = AddToolAction(bar, this, "save", "保存", "存", QColor(30, 130, 60), [this] { SaveCount(); });
    postAction = AddToolAction(bar, this, "post", "过账", "过", QColor(180, 90, 30), [this] { PostCount(); });
    abandonAction =
        AddToolAction(bar, this, "abandon", "作废", "废", QColor(160, 60, 60), [this] { AbandonCount(); });
    QAction* print = NewToolAction(bar, "print", "打印盘点表", "印", QColor(200, 120, 30));
    auto* printMenu = new QMenu(this);
    printMenu->addAction(QStringLiteral("盘点表(含账面数量)"), this, [this] { PrintSheet(false); })
        ->setObjectName("print_book");
    printMenu->addAction(QStringLiteral("盲盘表(不含账面数量)"), this, [this] { PrintSheet(true); })
        ->setObjectName("print_blind");
    print->setMenu(printMenu);
    connect(print, &QAction::triggered, this, [this] { PrintSheet(false); });
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(print)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
    AddToolAction(bar, this, "import", "导入盘点", "入", QColor(60, 140, 160), [this] { ImportCounts(); });
    bar->addSeparator();
    AddToolAction(bar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    lab_head = new QLabel(QStringLiteral("请新建盘点或打开一张盘点单。"));
    lab_head->setObjectName("lab_head");
    lab_head->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cobo_location = NamedCombo("cobo_location");
    cobo_location->setMinimumWidth(140);
    txt_goodsCode = NamedEdit("txt_goodsCode");
    txt_goodsCode->setMaxLength(60);
    txt_goodsCode->setPlaceholderText(QStringLiteral("扫描条码或输入编码/拼音, 回车"));
    connect(txt_goodsCode, &QLineEdit::returnPressed, this, &frmStockTake::GoodsCodeEntered);
    txt_Qty = NamedEdit("txt_Qty");
    txt_Qty->setText("1");
    txt_Qty->setMaximumWidth(60);
    txt_Qty->setMaxLength(10);
    search = NamedButton("btn_searchGoods", "查找");
    connect(search, &QPushButton::clicked, this, &frmStockTake::SearchGoods);
    cobo_filter = NamedCombo("cobo_filter");
    cobo_filter->addItems(
        {QStringLiteral("全部"), QStringLiteral("只看未盘点"), QStringLiteral("只看有差异")});
    connect(cobo_filter, &QComboBox::currentIndexChanged, this, &frmStockTake::FilterChanged);
    auto* input = new QHBoxLayout;
    input->addWidget(new QLabel(QStringLiteral("库位:")));
    input->addWidget(cobo_location);
    input->addWidget(new QLabel(QStringLiteral("条码/编码:")));
    input->addWidget(txt_goodsCode, 2);
    input->addWidget(new QLabel(QStringLiteral("数量:")));
    input->addWidget(txt_Qty);
    input->addWidget(search);
    input->addSpacing(20);
    input->addWidget(new QLabel(QStringLiteral("显示:")));
    input->addWidget(cobo_filter);

    m_model = new StockTakeModel(m_sheet, this);
    m_model->edit = [this](int row, const QString& text) {
        QString error;
        if (m_sheet.setCounted(row, text, &error)) {
            showSummary();
            // under a filter the counted row may leave the list: the next one takes its place
            if (cobo_filter->currentIndex() != All)
                QMetaObject::invokeMethod(
                    this,
                    [this, at = grid->currentIndex().row()] {
                        m_model->refresh(cobo_filter->currentIndex());
                        if (m_model->rowCount() > 0)
                            grid->setCurrentIndex(m_model->index(std::min(at, m_model->rowCount() - 1),
                                                                 StockTakeModel::Counted));
                    },
                    Qt::QueuedConnection);
            return true;
        }
        Refuse(this, error);
        return false;
    };
    grid = new QTableView;
    grid->setObjectName("grid");
    grid->setModel(m_model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(22);
    const int widths[] = {50, 90, 110, 180, 110, 70, 90, 90, 100, 90};
    for (int c = 0; c < StockTakeModel::Count; ++c)
        grid->setColumnWidth(c, widths[c]);
    grid->horizontalHeader()->setStretchLastSection(true);
    // the scans go to the location of the line chosen in the grid
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                const int row = m_model->sheetRow(current.row());
                if (row < 0) return;
                const int at = cobo_location->findData(m_sheet.lines()[static_cast<size_t>(row)].locationId);
                if (at >= 0) cobo_location->setCurrentIndex(at);
            });
    // a wrong scan is taken away again from the grid's menu or with Delete
    auto* removeLine = new QAction(QStringLiteral("删除此行(盘点中加入的货品)"), grid);
    removeLine->setObjectName("remove_line");
    removeLine->setShortcut(QKeySequence::Delete);
    removeLine->setShortcutContext(Qt::WidgetShortcut);
    connect(removeLine, &QAction::triggered, this, [this] { RemoveLine(grid->currentIndex().row()); });
    grid->addAction(removeLine);
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    lab_summary = new QLabel;
    lab_summary->setObjectName("lab_summary");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(bar);
    layout->addWidget(lab_head);
    layout->addLayout(input);
    layout->addWidget(grid, 1);
    layout->addWidget(lab_summary);
    resize(980, 600);
    showCount();
}

int frmStockTake::sheetRow(int gridRow) const {
    return m_model->sheetRow(gridRow);
}

int frmStockTake::gridRowCount() const {
    return m_model->rowCount();
}

// ---- showing ----

void frmStockTake::showCount() {
    const StockTakeHead& h = m_sheet.head();
    cobo_location->clear();
    if (h.id < 1) {
        lab_head->setText(QStringLiteral("请新建盘点或打开一张盘点单。"));
    } else {
        lab_head->setText(
            QStringLiteral("盘点单号: <b>%1</b> &nbsp; 状态: <b>%2</b> &nbsp; 账目标识: %3 &nbsp; "
                           "库位: %4 &nbsp; 货品类别: %5 &nbsp; 开始: %6 %7")
                .arg(h.billNo, StockTakeStateName(h.state), h.accountName.toHtmlEscaped(),
                     h.locationName.toHtmlEscaped(), h.goodsTypeName.toHtmlEscaped(), h.createTime.left(16),
                     h.creator.toHtmlEscaped()));
        // the count's locations for the scans
        const QString where = h.places.isEmpty() ? QString() : " and id in (" + h.places + ")";
        const RecordSet places =
            sqlHelper::ExecuteSql("select id, locationCode, uname from tb_location where state=1" + where +
                                  " order by locationCode");
        for (int r = 0; r < places.RecordCount(); ++r) {
            const QString code = acc::valueText(places.at(r, "locationCode"));
            cobo_location->addItem(code + " " + acc::valueText(places.at(r, "uname")),
                                   places.at(r, "id").toInt());
            cobo_location->setItemData(r, code, Qt::UserRole + 1);
        }
        if (h.places.isEmpty() || h.places.split(',').contains("0"))
            cobo_location->addItem(QStringLiteral("(无库位)"), 0);
        // scanning starts where the first line lies, not at whatever location sorts first
        if (!m_sheet.lines().empty()) {
            const int at = cobo_location->findData(m_sheet.lines().front().locationId);
            if (at >= 0) cobo_location->setCurrentIndex(at);
        }
    }
    const bool open = m_sheet.open() && h.id > 0;
    for (QWidget* w : std::initializer_list<QWidget*>{cobo_location, txt_goodsCode, txt_Qty, search})
        w->setEnabled(open);
    for (QAction* a : {saveAction, postAction, abandonAction})
        a->setEnabled(open);
    m_model->refresh(cobo_filter->currentIndex());
    showSummary();
}

void frmStockTake::showSummary() {
    int differing = 0;
    for (const StockTakeLine& l : m_sheet.lines())
        if (l.countQty && std::abs(l.difference()) > 0.000001) ++differing;
    lab_summary->setText(QStringLiteral("共 %1 行, 未盘点 %2 行, 有差异 %3 行%4")
                             .arg(m_sheet.lines().size())
                             .arg(m_sheet.uncounted())
                             .arg(differing)
                             .arg(m_sheet.dirty() ? QStringLiteral(" (尚未保存)") : QString()));
}

void frmStockTake::FilterChanged() {
    m_model->refresh(cobo_filter->currentIndex());
}

bool frmStockTake::confirmDiscard() {
    if (!m_sheet.dirty()) return true;
    return MsgBox::Confirm(QStringLiteral("当前盘点单已修改但尚未保存,是否放弃修改?"), windowTitle());
}

void frmStockTake::closeEvent(QCloseEvent* event) {
    if (!confirmDiscard()) return event->ignore();
    m_sheet.load(StockTakeHead(), {});
    QWidget::closeEvent(event);
}

bool frmStockTake::needOpenCount() {
    if (m_sheet.head().id < 1) {
        Refuse(this, QStringLiteral("请先新建或打开一张盘点单!"));
        return false;
    }
    if (!m_sheet.open()) {
        Refuse(this, QStringLiteral("盘点单 %1 %2, 不能再修改!")
                         .arg(m_sheet.head().billNo, StockTakeStateName(m_sheet.head().state)));
        return false;
    }
    return true;
}

// ---- counts ----

bool frmStockTake::StartCount(int accountId, int locationId, int goodsTypeId) {
    if (!confirmDiscard()) return false;
    StockTakeHead h;
    h.accountId = accountId;
    h.locationId = locationId;
    h.goodsTypeId = goodsTypeId;
    h.creator = CurrentUser().user;
    h.userId = CurrentUser().id;
    h.createTime = now();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const m_DBresult r = m_dal.Start(h, SysVar().Sys_locationJoinId);
    QApplication::restoreOverrideCursor();
    if (!r.isResult) {
        Refuse(this, r.str_MsgBox);
        return false;
    }
    m_sheet.load(StockTakeHead(), {}); // the old sheet's changes were given up above
    OpenCount(h.id);
    if (m_sheet.lines().empty())
        MsgBox::Show(
            QStringLiteral("盘点单 %1 已建立, 所选范围内没有库存; 找到的货品可以扫描加入。").arg(h.billNo),
            MsgBox::Information, windowTitle());
    return true;
}

void frmStockTake::NewCount() {
    QDialog dlg(this);
    dlg.setObjectName("dlg_newCount");
    dlg.setWindowTitle(QStringLiteral("新建盘点"));
    auto* account = new QComboBox;
    account->setObjectName("cobo_account");
    const RecordSet accounts = sqlHelper::ExecuteSql(
        "select id, uname from tb_dictionary where utype='accountType' and isstart=1 and id in (" +
        SysVar().Sys_accountJoinId + ") order by orderBy, id");
    for (int r = 0; r < accounts.RecordCount(); ++r)
        account->addItem(acc::valueText(accounts.at(r, "uname")), accounts.at(r, "id").toInt());
    auto* place = new QComboBox;
    place->setObjectName("cobo_place");
    place->addItem(QStringLiteral("全部库位"), 0);
    const RecordSet places =
        sqlHelper::ExecuteSql("select id, locationCode, uname from tb_location where id in (" +
                              SysVar().Sys_locationJoinId + ") order by locationCode");
    for (int r = 0; r < places.RecordCount(); ++r)
        place->addItem(acc::valueText(places.at(r, "locationCode")) + " " +
                           acc::valueText(places.at(r, "uname")),
                       places.at(r, "id").toInt());
    auto* type = new QComboBox;
    type->setObjectName("cobo_type");
    type->addItem(QStringLiteral("全部类别"), 0);
    const RecordSet types = sqlHelper::ExecuteSql(
        "select id, uname from tb_dictionary where utype='goodsType' and isstart=1 order by orderBy, id");
    for (int r = 0; r < types.RecordCount(); ++r)
        type->addItem(acc::valueText(types.at(r, "uname")), types.at(r, "id").toInt());
    auto* form = new QFormLayout(&dlg);
    form->addRow(QStringLiteral("账目标识:"), account);
    form->addRow(QStringLiteral("盘点库位(含下级):"), place);
    form->addRow(QStringLiteral("货品类别:"), type);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("开始盘点"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (RunModal(&dlg) != QDialog::Accepted) return;
    if (account->currentIndex() < 0) return Refuse(this, QStringLiteral("请选择账目标识!"));
    StartCount(account->currentData().toInt(), place->currentData().toInt(), type->currentData().toInt());
}

void frmStockTake::ChooseCount() {
    QDialog dlg(this);
    dlg.setObjectName("dlg_chooseCount");
    dlg.setWindowTitle(QStringLiteral("打开盘点单"));
    auto* list = new QTableWidget;
    list->setObjectName("list_counts");
    const RecordSet rs = m_dal.List();
    list->setColumnCount(7);
    list->setHorizontalHeaderLabels({QStringLiteral("盘点单号"), QStringLiteral("状态"),
                                     QStringLiteral("账目标识"), QStringLiteral("库位"),
                                     QStringLiteral("货品类别"), QStringLiteral("制单人"),
                                     QStringLiteral("开始时间")});
    list->setRowCount(rs.RecordCount());
    for (int r = 0; r < rs.RecordCount(); ++r) {
        auto text = [&](const char* name) { return acc::valueText(rs.at(r, QLatin1String(name))); };
        const QStringList texts = {text("billNo"),
                                   StockTakeStateName(rs.at(r, "state").toInt()),
                                   text("accountName"),
                                   text("locationName"),
                                   text("goodsTypeName"),
                                   text("creator"),
                                   text("createTime").left(16)};
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setData(Qt::UserRole, rs.at(r, "id").toInt());
            list->setItem(r, c, item);
        }
    }
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->resizeColumnsToContents();
    list->horizontalHeader()->setStretchLastSection(true);
    list->verticalHeader()->hide();
    if (rs.RecordCount() > 0) list->selectRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("打开"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    connect(list, &QTableWidget::cellDoubleClicked, &dlg, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(list);
    layout->addWidget(buttons);
    dlg.resize(760, 380);
    if (RunModal(&dlg) != QDialog::Accepted || list->currentRow() < 0) return;
    if (!confirmDiscard()) return;
    m_sheet.load(StockTakeHead(), {});
    OpenCount(list->item(list->currentRow(), 0)->data(Qt::UserRole).toInt());
}

void frmStockTake::OpenCount(int id) {
    const StockTakeHead h = m_dal.GetModel(id);
    if (h.id < 1) return Refuse(this, QStringLiteral("当前盘点单已被删除!"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_sheet.load(h, m_dal.Lines(id));
    showCount();
    QApplication::restoreOverrideCursor();
    if (txt_goodsCode->isEnabled()) txt_goodsCode->setFocus();
}

// ---- counting ----

void frmStockTake::addScanned(const StockTakeLine& goods, double pieces) {
    StockTakeLine at = goods;
    at.locationId = cobo_location->currentData().toInt();
    at.locationCode = cobo_location->currentData(Qt::UserRole + 1).toString();
    // a goods kept by lot is counted per lot: the lot the location has, else the one the user names
    if (at.lotTracked) {
        const QStringList lots = m_sheet.lotsAt(at.goodsId, at.locationId);
        if (lots.size() == 1) {
            at.lotNo = lots.front();
        } else {
            const QString place = at.locationCode.isEmpty() ? QStringLiteral("(无库位)") : at.locationCode;
            const auto typed = MsgBox::Input(
                lots.isEmpty() ? QStringLiteral("货品[%1]按批次管理, 库位[%2]没有它的批次, 请输入所盘批次号:")
                                     .arg(at.goodsName, place)
                               : QStringLiteral("货品[%1]按批次管理, 库位[%2]有批次: %3\n请输入所盘批次号:")
                                     .arg(at.goodsName, place, lots.join(", ")),
                windowTitle(), lots.value(0));
            if (!typed) return;
            at.lotNo = typed->trimmed();
        }
        at.byLot = true;
    }
    bool ok = false;
    const double times = txt_Qty->text().trimmed().toDouble(&ok);
    if (!ok || !(times > 0) || !std::isfinite(times))
        return Refuse(this, QStringLiteral("数量必须是大于 0 的数字!"), txt_Qty);
    QString error;
    const int before = static_cast<int>(m_sheet.lines().size());
    const int row = m_sheet.add(at, pieces * times, &error);
    if (row < 0) return Refuse(this, error, txt_goodsCode);
    if (row >= before) {
        m_model->refresh(cobo_filter->currentIndex());
    } else {
        m_model->lineChanged(row);
    }
    int shown = m_model->rowOf(row);
    if (shown < 0 && cobo_filter->currentIndex() != All) {
        // the filter hides what was just counted: show every line
        cobo_filter->setCurrentIndex(All);
        shown = m_model->rowOf(row);
    }
    if (shown >= 0) {
        grid->selectRow(shown);
        grid->scrollTo(m_model->index(shown, 0));
    }
    showSummary();
    txt_goodsCode->clear();
    txt_Qty->setText("1");
    txt_goodsCode->setFocus();
}

void frmStockTake::GoodsCodeEntered() {
    if (!needOpenCount()) return;
    const QString code = txt_goodsCode->text().trimmed();
    if (code.isEmpty()) return;
    StockTakeLine goods;
    double pieces = 0;
    const int found = StockTakeGoodsForCode(code, 0, goods, pieces);
    if (found == 1) return addScanned(goods, pieces);
    if (found > 1) {
        MsgBox::Show(QStringLiteral("找到%1个条码相同货品信息,单击【确定】后选择其中的一项").arg(found),
                     MsgBox::Information, windowTitle());
        return SearchGoods();
    }
    // not a code: a keyword (name, pinyin) opens the lookup when it finds something
    ConditionSet c;
    c.AddItem("1", m_condition("status", "=", QStringLiteral("启用")));
    c.AddItem("2", m_condition("inputGoodsCode&goodsName&pinyin", "like", code));
    if (dal_goods_detail()
            .GetListForInputAndCondition(c, "select count(*) as matches ")
            .recordSet.at(0, "matches")
            .toInt() < 1) {
        txt_goodsCode->selectAll();
        return Refuse(this, QStringLiteral("条码或编码 [%1] 没有对应的货品!").arg(code), txt_goodsCode);
    }
    SearchGoods();
}

void frmStockTake::SearchGoods() {
    if (!needOpenCount()) return;
    frm_select dlg(this);
    dlg.setMode("inputGoods");
    dlg.setSinglePick(true);
    dlg.setKeyword(txt_goodsCode->text().trimmed());
    dlg.RunSearch();
    RunModal(&dlg);
    const auto picked = dlg.picked<m_goods_detail>();
    if (picked.empty() || picked.front().id < 1) return;
    StockTakeLine goods;
    double pieces = 0;
    if (StockTakeGoodsForCode(picked.front().inputGoodsCode, picked.front().id, goods, pieces) != 1)
        return Refuse(this, QStringLiteral("货品不存在!"), txt_goodsCode);
    addScanned(goods, pieces);
}

bool frmStockTake::SetCounted(int gridRow, const QString& text) {
    if (!needOpenCount()) return false;
    return m_model->setData(m_model->index(gridRow, StockTakeModel::Counted), text, Qt::EditRole);
}

bool frmStockTake::RemoveLine(int gridRow) {
    if (!needOpenCount()) return false;
    const int row = m_model->sheetRow(gridRow);
    if (row < 0) {
        Refuse(this, QStringLiteral("请先选中要删除的行!"));
        return false;
    }
    QString error;
    if (!m_sheet.removable(row, &error)) {
        Refuse(this, error);
        return false;
    }
    const StockTakeLine& l = m_sheet.lines()[static_cast<size_t>(row)];
    if (!MsgBox::Confirm(QStringLiteral("是否删除 %1 %2 在 %3 的这一行?")
                             .arg(l.goodsCode, l.goodsName,
                                  l.locationCode.isEmpty() ? QStringLiteral("(无库位)") : l.locationCode),
                         windowTitle()))
        return false;
    if (!m_sheet.remove(row, &error)) {
        Refuse(this, error);
        return false;
    }
    m_model->refresh(cobo_filter->currentIndex());
    if (m_model->rowCount() > 0)
        grid->setCurrentIndex(
            m_model->index(std::min(gridRow, m_model->rowCount() - 1), StockTakeModel::Counted));
    showSummary();
    return true;
}

bool frmStockTake::SaveCount() {
    if (!needOpenCount()) return false;
    if (!m_sheet.dirty()) {
        MsgBox::Show(QStringLiteral("没有需要保存的修改。"), MsgBox::Information, windowTitle());
        return true;
    }
    const m_DBresult r = m_sheet.save(m_dal);
    if (!r.isResult) {
        Refuse(this, r.str_MsgBox);
        return false;
    }
    showSummary();
    MsgBox::Show(QStringLiteral("保存成功!"), MsgBox::Information, windowTitle());
    return true;
}

void frmStockTake::PostCount() {
    if (!needOpenCount()) return;
    if (!CheckFunction(m_funCode::stocktake_post())) return;
    if (m_sheet.dirty()) {
        const m_DBresult saved = m_sheet.save(m_dal);
        if (!saved.isResult) return Refuse(this, saved.str_MsgBox);
        showSummary();
    }
    const int uncounted = m_sheet.uncounted();
    QString question = uncounted > 0
                           ? QStringLiteral("还有 %1 行没有盘点, 过账时按盘点数量 0 计算。").arg(uncounted)
                           : QString();
    const std::vector<StockTakeMove> moved = m_dal.Moved(m_sheet.head().id);
    auto number = [](double v) { return QString::number(v, 'g', 12); };
    const auto unlisted =
        std::count_if(moved.begin(), moved.end(), [](const StockTakeMove& m) { return !m.listed; });
    const size_t listed = moved.size() - static_cast<size_t>(unlisted);
    if (listed > 0)
        question +=
            QStringLiteral("\n以下 %1 项货品在盘点期间有出入库, 差异按过账时的账面数量计算:").arg(listed);
    for (size_t k = 0, shown = 0; k < moved.size(); ++k) {
        const StockTakeMove& m = moved[k];
        if (!m.listed) continue;
        if (++shown > 15) {
            question += QStringLiteral("\n  ……");
            break;
        }
        question += QStringLiteral("\n  %1 %2 [%3]: 开始时 %4, 现在 %5")
                        .arg(m.goodsCode, m.goodsName,
                             m.locationCode.isEmpty() ? QStringLiteral("无库位") : m.locationCode,
                             number(m.bookQty), number(m.nowQty));
    }
    if (unlisted > 0)
        question += QStringLiteral("\n另有 %1 项货品在盘点开始后才到这些库位, 不在盘点表中, 过账不会调整它们"
                                   "(需要时请先扫描加入):")
                        .arg(unlisted);
    for (size_t k = 0, shown = 0; k < moved.size(); ++k) {
        const StockTakeMove& m = moved[k];
        if (m.listed) continue;
        if (++shown > 10) {
            question += QStringLiteral("\n  ……");
            break;
        }
        question +=
            QStringLiteral("\n  %1 %2 [%3]: 现在 %4")
                .arg(m.goodsCode, m.goodsName,
                     m.locationCode.isEmpty() ? QStringLiteral("无库位") : m.locationCode, number(m.nowQty));
    }
    question +=
        QStringLiteral("%1是否过账盘点单 %2? 过账后将生成已审核的盘盈入库单和盘亏出库单, 不能再修改。")
            .arg(question.isEmpty() ? QString() : "\n\n", m_sheet.head().billNo);
    if (!MsgBox::Confirm(question, windowTitle())) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const m_DBresult r = m_dal.Post(m_sheet.head().id, true, CurrentUser().user, now());
    QApplication::restoreOverrideCursor();
    if (!r.isResult) return Refuse(this, r.str_MsgBox);
    WindowRegistry::ApprovalsChanged();
    OpenCount(m_sheet.head().id);
    const StockTakeHead& h = m_sheet.head();
    auto billNo = [](const char* table, int id) {
        if (id < 1) return QStringLiteral("无");
        const RecordSet rs = sqlHelper::ExecuteSql(
            QStringLiteral("select billNo from %1 where id=%2").arg(QLatin1String(table)).arg(id));
        return rs.RecordCount() > 0 ? acc::valueText(rs.at(0, "billNo")) : QStringLiteral("无");
    };
    MsgBox::Show(QStringLiteral("过账成功! 盘盈入库单: %1, 盘亏出库单: %2")
                     .arg(billNo("tb_rk_head", h.rkHeadId), billNo("tb_ck_head", h.ckHeadId)),
                 MsgBox::Information, windowTitle());
}

void frmStockTake::AbandonCount() {
    if (!needOpenCount()) return;
    if (!MsgBox::Confirm(
            QStringLiteral("是否作废盘点单 %1? 作废后不能再盘点或过账。").arg(m_sheet.head().billNo),
            windowTitle()))
        return;
    const m_DBresult r = m_dal.Abandon(m_sheet.head().id, CurrentUser().user, now());
    if (!r.isResult) return Refuse(this, r.str_MsgBox);
    const int id = m_sheet.head().id;
    m_sheet.load(StockTakeHead(), {});
    OpenCount(id);
    MsgBox::Show(QStringLiteral("作废成功!"), MsgBox::Information, windowTitle());
}

void frmStockTake::PrintSheet(bool blind) {
    if (m_sheet.head().id < 1) return Refuse(this, QStringLiteral("请先新建或打开一张盘点单!"));
    PrintStockTakeSheet(m_sheet.head().id, blind, windowTitle());
}

void frmStockTake::ImportCounts() {
    if (!CheckFunction(m_funCode::stocktake_import())) return;
    if (!needOpenCount()) return;
    // the file's counts are stored at once: what was typed here is saved first
    if (m_sheet.dirty()) {
        if (!MsgBox::Confirm(QStringLiteral("当前盘点单已修改但尚未保存, 先保存再导入吗?"), windowTitle()))
            return;
        const m_DBresult saved = m_sheet.save(m_dal);
        if (!saved.isResult) return Refuse(this, saved.str_MsgBox);
    }
    const int id = m_sheet.head().id;
    ImportKind kind;
    kind.title = QStringLiteral("导入盘点 %1").arg(m_sheet.head().billNo);
    kind.sheetName = QStringLiteral("盘点");
    kind.columns = CountImportColumns();
    kind.modes = false;
    kind.check = [id](ImportSheet& sheet, ImportMode) { CheckCountImport(sheet, id); };
    kind.write = [id](ImportSheet& sheet, ImportMode, const ImportProgress& progress) {
        return WriteCountImport(sheet, id, progress);
    };
    kind.done = [](const ImportOutcome& o) {
        return QStringLiteral("设定 %1 行的盘点数量, 新增 %2 行").arg(o.updated).arg(o.added);
    };
    ImportDialog dialog(kind, this);
    if (RunModal(&dialog) != QDialog::Accepted) return;
    OpenCount(id);
}
