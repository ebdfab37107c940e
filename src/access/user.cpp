#include "user.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

QString MD5(const QString& password) {
    const QByteArray hex = QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Md5).toHex();
    return QString::fromLatin1(hex.mid(8, 16));
}

namespace PasswordHash {

namespace {

QByteArray derive(const QString& password, const QByteArray& salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              32);
}

} // namespace

QString Make(const QString& password, int iterations) {
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), salt.size() / 4);
    return QStringLiteral("pbkdf2$%1$%2$%3")
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toBase64()),
             QString::fromLatin1(derive(password, salt, iterations).toBase64()));
}

bool IsLegacy(const QString& stored) {
    return !stored.startsWith(QLatin1String("pbkdf2$"));
}

bool Verify(const QString& password, const QString& stored) {
    if (IsLegacy(stored)) return !stored.isEmpty() && stored.compare(MD5(password), Qt::CaseInsensitive) == 0;
    const QStringList parts = stored.split('$');
    bool ok = false;
    const int iterations = parts.size() == 4 ? parts[1].toInt(&ok) : 0;
    if (!ok || iterations < 1 || iterations > 10000000) return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    if (salt.isEmpty() || expected.isEmpty()) return false;
    const QByteArray actual = derive(password, salt, iterations);
    // compare every byte, whatever the first difference
    int diff = actual.size() ^ expected.size();
    for (int i = 0; i < std::min(actual.size(), expected.size()); ++i)
        diff |= actual[i] ^ expected[i];
    return diff == 0;
}

} // namespace PasswordHash

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
        const QVariant inUse = rs.value("isStart"); // the column has no default: Null is in use
        model.isstart = inUse.isNull() || inUse.toInt() != 0;
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
    m_params.AddItem("@pw", PasswordHash::Make(kDefaultPassword));
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
    m_user found = readModel(" where (1=1)   and (user='" + sqlHelper::EscapeQuote(name) + "')");
    if (found.id == 0 || !PasswordHash::Verify(password, found.pw)) return m_user();
    if (PasswordHash::IsLegacy(found.pw)) { // the old hash goes at its first successful check
        m_user upgraded = found;
        upgraded.pw = password;
        UpdatePw(upgraded);
        found.pw = readModel(" where id=" + QString::number(found.id)).pw;
    }
    return found;
}

m_user dal_user::GetCurrentForPw(const QString& password) {
    const int id = CurrentUser().id;
    if (id < 1) return m_user();
    const m_user found = GetModelForPw(GetModel(id).user, password); // renamed meanwhile: its name now
    return found.id == id ? found : m_user();
}

m_DBresult dal_user::Delete(int id) {
    return sqlHelper::ExecuteTransById({"Delete From tb_user where id=@id"}, id);
}

void dal_user::UpdatePw(const m_user& model) {
    m_sql.Clear();
    m_params.Clear();
    m_sql.Append("update tb_user").Append(" set [pw]=@pw").Append(" where id=@id");
    m_params.AddItem("@pw", PasswordHash::Make(model.pw));
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
