#include "frmbillentry.h"
#include "bill.h"
#include "billcheck.h"
#include "billprint.h"
#include "transfer.h"

#include "access/funcode.h"
#include "access/user.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/results.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "master/customer.h"
#include "master/dictionary.h"
#include "master/location.h"
#include "master/numbertext.h"
#include "schema/stockbalance.h"
#include "ui/formparts.h"
#include "ui/frm_select.h"
#include "ui/icons.h"
#include "ui/lotdialog.h"
#include "ui/modal.h"
#include "ui/permission.h"
#include "ui/uvg.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

double number(const QString& text) {
    return acc::val(text);
}

// A short decimal form: 12, 0.5, -2.
QString shortNumber(double v) {
    return acc::numberQText(v);
}

// Grid cells of numbers take digits, "-" and "." only; other keys beep.
// (The view makes the delegate its editors' event filter.)
class NumericKeysDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool eventFilter(QObject* watched, QEvent* event) override {
        // (keys with Ctrl or Alt are commands, not typing: they go on to the grid and the form)
        if (event->type() == QEvent::KeyPress &&
            !(static_cast<QKeyEvent*>(event)->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const QString t = static_cast<QKeyEvent*>(event)->text();
            if (!t.isEmpty() && t.at(0).isPrint() && !t.at(0).isDigit() && t != "-" && t != ".") {
                QApplication::beep();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }
};

QLabel* stampLabel(const char* name, const QString& text, const QColor& color) {
    auto* l = new QLabel;
    l->setObjectName(name);
    l->setPixmap(ApprovalStamp(text, color, l->devicePixelRatio()));
    l->setFixedSize(96, 96);
    return l;
}

} // namespace

QPixmap ApprovalStamp(const QString& text, const QColor& color, qreal ratio) {
    QPixmap pm = CanvasPixmap(QSize(96, 96), ratio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 4));
    p.drawEllipse(QRectF(6, 6, 84, 84));
    p.setPen(QPen(color, 1.5));
    p.drawEllipse(QRectF(13, 13, 70, 70));
    QFont f = p.font();
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.translate(48, 48);
    p.rotate(-18);
    p.drawText(QRectF(-40, -14, 80, 28), Qt::AlignCenter, text);
    return pm;
}

bool BillEntryForm::isStockOut() const {
    return m_kind.out;
}

