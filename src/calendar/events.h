#pragma once
// Events (日程): dated notes with an importance, and what the month calendar
// reads of them. Times are stored as "yyyy-MM-dd hh:mm:ss" text, so that a
// month or a day is a text range its index serves.

#include "data/recordset.h"
#include "data/results.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

struct m_events {
    int id = 0;
    QString eventContent;
    QString createTime;
    int createUserId = 0;
    bool isstart = false;
    QString flgType;
};

// The three importances, in the editor's order.
inline const QStringList kImportances = {QStringLiteral("一般"), QStringLiteral("重要"),
                                         QStringLiteral("非常重要")};
// The stored form of an event's time.
QString EventTimeText(const QDateTime& time);

class dal_events {
public:
    void Add(const m_events& model);
    m_events GetModel(int id);
    m_DBresult Delete(int id);
    m_DBresult DeleteMore(const QList<int>& ids);
    // The content, time, importance and mark; the author stays.
    void Update(const m_events& model);
};

// One day of a month in the calendar: its events' importances, in their order.
struct DayEvents {
    int count = 0;
    QStringList flags;
};
// The days of the month that have events, each with its count and its
// importance list, from one query for the counts and one for the lists.
QMap<int, DayEvents> MonthEvents(int year, int month);
// The importance list of a day, each followed by "^".
QString GetJoinFlgType(const QDate& day);
// "createTime >= 'from' and createTime < 'to'": the days from first up to
// (not including) end.
QString TimeRange(const QDate& first, const QDate& end);
