#pragma once
// Near-expiry lots (效期预警): per goods, location and lot with pieces in
// stock, summed over the chosen account marks, the lots whose expiry date is
// at most the warning days after today, expired ones included. Read straight
// from the balance per lot: a search counts the rows, every page is read on
// its own.

#include "rpt_engine.h"

#include <QDate>
#include <QString>

struct ExpiryFilter {
    QString accountIds;  // "2,5," as the account box keeps them
    QString locationIds; // the locations that count, "3,4" ("" : every location)
    QString goodsType;
    QString keyword;
    int days = 30;                      // the warning days, 0 or more
    QDate today = QDate::currentDate(); // the local day the days count from
};

class dal_rpt_expiry : public ReportDal {
public:
    dal_rpt_expiry();
    // Chooses the rows that the count, export, print and the pages read.
    void setFilter(const ExpiryFilter& f, const ConditionSet& list);
    // The number of rows of the filter (no rows read).
    m_recordSet CountForCondition(const ExpiryFilter& f, const ConditionSet& list);
    // One page (counted from 1) of the last counted filter in the page record's sort.
    RecordSet GetPage(const m_PageInfor& page, int pageIndex, int pageSize, const QString& selectList);
    // The page's sort, ties by expiry, goods, location and lot.
    QString OrderClause(const m_PageInfor& page) const override;
    static QString DefaultOrder() { return "expiryDate"; }

private:
    QString m_condition;
    int m_count = 0;
};

void ExpiryConditions(const ExpiryFilter& f, ConditionSet& list);
QString ExpirySelect();
QString ExpiryCaptions();
QString ExpiryKinds();

// The warning days kept in the settings (30 when missing or not a number).
int ExpiryWarnDays();
// Keeps the warning days; false (nothing kept) for a negative number.
bool SetExpiryWarnDays(int days);
// The number of lots in the report of these accounts and locations, today,
// with these warning days (the main window's status bar).
int ExpiringLotCount(const QString& accountIds, const QString& locationIds, int days);