BillEntryForm::BillEntryForm(const BillEntryKind& kind, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_store(kind.store()) {
    setObjectName(kind.objectName);
    setWindowTitle(QString::fromUtf8(kind.title));
    auto* toolbar = NewFormToolBar();
    AddToolAction(toolbar, this, "add", "新建", "新", QColor(46, 139, 87), &BillEntryForm::NewBill);
    saveAction =
        AddToolAction(toolbar, this, "save", "保存", "存", QColor(38, 120, 190), &BillEntryForm::SaveBill);
    passAction =
        AddToolAction(toolbar, this, "pass", "审核", "审", QColor(200, 60, 60), &BillEntryForm::PassBill);
    AddToolAction(toolbar, this, "delete", "删除", "删", QColor(190, 60, 60), &BillEntryForm::DeleteBill);
    printAction =
        AddToolAction(toolbar, this, "print", "打印", "印", QColor(200, 120, 30), &BillEntryForm::PrintBill);
    AddToolAction(toolbar, this, "refresh", "刷新", "刷", QColor(60, 140, 160), &BillEntryForm::RefreshBill);
    searchBillAction = AddToolAction(toolbar, this, "seachBill", "查找单据", "查", QColor(120, 90, 170),
                                     &BillEntryForm::SearchBill);
    searchBillAction->setEnabled(WindowRegistry::IsRegistered(kind.listWindow));
    toolbar->addSeparator();
    AddToolAction(toolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    // head
    txt_id = NamedEdit("txt_id");
    txt_id->hide();
    txt_billNo = NamedEdit("txt_billNo");
    txt_billNo->setReadOnly(true);
    txt_partnerName = NamedEdit(kind.partnerNameName);
    txt_partnerName->setReadOnly(true);
    txt_partnerId = NamedEdit(kind.partnerIdName);
    txt_partnerId->hide();
    btn_searchPartner = NamedButton(kind.partnerButtonName, "...");
    btn_searchPartner->setFixedWidth(32);
    connect(btn_searchPartner, &QPushButton::clicked, this, &BillEntryForm::SearchPartner);
    cobo_accountType = NamedCombo("cobo_accountType");
    cobo_billType = NamedCombo(kind.typeComboName);
    txt_ubillNo = NamedEdit("txt_ubillNo");
    txt_creator = NamedEdit("txt_creator");
    txt_creator->setReadOnly(true);
    dt_createDate = new QDateEdit;
    dt_createDate->setObjectName("dt_createDate");
    dt_createDate->setCalendarPopup(true);
    dt_createDate->setDisplayFormat(SysVar().Sys_DateFormat);
    txt_remark = NamedEdit("txt_remark");
    txt_BillAmount = NamedEdit("txt_BillAmount");
    txt_BillAmount->setReadOnly(true);
    txt_BillAmount->setAlignment(Qt::AlignRight);
    img_pass = stampLabel("img_pass", QStringLiteral("已审核"), QColor(210, 30, 30));
    img_nopass = stampLabel("img_nopass", QStringLiteral("未审核"), QColor(130, 130, 130));

    auto* partnerBox = new QHBoxLayout;
    partnerBox->setSpacing(2);
    partnerBox->addWidget(txt_partnerName, 1);
    partnerBox->addWidget(btn_searchPartner);
    auto* head = new QGridLayout;
    auto label = [](const char* text) { return new QLabel(QString::fromUtf8(text)); };
    head->addWidget(label(kind.billNoLabel), 0, 0);
    head->addWidget(txt_billNo, 0, 1);
    if (kind.isTransfer()) {
        // no partner, type or original number: they stay out of sight
        for (QWidget* w : std::initializer_list<QWidget*>{txt_partnerName, btn_searchPartner, cobo_billType,
                                                          txt_ubillNo}) {
            w->setParent(this);
            w->hide();
        }
        delete partnerBox;
        head->addWidget(label("账目标识:"), 0, 2);
        head->addWidget(cobo_accountType, 0, 3);
        head->addWidget(label("建单人:"), 0, 4);
        head->addWidget(txt_creator, 0, 5);
        head->addWidget(label("建单日期:"), 1, 0);
        head->addWidget(dt_createDate, 1, 1);
        head->addWidget(label("备注:"), 1, 2);
        head->addWidget(txt_remark, 1, 3, 1, 3);
    } else {
        head->addWidget(label(kind.partnerLabel), 0, 2);
        head->addLayout(partnerBox, 0, 3);
        head->addWidget(label("账目标识:"), 0, 4);
        head->addWidget(cobo_accountType, 0, 5);
        head->addWidget(label(kind.typeLabel), 1, 0);
        head->addWidget(cobo_billType, 1, 1);
        head->addWidget(label("原始单号:"), 1, 2);
        head->addWidget(txt_ubillNo, 1, 3);
        head->addWidget(label("建单人:"), 1, 4);
        head->addWidget(txt_creator, 1, 5);
        head->addWidget(label("建单日期:"), 2, 0);
        head->addWidget(dt_createDate, 2, 1);
        head->addWidget(label("备注:"), 2, 2);
        head->addWidget(txt_remark, 2, 3, 1, 3);
    }
    for (int c : {1, 3, 5})
        head->setColumnStretch(c, 1);
    // the stamps share one place, kept while both are hidden: the head does not move when one shows
    auto* stampPlace = new QWidget;
    stampPlace->setFixedSize(img_pass->size());
    auto* stamps = new QStackedLayout(stampPlace);
    stamps->setStackingMode(QStackedLayout::StackAll);
    stamps->addWidget(img_pass);
    stamps->addWidget(img_nopass);
    auto* headRow = new QHBoxLayout;
    headRow->addLayout(head, 1);
    headRow->addWidget(stampPlace);

    // input bar
    txt_goodsCode = NamedEdit("txt_goodsCode");
    txt_goodsCode->setPlaceholderText(QStringLiteral("货品编码、条码、名称或拼音首字母, 回车加入"));
    txt_goodsId = NamedEdit("txt_goodsId");
    txt_goodsId->hide();
    txt_Qty = NamedEdit("txt_Qty");
    txt_Qty->setText("1");
    txt_Qty->setMaximumWidth(80);
    txt_price = NamedEdit(kind.priceBoxName);
    txt_price->setMaximumWidth(90);
    cobo_location = NamedCombo("cobo_location");
    cobo_location->setEditable(true); // a location code may be typed
    btn_searchGoods = NamedButton("btn_searchGoods", "...");
    btn_searchGoods->setFixedWidth(32);
    connect(btn_searchGoods, &QPushButton::clicked, this, &BillEntryForm::SearchGoods);
    lb_NoGoods = new QLabel(QStringLiteral("没有找到货品,请重新输入..."));
    lb_NoGoods->setObjectName("lb_NoGoods");
    lb_NoGoods->setStyleSheet("color: #c03030");
    lb_NoGoods->hide();
    auto* inputBox =
        new QGroupBox(kind.isTransfer() ? QStringLiteral("F3:数量       F6:调出库位         F7:调入库位")
                                        : QStringLiteral("F3:数量       F5:价格         F6:库位"));
    auto* input = new QHBoxLayout(inputBox);
    input->addWidget(new QLabel(QStringLiteral("货品信息:")));
    input->addWidget(txt_goodsCode, 3);
    input->addWidget(btn_searchGoods);
    input->addWidget(new QLabel(QStringLiteral("数量:")));
    input->addWidget(txt_Qty);
    if (kind.isTransfer()) {
        txt_price->setParent(this);
        txt_price->hide();
        cobo_toLocation = NamedCombo("cobo_toLocation");
        cobo_toLocation->setEditable(true);
        input->addWidget(new QLabel(QStringLiteral("调出库位:")));
        input->addWidget(cobo_location, 1);
        input->addWidget(new QLabel(QStringLiteral("调入库位:")));
        input->addWidget(cobo_toLocation, 1);
    } else {
        input->addWidget(new QLabel(QStringLiteral("价格:")));
        input->addWidget(txt_price);
        input->addWidget(new QLabel(QStringLiteral("库位:")));
        input->addWidget(cobo_location, 1);
    }
    input->addWidget(lb_NoGoods);

    // grid
    grid = new QTableView;
    grid->setObjectName(kind.gridName);
    lines = new BillLinesModel(kind.columns, kind.out, this);
    lines->setRequiredColor(QColor::fromRgb(SysVar().Sys_NotNullColor));
    grid->setModel(lines);
    buildGrid();
    rows = new uvg(this);
    rows->init(grid, 0);
    rows->setEnterMovesOn(true);
    connect(lines, &BillLinesModel::typed, this, &BillEntryForm::lineTyped);
    auto* addRow = NamedButton("btn_addRow", "增加明细行");
    auto* delRow = NamedButton("btn_delRow", "删除明细行");
    connect(addRow, &QPushButton::clicked, this, &BillEntryForm::AddGridRow);
    connect(delRow, &QPushButton::clicked, this, &BillEntryForm::DeleteGridRow);
    rowMenu = new QMenu(this);
    rowMenu->addAction(QStringLiteral("增加行"), this, &BillEntryForm::AddGridRow);
    rowMenu->addAction(QStringLiteral("删除行"), this, &BillEntryForm::DeleteGridRow);
    if (kind.isTransfer()) {
        rowMenu->addAction(QStringLiteral("批量设置调出库位"), this, &BillEntryForm::SetLocationForSelection);
        rowMenu->addAction(QStringLiteral("批量设置调入库位"), this,
                           &BillEntryForm::SetToLocationForSelection);
    } else {
        rowMenu->addAction(QStringLiteral("批量设置库位"), this, &BillEntryForm::SetLocationForSelection);
    }
    if (kind.out || kind.isTransfer())
        rowMenu->addAction(QStringLiteral("选择批次"), this, &BillEntryForm::PickLotForRow);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& p) { rowMenu->popup(grid->viewport()->mapToGlobal(p)); });
    auto* total = new QHBoxLayout;
    total->addWidget(addRow);
    total->addWidget(delRow);
    total->addStretch(1);
    total->addWidget(new QLabel(kind.isTransfer() ? QStringLiteral("本单数量") : QStringLiteral("本单金额")));
    total->addWidget(txt_BillAmount);

    auto* top = new QWidget;
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(headRow);
    topLayout->addWidget(inputBox);
    auto* bottom = new QWidget;
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(grid, 1);
    bottomLayout->addLayout(total);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(toolbar);
    layout->addWidget(top);
    layout->addWidget(bottom, 1);
    resize(1180, 640);

    for (QLineEdit* e : {txt_ubillNo, txt_remark})
        connect(e, &QLineEdit::textEdited, this, [this] { m_dirty = true; });
    for (QComboBox* c : {cobo_accountType, cobo_billType})
        connect(c, &QComboBox::activated, this, [this] { m_dirty = true; });
    connect(dt_createDate, &QDateEdit::editingFinished, this, [this] {
        if (dt_createDate->isEnabled() && dt_createDate->date() != QDate::currentDate()) m_dirty = true;
    });
    m_inputBox = inputBox;
    m_rowButtons[0] = addRow;
    m_rowButtons[1] = delRow;

    for (QWidget* w : std::initializer_list<QWidget*>{
             txt_billNo, txt_partnerName, btn_searchPartner, cobo_accountType, cobo_billType, txt_ubillNo,
             txt_creator, dt_createDate, txt_remark, txt_goodsCode, txt_Qty, txt_price, cobo_location,
             btn_searchGoods, addRow, delRow, txt_BillAmount, grid, this})
        w->installEventFilter(this);
    if (cobo_toLocation) cobo_toLocation->installEventFilter(this);
    addKeys();

    FillDropDowns();
    NewBill();
}

