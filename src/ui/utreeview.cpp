#include "utreeview.h"

#include "lazytree.h"

#include "data/accesstext.h"
#include "data/recordset.h"
#include "data/sqlhelper.h"

#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {
int idOfKey(const QString& key) {
    return key.mid(3).toInt();
}
} // namespace

QTreeWidgetItem* uTreeView::find(const QString& key) const {
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if (NodeKey(*it) == key) return *it;
    return nullptr;
}

void uTreeView::AddTreeII(int parentId, const QString& table, bool withCheck) {
    const RecordSet rows = sqlHelper::ExecuteSql(
        "select * from " + table + " where parentid= " + QString::number(parentId) + " order by orderBy");
    QTreeWidgetItem* parent = parentId != 0 ? find("key" + QString::number(parentId)) : nullptr;
    for (int r = 0; r < rows.RecordCount(); ++r) {
        const int id = rows.at(r, "id").toInt();
        const QString key = "key" + QString::number(id);
        if (find(key)) continue; // a loop in the stored tree is not followed again
        QTreeWidgetItem* node =
            NewNode(key, acc::valueText(rows.at(r, "displaytext")), acc::valueText(rows.at(r, "icon")));
        node->setData(0, kNodeTagRole, acc::valueText(rows.at(r, "funCode")));
        if (withCheck)
            node->setCheckState(0, rows.at(r, "ucheck").toInt() != 0 ? Qt::Checked : Qt::Unchecked);
        if (parent)
            parent->addChild(node);
        else
            m_tree->addTopLevelItem(node);
        if (parent) parent->setExpanded(true); // the node is made visible
        AddTreeII(id, table, withCheck);
    }
}

void uTreeView::AddTree(const RecordSet& rs, const QString& idField, const QString& textField,
                        const QString& parentField) {
    QSet<int> added;
    bool progress = true;
    while (progress) { // parents first, whatever order the rows come in
        progress = false;
        for (int r = 0; r < rs.RecordCount(); ++r) {
            const int id = rs.at(r, idField).toInt();
            const int parentId = rs.at(r, parentField).toInt();
            if (added.contains(id)) continue;
            QTreeWidgetItem* parent = parentId != 0 ? find("key" + QString::number(parentId)) : nullptr;
            if (parentId != 0 && !parent) continue;
            QTreeWidgetItem* node = NewNode("key" + QString::number(id), acc::valueText(rs.at(r, textField)),
                                            parent ? "open" : "close");
            if (parent)
                parent->addChild(node);
            else
                m_tree->addTopLevelItem(node);
            added.insert(id);
            progress = true;
        }
    }
}

QString uTreeView::GetSubKey(QTreeWidgetItem* node, QString text) const {
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        text += "ID = " + QString::number(idOfKey(NodeKey(child))) + " OR ";
        text = GetSubKey(child, text);
    }
    return text;
}

QString uTreeView::GetSubNodeKey(QTreeWidgetItem* node) const {
    QString text = GetSubKey(node, "ID = " + QString::number(idOfKey(NodeKey(node))) + " OR ");
    text.chop(4);
    return text;
}
