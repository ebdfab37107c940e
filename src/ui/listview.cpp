#include "listview.h"

#include "icons.h"
#include "lazytree.h"

#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

ListView::ListView(QWidget* parent) : QStackedWidget(parent) {
    m_details = new QTreeWidget;
    m_details->setRootIsDecorated(false);
    m_details->setUniformRowHeights(true);
    m_details->setAlternatingRowColors(true);
    m_details->header()->setSectionsClickable(true);
    m_icons = new QListWidget;
    m_icons->setResizeMode(QListView::Adjust);
    addWidget(m_details);
    addWidget(m_icons);
    connect(m_details->header(), &QHeaderView::sectionClicked, this, &ListView::sortByColumn);
    connect(m_details, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item) return;
        const QString k = item->data(0, kNodeKeyRole).toString();
        for (int i = 0; i < m_icons->count(); ++i)
            if (m_icons->item(i)->data(kNodeKeyRole).toString() == k) m_icons->setCurrentRow(i);
        emit itemSelected(k);
    });
    connect(m_details, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { emit itemSelected(item->data(0, kNodeKeyRole).toString()); });
    connect(m_icons, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit itemSelected(item->data(kNodeKeyRole).toString()); });
    connect(m_icons, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (!item) return;
        const QString k = item->data(kNodeKeyRole).toString();
        if (currentWidget() == m_icons) setCurrentKey(k);
    });
    setView(m_view);
}

void ListView::setColumns(const QStringList& captions) {
    m_details->setColumnCount(captions.size());
    m_details->setHeaderLabels(captions);
}

void ListView::clear() {
    m_details->clear();
    m_icons->clear();
}

void ListView::addItem(const QString& key, const QStringList& texts, const QIcon& large, const QIcon& small) {
    auto* row = new QTreeWidgetItem(texts);
    row->setData(0, kNodeKeyRole, key);
    row->setIcon(0, small);
    m_details->addTopLevelItem(row);
    auto* icon = new QListWidgetItem(large, texts.value(0));
    icon->setData(kNodeKeyRole, key);
    icon->setData(Qt::UserRole + 5, QVariant::fromValue(small));
    icon->setData(Qt::UserRole + 6, QVariant::fromValue(large));
    m_icons->addItem(icon);
}

int ListView::count() const {
    return m_details->topLevelItemCount();
}
QString ListView::key(int row) const {
    return m_details->topLevelItem(row)->data(0, kNodeKeyRole).toString();
}
QString ListView::text(int row, int column) const {
    return m_details->topLevelItem(row)->text(column);
}

QString ListView::currentKey() const {
    const QTreeWidgetItem* item = m_details->currentItem();
    return item ? item->data(0, kNodeKeyRole).toString() : QString();
}

void ListView::setCurrentKey(const QString& k) {
    for (int i = 0; i < count(); ++i)
        if (key(i) == k) {
            m_details->setCurrentItem(m_details->topLevelItem(i));
            m_details->scrollToItem(m_details->topLevelItem(i));
            return;
        }
}

void ListView::setView(const QString& view) {
    m_view = view;
    if (view == "detail_view") {
        setCurrentWidget(m_details);
        return;
    }
    setCurrentWidget(m_icons);
    const bool large = view == "ico_view";
    m_icons->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    m_icons->setFlow(view == "list_view" ? QListView::TopToBottom : QListView::LeftToRight);
    m_icons->setWrapping(true);
    m_icons->setIconSize(large ? QSize(40, 40) : QSize(16, 16));
    for (int i = 0; i < m_icons->count(); ++i) {
        QListWidgetItem* it = m_icons->item(i);
        it->setIcon(it->data(large ? Qt::UserRole + 6 : Qt::UserRole + 5).value<QIcon>());
    }
}

void ListView::sortByColumn(int column) {
    m_order =
        (column == m_sortColumn && m_order == Qt::AscendingOrder) ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_sortColumn = column;
    m_details->sortItems(column, m_order);
    m_details->header()->setSortIndicatorShown(true);
    m_details->header()->setSortIndicator(column, m_order);
}

QMenu* AddViewButton(QToolBar* bar, QWidget* owner, const std::function<void(const QString&)>& choose) {
    static const std::pair<const char*, const char*> views[] = {{"list_view", "列表"},
                                                                {"detail_view", "详细资料"},
                                                                {"ico_view", "大图标"},
                                                                {"smallico_view", "小图标"}};
    auto* menu = new QMenu(owner);
    menu->setObjectName("view_menu");
    for (const auto& [key, text] : views) {
        QAction* a = menu->addAction(QString::fromUtf8(text));
        a->setObjectName(key);
        a->setData(QString::fromUtf8(text));
        const QString view = QString::fromLatin1(key);
        QObject::connect(a, &QAction::triggered, owner, [choose, view] { choose(view); });
    }
    auto* button = new QToolButton;
    button->setText(QStringLiteral("查看"));
    button->setIcon(GlyphIcon(QStringLiteral("看"), QColor(120, 90, 170)));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(button);
    return menu;
}
