#include "funcode.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"

QStringList m_funCode::all() {
    QStringList out;
#define WMS_FUNCODE_NAME(name, code) out << QStringLiteral(code);
    WMS_FUNCODES(WMS_FUNCODE_NAME)
#undef WMS_FUNCODE_NAME
    return out;
}

QString GetJoinedGrants(int departmentId, const QString& kind) {
    const QString k = kind.toLower();
    QString column, table;
    if (k == "f") {
        column = "funCode";
        table = "tb_user_group_fun";
    } else if (k == "a") {
        column = "accountId";
        table = "tb_account_fun";
    } else if (k == "l") {
        column = "locationId";
        table = "tb_location_fun";
    } else {
        return "0";
    }
    sqlHelper::CloseRs();
    RecordSet& rs = sqlHelper::rs();
    rs = sqlHelper::ExecuteSql("select " + column + " from " + table +
                               " where departmentId=" + QString::number(departmentId));
    QString out;
    for (int r = 0; r < rs.RecordCount(); ++r)
        out += acc::valueText(rs.at(r, 0)) + ',';
    sqlHelper::CloseRs();
    return out + "0";
}

