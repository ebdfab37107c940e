#include "frmbillentry.h"
#include "bill.h"
#include "billprint.h"

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
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

struct BillEntryKind {
    bool out;
    const char* objectName;
    const char* title;
    const char* billNoLabel;
    const char* partnerLabel;
    const char* typeLabel;
    const char* partnerNameName;
    const char* partnerIdName;
    const char* partnerButtonName;
    const char* typeComboName;
    const char* typeDict;
    const char* priceBoxName;
    const char* gridName;
    const char* header;
    const char* partnerMode;
    const char* goodsMode;
    const char* partnerMissing;
    const char* typeMissing;
    const char* locationMissing;
    const char* listWindow; // the bill list report opened by "seachBill"
    QString (*codeSave)();
    QString (*codeUpdate)();
    QString (*codeDelete)();
    QString (*codePass)();
    QString (*codeNoPass)();
    QString (*codePrint)();
    QString (*codeSearch)();
    std::unique_ptr<BillStore> (*store)();
};

namespace {

const BillEntryKind kImportKind{false,
                                "frmImport",
                                "入库业务",
                                "入库单号:",
                                "供应商:",
                                "入库类别:",
                                "txt_supplierName",
                                "txt_supplierId",
                                "btn_searchSupplier",
                                "cobo_importType",
                                "importType",
                                "txt_inPrice",
                                "vs_import",
                                "^序号|^选中|<ID|<goodsId|<goodsTypeId|<货品编码或条码    "
                                "|<goodsDetailCode|<货品名称        |<规格        |<货品类别  "
                                "|^单位  |>内装数|>重量   |>进价     |>数量   |>金额     "
                                "|>locationId|>存放库位   |<批次号    |<备注      ",
                                "supplier",
                                "inputGoods",
                                "供应商不能为空!",
                                "请选择入库类型!",
                                "存放库位不能为空,可以单击【鼠标右键】去批量预设!",
                                "frm_rpt_rkHead",
                                &m_funCode::import_save,
                                &m_funCode::import_update,
                                &m_funCode::import_delete,
                                &m_funCode::import_pass,
                                &m_funCode::import_nopass,
                                &m_funCode::import_print,
                                &m_funCode::rpt_rkbill,
                                &NewStockInStore};

const BillEntryKind kExportKind{true,
                                "frmExport",
                                "出库业务",
                                "出库单号:",
                                "客户:",
                                "出库类别:",
                                "txt_customerName",
                                "txt_customerId",
                                "btn_searchCustomer",
                                "cobo_exportType",
                                "exportType",
                                "txt_salePrice",
                                "vs_export",
                                "^序号|^选中|<ID|<goodsId|<goodsTypeId|<货品编码或条码    "
                                "|<goodsDetailCode|<货品名称        |<规格        |<货品类别  "
                                "|^单位  |>内装数|>重量   |>进价     |>售价     |>数量   |>金额     "
                                "|>locationId|>取货库位   |<批次号    |<备注      ",
                                "customer",
                                "inputGoodsForExport",
                                "客户不能为空!",
                                "请选择出库类型!",
                                "取货库位不能为空,可以单击【鼠标右键】去批量预设!",
                                "frm_rpt_ckHead",
                                &m_funCode::export_save,
                                &m_funCode::export_update,
                                &m_funCode::export_delete,
                                &m_funCode::export_pass,
                                &m_funCode::export_nopass,
                                &m_funCode::export_print,
                                &m_funCode::export_searchBill,
                                &NewStockOutStore};

const char* const kImportLines =
    "select 0,id,goodsId,goodsTypeId,goodsCode,goodsDetailCode,goodsName,goodsDesc,"
    "goodsTypeName,unit,packQty,weight,inPrice,qty,totalAmount,locationId,"
    "locationCode,lotNo,remark  ";
const char* const kExportLines =
    "select 0,id,goodsId,goodsTypeId,goodsCode,goodsDetailCode,goodsName,goodsDesc,"
    "goodsTypeName,unit,packQty,weight,inPrice,salePrice,qty,totalAmount,locationId,"
    "locationCode,lotNo,remark  ";

double number(const QString& text) {
    return acc::val(text);
}

// On a price cell filled in automatically: the unit's own price (gone once the price is typed).
constexpr int kOwnPriceRole = Qt::UserRole + 1;

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

// Cells the user may not edit: codes, units, pack quantities, amounts, locations.
class ReadOnlyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override {
        return nullptr;
    }
};