BillEntryForm::~BillEntryForm() = default;

void BillEntryForm::buildGrid() {
    auto* numeric = new NumericKeysDelegate(grid);
    for (LineField f : {LineField::Price, LineField::Qty})
        grid->setItemDelegateForColumn(lines->column(f), numeric);
    grid->verticalHeader()->hide();
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c < lines->columnCount(); ++c)
        grid->setColumnWidth(c, lines->width(c));
}

void BillEntryForm::setCurrentCell(int row, LineField field) {
    grid->setCurrentIndex(lines->index(row, lines->column(field)));
}

int BillEntryForm::formId() const {
    return static_cast<int>(number(txt_id->text()));
}

bool BillEntryForm::isApproved() const {
    return passAction->text() == QStringLiteral("反审");
}

void BillEntryForm::refuse(const QString& text, QWidget* focus) {
    Refuse(this, text, focus);
}

void BillEntryForm::FillDropDowns() {
    FillCombo(cobo_accountType,
              "select id,uname  from tb_dictionary where (utype='accountType') and (isstart=1) and (id in (" +
                  SysVar().Sys_accountJoinId + ")) order by id,orderby",
              "uname");
    if (!m_kind.isTransfer())
        FillCombo(
            cobo_billType,
            QStringLiteral("select id,uname  from tb_dictionary where (utype='%1') and (isstart=1) order by "
                           "id,orderby")
                .arg(m_kind.typeDict),
            "uname");
    for (QComboBox* c : {cobo_location, cobo_toLocation})
        if (c)
            FillCombo(c,
                      "select id,locationCode  from tb_location where (state=1) and (isLock=0) and (id in (" +
                          SysVar().Sys_locationJoinId + ")) order by id,orderby",
                      "locationCode");
}

m_location BillEntryForm::availableLocation(const QString& code) {
    m_location place;
    const RecordSet rs = dal_location().GetDataTable(" and locationCode='" + sqlHelper::EscapeQuote(code) +
                                                     "' and state=1 and isLock=0 and id in (" +
                                                     SysVar().Sys_locationJoinId + ")");
    if (rs.RecordCount() > 0) {
        place.id = rs.value("id").toInt();
        place.locationCode = acc::valueText(rs.value("locationCode"));
    }
    return place;
}

void BillEntryForm::lineTyped(int row, LineField field, const QString& text) {
    // new empty cells of an empty row change nothing
    if (!text.isEmpty() || lines->row(row).line.goodsId != 0) m_dirty = true;
    if (field == LineField::LocationCode || field == LineField::ToLocationCode)
        return locationTyped(row, field, text);
    if (field == LineField::Price || field == LineField::Qty) recalcTotal();
}

