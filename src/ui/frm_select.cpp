#include "frm_select.h"

#include "data/accesstext.h"
#include "data/appenv.h"
#include "lotdialog.h"
#include "widgethelpers.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QHash<QString, frm_select::Mode>& modes() {
    static QHash<QString, frm_select::Mode> m;
    return m;
}

} // namespace

QString frm_select::CellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void frm_select::RegisterMode(const QString& name, Mode mode) {
    modes().insert(name, std::move(mode));
}
bool frm_select::HasMode(const QString& name) {
    return modes().contains(name);
}

frm_select::frm_select(QWidget* parent) : QDialog(parent) {
    setObjectName("frm_select");
    setWindowTitle(QStringLiteral("信息查找"));
    utxtkeyword = new QLineEdit;
    utxtkeyword->setObjectName("utxtkeyword");
    utxtkeyword->setPlaceholderText(QStringLiteral("输入关键字查找"));
    vgInput = new QTableWidget;
    vgInput->setObjectName("vgInput");
    vgInput->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vgInput->setSelectionBehavior(QAbstractItemView::SelectRows);
    vgInput->verticalHeader()->hide();
    vgInput->setAlternatingRowColors(true);
    Lblinfor = new QLabel(QStringLiteral("当前找到[ 0 ]条记录"));
    Lblinfor->setObjectName("Lblinfor");
    B_SelectInput = new QPushButton(QStringLiteral("确定"));
    B_SelectInput->setObjectName("B_SelectInput");
    B_SelectInput->setAutoDefault(false);
    B_AllSelect = new QPushButton(QStringLiteral("全选"));
    B_AllSelect->setObjectName("B_AllSelect");
    B_AllSelect->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("关键字:")));
    top->addWidget(utxtkeyword, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Lblinfor, 1);
    bottom->addWidget(B_AllSelect);
    bottom->addWidget(B_SelectInput);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(vgInput, 1);
    layout->addLayout(bottom);
    resize(640, 420);

    connect(utxtkeyword, &QLineEdit::textChanged, this, &frm_select::RunSearch);
    connect(B_SelectInput, &QPushButton::clicked, this, &frm_select::Pick);
    connect(B_AllSelect, &QPushButton::clicked, this, &frm_select::SelectAll);
    connect(vgInput, &QTableWidget::cellDoubleClicked, this, &frm_select::PickCurrent);
    connect(vgInput, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column != 2) return;
        QTableWidgetItem* item = vgInput->item(row, 2);
        if (item) item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    utxtkeyword->installEventFilter(this);
    vgInput->installEventFilter(this);
    // a goods' lots at every location, over the account marks the user holds
    vgInput->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(vgInput, &QTableWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const auto it = modes().constFind(m_mode);
        const int row = vgInput->rowAt(at.y());
        if (it == modes().constEnd() || !it->goodsOf || row < 0) return;
        QMenu menu;
        menu.addAction(QStringLiteral("查看批次"), this, [this, row, goodsOf = it->goodsOf] {
            ShowGoodsLots(this, goodsOf(vgInput, row),
                          vgInput->item(row, 4) ? vgInput->item(row, 4)->text() : QString());
        });
        menu.exec(vgInput->viewport()->mapToGlobal(at));
    });
}

void frm_select::setKeyword(const QString& keyword) {
    const QSignalBlocker block(utxtkeyword);
    utxtkeyword->setText(keyword);
}