// The approval stamp: a red ring with 已审核, a grey one with 未审核.
QPixmap stamp(const QString& text, const QColor& color) {
    QPixmap pm(96, 96);
    pm.fill(Qt::transparent);
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

QLabel* stampLabel(const char* name, const QString& text, const QColor& color) {
    auto* l = new QLabel;
    l->setObjectName(name);
    l->setPixmap(stamp(text, color));
    l->setFixedSize(96, 96);
    return l;
}

} // namespace

bool BillEntryForm::isStockOut() const {
    return m_kind.out;
}

BillEntryForm::BillEntryForm(const BillEntryKind& kind, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_store(kind.store()) {
    setObjectName(kind.objectName);
    setWindowTitle(QString::fromUtf8(kind.title));
    if (kind.out) {
        m_cols.salePrice = 14;
        m_cols.qty = 15;
        m_cols.amount = 16;
        m_cols.locationId = 17;
        m_cols.locationCode = 18;
        m_cols.lotNo = 19;
        m_cols.remark = 20;
        m_cols.count = 21;
    }

    auto* toolbar = NewFormToolBar();
    AddToolAction(toolbar, this, "add", "新建", "新", QColor(46, 139, 87), &BillEntryForm::NewBill);
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
    for (int c : {1, 3, 5})
        head->setColumnStretch(c, 1);
    auto* stamps = new QHBoxLayout;
    stamps->addWidget(img_pass);
    stamps->addWidget(img_nopass);
    auto* headRow = new QHBoxLayout;
    headRow->addLayout(head, 1);
    headRow->addLayout(stamps);

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
    auto* inputBox = new QGroupBox(QStringLiteral("F3:数量       F5:价格         F6:库位"));
    auto* input = new QHBoxLayout(inputBox);
    input->addWidget(new QLabel(QStringLiteral("货品信息:")));
    input->addWidget(txt_goodsCode, 3);
    input->addWidget(btn_searchGoods);
    input->addWidget(new QLabel(QStringLiteral("数量:")));
    input->addWidget(txt_Qty);
    input->addWidget(new QLabel(QStringLiteral("价格:")));
    input->addWidget(txt_price);
    input->addWidget(new QLabel(QStringLiteral("库位:")));
    input->addWidget(cobo_location, 1);
    input->addWidget(lb_NoGoods);

    // grid
    grid = new QTableWidget;
    grid->setObjectName(kind.gridName);
    buildGrid();
    rows = new uvg(this);
    rows->init(grid, 0);
    rows->setEnterMovesOn(true);
    // a new row shows at once which cells it needs
    connect(grid->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { paintRequiredCells(first, last); });
    auto* addRow = NamedButton("btn_addRow", "增加明细行");
    auto* delRow = NamedButton("btn_delRow", "删除明细行");
    connect(addRow, &QPushButton::clicked, this, &BillEntryForm::AddGridRow);
    connect(delRow, &QPushButton::clicked, this, &BillEntryForm::DeleteGridRow);
    rowMenu = new QMenu(this);
    rowMenu->addAction(QStringLiteral("增加行"), this, &BillEntryForm::AddGridRow);
    rowMenu->addAction(QStringLiteral("删除行"), this, &BillEntryForm::DeleteGridRow);
    rowMenu->addAction(QStringLiteral("批量设置库位"), this, &BillEntryForm::SetLocationForSelection);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QTableWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { rowMenu->popup(grid->viewport()->mapToGlobal(p)); });
    connect(grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (m_recalculating || item->column() == m_cols.no) return; // uvg numbers its rows
        // new empty cells of an empty row change nothing
        if (!item->text().isEmpty() || number(cell(item->row(), m_cols.goodsId)) != 0) m_dirty = true;
        if (item->column() == m_cols.locationCode) return locationTyped(item);
        if (item->column() == m_cols.price() && item->data(kOwnPriceRole).isValid()) {
            m_recalculating = true; // a typed price stays whatever the partner
            item->setData(kOwnPriceRole, QVariant());
            m_recalculating = false;
        }
        if (item->column() == m_cols.price() || item->column() == m_cols.qty) {
            recalcRow(item->row());
            recalcTotal();
        }
    });
    connect(grid, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous) {
        if (row != previous) paintRequiredCells();
    });
    auto* total = new QHBoxLayout;
    total->addWidget(addRow);
    total->addWidget(delRow);
    total->addStretch(1);
    total->addWidget(new QLabel(QStringLiteral("本单金额")));
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

    FillDropDowns();
    NewBill();
}

