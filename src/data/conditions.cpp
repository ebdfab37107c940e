#include "conditions.h"

#include "accesstext.h"
#include "dberror.h"
#include "sqlhelper.h"
#include "sysvar.h"

QString GetConditionSql(const ConditionSet& conditions) {
    QString out;
    for (const auto& [key, condition] : conditions)
        out += GetConditionItemSql(condition);
    return out;
}

QString GetConditionItemSql(const m_condition& c) {
    const QVariant& v = c.uValue;
    const QString text = acc::valueText(v);
    const QString q = (!v.isValid() || v.isNull()) ? QStringLiteral("''") : sqlHelper::FormatParamValue(v);

    const QString op = c.uLinkType;
    const QString test = op.trimmed().toLower();
    QString r;
    if (test == "in" || test == "not in")
        r = op + " (" + q + ")";
    else if (test == "like")
        r = op + " '%" + sqlHelper::EscapeQuote(text) + "%'";
    else
        r = op + " " + q;
    return " and (" + c.uField + " " + r + ")";
}

m_recordSet RunListQuery(const QString& selectList, const QString& source, const ConditionSet& conditions,
                         const QString& tail) {
    m_recordSet result;
    result.str_condition = GetConditionSql(conditions);
    result.recordSet = sqlHelper::ExecuteSql(selectList + " from " + source + " " + " where 1=1 " +
                                             result.str_condition + tail);
    result.recordCount = result.recordSet.RecordCount();
    return result;
}

int GetRecordCount(const QString& sql) {
    if (!sqlHelper::IsQueryText(sql)) return 0;
    const RecordSet rs =
        sqlHelper::ExecuteSql("select count(*) as uRecordCount from (" + sql + ") as uCountQuery");
    return rs.RecordCount() > 0 ? rs.at(0, 0).toInt() : 0;
}

m_recordSet GetRecordSet(const QString& sql, const QString& countSql) {
    m_recordSet result;
    if (!sqlHelper::IsQueryText(sql)) return result;
    result.recordSet = sqlHelper::ExecuteSql(sql);
    result.recordCount = GetRecordCount(countSql);
    return result;
}

int GetPageCount(int count, int size) {
    if (size < 1) throw DbError(QStringLiteral("每页行数必须大于 0"));
    return count / size + (count % size != 0 ? 1 : 0);
}

QString GetPageSql(const QString& sql, int& pageIndex, int pageSize, const QString& orderBy, bool isDesc) {
    const int count = GetRecordCount(sql);
    const int pageCount = GetPageCount(count, pageSize);
    if (pageIndex < 1) pageIndex = 1;
    int rows = pageSize;
    if (pageIndex >= pageCount) {
        rows = count % pageSize == 0 ? pageSize : count % pageSize;
        pageIndex = pageCount;
    }
    int top = pageIndex * pageSize;
    const QString suffix = SysVar().acc_OrderBy;
    const QString inner = " order by " + orderBy + suffix + (isDesc ? " desc " : " asc ");
    const QString reverse = " order by " + orderBy + suffix + (isDesc ? " asc " : " desc ");
    if (rows < 1) rows = 1;
    if (top < 1) top = 1;
    QString page =
        "SELECT * FROM   (SELECT top {0} * FROM  ( SELECT top {1} * FROM ({2}) a {3}) b {4} ) c {5}";
    page.replace("{0}", QString::number(rows));
    page.replace("{1}", QString::number(top));
    // the statement itself may hold "{3}" and the like: put it in last
    page.replace("{3}", inner);
    page.replace("{4}", reverse);
    page.replace("{5}", inner);
    page.replace("{2}", sql);
    return page;
}
