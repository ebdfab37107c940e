#pragma once
// Filter conditions appended after "where 1=1", list results with their
// counts, and the nested-top page statements of paged lists.

#include "orderedmap.h"
#include "recordset.h"

#include <QString>
#include <QVariant>

// One filter term. The value is text (always quoted), a number, or a raw
// fragment built by code with Raw() (a number list, an expression).
class m_condition {
public:
    m_condition() = default;
    m_condition(const QString& field, const QString& linkType, const QVariant& value) {
        init(field, linkType, value);
    }
    void init(const QString& field, const QString& linkType, const QVariant& value) {
        uField = field;
        uLinkType = linkType;
        uValue = value;
    }
    QString uField;
    QString uLinkType;
    QVariant uValue;
};

using ConditionSet = OrderedMap<QString, m_condition>;

QString GetConditionSql(const ConditionSet& conditions);
QString GetConditionItemSql(const m_condition& condition);

struct m_recordSet {
    int recordCount = 0;
    RecordSet recordSet;
    QString str_condition;
    QString str_MsgBox;
};

struct m_PageInfor {
    int recordCount = 0;
    RecordSet recordSet;
    int int_PageSize = 20;
    int int_currentPageIndex = 1;
    QString str_orderBy;
    bool isDesc = false;
    QString str_MsgBox;
    QString str_condition;
};

// The list query every data-access class runs: the select list, " from "
// source, " where 1=1 ", the condition text and an optional tail (an ordering).
m_recordSet RunListQuery(const QString& selectList, const QString& source, const ConditionSet& conditions,
                         const QString& tail = {});

int GetRecordCount(const QString& sql);
m_recordSet GetRecordSet(const QString& sql, const QString& countSql);
// The statement of one page; pageIndex receives the corrected page (0 when there are no rows).
QString GetPageSql(const QString& sql, int& pageIndex, int pageSize, const QString& orderBy, bool isDesc);
int GetPageCount(int count, int size);