BillEntryForm::~BillEntryForm() = default;

void BillEntryForm::buildGrid() {
    SetGridHeader(grid, QString::fromUtf8(m_kind.header));
    for (int c : {m_cols.check, m_cols.id, m_cols.goodsId, m_cols.goodsTypeId, m_cols.detailCode,
                  m_cols.goodsType, m_cols.locationId})
        grid->setColumnHidden(c, true);
    if (m_kind.out) grid->setColumnHidden(m_cols.inPrice, true);
    // cells the user may not edit are marked for uvg and made read-only per row
    // (a location code may be typed; it is checked as in the input bar)
    for (int c : {m_cols.no, m_cols.goodsCode, m_cols.goodsType, m_cols.unit, m_cols.packQty, m_cols.weight,
                  m_cols.amount, m_cols.locationId})
        grid->horizontalHeaderItem(c)->setData(Qt::UserRole, "readonly");
    auto* numeric = new NumericKeysDelegate(grid);
    for (int c : {m_cols.price(), m_cols.qty})
        grid->setItemDelegateForColumn(c, numeric);
    auto* readOnly = new ReadOnlyDelegate(grid);
    for (int c : {m_cols.no, m_cols.goodsCode, m_cols.goodsType, m_cols.unit, m_cols.packQty, m_cols.weight,
                  m_cols.amount, m_cols.locationId})
        grid->setItemDelegateForColumn(c, readOnly);
    grid->verticalHeader()->hide();
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    const std::pair<int, int> widths[] = {
        {m_cols.no, 44},     {m_cols.goodsCode, 150}, {m_cols.goodsName, 160},   {m_cols.goodsDesc, 110},
        {m_cols.unit, 56},   {m_cols.packQty, 64},    {m_cols.weight, 60},       {m_cols.price(), 80},
        {m_cols.qty, 80},    {m_cols.amount, 90},     {m_cols.locationCode, 90}, {m_cols.lotNo, 90},
        {m_cols.remark, 110}};
    for (const auto& [column, width] : widths)
        grid->setColumnWidth(column, width);
    grid->setRowCount(0);
}

QString BillEntryForm::cell(int row, int column) const {
    return CellText(grid, row, column);
}