void BillEntryForm::locationTyped(int row, LineField field, const QString& text) {
    const bool to = field == LineField::ToLocationCode;
    auto set = [&](int id, const QString& code) {
        to ? lines->setToLocation(row, id, code) : lines->setLocation(row, id, code);
    };
    const QString code = text.trimmed();
    const m_location place = code.isEmpty() ? m_location() : availableLocation(code);
    if (code.isEmpty() || place.id > 0) return set(place.id, place.locationCode);
    // back to the line's location
    const int id = to ? lines->row(row).line.toLocationId : lines->row(row).line.locationId;
    set(id, id > 0 ? dal_location().GetModel(id).locationCode : QString());
    // told once the grid has closed the cell's editor, with the cursor back on the cell
    QMetaObject::invokeMethod(
        this,
        [this, row, code, field] {
            if (row < lines->rowCount()) setCurrentCell(row, field);
            refuse(QStringLiteral("库位[%1]不存在或不可用!").arg(code), grid);
        },
        Qt::QueuedConnection);
}

void BillEntryForm::showApproval(bool approved) {
    // an approved bill cannot be changed: its fields and lines are locked
    grid->setEditTriggers(approved ? QAbstractItemView::NoEditTriggers
                                   : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed);
    m_inputBox->setEnabled(!approved);
    for (QWidget* w :
         std::initializer_list<QWidget*>{btn_searchPartner, cobo_accountType, cobo_billType, txt_ubillNo,
                                         txt_remark, m_rowButtons[0], m_rowButtons[1]})
        w->setEnabled(!approved);
    for (QAction* a : rowMenu->actions())
        a->setEnabled(!approved);
    img_pass->setVisible(approved);
    img_nopass->setVisible(!approved);
    passAction->setText(approved ? QStringLiteral("反审") : QStringLiteral("审核"));
    passAction->setIcon(ThemeIcon(ThemeIconName(approved ? "unpass" : "pass"),
                                  approved ? QStringLiteral("反") : QStringLiteral("审"),
                                  approved ? QColor(120, 120, 120) : QColor(200, 60, 60)));
}

void BillEntryForm::hideStamps() {
    img_pass->hide();
    img_nopass->hide();
}

bool BillEntryForm::confirmDiscard() {
    if (!m_dirty) return true;
    return MsgBox::Confirm(QStringLiteral("当前单据已修改但尚未保存,是否放弃修改?"), windowTitle());
}

void BillEntryForm::closeEvent(QCloseEvent* event) {
    if (!confirmDiscard()) return event->ignore();
    m_dirty = false;
    QWidget::closeEvent(event);
}

void BillEntryForm::NewBill() {
    if (!confirmDiscard()) return;
    startNewBill();
}

void BillEntryForm::startNewBill() {
    for (QLineEdit* e : {txt_id, txt_partnerName, txt_partnerId, txt_remark, txt_ubillNo, txt_billNo})
        e->clear();
    txt_creator->setText(CurrentUser().user);
    dt_createDate->setDate(QDate::currentDate());
    dt_createDate->setEnabled(true);
    for (QComboBox* c : {cobo_accountType, cobo_billType, cobo_location})
        if (c->count() > 0) c->setCurrentIndex(0);
    if (cobo_toLocation) cobo_toLocation->setCurrentIndex(-1); // chosen on purpose: never the from location
    showApproval(false);
    hideStamps();
    lb_NoGoods->hide();
    lines->setRows({});
    rows->AddRow();
    txt_BillAmount->setText("0");
    m_dirty = false;
    if (m_kind.isTransfer())
        PaintRequired({cobo_accountType});
    else
        PaintRequired({txt_partnerName, cobo_accountType, cobo_billType});
}

void BillEntryForm::NewBillForPartner(int partnerId, const QString& partnerName) {
    if (!confirmDiscard()) return;
    startNewBill();
    txt_partnerId->setText(QString::number(partnerId));
    txt_partnerName->setText(partnerName);
}

void BillEntryForm::LoadBill(int id) {
    if (!confirmDiscard()) return;
    const BillEntryHead h = m_store->Load(id);
    if (h.id < 1) return refuse(QStringLiteral("当前记录不存在!"));
    txt_id->setText(QString::number(h.id));
    txt_partnerId->setText(QString::number(h.partnerId));
    txt_partnerName->setText(h.partnerName);
    txt_billNo->setText(h.billNo);
    txt_ubillNo->setText(h.ubillNo);
    txt_creator->setText(h.creator);
    if (const auto d = acc::parseDateText(h.createTime)) dt_createDate->setDate(d->date());
    dt_createDate->setEnabled(false);
    txt_remark->setText(h.remark);
    cobo_accountType->setCurrentIndex(cobo_accountType->findText(h.accountName));
    cobo_billType->setCurrentIndex(cobo_billType->findText(h.utype));
    showApproval(h.ispass == 1);
    lb_NoGoods->hide();
    std::vector<BillEntryRow> stored = m_store->Lines(h.id);
    if (stored.empty()) stored.emplace_back(); // a row to type into
    lines->setRows(std::move(stored));
    recalcTotal();
    m_dirty = false;
    grid->setFocus();
}

void BillEntryForm::RefreshBill() {
    if (formId() > 0) LoadBill(formId());
}

void BillEntryForm::SearchBill() {
    if (!CheckFunction(m_kind.codeSearch())) return;
    WindowRegistry::Open(m_kind.listWindow);
}

// ---- the grid ----

void BillEntryForm::recalcTotal() {
    if (m_kind.isTransfer()) return txt_BillAmount->setText(shortNumber(lines->totalQty()));
    txt_BillAmount->setText(
        acc::format(acc::format(lines->total(), SysVar().Sys_AmountFormat), QStringLiteral("￥#,##0.0#")));
}

void BillEntryForm::AddGridRow() {
    rows->AddRow();
}

void BillEntryForm::DeleteGridRow() {
    if (grid->currentIndex().isValid()) m_dirty = true;
    rows->DeleteRow();
    recalcTotal();
}

