#pragma once
// Trading partners: suppliers, customers, or both.

#include "data/conditions.h"
#include "data/results.h"
#include "data/sqlvalue.h"

#include <QString>

struct m_customer {
    int id = 0;
    int utype = 0; // 0 supplier, 1 customer, 2 both
    QString customerCode;
    QString uname;
    QString pinyin;
    QString contact;
    QString companyName;
    QString taxNumber;
    QString bankName;
    QString bankAccount;
    QString address;
    QString tel;
    QString email;
    QString fax;
    int status = 0; // 1 enabled, 0 disabled
    QString imageUrl;
    QString creator;
    QString createTime;
    QString updateLastUser;
    QString updateLastTime;
    int userId = 0;
    int customType = 0;
    QString utypeName;
    QString statusName;
    QString customTypeName;
};

// The kind for its text: 0 "供应商", 1 "客户", 2 "两者都是", 0 for anything else.
int GetTypeId(const QString& text);
// 1 for "启用", 0 for anything else.
int GetStatusId(const QString& text);

class dal_customer {
public:
    // "f": the column list; "a": the whole select from v_customer.
    QString GetSqlSearch(const QString& kind) const;
    void Add(const m_customer& model);
    m_customer GetModel(int id);
    m_customer GetModelForCustomerName(int id, const QString& name);
    RecordSet GetDataTable(const ConditionSet& conditions, bool forExport);
    m_recordSet GetListForCondition(const ConditionSet& conditions, const QString& selectText = {});
    m_DBresult Delete(int id);
    void Update(const m_customer& model);

private:
    m_customer readModel(const QString& where);
    StringBulider m_sql;
};