void BillEntryForm::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    item->setText(text);
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
    FillCombo(
        cobo_billType,
        QStringLiteral("select id,uname  from tb_dictionary where (utype='%1') and (isstart=1) order by "
                       "id,orderby")
            .arg(m_kind.typeDict),
        "uname");
    FillCombo(cobo_location,
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

void BillEntryForm::locationTyped(QTableWidgetItem* item) {
    const int row = item->row();
    const QString code = item->text().trimmed();
    const m_location place = code.isEmpty() ? m_location() : availableLocation(code);
    m_recalculating = true;
    if (code.isEmpty() || place.id > 0) {
        item->setText(place.locationCode);
        setCell(row, m_cols.locationId, QString::number(place.id));
    } else { // back to the line's location
        const int id = static_cast<int>(number(cell(row, m_cols.locationId)));
        item->setText(id > 0 ? dal_location().GetModel(id).locationCode : QString());
    }
    m_recalculating = false;
    if (code.isEmpty() || place.id > 0) return;
    // told once the grid has closed the cell's editor, with the cursor back on the cell
    QMetaObject::invokeMethod(
        this,
        [this, row, code] {
            if (row < grid->rowCount()) grid->setCurrentCell(row, m_cols.locationCode);
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
    passAction->setIcon(GlyphIcon(approved ? QStringLiteral("反") : QStringLiteral("审"),
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
    showApproval(false);
    hideStamps();
    m_recalculating = true;
    grid->setRowCount(0);
    rows->AddRow();
    m_recalculating = false;
    paintRequiredCells();
    txt_BillAmount->setText("0");
    m_dirty = false;
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
    const RecordSet lines = m_store->Lines(h.id, m_kind.out ? kExportLines : kImportLines);
    m_recalculating = true;
    grid->setRowCount(0);
    grid->setRowCount(std::max(1, lines.RecordCount()));
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            setCell(r, c, r < lines.RecordCount() && c > 0 ? acc::valueText(lines.at(r, c - 1)) : QString());
    for (int r = 0; r < lines.RecordCount(); ++r) {
        setCell(r, m_cols.no, QString::number(r + 1));
        recalcRow(r);
    }
    m_recalculating = false;
    recalcTotal();
    paintRequiredCells();
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

void BillEntryForm::recalcRow(int row) {
    const bool was = m_recalculating;
    m_recalculating = true;
    const QString priceText = cell(row, m_cols.price()), qtyText = cell(row, m_cols.qty);
    const std::optional<double> price = NumberValue(priceText, true);
    const std::optional<double> qty = NumberValue(qtyText, true);
    // a price or quantity that is not one number stays as typed (the save refuses
    // it), and an empty one stays empty, as does the amount until both are filled
    if (price && !priceText.trimmed().isEmpty())
        setCell(row, m_cols.price(), acc::format(*price, SysVar().Sys_PriceFormat));
    setCell(row, m_cols.amount,
            price && qty && !priceText.trimmed().isEmpty() && !qtyText.trimmed().isEmpty()
                ? acc::format(*price * *qty, SysVar().Sys_AmountFormat)
                : QString());
    m_recalculating = was;
}

void BillEntryForm::recalcTotal() {
    double total = 0;
    for (int r = 0; r < grid->rowCount(); ++r)
        total += number(acc::format(number(cell(r, m_cols.amount)), SysVar().Sys_AmountFormat));
    txt_BillAmount->setText(
        acc::format(acc::format(total, SysVar().Sys_AmountFormat), QStringLiteral("￥#,##0.0#")));
}

void BillEntryForm::paintRequiredCells(int first, int last) {
    const QColor c = QColor::fromRgb(SysVar().Sys_NotNullColor);
    const bool was = m_recalculating;
    m_recalculating = true;
    for (int r = first; r <= (last < 0 ? grid->rowCount() - 1 : last); ++r)
        for (int col : {m_cols.price(), m_cols.qty, m_cols.locationCode}) {
            if (!grid->item(r, col)) setCell(r, col, QString());
            grid->item(r, col)->setBackground(c);
        }
    m_recalculating = was;
}

void BillEntryForm::AddGridRow() {
    m_recalculating = true;
    rows->AddRow();
    m_recalculating = false;
    paintRequiredCells();
}

void BillEntryForm::DeleteGridRow() {
    if (grid->currentRow() >= 0) m_dirty = true;
    rows->DeleteRow();
    recalcTotal();
}

void BillEntryForm::addGoodsToGrid(const m_goods_detail& g, double qty, std::optional<double> ownPrice) {
    int row = grid->rowCount() - 1;
    if (row < 0 || number(cell(row, m_cols.goodsId)) != 0) {
        rows->AddRow();
        row = grid->rowCount() - 1;
    }
    m_recalculating = true;
    setCell(row, m_cols.check, "0");
    setCell(row, m_cols.id, "0");
    setCell(row, m_cols.goodsId, QString::number(g.headId));
    setCell(row, m_cols.goodsTypeId, QString::number(g.goodsTypeId));
    setCell(row, m_cols.goodsCode, g.inputGoodsCode);
    setCell(row, m_cols.detailCode, g.goodsDetailCode);
    setCell(row, m_cols.goodsName, g.goodsName);
    setCell(row, m_cols.goodsDesc, g.goodsDesc);
    setCell(row, m_cols.goodsType, g.goodsTypeName);
    setCell(row, m_cols.unit, g.unit);
    setCell(row, m_cols.packQty, shortNumber(g.packQty));
    setCell(row, m_cols.weight, shortNumber(g.weight));
    setCell(row, m_cols.inPrice, shortNumber(g.inPrice));
    if (m_cols.salePrice >= 0) setCell(row, m_cols.salePrice, shortNumber(g.salePrice));
    setCell(row, m_cols.qty, shortNumber(qty));
    setCell(row, m_cols.locationCode, g.locationCode);
    setCell(row, m_cols.locationId, QString::number(g.locationId));
    grid->item(row, m_cols.price())->setData(kOwnPriceRole, ownPrice ? QVariant(*ownPrice) : QVariant());
    recalcRow(row);
    m_recalculating = false;
    recalcTotal();
    paintRequiredCells();
    m_dirty = true;
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
    if (m_kind.out && !confirmStock(g, qty)) return;
    double& price = m_kind.out ? g.salePrice : g.inPrice;
    // the partner's last price, else the unit's own; a typed price comes before both
    std::optional<double> ownPrice;
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
    addGoodsToGrid(g, qty, ownPrice);
    txt_goodsCode->clear();
    txt_goodsId->clear();
    txt_price->clear();
    txt_Qty->setText("1");
    txt_goodsCode->setFocus();
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
    m_recalculating = true;
    for (int r = 0; r < grid->rowCount(); ++r) {
        const QTableWidgetItem* item = grid->item(r, m_cols.price());
        const QVariant own = item ? item->data(kOwnPriceRole) : QVariant();
        if (!own.isValid()) continue; // typed, or stored with the bill
        const std::optional<double> last = m_store->LastPrice(partner, cell(r, m_cols.goodsCode));
        setCell(r, m_cols.price(), shortNumber(last.value_or(own.toDouble())));
        recalcRow(r);
    }
    m_recalculating = false;
    recalcTotal();
}

void BillEntryForm::SetLocationForSelection() {
    frm_select dlg(this);
    dlg.setMode("location");
    dlg.RunSearch();
    RunModal(&dlg);
    const auto picked = dlg.picked<m_location>();
    if (grid->rowCount() == 0) rows->AddRow();
    if (picked.empty()) return;
    int from = grid->currentRow(), to = from;
    for (const QTableWidgetSelectionRange& range : grid->selectedRanges()) {
        from = std::min(from < 0 ? range.topRow() : from, range.topRow());
        to = std::max(to, range.bottomRow());
    }
    if (from < 0) from = to = 0;
    m_recalculating = true; // the lookup's choice is taken as it is
    for (int r = from; r <= to && r < grid->rowCount(); ++r) {
        setCell(r, m_cols.locationCode, picked.front().locationCode);
        setCell(r, m_cols.locationId, QString::number(picked.front().id));
        m_dirty = true;
    }
    m_recalculating = false;
}

// ---- saving, approval, deletion ----

QString BillEntryForm::badNumber(int row, QTableWidgetItem** problemCell) const {
    for (int c : {m_cols.price(), m_cols.qty}) {
        const std::optional<double> v = NumberValue(cell(row, c), true);
        QString problem;
        if (!v)
            problem = QStringLiteral("第%1行%2不是有效的数字,请重新输入!")
                          .arg(row + 1)
                          .arg(grid->horizontalHeaderItem(c)->text());
        else if (*v < 0) // a correction is a bill of the other kind, not a negative line
            problem = QStringLiteral("第%1行%2不能小于0!")
                          .arg(row + 1)
                          .arg(c == m_cols.qty ? QStringLiteral("数量") : QStringLiteral("价格"));
        if (!problem.isEmpty()) {
            *problemCell = grid->item(row, c);
            return problem;
        }
    }
    return {};
}

void BillEntryForm::SaveBill() {
    rows->CommitEdit();
    const bool isNew = formId() < 1;
    if (!CheckFunction(isNew ? m_kind.codeSave() : m_kind.codeUpdate())) return;
    if (txt_partnerName->text().trimmed().isEmpty() || number(txt_partnerId->text()) < 1)
        return refuse(QString::fromUtf8(m_kind.partnerMissing), btn_searchPartner);
    if (cobo_accountType->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("请选择账目标识!"), cobo_accountType);
    if (cobo_billType->currentText().trimmed().isEmpty())
        return refuse(QString::fromUtf8(m_kind.typeMissing), cobo_billType);
    if (isApproved()) return refuse(QStringLiteral("当前单据已审核,不能保存!"));
    // incomplete rows go, from the last up; the walk stops at the first
    // (lowest) row that lacks its location or name, or whose price or
    // quantity is no number or below 0 (rows above it keep their numbers)
    QString problem;
    QTableWidgetItem* problemCell = nullptr;
    for (int r = grid->rowCount() - 1; r >= 0 && problem.isEmpty(); --r) {
        if (cell(r, m_cols.goodsCode).trimmed().isEmpty() || number(cell(r, m_cols.goodsId)) == 0 ||
            number(cell(r, m_cols.goodsTypeId)) == 0) {
            grid->removeRow(r);
            continue;
        }
        if (cell(r, m_cols.locationCode).trimmed().isEmpty()) {
            problem = QString::fromUtf8(m_kind.locationMissing);
            problemCell = grid->item(r, m_cols.locationCode);
        } else if (cell(r, m_cols.goodsName).trimmed().isEmpty()) {
            problem = QStringLiteral("货品名称不能为空!");
            problemCell = grid->item(r, m_cols.goodsName);
        } else {
            problem = badNumber(r, &problemCell);
        }
    }
    const bool noLines = grid->rowCount() == 0;
    if (noLines) rows->AddRow(); // the grid keeps one row to type into
    rows->Renumber();
    recalcTotal();
    if (!problem.isEmpty()) {
        if (problemCell) grid->setCurrentItem(problemCell);
        return refuse(problem, grid);
    }
    // a bill without goods moves no stock and would only take a number
    if (noLines) return refuse(QStringLiteral("当前单据没有货品明细,不能保存!"), txt_goodsCode);
    if (!MsgBox::Confirm(QStringLiteral("确定保存当前单据吗?"), windowTitle())) return;

    BillEntryHead h;
    h.id = formId();
    h.billNo = txt_billNo->text();
    h.accountId = dal_dictionary().GetModelForName("accountType", cobo_accountType->currentText()).id;
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
    std::vector<BillEntryLine> lines;
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (cell(r, m_cols.goodsCode).trimmed().isEmpty() || number(cell(r, m_cols.goodsId)) == 0 ||
            number(cell(r, m_cols.goodsTypeId)) == 0 || cell(r, m_cols.locationCode).trimmed().isEmpty())
            continue;
        BillEntryLine l;
        l.rowNo = static_cast<int>(number(cell(r, m_cols.no)));
        l.goodsId = static_cast<int>(number(cell(r, m_cols.goodsId)));
        l.goodsTypeId = static_cast<int>(number(cell(r, m_cols.goodsTypeId)));
        l.goodsCode = cell(r, m_cols.goodsCode);
        l.goodsName = cell(r, m_cols.goodsName);
        l.goodsDesc = cell(r, m_cols.goodsDesc);
        l.goodsTypeName = cell(r, m_cols.goodsType);
        l.unit = cell(r, m_cols.unit);
        l.packQty = number(cell(r, m_cols.packQty));
        l.weight = number(cell(r, m_cols.weight));
        l.inPrice = number(cell(r, m_cols.inPrice));
        if (m_cols.salePrice >= 0) l.salePrice = number(cell(r, m_cols.salePrice));
        l.qty = number(cell(r, m_cols.qty));
        l.locationId = static_cast<int>(number(cell(r, m_cols.locationId)));
        l.lotNo = cell(r, m_cols.lotNo);
        l.remark = cell(r, m_cols.remark);
        l.goodsDetailCode = cell(r, m_cols.detailCode);
        lines.push_back(l);
    }
    const m_DBresult r = m_store->Save(h, lines);
    if (!r.isResult) return refuse(r.str_MsgBox);
    // stored prices are the bill's: they stay, as when the bill is loaded
    m_recalculating = true;
    for (int row = 0; row < grid->rowCount(); ++row)
        if (QTableWidgetItem* item = grid->item(row, m_cols.price()))
            item->setData(kOwnPriceRole, QVariant());
    m_recalculating = false;
    showApproval(false);
    txt_billNo->setText(h.billNo);
    txt_id->setText(QString::number(h.id));
    dt_createDate->setEnabled(false);
    m_dirty = false;
    MsgBox::Show(QStringLiteral("保存成功!"), MsgBox::Information, windowTitle());
}

void BillEntryForm::PassBill() {
    if (txt_id->text().trimmed().isEmpty()) return refuse(QStringLiteral("当前记录不存在!"));
    const QString caption = passAction->text();
    const bool approve = caption == QStringLiteral("审核");
    if (!CheckFunction(approve ? m_kind.codePass() : m_kind.codeNoPass())) return;
    // approving what is stored while the window shows other lines would mislead
    if (approve && m_dirty) return refuse(QStringLiteral("当前单据已修改,请先保存再审核!"));
    if (!approve) {
        const QString count = CountOfAdjustmentBill(m_kind.out, formId());
        if (!count.isEmpty()) return refuse(AdjustmentBillRefusal(count, caption));
    }
    if (!MsgBox::Confirm(QStringLiteral("是否 [%1] 当前单据?").arg(caption), windowTitle())) return;
    if (!m_store->SetPass(formId(), approve ? 1 : 0, CurrentUser().user, FormatNow("yyyy-mm-dd hh:nn:ss")))
        return refuse(QStringLiteral("当前单据已被删除!"));
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
    ::PrintBill(m_kind.out, static_cast<int>(acc::val(txt_id->text())), windowTitle());
}

// ---- keys ----

bool BillEntryForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    const int k = key->key();
    const bool inGrid = watched == grid;
    const bool command =
        ctrl && (k == Qt::Key_F || k == Qt::Key_S || k == Qt::Key_A || k == Qt::Key_P || k == Qt::Key_Z);
    // saving and printing work wherever the focus is in the form: keys the
    // grid's cell editors leave come on to the grid, the others' to the form
    const bool anywhere = ctrl && (k == Qt::Key_S || k == Qt::Key_P);
    if (event->type() == QEvent::ShortcutOverride) {
        // the form's commands come before what a text box would do with these keys
        if (anywhere || (command && !inGrid && watched != this)) {
            event->accept();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    if (anywhere) {
        if (k == Qt::Key_S)
            SaveBill();
        else
            PrintBill();
        return true;
    }
    if (watched == this) return QWidget::eventFilter(watched, event);
    if (inGrid) {
        if (ctrl && k == Qt::Key_Z) {
            txt_goodsCode->setFocus();
            return true;
        }
        if ((k == Qt::Key_Return || k == Qt::Key_Enter) &&
            (grid->currentColumn() == m_cols.goodsCode || grid->currentColumn() == m_cols.unit)) {
            grid->setCurrentCell(grid->currentRow(), m_cols.weight);
            return true;
        }
        return QWidget::eventFilter(watched, event); // uvg's keys, Ctrl+A among them
    }
    if (command) {
        if (k == Qt::Key_F) SearchGoods();
        if (k == Qt::Key_A) NewBill();
        if (k == Qt::Key_Z) {
            if (watched == txt_goodsCode) {
                grid->setFocus();
                if (grid->rowCount() > 0)
                    grid->setCurrentCell(std::max(0, grid->currentRow()), m_cols.price());
            } else {
                txt_goodsCode->setFocus();
            }
        }
        return true;
    }
    if (k == Qt::Key_F3 || k == Qt::Key_F5 || k == Qt::Key_F6) {
        QWidget* target = k == Qt::Key_F3   ? static_cast<QWidget*>(txt_Qty)
                          : k == Qt::Key_F5 ? static_cast<QWidget*>(txt_price)
                                            : static_cast<QWidget*>(cobo_location);
        target->setFocus();
        // what is typed next replaces the box's text
        if (auto* e = qobject_cast<QLineEdit*>(target)) e->selectAll();
        if (target == cobo_location && cobo_location->lineEdit()) cobo_location->lineEdit()->selectAll();
        return true;
    }
    if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        if (watched == txt_goodsCode) {
            GoodsCodeEntered();
            return true;
        }
        if (watched == cobo_location) {
            const QString code = cobo_location->currentText().trimmed();
            if (!code.isEmpty() && availableLocation(code).id < 1) {
                refuse(QStringLiteral("库位[%1]不存在或不可用!").arg(code), cobo_location);
                if (cobo_location->lineEdit()) cobo_location->lineEdit()->selectAll();
                return true;
            }
        }
        if (watched == txt_Qty || watched == txt_price || watched == cobo_location) {
            txt_goodsCode->setFocus();
            txt_goodsCode->selectAll();
            return true;
        }
        if (qobject_cast<QPushButton*>(watched)) return QWidget::eventFilter(watched, event);
        focusNextChild();
        return true;
    }
    if (watched == txt_Qty || watched == txt_price) {
        // digits, Backspace and the point only; other keys are dropped silently
        const QString t = key->text();
        if (!t.isEmpty() && t.at(0).isPrint() && !t.at(0).isDigit() && t != ".") return true;
    }
    return QWidget::eventFilter(watched, event);
}

frmImport::frmImport(QWidget* parent) : BillEntryForm(kImportKind, parent) {}

frmExport::frmExport(QWidget* parent) : BillEntryForm(kExportKind, parent) {}
