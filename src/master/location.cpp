#include "location.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"

namespace {
const char* const kSelect =
    "select id,locationCode,uname,capacity,parentId,parentlocationCode,parentName,orderby,isLock,"
    "lockName,isVirtual,VirtualName,state,stateName,remark,iCount ";
}

void dal_location::Add(const m_location& m) {
    m_sql.Clear();
    m_params.Clear();
    m_sql.Append(
        "insert into tb_location "
        "(id,locationCode,uname,capacity,parentId,orderby,isLock,isVirtual,state,remark) "
        " values (@id,@locationCode,@uname,@capacity,@parentId,@orderby,@isLock,@isVirtual,@state,@remark) ");
    m_params.AddItem("@id", m.id);
    m_params.AddItem("@locationCode", m.locationCode);
    m_params.AddItem("@uname", m.uname);
    m_params.AddItem("@capacity", m.capacity);
    m_params.AddItem("@parentId", m.parentId);
    m_params.AddItem("@orderby", m.orderby);
    m_params.AddItem("@isLock", m.isLock);
    m_params.AddItem("@isVirtual", m.isVirtual);
    m_params.AddItem("@state", m.state);
    m_params.AddItem("@remark", m.remark);
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), m_params);
}

m_location dal_location::readModel(const QString& where) {
    m_sql.Clear();
    m_sql.Append(kSelect).Append(" from v_location ").Append(where);
    m_location m;
    const RecordSet rs = sqlHelper::ReadRecord(m_sql.ToString());
    if (rs.RecordCount() > 0) {
        m.id = rs.value("id").toInt();
        m.locationCode = acc::valueText(rs.value("locationCode"));
        m.uname = acc::valueText(rs.value("uname"));
        m.capacity = rs.value("capacity").toDouble();
        m.parentId = rs.value("parentId").toInt();
        m.parentlocationCode = acc::valueText(rs.value("parentlocationCode"));
        m.parentName = acc::valueText(rs.value("parentName"));
        m.orderby = rs.value("orderby").toInt();
        m.isLock = static_cast<qint16>(rs.value("isLock").toInt());
        m.lockName = acc::valueText(rs.value("lockName"));
        m.isVirtual = static_cast<qint16>(rs.value("isVirtual").toInt());
        m.VirtualName = acc::valueText(rs.value("VirtualName"));
        m.state = static_cast<qint16>(rs.value("state").toInt());
        m.stateName = acc::valueText(rs.value("stateName"));
        m.remark = acc::valueText(rs.value("remark"));
        m.iCount = rs.value("iCount").toInt();
    }
    return m;
}

m_location dal_location::GetModel(int id) {
    return readModel(" where id=" + QString::number(id));
}

m_location dal_location::GetModelForLocationCode(int id, const QString& code) {
    return readModel(" where id<>" + QString::number(id) + " and locationCode='" +
                     sqlHelper::EscapeQuote(code) + "'");
}

RecordSet dal_location::GetDataTable(const QString& condition) {
    m_sql.Clear();
    m_sql.Append(kSelect).Append(" from v_location ").Append(" where 1=1 ").Append(condition);
    return sqlHelper::ExecuteSql(m_sql.ToString());
}

RecordSet dal_location::GetList(int parentId) {
    m_sql.Clear();
    m_sql.Append(kSelect)
        .Append(" from v_location ")
        .Append(" where 1=1 ")
        .Append(" and parentId=" + QString::number(parentId));
    return sqlHelper::ExecuteSql(m_sql.ToString());
}

m_recordSet dal_location::GetListForCondition(const ConditionSet& conditions, const QString& selectText,
                                              const QString& tail) {
    return RunListQuery(IsBlank(selectText) ? QString(kSelect) : selectText, "v_location", conditions, tail);
}

m_DBresult dal_location::Delete(int id) {
    return sqlHelper::ExecuteTransById({"Delete From tb_location where id=@id"}, id);
}

void dal_location::Update(const m_location& m) {
    m_sql.Clear();
    m_params.Clear();
    m_sql.Append("update tb_location  set locationCode=@locationCode, uname=@uname, capacity=@capacity, "
                 "parentId=@parentId, isLock=@isLock, isVirtual=@isVirtual, state=@state, remark=@remark  "
                 "where id=@id");
    m_params.AddItem("@locationCode", m.locationCode);
    m_params.AddItem("@uname", m.uname);
    m_params.AddItem("@capacity", m.capacity);
    m_params.AddItem("@parentId", m.parentId);
    m_params.AddItem("@isLock", m.isLock);
    m_params.AddItem("@isVirtual", m.isVirtual);
    m_params.AddItem("@state", m.state);
    m_params.AddItem("@remark", m.remark);
    m_params.AddItem("@id", m.id);
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), m_params);
}

QString LocationSubtree(int locationId, const QString& granted) {
    if (locationId <= 0) return granted;
    QStringList ids{QString::number(locationId)};
    const QString below = GetSubIds(locationId, "tb_location", "id");
    for (const QString& id : below.split(',', Qt::SkipEmptyParts))
        if (!ids.contains(id.trimmed())) ids << id.trimmed();
    if (granted.trimmed().isEmpty()) return ids.join(',');
    const QStringList allowed = granted.split(',', Qt::SkipEmptyParts);
    QStringList out;
    for (const QString& id : ids)
        if (allowed.contains(id)) out << id;
    return out.isEmpty() ? "-1" : out.join(',');
}
