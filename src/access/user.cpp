#include "user.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"

#include <QCryptographicHash>

QString MD5(const QString& password) {
    const QByteArray hex = QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Md5).toHex();
    return QString::fromLatin1(hex.mid(8, 16));
}

m_user& CurrentUser() {
    static m_user user;
    return user;
}

m_user dal_user::readModel(const QString& where) {
    m_sql.Clear();
    m_sql.Append("select id,user,pw,usex,isStart,dictionaryId,department")
        .Append(" from v_user ")
        .Append(where);
    m_user model;
    const RecordSet rs = sqlHelper::ReadRecord(m_sql.ToString());
    if (rs.RecordCount() > 0) {
        model.id = rs.value("id").toInt();
        model.user = acc::valueText(rs.value("user"));
        model.pw = acc::valueText(rs.value("pw"));
        model.usex = acc::valueText(rs.value("usex"));
        model.isstart = rs.value("isStart").toInt() != 0;
        model.dictionaryId = rs.value("dictionaryId").toInt();
        model.department = acc::valueText(rs.value("department"));
    }
    return model;
}

void dal_user::Add(const m_user& model) {
    m_sql.Clear();
    m_params.Clear();
    m_sql.Append("insert into tb_user")
        .Append("(id,[user],pw,usex,isStart,dictionaryId) ")
        .Append(" values (")
        .Append("@id,@user,@pw,@usex,@isStart,@dictionaryId")
        .Append(")");
    m_params.AddItem("@id", model.id);
    m_params.AddItem("@user", model.user);
    m_params.AddItem("@pw", MD5(kDefaultPassword));
    m_params.AddItem("@usex", model.usex);
    m_params.AddItem("@isStart", model.isstart);
    m_params.AddItem("@dictionaryId", model.dictionaryId);
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), m_params);
}

m_user dal_user::GetModel(int id) {
    return readModel(" where id=" + QString::number(id));
}

m_user dal_user::GetModelForUser(int id, const QString& name) {
    return readModel(" where id<>" + QString::number(id) + " and [user]='" + sqlHelper::EscapeQuote(name) +
                     "'");
}

m_user dal_user::GetModelForPw(const QString& name, const QString& password) {
    return readModel(" where (1=1) "
                     "  and (user='" +
                     sqlHelper::EscapeQuote(name) +
                     "')"
                     "  and (pw='" +
                     MD5(password) + "')");
}

m_DBresult dal_user::Delete(int id) {
    return sqlHelper::ExecuteTransById({"Delete From tb_user where id=@id"}, id);
}

void dal_user::UpdatePw(const m_user& model) {
    m_sql.Clear();
    m_params.Clear();
    m_sql.Append("update tb_user").Append(" set [pw]=@pw").Append(" where id=@id");
    m_params.AddItem("@pw", MD5(model.pw));
    m_params.AddItem("@id", model.id);
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), m_params);
}

void dal_user::Update(const m_user& model) {
    m_sql.Clear();
    m_params.Clear();
    m_sql.Append("update tb_user")
        .Append(" set [user]=@user,")
        .Append(" usex=@usex,")
        .Append(" isStart=@isStart,")
        .Append(" dictionaryId=@dictionaryId ")
        .Append(" where id=@id");
    m_params.AddItem("@user", model.user);
    m_params.AddItem("@usex", model.usex);
    m_params.AddItem("@isStart", model.isstart);
    m_params.AddItem("@dictionaryId", model.dictionaryId);
    m_params.AddItem("@id", model.id);
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), m_params);
}