int BillEntryForm::addGoodsToGrid(const m_goods_detail& g, double qty, std::optional<double> ownPrice,
                                  const LotTake* lot) {
    int row = lines->rowCount() - 1;
    if (row < 0 || lines->row(row).line.goodsId != 0) {
        rows->AddRow();
        row = lines->rowCount() - 1;
    }
    BillEntryRow r;
    BillEntryLine& l = r.line;
    l.goodsId = g.headId;
    l.goodsTypeId = g.goodsTypeId;
    l.goodsCode = g.inputGoodsCode;
    l.goodsDetailCode = g.goodsDetailCode;
    l.goodsName = g.goodsName;
    l.goodsDesc = g.goodsDesc;
    l.goodsTypeName = g.goodsTypeName;
    l.unit = g.unit;
    l.packQty = g.packQty;
    l.weight = g.weight;
    l.inPrice = g.inPrice;
    l.salePrice = g.salePrice;
    l.locationId = g.locationId;
    r.locationCode = g.locationCode;
    if (lot) {
        l.lotNo = lot->lotNo;
        l.expiryDate = lot->expiryDate;
    }
    r.price = shortNumber(m_kind.out ? g.salePrice : g.inPrice);
    r.qty = shortNumber(qty);
    r.ownPrice = ownPrice;
    lines->setRow(row, std::move(r));
    recalcTotal();
    m_dirty = true;
    return row;
}

// ---- the input bar ----

bool BillEntryForm::confirmStock(const m_goods_detail& g, double qty) {
    const RecordSet stock = GoodsStockBalance(g.headId);
    if (stock.RecordCount() < 1) return true;
    const double balance = number(acc::valueText(stock.at(0, "totalBlanceQty")));
    const double outgoing = g.packQty * qty;
    const double difference = balance - outgoing;
    if (difference >= 0) return true;
    return MsgBox::Confirm(
        QStringLiteral("货品[%1]的库存总数(%2)-出库数(%3) = %4 出现负数,是否继续出库?")
            .arg(g.goodsName, shortNumber(balance), shortNumber(outgoing), shortNumber(difference)),
        windowTitle());
}

bool BillEntryForm::confirmTransferStock(const m_goods_detail& g, double qty, const m_location& from) {
    const int account = accountId();
    // what the bill's lines already take out of the location
    double taken = 0;
    for (const BillEntryRow& row : lines->rows())
        if (row.line.goodsId == g.headId && row.line.locationId == from.id)
            taken += row.line.packQty * number(row.qty);
    const QString question = TransferStockQuestion(g.headId, g.goodsName, account, from.id, from.locationCode,
                                                   g.packQty * qty, taken);
    return question.isEmpty() || MsgBox::Confirm(question, windowTitle());
}

void BillEntryForm::GoodsCodeEntered() {
    const QString code = txt_goodsCode->text();
    if (code.trimmed().isEmpty()) {
        lb_NoGoods->show();
        txt_goodsCode->setFocus();
        return;
    }
    lb_NoGoods->hide();
    // the location typed must be one the user may use; nothing is added otherwise
    const QString placeCode = cobo_location->currentText().trimmed();
    const m_location place = placeCode.isEmpty() ? m_location() : availableLocation(placeCode);
    if (!placeCode.isEmpty() && place.id < 1) {
        refuse(QStringLiteral("库位[%1]不存在或不可用!").arg(placeCode), cobo_location);
        if (cobo_location->lineEdit()) cobo_location->lineEdit()->selectAll();
        return;
    }
    const QString toCode = cobo_toLocation ? cobo_toLocation->currentText().trimmed() : QString();
    const m_location toPlace = toCode.isEmpty() ? m_location() : availableLocation(toCode);
    if (!toCode.isEmpty() && (toPlace.id < 1 || toPlace.id == place.id)) {
        refuse(toPlace.id < 1 ? QStringLiteral("库位[%1]不存在或不可用!").arg(toCode)
                              : QStringLiteral("调出库位和调入库位不能相同!"),
               cobo_toLocation);
        if (cobo_toLocation->lineEdit()) cobo_toLocation->lineEdit()->selectAll();
        return;
    }
    m_goods_detail g = m_goods.GetModelForInput(code, static_cast<int>(number(txt_goodsId->text())));
    if (g.irowsCount < 1) {
        ConditionSet c;
        c.AddItem("1", m_condition("status", "=", QStringLiteral("启用")));
        c.AddItem("2", m_condition("inputGoodsCode&goodsName&pinyin", "like", code));
        if (m_goods.GetListForInputAndCondition(c, "select count(*) ").recordSet.at(0, 0).toInt() < 1) {
            lb_NoGoods->show();
            txt_goodsCode->clear();
            return;
        }
        txt_goodsCode->clear();
        openGoodsLookup(code);
        return;
    }
    if (g.irowsCount > 1) {
        MsgBox::Show(
            QStringLiteral("找到%1个条码相同货品信息,单击【确定】后选择其中的一项").arg(g.irowsCount),
            MsgBox::Information, windowTitle());
        openGoodsLookup(code);
        return;
    }
    const double qty = number(txt_Qty->text());
    // a lot-tracked goods going out without a lot is shared out over its location's lots
    // the line leaves the location typed, else the goods' own
    m_location from = place;
    if (from.id < 1) {
        from.id = g.locationId;
        from.locationCode = g.locationCode;
    }
    const bool transferOut = m_kind.isTransfer() && from.id > 0;
    std::optional<LotSplit> split;
    if ((m_kind.out || transferOut) && GoodsLotTracked(g.headId)) {
        split = splitByLots(g, qty, from.id, from.locationCode);
        if (!split) return;
    } else if (m_kind.out && !confirmStock(g, qty)) {
        return;
    } else if (transferOut && !confirmTransferStock(g, qty, from)) {
        return;
    }
    std::optional<double> ownPrice;
    if (!m_kind.isTransfer()) {
        double& price = m_kind.out ? g.salePrice : g.inPrice;
        // the partner's last price, else the unit's own; a typed price comes before both
        if (txt_price->text().trimmed().isEmpty()) {
            ownPrice = price;
            if (const auto last = m_store->LastPrice(static_cast<int>(number(txt_partnerId->text())), code))
                price = *last;
        } else {
            price = number(txt_price->text());
        }
        if (place.id > 0) {
            g.locationCode = place.locationCode;
            g.locationId = place.id;
        }
    }
    auto addLine = [&](double q, const LotTake* lot) {
        const int row = addGoodsToGrid(g, q, ownPrice, lot);
        if (!m_kind.isTransfer()) return;
        if (place.id > 0) lines->setLocation(row, place.id, place.locationCode);
        if (toPlace.id > 0) lines->setToLocation(row, toPlace.id, toPlace.locationCode);
    };
    if (!split) {
        addLine(qty, nullptr);
    } else {
        for (const LotTake& take : split->takes)
            addLine(take.qty, &take);
        if (split->shortfall > 0 || split->takes.empty())
            addLine(split->takes.empty() ? qty : split->shortfall, nullptr);
    }
    txt_goodsCode->clear();
    txt_goodsId->clear();
    txt_price->clear();
    txt_Qty->setText("1");
    txt_goodsCode->setFocus();
}

