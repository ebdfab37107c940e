#pragma once
// A list shown in one of four views (list, details, large icons, small icons),
// its items keyed "key_" + id; clicking a column header of the detail view
// sorts by it, ascending and descending in turn.

#include <QIcon>
#include <QStackedWidget>
#include <functional>

class QListWidget;
class QMenu;
class QToolBar;
class QTreeWidget;

class ListView : public QStackedWidget {
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);

    void setColumns(const QStringList& captions);
    void clear();
    void addItem(const QString& key, const QStringList& texts, const QIcon& large, const QIcon& small);
    int count() const;
    QString key(int row) const;
    QString text(int row, int column) const;
    QString currentKey() const;
    void setCurrentKey(const QString& key);
    // "list_view", "detail_view", "ico_view" or "smallico_view"
    void setView(const QString& view);
    QString view() const { return m_view; }
    void sortByColumn(int column);

    QTreeWidget* details() const { return m_details; }
    QListWidget* icons() const { return m_icons; }

signals:
    // The current item changed (click or arrow keys).
    void itemSelected(const QString& key);

private:
    QTreeWidget* m_details;
    QListWidget* m_icons;
    QString m_view = "detail_view";
    int m_sortColumn = -1;
    Qt::SortOrder m_order = Qt::DescendingOrder;
};

// The "查看" button of a list's toolbar: a menu of the four views, each
// action keyed by its view with its caption as data; choose gets the view.
QMenu* AddViewButton(QToolBar* bar, QWidget* owner, const std::function<void(const QString&)>& choose);
