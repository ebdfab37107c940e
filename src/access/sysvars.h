#pragma once
// Setting the system variables, and the stored settings of tb_setting.

#include "data/results.h"
#include "data/sqlvalue.h"

#include <QString>

// Sets every system variable to its working value and loads the grant lists
// of the current user's department (functions, accounts, locations).
void InitSysVar();

struct m_setting {
    int id = 0;
    QString setKey;
    QString setValue;
};

class dal_setting {
public:
    m_setting GetModel(const QString& key);
    void Update(const m_setting& model);

private:
    StringBulider m_sql;
    SqlParams m_params;
};
