#pragma once
// The typed, tree-shaped classification entries of tb_dictionary.

#include "data/conditions.h"
#include "data/results.h"
#include "data/sqlvalue.h"

#include <QString>
#include <QStringList>

struct m_dictionary {
    int id = 0;
    QString utype;
    QString uname;
    qint16 parentId = 0; // 16 bits wide: an entry above id 32767 cannot be a parent
    QString parentName;
    qint16 orderby = 0;
    QString remark;
    qint16 isSystemSet = 0;
    qint16 isstart = 0;
    int iCount = 0;
    QString startName;
};

// The type keys in the order of the dictionary form's type buttons, and their captions.
const QStringList& DictionaryTypes();
const QStringList& DictionaryTypeCaptions();

class dal_dictionary {
public:
    void Add(const m_dictionary& model);
    m_dictionary GetModel(int id);
    m_dictionary GetModelForName(const QString& utype, const QString& uname);
    // The entries of one type directly below a parent, in the stored order.
    RecordSet GetList(const QString& utype, int parentId);
    m_recordSet GetListForCondition(const ConditionSet& conditions, const QString& selectText = {});
    // Deletes the entry and, for a department, its grants, in one transaction.
    m_DBresult Delete(int id);
    void Update(const m_dictionary& model);

private:
    m_dictionary readModel(const QString& where);
    StringBulider m_sql;
    SqlParams m_params;
};

// Whether a record may be filed under the entry chosen from a category list:
// the entry must exist in the type, and a disabled one only keeps a record
// already filed under it (storedId, 0 for a new record). Returns the refusal,
// naming the list by its label, or "" when the choice stands.
QString CheckCategoryChoice(const QString& utype, int chosenId, int storedId, const QString& label);