int BillEntryForm::accountId() const {
    return dal_dictionary().GetModelForName("accountType", cobo_accountType->currentText()).id;
}

std::optional<LotSplit> BillEntryForm::splitByLots(const m_goods_detail& g, double qty, int locationId,
                                                   const QString& locationCode) {
    // what the bill's lines already take of each lot there
    QHash<QString, double> taken;
    for (const BillEntryRow& row : lines->rows())
        if (row.line.goodsId == g.headId && row.line.locationId == locationId)
            taken[row.line.lotNo] += row.line.packQty * number(row.qty);
    const LotSplit split = SplitByExpiry(
        GoodsLots(g.headId, QString::number(accountId()), locationId), taken, qty, g.packQty,
        QDate::currentDate(), [this](const LotBalance& lot) {
            return MsgBox::Confirm(
                QStringLiteral("批次[%1]已过期(%2),是否仍然出库?").arg(lot.lotNo, lot.expiryDate),
                windowTitle());
        });
    if (split.shortfall <= 0) return split;
    const double outgoing = g.packQty * qty;
    const QString question =
        m_kind.isTransfer()
            ? QStringLiteral("库位[%1]的货品[%2]批次库存(%3)-调出数(%4) = %5 出现负数,是否继续调拨?")
            : QStringLiteral("库位[%1]的货品[%2]批次库存(%3)-出库数(%4) = %5 出现负数,是否继续出库?");
    if (!MsgBox::Confirm(question.arg(locationCode.isEmpty() ? QStringLiteral("无") : locationCode,
                                      g.goodsName, shortNumber(split.available), shortNumber(outgoing),
                                      shortNumber(split.available - outgoing)),
                         windowTitle()))
        return std::nullopt;
    return split;
}

void BillEntryForm::PickLotForRow() {
    const int r = grid->currentIndex().row();
    if (isApproved()) return refuse(QStringLiteral("当前单据已审核,不能修改!"));
    if (r < 0 || r >= lines->rowCount() || lines->row(r).line.goodsId == 0)
        return refuse(QStringLiteral("请先选中一行货品!"), grid);
    BillEntryRow row = lines->row(r);
    const std::vector<LotBalance> lots =
        GoodsLots(row.line.goodsId, QString::number(accountId()), row.line.locationId);
    const QString place = row.locationCode.isEmpty() ? QStringLiteral("无") : row.locationCode;
    if (lots.empty())
        return refuse(QStringLiteral("库位[%1]没有货品[%2]的批次库存!").arg(place, row.line.goodsName), grid);
    const int chosen =
        ShowLots(this, QStringLiteral("选择批次 - %1 (库位 %2)").arg(row.line.goodsName, place), lots, true);
    if (chosen < 0) return;
    row.line.lotNo = lots[chosen].lotNo;
    row.line.expiryDate = lots[chosen].expiryDate;
    lines->setRow(r, std::move(row));
    m_dirty = true;
}

void BillEntryForm::SearchGoods() {
    openGoodsLookup(txt_goodsCode->text());
}

void BillEntryForm::openGoodsLookup(const QString& keyword) {
    frm_select dlg(this);
    dlg.setMode(m_kind.goodsMode);
    dlg.setSinglePick(true);
    dlg.setKeyword(keyword);
    dlg.RunSearch();
    RunModal(&dlg);
    const auto picked = dlg.picked<m_goods_detail>();
    if (picked.empty() || picked.front().id < 1) return;
    txt_goodsId->setText(QString::number(picked.front().id));
    txt_goodsCode->setText(picked.front().inputGoodsCode);
    txt_goodsCode->setFocus();
    GoodsCodeEntered();
}

void BillEntryForm::SearchPartner() {
    frm_select dlg(this);
    dlg.setMode(m_kind.partnerMode);
    dlg.setSinglePick(true);
    dlg.RunSearch();
    RunModal(&dlg);
    const auto picked = dlg.picked<m_customer>();
    if (picked.empty() || picked.front().customerCode.trimmed().isEmpty()) return;
    const bool changed = picked.front().id != static_cast<int>(number(txt_partnerId->text()));
    txt_partnerName->setText(picked.front().uname);
    txt_partnerId->setText(QString::number(picked.front().id));
    m_dirty = true;
    if (changed) repriceForPartner();
}

