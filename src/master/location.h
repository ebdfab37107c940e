#pragma once
// Storage locations, kept as one tree.

#include "data/conditions.h"
#include "data/results.h"
#include "data/sqlvalue.h"

#include <QString>

struct m_location {
    int id = 0;
    QString locationCode;
    QString uname;
    double capacity = 0;
    int parentId = 0;
    int orderby = 0;
    qint16 isLock = 0;
    qint16 isVirtual = 0;
    qint16 state = 0;
    QString remark;
    QString parentlocationCode;
    QString parentName;
    QString lockName;
    QString VirtualName;
    QString stateName;
    int iCount = 0;
};

class dal_location {
public:
    void Add(const m_location& model);
    m_location GetModel(int id);
    // The first location other than id with this code; an empty model when none.
    m_location GetModelForLocationCode(int id, const QString& code);
    RecordSet GetDataTable(const QString& condition);
    // The direct children of a location, in the stored order.
    RecordSet GetList(int parentId);
    m_recordSet GetListForCondition(const ConditionSet& conditions, const QString& selectText = {},
                                    const QString& tail = QString());
    m_DBresult Delete(int id);
    void Update(const m_location& model);

private:
    m_location readModel(const QString& where);
    StringBulider m_sql;
    SqlParams m_params;
};

// The location ids of a location's subtree, intersected with the granted
// ones when granted is not empty ("3,4,9"); "" for the root (every location).
QString LocationSubtree(int locationId, const QString& granted);