void frm_select::RunSearch() {
    const auto it = modes().constFind(m_mode);
    vgInput->clear();
    vgInput->setRowCount(0);
    if (it == modes().constEnd()) return;
    const Mode& mode = it.value();
    const m_recordSet found =
        mode.source(mode.conditions(utxtkeyword->text().trimmed(), m_extra), mode.selectPart);
    const RecordSet& rs = found.recordSet;

    const QStringList pieces = QStringList{"^行号 ", "^id ", "^选定   "} + mode.headerPieces;
    vgInput->setColumnCount(pieces.size());
    const QFontMetrics fm(vgInput->font());
    for (int c = 0; c < pieces.size(); ++c) {
        const QString piece = pieces[c];
        auto* head = new QTableWidgetItem(piece.mid(1).trimmed());
        vgInput->setHorizontalHeaderItem(c, head);
        vgInput->setColumnWidth(c, fm.horizontalAdvance(piece.mid(1)) + 16);
    }
    const int rows = rs.RecordCount();
    vgInput->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        vgInput->setItem(r, 1, new QTableWidgetItem(acc::valueText(rs.at(r, 0))));
        auto* check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable); // toggled by the click handler below
        check->setCheckState(Qt::Unchecked);
        vgInput->setItem(r, 2, check);
        for (int c = 2; c < rs.fieldCount() && c + 1 < pieces.size(); ++c) {
            auto* item = new QTableWidgetItem(NzText(rs.at(r, c), QString()));
            const QChar align = pieces[c + 1].at(0);
            item->setTextAlignment((align == '^'   ? Qt::AlignHCenter
                                    : align == '>' ? Qt::AlignRight
                                                   : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
            vgInput->setItem(r, c + 1, item);
        }
    }
    NumberGridRows(vgInput, 0, rows - 1, 0, -1, 1);
    // names, codes and prices whole: a column as wide as its longest text,
    // within reason (the first rows are enough to judge)
    for (int c = 3; c < pieces.size(); ++c) {
        int widest = 0;
        for (int r = 0; r < std::min(rows, 500); ++r)
            if (const QTableWidgetItem* item = vgInput->item(r, c))
                widest = std::max(widest, fm.horizontalAdvance(item->text()));
        vgInput->setColumnWidth(c, std::max(vgInput->columnWidth(c), std::min(widest + 16, 360)));
    }
    vgInput->setColumnHidden(1, true);
    vgInput->setColumnHidden(2, m_single);
    if (rows > 0) vgInput->setCurrentCell(0, 3);
    Lblinfor->setText(QStringLiteral("当前找到[ %1 ]条记录").arg(std::max(0, found.recordCount)));
}

void frm_select::setSinglePick(bool single) {
    m_single = single;
    B_AllSelect->setVisible(!single);
}

void frm_select::SelectAll() {
    for (int r = 0; r < vgInput->rowCount(); ++r)
        if (QTableWidgetItem* item = vgInput->item(r, 2)) item->setCheckState(Qt::Checked);
}

void frm_select::PickCurrent() {
    const int row = vgInput->currentRow();
    if (row >= 0)
        if (QTableWidgetItem* item = vgInput->item(row, 2)) item->setCheckState(Qt::Checked);
    Pick();
}

void frm_select::Pick() {
    const auto it = modes().constFind(m_mode);
    std::vector<std::any> records;
    if (it != modes().constEnd()) {
        const int current = vgInput->currentRow();
        if (m_single && current >= 0 && current < vgInput->rowCount()) {
            records.push_back(it->record(vgInput, current));
        } else {
            for (int r = 0; r < vgInput->rowCount(); ++r) {
                const QTableWidgetItem* item = vgInput->item(r, 2);
                if (item && item->checkState() == Qt::Checked) records.push_back(it->record(vgInput, r));
            }
        }
    }
    m_picked.resultValue = std::move(records);
    m_picked.isHasObject = true;
    accept();
}

QString frm_select::sizeKey() const {
    return "frm_select/" + (m_mode.isEmpty() ? QStringLiteral("none") : m_mode) + "/size";
}

void frm_select::setVisible(bool visible) {
    if (visible && !m_sized) {
        m_sized = true;
        // the size the user left this kind of lookup at, else one that shows
        // every column; never beyond the screen (frame and title bar included)
        QScreen* shownOn = parentWidget() ? parentWidget()->screen() : screen();
        const QRect area = shownOn ? shownOn->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize room = area.size() - QSize(16, 48);
        QSize wanted = QSettings(DataFolder() + "window.ini", QSettings::IniFormat).value(sizeKey()).toSize();
        if (!wanted.isValid()) {
            int columns = 0;
            for (int c = 0; c < vgInput->columnCount(); ++c)
                if (!vgInput->isColumnHidden(c)) columns += vgInput->columnWidth(c);
            const QMargins m = layout()->contentsMargins();
            const int width = columns + 2 * vgInput->frameWidth() +
                              vgInput->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + m.left() +
                              m.right() + 4;
            wanted = QSize(std::max(640, width), 420);
        }
        resize(wanted.boundedTo(room).expandedTo(minimumSizeHint()));
    }
    QDialog::setVisible(visible);
}

void frm_select::done(int result) {
    if (m_sized) QSettings(DataFolder() + "window.ini", QSettings::IniFormat).setValue(sizeKey(), size());
    QDialog::done(result);
}

bool frm_select::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == utxtkeyword && key == Qt::Key_Down) {
        vgInput->setFocus();
        return true;
    }
    if (watched == utxtkeyword && (key == Qt::Key_Return || key == Qt::Key_Enter)) return true;
    if (watched == vgInput && key == Qt::Key_Backspace) {
        utxtkeyword->setFocus();
        return true;
    }
    if (watched == vgInput && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        PickCurrent();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
