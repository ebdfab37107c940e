#pragma once
// Drop-down lists of dictionary categories. Each item carries its entry's id,
// so a save files a record by id, whatever the entry is called by now. The
// list offers the enabled entries; a record filed under an entry the list
// does not offer (disabled, or added since the list was filled) gets that
// entry as an extra item while the record is shown, marked when disabled.

class QComboBox;
class QString;

// Fills the list from a query of the columns id and uname.
void FillCategoryList(QComboBox* list, const QString& sql);
// Offers one more entry.
void AddCategoryItem(QComboBox* list, int id, const QString& name);
// Chooses the entry a record is filed under; name is the entry's name as the
// record reads it. An entry that no longer exists leaves the list blank.
void ShowCategory(QComboBox* list, int id, const QString& name);
// Removes the extra item of the record shown before.
void DropExtraCategory(QComboBox* list);
// The id of the entry chosen, 0 for none.
int ChosenCategoryId(const QComboBox* list);
