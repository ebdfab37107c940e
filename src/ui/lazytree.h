#pragma once
// Trees of rows that store their parent in parentId. Nodes are keyed
// "key_" + id with the root "key_0"; children are read from the database when
// a node is first opened, one level at a time.

#include <QObject>
#include <QString>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;
class RecordSet;

// Roles under which a node keeps its key and its image key.
constexpr int kNodeKeyRole = Qt::UserRole + 1;
constexpr int kNodeImageRole = Qt::UserRole + 2;

QString NodeKey(const QTreeWidgetItem* item);
// The id of a node: its key without "key_" (-1 for no node).
int NodeId(const QTreeWidgetItem* item);
QString NodeImage(const QTreeWidgetItem* item);
void SetNodeImage(QTreeWidgetItem* item, const QString& imageKey);
QTreeWidgetItem* NewNode(const QString& key, const QString& text, const QString& imageKey);

class LazyTree : public QObject {
    Q_OBJECT
public:
    // children(parentId) gives the rows below a node; each row has the columns
    // id, iCount and the text column named textField.
    LazyTree(QTreeWidget* tree, std::function<RecordSet(int)> children, QString textField);

    // Clears the tree, adds the root and its children, expands and selects the root.
    void Reset(const QString& rootText, const QString& rootImage);
    // Reads the tree again and selects the node that was current (or its
    // nearest ancestor still there), with the nodes above it opened.
    void Reload(const QString& rootText, const QString& rootImage);
    void LoadChildNodes(QTreeWidgetItem* node);

    QTreeWidgetItem* Find(const QString& key) const;
    bool tv_FindKey(const QString& key) const { return Find(key) != nullptr; }
    void tv_AddNode(int id, int parentId, const QString& text, const QString& image);
    void tv_UpdateNode(int id, int parentId, const QString& text);
    void tv_DeleteNode(int id);

    QTreeWidget* tree() const { return m_tree; }
    // A tree control shared with other contents follows this class only while active.
    void setActive(bool active) { m_active = active; }

private:
    bool m_active = true;
    QTreeWidget* m_tree;
    std::function<RecordSet(int)> m_children;
    QString m_textField;
};
