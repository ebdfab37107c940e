#include "events.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"
#include "data/sqlvalue.h"
#include "data/sysvar.h"

QString EventTimeText(const QDateTime& time) {
    return time.toString("yyyy-MM-dd hh:mm:ss");
}

QString TimeRange(const QDate& first, const QDate& end) {
    return QStringLiteral("createTime >= '%1' and createTime < '%2'")
        .arg(first.toString("yyyy-MM-dd"), end.toString("yyyy-MM-dd"));
}

namespace {

SqlParams paramsOf(const m_events& m) {
    SqlParams p;
    p.AddItem("@id", m.id);
    p.AddItem("@eventContent", m.eventContent);
    p.AddItem("@createTime", m.createTime);
    p.AddItem("@createUserId", m.createUserId);
    p.AddItem("@flgType", m.flgType);
    p.AddItem("@isStart", m.isstart);
    return p;
}

QString orderSuffix() {
    return " order by createTime" + SysVar().acc_OrderBy + " asc ";
}

} // namespace

void dal_events::Add(const m_events& model) {
    sqlHelper::ExecuteNonQuery(
        "insert into tb_events (id,eventContent,createTime,createUserId,flgType,isStart)  "
        "values (@id,@eventContent,@createTime,@createUserId,@flgType,@isStart) ",
        paramsOf(model));
}

m_events dal_events::GetModel(int id) {
    m_events m;
    const RecordSet rs = sqlHelper::ExecuteSql(
        "SELECT id,eventContent,createTime,createUserId,flgType,isStart  from tb_events  where id=" +
        QString::number(id));
    if (rs.RecordCount() == 0) return m;
    m.id = rs.at(0, "id").toInt();
    m.eventContent = acc::valueText(rs.at(0, "eventContent"));
    m.createTime = acc::valueText(rs.at(0, "createTime"));
    m.createUserId = rs.at(0, "createUserId").toInt();
    m.flgType = acc::valueText(rs.at(0, "flgType"));
    m.isstart = rs.at(0, "isStart").toInt() != 0;
    return m;
}

m_DBresult dal_events::Delete(int id) {
    return sqlHelper::ExecuteTransById({"Delete From tb_events where id=@id"}, id);
}

m_DBresult dal_events::DeleteMore(const QList<int>& ids) {
    QStringList list{"0"};
    for (int id : ids)
        list << QString::number(id);
    KeyValue batch;
    SqlParams p;
    p.AddItem("@id", Raw(list.join(',')));
    batch.AddItem("Delete From tb_events where id in (@id)", p);
    return sqlHelper::ExecuteTrans(batch);
}

void dal_events::Update(const m_events& model) {
    sqlHelper::ExecuteNonQuery("update tb_events  set createTime=@createTime, eventContent=@eventContent,  "
                               "flgType=@flgType,  isStart=@isStart  where id=@id",
                               paramsOf(model));
}

QMap<int, DayEvents> MonthEvents(int year, int month) {
    QMap<int, DayEvents> days;
    const QDate first(year, month, 1);
    if (!first.isValid()) return days;
    const QString range = TimeRange(first, first.addMonths(1));
    const RecordSet counts = sqlHelper::ExecuteSql(
        "SELECT format(a.createTime,'yyyy-MM-dd') as iDate,count(*) as iCount  from tb_events a where " +
        range + " group by format(a.createTime,'yyyy-MM-dd')");
    for (int r = 0; r < counts.RecordCount(); ++r) {
        const QDate d = QDate::fromString(acc::valueText(counts.at(r, 0)), "yyyy-MM-dd");
        if (d.isValid()) days[d.day()].count = counts.at(r, 1).toInt();
    }
    const RecordSet flags = sqlHelper::ExecuteSql(
        "select format(createTime,'yyyy-MM-dd') as iDate, flgType  from tb_events  where " + range +
        orderSuffix());
    for (int r = 0; r < flags.RecordCount(); ++r) {
        const QDate d = QDate::fromString(acc::valueText(flags.at(r, 0)), "yyyy-MM-dd");
        if (d.isValid()) days[d.day()].flags << acc::valueText(flags.at(r, 1));
    }
    return days;
}

QString GetJoinFlgType(const QDate& day) {
    const RecordSet rs = sqlHelper::ExecuteSql("select flgType  from tb_events  where " +
                                               TimeRange(day, day.addDays(1)) + orderSuffix());
    QString out;
    for (int r = 0; r < rs.RecordCount(); ++r)
        out += acc::valueText(rs.at(r, 0)) + "^";
    return out;
}
