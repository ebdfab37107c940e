#include "categorylist.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"
#include "dictionary.h"

#include <QComboBox>

namespace {
constexpr int kExtraRole = Qt::UserRole + 1;
}

void FillCategoryList(QComboBox* list, const QString& sql) {
    list->clear();
    const RecordSet rs = sqlHelper::ExecuteSql(sql);
    for (int r = 0; r < rs.RecordCount(); ++r)
        AddCategoryItem(list, rs.at(r, "id").toInt(), acc::valueText(rs.at(r, "uname")));
}

void AddCategoryItem(QComboBox* list, int id, const QString& name) {
    int at = list->count();
    while (at > 0 && list->itemData(at - 1, kExtraRole).toBool())
        --at; // the extra item stays last
    list->insertItem(at, name, id);
}

void ShowCategory(QComboBox* list, int id, const QString& name) {
    DropExtraCategory(list);
    const int index = id > 0 ? list->findData(id) : -1;
    if (index >= 0) {
        if (!name.isEmpty()) list->setItemText(index, name); // renamed since the list was filled
        list->setCurrentIndex(index);
        return;
    }
    const m_dictionary entry = id > 0 ? dal_dictionary().GetModel(id) : m_dictionary();
    if (entry.id == 0) {
        list->setCurrentIndex(-1);
        return;
    }
    list->addItem(entry.isstart ? entry.uname : entry.uname + QStringLiteral("(已禁用)"), id);
    list->setItemData(list->count() - 1, true, kExtraRole);
    list->setCurrentIndex(list->count() - 1);
}

void DropExtraCategory(QComboBox* list) {
    for (int i = list->count() - 1; i >= 0; --i)
        if (list->itemData(i, kExtraRole).toBool()) list->removeItem(i);
}

int ChosenCategoryId(const QComboBox* list) {
    return list->currentIndex() >= 0 ? list->currentData().toInt() : 0;
}
