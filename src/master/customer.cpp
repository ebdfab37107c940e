#include "customer.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"

namespace {
const char* const kColumns =
    " id,utype,utypeName,customType,customTypeName,customerCode,uname,pinyin,contact,"
    "companyName,taxNumber,bankName,bankAccount,address,tel,email,fax,status,statusName,"
    "imageUrl,creator,createTime,updateLastUser,updateLastTime,userId ";

// The parameters of a partner; a statement takes the ones it names.
SqlParams partnerParams(const m_customer& m) {
    SqlParams p;
    p.AddItem("@id", m.id);
    p.AddItem("@utype", m.utype);
    p.AddItem("@customType", m.customType);
    p.AddItem("@customerCode", m.customerCode);
    p.AddItem("@uname", m.uname);
    p.AddItem("@pinyin", m.pinyin);
    p.AddItem("@contact", m.contact);
    p.AddItem("@companyName", m.companyName);
    p.AddItem("@taxNumber", m.taxNumber);
    p.AddItem("@bankName", m.bankName);
    p.AddItem("@bankAccount", m.bankAccount);
    p.AddItem("@address", m.address);
    p.AddItem("@tel", m.tel);
    p.AddItem("@email", m.email);
    p.AddItem("@fax", m.fax);
    p.AddItem("@status", m.status);
    p.AddItem("@imageUrl", m.imageUrl);
    p.AddItem("@creator", m.creator);
    p.AddItem("@createTime", m.createTime);
    p.AddItem("@updateLastUser", m.updateLastUser);
    p.AddItem("@updateLastTime", m.updateLastTime);
    p.AddItem("@userId", m.userId);
    return p;
}
} // namespace

int GetTypeId(const QString& text) {
    const QString t = text.trimmed();
    if (t == QStringLiteral("客户")) return 1;
    if (t == QStringLiteral("两者都是")) return 2;
    return 0;
}

int GetStatusId(const QString& text) {
    return text.trimmed() == QStringLiteral("启用") ? 1 : 0;
}

QString dal_customer::GetSqlSearch(const QString& kind) const {
    if (kind == "f") return kColumns;
    if (kind == "a") return QString("select ") + kColumns + " from v_customer";
    return {};
}

void dal_customer::Add(const m_customer& m) {
    m_sql.Clear();
    m_sql.Append(
        "insert into tb_customer(id,utype,customType,customerCode,uname,pinyin,contact,companyName,taxNumber,"
        "bankName,bankAccount,address,tel,email,fax,status,imageUrl,creator,createTime,updateLastUser,"
        "updateLastTime,userId ) values (@id,@utype,@customType,@customerCode,@uname,@pinyin,@contact,"
        "@companyName,@taxNumber,@bankName,@bankAccount,@address,@tel,@email,@fax,@status,@imageUrl,@creator,"
        "@createTime,@updateLastUser,@updateLastTime,@userId )");
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), partnerParams(m));
}

m_customer dal_customer::readModel(const QString& where) {
    m_sql.Clear();
    m_sql.Append(GetSqlSearch("a")).Append(where);
    m_customer m;
    const RecordSet rs = sqlHelper::ReadRecord(m_sql.ToString());
    if (rs.RecordCount() > 0) {
        auto text = [&](const char* f) { return acc::valueText(rs.value(f)); };
        m.id = rs.value("id").toInt();
        m.utype = rs.value("utype").toInt();
        m.utypeName = text("utypeName");
        m.customType = rs.value("customType").toInt();
        m.customTypeName = text("customTypeName");
        m.customerCode = text("customerCode");
        m.uname = text("uname");
        m.pinyin = text("pinyin");
        m.contact = text("contact");
        m.companyName = text("companyName");
        m.taxNumber = text("taxNumber");
        m.bankName = text("bankName");
        m.bankAccount = text("bankAccount");
        m.address = text("address");
        m.tel = text("tel");
        m.email = text("email");
        m.fax = text("fax");
        m.status = rs.value("status").toInt();
        m.statusName = text("statusName");
        m.imageUrl = text("imageUrl");
        m.creator = text("creator");
        m.createTime = text("createTime");
        m.updateLastUser = text("updateLastUser");
        m.updateLastTime = text("updateLastTime");
        m.userId = rs.value("userId").toInt();
    }
    return m;
}

m_customer dal_customer::GetModel(int id) {
    return readModel(" where id=" + QString::number(id));
}

m_customer dal_customer::GetModelForCustomerName(int id, const QString& name) {
    return readModel(" where id<>" + QString::number(id) + " and uname='" + sqlHelper::EscapeQuote(name) +
                     "'");
}

RecordSet dal_customer::GetDataTable(const ConditionSet& conditions, bool forExport) {
    m_sql.Clear();
    m_sql
        .Append(
            forExport
                ? QString("select utypeName,customTypeName,customerCode,uname,contact,companyName,taxNumber,"
                          "bankName,bankAccount,address,tel,email,fax,statusName,creator,createTime  from "
                          "v_customer")
                : GetSqlSearch("a"))
        .Append(" where 1=1 ")
        .Append(GetConditionSql(conditions));
    return sqlHelper::ExecuteSql(m_sql.ToString());
}

m_recordSet dal_customer::GetListForCondition(const ConditionSet& conditions, const QString& selectText) {
    return RunListQuery(IsBlank(selectText) ? "select " + GetSqlSearch("f") : selectText, "v_customer",
                        conditions);
}

m_DBresult dal_customer::Delete(int id) {
    return sqlHelper::ExecuteTransById({"Delete From tb_customer where id=@id"}, id);
}

void dal_customer::Update(const m_customer& m) {
    m_sql.Clear();
    m_sql.Append(
        "update tb_customer set utype=@utype, customType=@customType, uname=@uname, pinyin=@pinyin, "
        "contact=@contact, companyName=@companyName, taxNumber=@taxNumber, bankName=@bankName, "
        "bankAccount=@bankAccount, address=@address, tel=@tel, email=@email, fax=@fax, status=@status, "
        "imageUrl=@imageUrl, updateLastUser=@updateLastUser, updateLastTime=@updateLastTime where id=@id");
    sqlHelper::ExecuteNonQuery(m_sql.ToString(), partnerParams(m));
}
