#include "billno.h"

#include "data/accesstext.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"

QString GetBillNo(const QString& kind, const QVariant& date) {
    const QString k = kind.toLower();
    QString table, column, prefix;
    if (k == "rk") {
        table = "tb_rk_head";
        column = "BillNo";
        prefix = "rk-";
    } else if (k == "ct") {
        table = "tb_customer";
        column = "customerCode";
        prefix = "ct-";
    } else if (k == "ck") {
        table = "tb_ck_head";
        column = "BillNo";
        prefix = "ck-";
    } else {
        return {};
    }
    const QString ym = acc::format(date, "YYMM");
    if (ym.size() != 4 || !ym.toInt())
        throw DbError(QStringLiteral("单据日期无效: %1").arg(acc::valueText(date)));
    const QVariant last = sqlHelper::DMax(column, table, " and mid(" + column + ",4,4)='" + ym + "'");
    const int n = static_cast<int>(acc::val(acc::valueText(last).mid(8))) + 1;
    if (n > 99999)
        throw DbError(
            QStringLiteral("%1%2 月的编号已经用完(最多 99999 个), 不能再生成新编号!").arg(prefix, ym));
    return prefix + ym + "-" + acc::formatNumber(n, "00000");
}