void BillEntryForm::repriceForPartner() {
    const int partner = static_cast<int>(number(txt_partnerId->text()));
    for (int r = 0; r < lines->rowCount(); ++r) {
        BillEntryRow row = lines->row(r);
        if (!row.ownPrice) continue; // typed, or stored with the bill
        const std::optional<double> last = m_store->LastPrice(partner, row.line.goodsCode);
        row.price = shortNumber(last.value_or(*row.ownPrice));
        lines->setRow(r, std::move(row));
    }
    recalcTotal();
}

void BillEntryForm::SetLocationForSelection() {
    setLocationsForSelection(LineField::LocationCode);
}

void BillEntryForm::SetToLocationForSelection() {
    setLocationsForSelection(LineField::ToLocationCode);
}

void BillEntryForm::setLocationsForSelection(LineField field) {
    frm_select dlg(this);
    dlg.setMode("location");
    dlg.RunSearch();
    RunModal(&dlg);
    const auto picked = dlg.picked<m_location>();
    if (lines->rowCount() == 0) rows->AddRow();
    if (picked.empty()) return;
    int from = grid->currentIndex().row(), to = from;
    for (const QItemSelectionRange& range : grid->selectionModel()->selection()) {
        from = std::min(from < 0 ? range.top() : from, range.top());
        to = std::max(to, range.bottom());
    }
    if (from < 0) from = to = 0;
    // the lookup's choice is taken as it is
    for (int r = from; r <= to && r < lines->rowCount(); ++r) {
        if (field == LineField::ToLocationCode)
            lines->setToLocation(r, picked.front().id, picked.front().locationCode);
        else
            lines->setLocation(r, picked.front().id, picked.front().locationCode);
        m_dirty = true;
    }
}

// ---- saving, approval, deletion ----

void BillEntryForm::SaveBill() {
    rows->CommitEdit();
    const bool isNew = formId() < 1;
    if (!CheckFunction(isNew ? m_kind.codeSave() : m_kind.codeUpdate())) return;
    BillHeadInput head;
    head.partnerName = txt_partnerName->text();
    head.partnerId = static_cast<int>(number(txt_partnerId->text()));
    head.accountName = cobo_accountType->currentText();
    head.typeName = cobo_billType->currentText();
    head.approved = isApproved();
    const BillProblem problem =
        CheckBill(head, lines->rows(),
                  {QString::fromUtf8(m_kind.partnerMissing), QString::fromUtf8(m_kind.typeMissing),
                   QString::fromUtf8(m_kind.locationMissing), lines->caption(LineField::Price),
                   lines->caption(LineField::Qty),
                   m_kind.isTransfer() ? QString::fromUtf8(m_kind.toLocationMissing) : QString()});
    switch (problem.where) {
    case BillProblem::Partner:
        return refuse(problem.text, btn_searchPartner);
    case BillProblem::Account:
        return refuse(problem.text, cobo_accountType);
    case BillProblem::Type:
        return refuse(problem.text, cobo_billType);
    case BillProblem::Approved:
        return refuse(problem.text);
    default:
        break;
    }
    for (int r : problem.dropped) // lines without goods go
        lines->removeRows(r, 1);
    if (lines->rowCount() == 0) rows->AddRow(); // the grid keeps one row to type into
    recalcTotal();
    if (problem.where == BillProblem::NoLines) return refuse(problem.text, txt_goodsCode);
    if (problem.where != BillProblem::None) {
        const LineField cell = problem.where == BillProblem::LineLocation     ? LineField::LocationCode
                               : problem.where == BillProblem::LineToLocation ? LineField::ToLocationCode
                               : problem.where == BillProblem::LineName       ? LineField::GoodsName
                               : problem.where == BillProblem::LinePrice      ? LineField::Price
                                                                              : LineField::Qty;
        setCurrentCell(problem.row, cell);
        return refuse(problem.text, grid);
    }
    if (m_kind.isTransfer() && refuseUnavailableLocations()) return;
    if (!checkLots()) return;
    if (!MsgBox::Confirm(QStringLiteral("确定保存当前单据吗?"), windowTitle())) return;

    BillEntryHead h;
    h.id = formId();
    h.billNo = txt_billNo->text();
    h.accountId = accountId();
    h.ubillNo = txt_ubillNo->text();
    h.utypeId = dal_dictionary().GetModelForName(m_kind.typeDict, cobo_billType->currentText()).id;
    h.partnerId = static_cast<int>(number(txt_partnerId->text()));
    h.partnerName = txt_partnerName->text();
    h.remark = txt_remark->text();
    h.creator = CurrentUser().user;
    h.createTime = dt_createDate->date().toString(SysVar().Sys_DateFormat);
    h.updateLastUser = CurrentUser().user;
    h.updateLastTime = FormatNow("yyyy-mm-dd hh:nn:ss");
    h.userId = CurrentUser().id;
    std::vector<BillEntryLine> stored;
    for (int r = 0; r < lines->rowCount(); ++r) {
        const BillEntryRow& row = lines->row(r);
        if (!HoldsGoods(row) || row.locationCode.trimmed().isEmpty()) continue;
        stored.push_back(lines->lineToStore(r));
    }
    const m_DBresult r = m_store->Save(h, stored);
    if (!r.isResult) return refuse(r.str_MsgBox);
    // stored prices are the bill's: they stay, as when the bill is loaded
    lines->keepPrices();
    showApproval(false);
    txt_billNo->setText(h.billNo);
    txt_id->setText(QString::number(h.id));
    dt_createDate->setEnabled(false);
    m_dirty = false;
    MsgBox::Show(QStringLiteral("保存成功!"), MsgBox::Information, windowTitle());
}

