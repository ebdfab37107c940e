#include "calendarview.h"

#include "events.h"
#include "frm_qjcx.h"
#include "frmevents.h"

#include "access/sysvars.h"
#include "ui/icons.h"
#include "ui/modal.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTime>
#include <QVBoxLayout>
#include <memory>

namespace {

constexpr int kSquare = 9;
constexpr int kGap = 3;
const QColor kWeekendBackground(248, 248, 248);
const char* const kMonths[] = {"一月", "二月", "三月", "四月", "五月",   "六月",
                               "七月", "八月", "九月", "十月", "十一月", "十二月"};

// A day: its number at the top left, the picture of its events below it.
class DayDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
        o.icon = QIcon();
        o.features &= ~QStyleOptionViewItem::HasDecoration;
        const QWidget* w = option.widget;
        (w ? w->style() : QApplication::style())
            ->drawControl(QStyle::CE_ItemViewItem, &o, p, w); // the number
        if (picture.isNull()) return;
        const QRect r = option.rect.adjusted(4, o.fontMetrics.height() + 6, -4, -4);
        p->drawPixmap(r.topLeft(), picture);
    }
};

QString storedViewType() {
    const QString v = dal_setting().GetModel("viewType").setValue.trimmed();
    return v.isEmpty() ? QStringLiteral("列表显示") : v;
}

QPushButton* button(const char* name, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text));
    b->setObjectName(name);
    return b;
}

} // namespace

QColor CalendarView::ImportanceColor(const QString& flag) {
    if (flag == QStringLiteral("一般")) return QColor(0, 128, 0);
    if (flag == QStringLiteral("重要")) return QColor(0, 0, 192);
    return QColor(192, 0, 0);
}

QPixmap CalendarView::ImportanceStrip(const QStringList& flags, bool weekend, qreal ratio) {
    const int rows = std::max<int>(1, int((flags.size() + 6) / 7));
    QPixmap strip = CanvasPixmap(QSize(7 * (kSquare + kGap) + kGap, rows * (kSquare + kGap) + kGap), ratio);
    strip.fill(weekend ? kWeekendBackground : Qt::white);
    QPainter p(&strip);
    for (int i = 0; i < flags.size(); ++i)
        p.fillRect(kGap + (i % 7) * (kSquare + kGap), kGap + (i / 7) * (kSquare + kGap), kSquare, kSquare,
                   ImportanceColor(flags[i]));
    return strip;
}

CalendarView::CalendarView(QWidget* parent) : QWidget(parent) {
    utxtYear = new QSpinBox;
    utxtYear->setObjectName("utxtYear");
    utxtYear->setRange(1900, 9998);
    uCombMonth = new QComboBox;
    uCombMonth->setObjectName("uCombMonth");
    for (const char* m : kMonths)
        uCombMonth->addItem(QString::fromUtf8(m));
    comb_ViewType = new QComboBox;
    comb_ViewType->setObjectName("comb_ViewType");
    comb_ViewType->addItems({QStringLiteral("列表显示"), QStringLiteral("图标显示")});
    comb_ViewType->setCurrentText(storedViewType());

    VgCalendar = new QTableWidget(6, 7);
    VgCalendar->setObjectName("VgCalendar");
    VgCalendar->setHorizontalHeaderLabels({"日", "一", "二", "三", "四", "五", "六"});
    VgCalendar->verticalHeader()->hide();
    VgCalendar->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    VgCalendar->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    VgCalendar->setEditTriggers(QAbstractItemView::NoEditTriggers);
    VgCalendar->setSelectionMode(QAbstractItemView::SingleSelection);
    VgCalendar->setItemDelegate(new DayDelegate(VgCalendar));
    connect(VgCalendar, &QTableWidget::cellDoubleClicked, this, &CalendarView::OpenDay);

    btn_new = button("btn_new", "新建");
    btn_today = button("btn_today", "今天");
    btn_list = button("btn_list", "列表");
    btn_update = button("btn_update", "更新显示");
    btn_min = button("btn_min", "最小化");
    btn_lock = button("btn_lock", "锁定");
    btn_password = button("btn_password", "修改密码");
    btn_about = button("btn_about", "关于");
    connect(btn_new, &QPushButton::clicked, this, &CalendarView::NewEvent);
    connect(btn_today, &QPushButton::clicked, this, &CalendarView::Today);
    connect(btn_list, &QPushButton::clicked, this, [this] { ShowList(); });
    connect(btn_update, &QPushButton::clicked, this, &CalendarView::UpdateView);
    connect(btn_min, &QPushButton::clicked, this, &CalendarView::minimiseRequested);
    connect(btn_lock, &QPushButton::clicked, this, [this] {
        std::unique_ptr<QWidget> lock(WindowRegistry::Create("FrmLockSystem", this));
        if (auto* d = qobject_cast<QDialog*>(lock.get())) RunModal(d);
    });
    connect(btn_password, &QPushButton::clicked, this, [] { WindowRegistry::Open("FrmModifypwd"); });
    connect(btn_about, &QPushButton::clicked, this, [] { WindowRegistry::Open("FrmAbout"); });
    connect(utxtYear, &QSpinBox::valueChanged, this, &CalendarView::Redraw);
    connect(uCombMonth, &QComboBox::currentIndexChanged, this, &CalendarView::Redraw);

    auto* top = new QHBoxLayout;
    top->addWidget(utxtYear);
    top->addWidget(new QLabel(QStringLiteral("年")));
    top->addWidget(uCombMonth);
    top->addWidget(btn_today);
    top->addStretch(1);
    top->addWidget(new QLabel(QStringLiteral("显示:")));
    top->addWidget(comb_ViewType);
    top->addWidget(btn_update);
    auto* bottom = new QHBoxLayout;
    for (QPushButton* b : {btn_new, btn_list})
        bottom->addWidget(b);
    bottom->addStretch(1);
    for (QPushButton* b : {btn_lock, btn_password, btn_about, btn_min})
        bottom->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(VgCalendar, 1);
    layout->addLayout(bottom);
    Today();
}

