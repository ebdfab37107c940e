#include "lazytree.h"

#include "data/accesstext.h"
#include "data/recordset.h"

#include <QApplication>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

QIcon imageIcon(const QString& key) {
    QStyle* s = QApplication::style();
    if (key == "close") return s->standardIcon(QStyle::SP_DirClosedIcon);
    if (key == "open") return s->standardIcon(QStyle::SP_DirOpenIcon);
    if (key == "location") return s->standardIcon(QStyle::SP_DriveHDIcon);
    if (key == "book") return s->standardIcon(QStyle::SP_FileDialogContentsView);
    return s->standardIcon(QStyle::SP_DirHomeIcon); // "All" and the rest
}

} // namespace

QString NodeKey(const QTreeWidgetItem* item) {
    return item ? item->data(0, kNodeKeyRole).toString() : QString();
}

int NodeId(const QTreeWidgetItem* item) {
    if (!item) return -1;
    return NodeKey(item).mid(4).toInt();
}

QString NodeImage(const QTreeWidgetItem* item) {
    return item ? item->data(0, kNodeImageRole).toString() : QString();
}

void SetNodeImage(QTreeWidgetItem* item, const QString& imageKey) {
    item->setData(0, kNodeImageRole, imageKey);
    item->setIcon(0, imageIcon(imageKey));
}

QTreeWidgetItem* NewNode(const QString& key, const QString& text, const QString& imageKey) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kNodeKeyRole, key);
    SetNodeImage(item, imageKey);
    return item;
}

LazyTree::LazyTree(QTreeWidget* tree, std::function<RecordSet(int)> children, QString textField)
    : QObject(tree), m_tree(tree), m_children(std::move(children)), m_textField(std::move(textField)) {
    connect(tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!m_active) return;
        if (item->childCount() == 0) LoadChildNodes(item); // opened by its expand indicator
        if (NodeKey(item) != "key_0") SetNodeImage(item, "open");
    });
    connect(tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (m_active && NodeKey(item) != "key_0") SetNodeImage(item, "close");
    });
}

void LazyTree::Reset(const QString& rootText, const QString& rootImage) {
    m_tree->hide();
    m_tree->clear();
    QTreeWidgetItem* root = NewNode("key_0", rootText, rootImage);
    m_tree->addTopLevelItem(root);
    LoadChildNodes(root);
    root->setExpanded(true);
    m_tree->setCurrentItem(root);
    m_tree->show();
}

void LazyTree::Reload(const QString& rootText, const QString& rootImage) {
    QStringList path; // keys from the root down to the current node
    for (QTreeWidgetItem* n = m_tree->currentItem(); n; n = n->parent())
        path.prepend(NodeKey(n));
    Reset(rootText, rootImage);
    QTreeWidgetItem* at = m_tree->topLevelItem(0);
    for (int i = 1; i < path.size(); ++i) {
        QTreeWidgetItem* next = nullptr;
        for (int c = 0; c < at->childCount() && !next; ++c)
            if (NodeKey(at->child(c)) == path[i]) next = at->child(c);
        if (!next) break;
        at = next;
        if (i + 1 < path.size()) LoadChildNodes(at);
    }
    m_tree->setCurrentItem(at);
}

void LazyTree::LoadChildNodes(QTreeWidgetItem* node) {
    if (!node) return;
    if (node->childCount() == 0) {
        const RecordSet rows = m_children(NodeId(node));
        for (int r = 0; r < rows.RecordCount(); ++r) {
            const QString id = acc::valueText(rows.at(r, "id")).trimmed();
            const bool hasChildren = rows.at(r, "iCount").toInt() >= 1;
            QTreeWidgetItem* child =
                NewNode("key_" + id, acc::valueText(rows.at(r, m_textField)), hasChildren ? "close" : "open");
            // the children are read when the node is opened; until then its indicator shows they exist
            if (hasChildren) child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            node->addChild(child);
        }
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        node->setExpanded(true);
    }
    if (node->isExpanded() && NodeKey(node) != "key_0") SetNodeImage(node, "open");
}

QTreeWidgetItem* LazyTree::Find(const QString& key) const {
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if (NodeKey(*it) == key) return *it;
    return nullptr;
}

void LazyTree::tv_AddNode(int id, int parentId, const QString& text, const QString& image) {
    QTreeWidgetItem* parent = Find("key_" + QString::number(parentId));
    if (!parent) return;
    if (parent->childCount() > 0)
        parent->addChild(NewNode("key_" + QString::number(id), text, image));
    else
        LoadChildNodes(parent); // reads the new entry with its siblings
}

void LazyTree::tv_UpdateNode(int id, int parentId, const QString& text) {
    QTreeWidgetItem* node = Find("key_" + QString::number(id));
    if (!node || !node->parent()) return;
    if (NodeId(node->parent()) == parentId) {
        node->setText(0, text);
        return;
    }
    const QString image = node->childCount() > 0 ? "close" : "open";
    delete node;
    tv_AddNode(id, parentId, text, image);
}

void LazyTree::tv_DeleteNode(int id) {
    delete Find("key_" + QString::number(id));
}
