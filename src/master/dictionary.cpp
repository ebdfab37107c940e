#include "dictionary.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"

namespace {
const char* const kSelect =
    "SELECT id,utype,uname,parentId,parentName,orderBy,remark,isSystemSet,isstart,startName,iCount ";
}

const QStringList& DictionaryTypes() {
    static const QStringList types = {"goodsType",  "department",  "importType",
                                      "exportType", "accountType", "customerType"};
    return types;
}

const QStringList& DictionaryTypeCaptions() {
    static const QStringList captions = {"货品类别", "部门信息", "入库类别",
                                         "出库类别", "账目标识", "往来单位分类"};
    return captions;
}

void dal_dictionary::Add(const m_dictionary& m) {
    m_sql.Clear();
    m_params.Clear();
    m_sql.Append(
        "insert into tb_dictionary (id,utype,uname,parentId,orderBy,remark,isstart,isSystemSet)  values "
        "(@id,@utype,@uname,@parentId,@orderBy,@remark,@isstart,@isSystemSet) ");
    m_params.AddItem("@id", m.id);
    m_params.AddItem("@utype", m.utype);
    m_params.AddItem("@uname", m.uname);
    m_params.AddItem("@parentId", m.parentId);
    m_params.AddItem("@orderBy", m.orderby);
    m_params.AddItem("@remark", m.remark);
    m_params.AddItem("@isstart", m.isstart);
    m_params.AddItem("@isSystemSet", m.isSystemSet);
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), m_params);
}

m_dictionary dal_dictionary::readModel(const QString& where) {
    m_sql.Clear();
    m_sql.Append(kSelect).Append(" from v_dictionary ").Append(where);
    m_dictionary m;
    const RecordSet rs = sqlHelper::ReadRecord(m_sql.ToString());
    if (rs.RecordCount() > 0) {
        m.id = rs.value("id").toInt();
        m.utype = acc::valueText(rs.value("utype"));
        m.uname = acc::valueText(rs.value("uname"));
        m.parentId = static_cast<qint16>(rs.value("parentId").toInt());
        m.parentName = acc::valueText(rs.value("parentName"));
        m.orderby = static_cast<qint16>(rs.value("orderBy").toInt());
        m.remark = acc::valueText(rs.value("remark"));
        m.isSystemSet = static_cast<qint16>(rs.value("isSystemSet").toInt());
        m.isstart = static_cast<qint16>(rs.value("isstart").toInt());
        m.startName = acc::valueText(rs.value("startName"));
        m.iCount = rs.value("iCount").toInt();
    }
    return m;
}

m_dictionary dal_dictionary::GetModel(int id) {
    return readModel(" where id=" + QString::number(id));
}

m_dictionary dal_dictionary::GetModelForName(const QString& utype, const QString& uname) {
    return readModel(" where utype='" + sqlHelper::EscapeQuote(utype) + "'" + " and uname='" +
                     sqlHelper::EscapeQuote(uname) + "'");
}

RecordSet dal_dictionary::GetList(const QString& utype, int parentId) {
    m_sql.Clear();
    m_sql.Append(kSelect)
        .Append(" from v_dictionary ")
        .Append(" where 1=1 ")
        .Append(" and utype='" + sqlHelper::EscapeQuote(utype) + "'")
        .Append(" and parentId=" + QString::number(parentId));
    return sqlHelper::ExecuteSql(m_sql.ToString());
}

m_recordSet dal_dictionary::GetListForCondition(const ConditionSet& conditions, const QString& selectText) {
    return RunListQuery(IsBlank(selectText) ? QString(kSelect) : selectText, "v_dictionary", conditions);
}

m_DBresult dal_dictionary::Delete(int id) {
    return sqlHelper::ExecuteTransById({"Delete From tb_user_group_fun where departmentId=@id",
                                        "Delete From tb_location_fun where departmentId=@id",
                                        "Delete From tb_account_fun where departmentId=@id",
                                        "Delete From tb_dictionary where id=@id"},
                                       id);
}

void dal_dictionary::Update(const m_dictionary& m) {
    m_sql.Clear();
    m_params.Clear();
    m_sql.Append("update tb_dictionary set "
                 "utype=@utype,uname=@uname,parentId=@parentId,remark=@remark,isstart=@isstart "
                 "where id=@id");
    m_params.AddItem("@utype", m.utype);
    m_params.AddItem("@uname", m.uname);
    m_params.AddItem("@parentId", m.parentId);
    m_params.AddItem("@remark", m.remark);
    m_params.AddItem("@isstart", m.isstart);
    m_params.AddItem("@id", m.id);
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), m_params);
}

QString CheckCategoryChoice(const QString& utype, int chosenId, int storedId, const QString& label) {
    const m_dictionary entry = chosenId > 0 ? dal_dictionary().GetModel(chosenId) : m_dictionary();
    if (entry.id == 0 || entry.utype.compare(utype, Qt::CaseInsensitive) != 0)
        return label + QStringLiteral("不存在,请重新选择!");
    if (entry.isstart == 0 && chosenId != storedId)
        return label + "[" + entry.uname + QStringLiteral("]已禁用,请重新选择!");
    return {};
}