bool BillEntryForm::checkLots() {
    LotFacts facts;
    QHash<int, std::pair<bool, int>> settings; // each goods read once, however many lines it has
    facts.goods = [&settings](int goodsId) {
        if (const auto known = settings.constFind(goodsId); known != settings.constEnd()) return *known;
        const RecordSet rs = sqlHelper::ExecuteSql(
            "select lotTracked, shelfLifeDays from tb_goods_head where id=" + QString::number(goodsId));
        const std::pair<bool, int> s = rs.RecordCount() < 1
                                           ? std::pair(false, 0)
                                           : std::pair(rs.at(0, 0).toInt() != 0, rs.at(0, 1).toInt());
        settings.insert(goodsId, s);
        return s;
    };
    // a lot's expiry as the other approved stock-ins registered it (a withdrawn bill may correct its own)
    QHash<QPair<int, QString>, QString> registered;
    const int bill = m_kind.out || m_kind.isTransfer() ? 0 : formId();
    facts.registeredExpiry = [&registered, bill](int goodsId, const QString& lot) {
        const QPair<int, QString> key(goodsId, lot);
        if (!registered.contains(key)) registered.insert(key, RegisteredExpiry(goodsId, lot, bill));
        return registered.value(key);
    };
    std::vector<std::pair<int, QString>> fills;
    const bool stockIn = !m_kind.out && !m_kind.isTransfer();
    const BillProblem problem = CheckLots(lines->rows(), stockIn, QDate::currentDate(), facts, &fills);
    // the expiries found stand in their lines, whatever comes next
    for (const auto& [row, date] : fills) {
        BillEntryRow r = lines->row(row);
        r.line.expiryDate = date;
        lines->setRow(row, std::move(r));
    }
    if (problem.where == BillProblem::None) return true;
    const LineField cell = problem.where == BillProblem::LineLot              ? LineField::LotNo
                           : problem.where == BillProblem::LineProductionDate ? LineField::ProductionDate
                                                                              : LineField::ExpiryDate;
    setCurrentCell(problem.row, cell);
    refuse(problem.text, grid);
    return false;
}

bool BillEntryForm::refuseUnavailableLocations() {
    // the locations may have been disabled, locked, taken from the user or deleted since they were chosen
    QSet<int> usable;
    const RecordSet rs =
        sqlHelper::ExecuteSql("select id from tb_location where state=1 and isLock=0 and id in (" +
                              SysVar().Sys_locationJoinId + ")");
    for (int r = 0; r < rs.RecordCount(); ++r)
        usable.insert(rs.at(r, 0).toInt());
    for (int r = 0; r < lines->rowCount(); ++r) {
        const BillEntryRow& row = lines->row(r);
        if (!HoldsGoods(row)) continue;
        for (const auto& [id, code, field] :
             {std::tuple(row.line.locationId, row.locationCode, LineField::LocationCode),
              std::tuple(row.line.toLocationId, row.toLocationCode, LineField::ToLocationCode)}) {
            if (usable.contains(id)) continue;
            setCurrentCell(r, field);
            refuse(QStringLiteral("第%1行库位[%2]不存在或不可用!").arg(r + 1).arg(code), grid);
            return true;
        }
    }
    return false;
}

void BillEntryForm::PassBill() {
    if (txt_id->text().trimmed().isEmpty()) return refuse(QStringLiteral("当前记录不存在!"));
    const QString caption = passAction->text();
    const bool approve = caption == QStringLiteral("审核");
    if (!CheckFunction(approve ? m_kind.codePass() : m_kind.codeNoPass())) return;
    // approving what is stored while the window shows other lines would mislead
    if (approve && m_dirty) return refuse(QStringLiteral("当前单据已修改,请先保存再审核!"));
    if (!approve && !m_kind.isTransfer()) {
        const QString count = CountOfAdjustmentBill(m_kind.out, formId());
        if (!count.isEmpty()) return refuse(AdjustmentBillRefusal(count, caption));
    }
    // a transfer withdrawn after its goods left the to location takes that location below 0
    const QString shortfall =
        !approve && m_kind.isTransfer() ? TransferWithdrawalShortfall(formId()) : QString();
    if (!MsgBox::Confirm(shortfall.isEmpty() ? QStringLiteral("是否 [%1] 当前单据?").arg(caption) : shortfall,
                         windowTitle()))
        return;
    if (!m_store->SetPass(formId(), approve ? 1 : 0, CurrentUser().user, FormatNow("yyyy-mm-dd hh:nn:ss")))
        return refuse(QStringLiteral("当前单据已被删除!"));
    WindowRegistry::ApprovalsChanged();
    showApproval(approve);
    MsgBox::Show(caption + QStringLiteral("成功!"), MsgBox::Information, windowTitle());
}

void BillEntryForm::DeleteBill() {
    if (!CheckFunction(m_kind.codeDelete())) return;
    if (txt_id->text().trimmed().isEmpty()) return refuse(QStringLiteral("当前记录不存在!"));
    if (isApproved()) return refuse(QStringLiteral("当前单据已审核,不能删除!"));
    if (!MsgBox::Confirm(QStringLiteral("是否删除当前单据?"), windowTitle())) return;
    const m_DBresult r = m_store->Delete(formId());
    if (!r.isResult) return refuse(r.str_MsgBox);
    startNewBill();
    MsgBox::Show(QStringLiteral("删除成功!"), MsgBox::Information, windowTitle());
}

void BillEntryForm::PrintBill() {
    rows->CommitEdit();
    if (!CheckFunction(m_kind.codePrint())) return;
    // the print shows what is stored, so unsaved changes would not be on it
    if (m_dirty && !txt_id->text().trimmed().isEmpty())
        return refuse(QStringLiteral("当前单据已修改,请先保存再打印!"));
    m_kind.print(static_cast<int>(acc::val(txt_id->text())), windowTitle());
}
