#include "billno.h"

#include "data/accesstext.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"

namespace {

struct Kind {
    QString table, column, prefix;
};

bool kindOf(const QString& kind, Kind& out) {
    const QString k = kind.toLower();
    if (k == "rk")
        out = {"tb_rk_head", "BillNo", "rk-"};
    else if (k == "ct")
        out = {"tb_customer", "customerCode", "ct-"};
    else if (k == "ck")
        out = {"tb_ck_head", "BillNo", "ck-"};
    else if (k == "pd")
        out = {"tb_stocktake_head", "billNo", "pd-"};
    else if (k == "db")
        out = {"tb_transfer_head", "billNo", "db-"};
    else
        return false;
    return true;
}

QString monthOf(const QVariant& date) {
    const QString ym = acc::format(date, "YYMM");
    if (ym.size() != 4 || !ym.toInt())
        throw DbError(QStringLiteral("单据日期无效: %1").arg(acc::valueText(date)));
    return ym;
}

// The bill numbers of a month share their first eight characters, so the
// highest one is the last entry of that range in the bill-number index.
QString lastBillNoSql(const Kind& k, const QString& ym) {
    const QString from = k.prefix + ym + "-";
    const QString to = k.prefix + ym + ".";
    return "select max(" + k.column + ") from " + k.table + " where " + k.column + ">='" + from + "' and " +
           k.column + "<'" + to + "'";
}

QString nextNumber(const Kind& k, const QString& ym, const QVariant& last) {
    const int n = static_cast<int>(acc::val(acc::valueText(last).mid(8))) + 1;
    if (n > 99999)
        throw DbError(
            QStringLiteral("%1%2 月的编号已经用完(最多 99999 个), 不能再生成新编号!").arg(k.prefix, ym));
    return k.prefix + ym + "-" + acc::formatNumber(n, "00000");
}

} // namespace

QString GetBillNo(const QString& kind, const QVariant& date) {
    Kind k;
    if (!kindOf(kind, k)) return {};
    const QString ym = monthOf(date);
    if (k.prefix == "ct-")
        return nextNumber(k, ym,
                          sqlHelper::DMax(k.column, k.table, " and mid(" + k.column + ",4,4)='" + ym + "'"));
    const RecordSet rs = sqlHelper::ReadRecord(lastBillNoSql(k, ym));
    return nextNumber(k, ym, rs.RecordCount() > 0 ? rs.at(0, 0) : QVariant());
}

QString NextBillNoInTrans(const QString& kind, const QVariant& date) {
    Kind k;
    if (!kindOf(kind, k) || k.prefix == "ct-") return {};
    const QString ym = monthOf(date);
    sqlHelper::LockInTrans(k.table);
    const RecordSet rs = sqlHelper::QueryInTrans(lastBillNoSql(k, ym));
    return nextNumber(k, ym, rs.RecordCount() > 0 ? rs.at(0, 0) : QVariant());
}

QString LastBillNoQuery(const QString& kind, const QVariant& date) {
    Kind k;
    if (!kindOf(kind, k) || k.prefix == "ct-") return {};
    return lastBillNoSql(k, monthOf(date));
}

QString BillNoAfter(const QString& kind, const QVariant& date, const QVariant& last) {
    Kind k;
    if (!kindOf(kind, k) || k.prefix == "ct-") return {};
    return nextNumber(k, monthOf(date), last);
}
