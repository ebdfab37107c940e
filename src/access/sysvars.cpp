#include "sysvars.h"

#include "funcode.h"
#include "user.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"

void InitSysVar() {
    m_SysVar& v = SysVar();
    v = m_SysVar(); // the fixed working values
    const int department = CurrentUser().dictionaryId;
    v.Sys_funJoinCode = GetJoinedGrants(department, "f");
    v.Sys_accountJoinId = GetJoinedGrants(department, "a");
    v.Sys_locationJoinId = GetJoinedGrants(department, "l");
}

m_setting dal_setting::GetModel(const QString& key) {
    m_sql.Clear();
    m_sql.Append("SELECT id,setKey,setValue ")
        .Append(" from tb_setting ")
        .Append(" where setKey='" + sqlHelper::EscapeQuote(key) + "'");
    m_setting model;
    const RecordSet rs = sqlHelper::ReadRecord(m_sql.ToString());
    if (rs.RecordCount() > 0) {
        model.id = rs.value("id").toInt();
        model.setKey = acc::valueText(rs.value("setKey"));
        model.setValue = acc::valueText(rs.value("setValue"));
    }
    return model;
}

void dal_setting::Update(const m_setting& model) {
    m_sql.Clear();
    m_params.Clear();
    m_sql.Append("update tb_setting ").Append(" set setValue=@setValue ").Append(" where setKey=@setKey");
    m_params.AddItem("@setValue", model.setValue);
    m_params.AddItem("@setKey", model.setKey);
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), m_params);
}
