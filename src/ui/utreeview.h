#pragma once
// Fills a tree from a table that stores its parent in a parentid column. Nodes
// are keyed "key" + id (without an underscore) and carry a tag.

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;
class RecordSet;

// The role under which a node keeps its tag (the function code of a catalogue row).
constexpr int kNodeTagRole = Qt::UserRole + 3;

class uTreeView {
public:
    void CreateTreeView(QTreeWidget* tree) { m_tree = tree; }
    // Adds the rows below parentId of the table (columns id, parentid,
    // displaytext, icon, funCode, orderBy and, with check marks, ucheck),
    // each level in orderBy order, at every depth.
    void AddTreeII(int parentId, const QString& table, bool withCheck);
    // Adds the rows of a record set as a tree by their parent field.
    void AddTree(const RecordSet& rs, const QString& idField, const QString& textField,
                 const QString& parentField);
    // "ID = n OR ID = m ...": the node and every node below it, depth first.
    QString GetSubNodeKey(QTreeWidgetItem* node) const;
    QString GetSubKey(QTreeWidgetItem* node, QString text) const;

    QTreeWidgetItem* find(const QString& key) const;

private:
    QTreeWidget* m_tree = nullptr;
};