int CalendarView::year() const {
    return utxtYear->value();
}

int CalendarView::month() const {
    return uCombMonth->currentIndex() + 1;
}

void CalendarView::ShowMonth(int y, int m) {
    m_drawing = true;
    utxtYear->setValue(y);
    uCombMonth->setCurrentIndex(m - 1);
    m_drawing = false;
    Redraw();
}

void CalendarView::Today() {
    const QDate today = QDate::currentDate();
    ShowMonth(today.year(), today.month());
    if (QTableWidgetItem* cell = cellOf(today.day())) VgCalendar->setCurrentItem(cell);
}

void CalendarView::Redraw() {
    if (m_drawing) return;
    VgCalendar->clearContents();
    const QDate first(year(), month(), 1);
    if (!first.isValid()) return;
    const int start = first.dayOfWeek() % 7; // Sunday first
    const int days = first.daysInMonth();
    const bool icons = comb_ViewType->currentText() == QStringLiteral("图标显示");
    const QMap<int, DayEvents> events = MonthEvents(year(), month());
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 7; ++col) {
            auto* cell = new QTableWidgetItem;
            const bool weekend = col == 0 || col == 6;
            if (weekend) cell->setBackground(kWeekendBackground);
            const int day = row * 7 + col - start + 1;
            if (day >= 1 && day <= days) {
                cell->setText(QString::number(day));
                cell->setData(Qt::UserRole, day);
                cell->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
                if (weekend) cell->setForeground(QColor(190, 40, 40));
                const auto it = events.find(day);
                if (it != events.end() && it->count > 0) {
                    const QPixmap picture =
                        icons ? KeyIcon("flg.ico").pixmap(16, 16)
                              : ImportanceStrip(it->flags, weekend, VgCalendar->devicePixelRatio());
                    cell->setData(Qt::DecorationRole, picture);
                    cell->setToolTip(QStringLiteral("%1 项日程").arg(it->count));
                }
            } else {
                cell->setFlags(Qt::ItemIsEnabled);
            }
            VgCalendar->setItem(row, col, cell);
        }
    const QDate today = QDate::currentDate();
    if (today.year() == year() && today.month() == month())
        if (QTableWidgetItem* cell = cellOf(today.day())) VgCalendar->setCurrentItem(cell);
}

int CalendarView::dayAt(int row, int column) const {
    const QTableWidgetItem* cell = VgCalendar->item(row, column);
    return cell ? cell->data(Qt::UserRole).toInt() : 0;
}

QTableWidgetItem* CalendarView::cellOf(int day) const {
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 7; ++c)
            if (dayAt(r, c) == day) return VgCalendar->item(r, c);
    return nullptr;
}

QPixmap CalendarView::pictureOf(int day) const {
    const QTableWidgetItem* cell = cellOf(day);
    return cell ? cell->data(Qt::DecorationRole).value<QPixmap>() : QPixmap();
}

void CalendarView::UpdateView() {
    m_setting s = dal_setting().GetModel("viewType");
    s.setValue = comb_ViewType->currentText();
    dal_setting().Update(s);
    Redraw();
}

void CalendarView::NewEvent() {
    const QTableWidgetItem* cell = VgCalendar->currentItem();
    const int day = cell ? cell->data(Qt::UserRole).toInt() : 0;
    const QDate date(year(), month(), day > 0 ? day : 1);
    frmEvents editor(this);
    editor.NewEvent(QDateTime(date, QTime::currentTime()));
    connect(&editor, &frmEvents::saved, this, &CalendarView::Redraw);
    RunModal(&editor);
}

void CalendarView::ShowList(const QDate& day) {
    frm_qjcx list(this);
    if (day.isValid()) list.FilterDay(day);
    list.load_listView();
    connect(&list, &frm_qjcx::changed, this, &CalendarView::Redraw);
    RunModal(&list);
    Redraw();
}

void CalendarView::OpenDay(int row, int column) {
    const int day = dayAt(row, column);
    if (day <= 0) return;
    if (pictureOf(day).isNull()) {
        frmEvents editor(this);
        editor.NewEvent(QDateTime(QDate(year(), month(), day), QTime::currentTime()));
        connect(&editor, &frmEvents::saved, this, &CalendarView::Redraw);
        RunModal(&editor);
    } else {
        ShowList(QDate(year(), month(), day));
    }
}
