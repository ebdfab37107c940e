#pragma once
// What a report's filters ask for, and the condition sets they make: shared
// by the report windows and the command line.

#include "data/conditions.h"

#include <QDate>
#include <QString>

struct BillListFilter {
    bool stockOut = false;
    QDate from, to;     // an invalid date: no limit
    QString accountIds; // "3,5," (every id followed by a comma)
    bool approved = true;
    bool unapproved = true;
    QString type;    // the type's name; blank: every type
    QString partner; // part of the partner's name
    QString keyword; // part of bill number, own bill number and partner name
};
void BillListConditions(const BillListFilter& f, ConditionSet& source, ConditionSet& list);
// the select list of the bill list windows and their sort fields
QString BillListSelect(bool stockOut);

// The line reports: the bill list's filters and the goods'.
struct LineListFilter : BillListFilter {
    QString goodsType; // the goods type's name
    QString goodsCode; // part of the goods code
};
void LineListConditions(const LineListFilter& f, ConditionSet& source, ConditionSet& list);
QString LineListSelect(bool stockOut);
QString LineListCaptions(bool stockOut);

// The transfer list and lines: dates, account marks, approval and keyword as
// for the bills, and the locations.
struct TransferFilter {
    QDate from, to; // an invalid date: no limit
    QString accountIds;
    bool approved = true;
    bool unapproved = true;
    QString fromIds, toIds; // a from (to) location and those below it ("3,7"); blank: any
    QString grantedIds;     // the locations the user may see: a transfer touches one of them
    QString keyword;        // the list: bill number and remark; the lines: also goods and locations
};
void TransferListConditions(const TransferFilter& f, ConditionSet& source, ConditionSet& list);
void TransferLineConditions(const TransferFilter& f, ConditionSet& source, ConditionSet& list);
QString TransferListSelect();
QString TransferLineSelect();

struct StockFilter {
    QString goodsType;
    QString keyword;
    bool includeZero = true; // goods whose balance in pieces is 0
    bool lowOnly = false;    // only goods below their lower limit
};
void StockConditions(const StockFilter& f, ConditionSet& list);
QString StockSelect();

// The summaries: goods filters on the list, bill filters inside the sums.
struct SumFilter {
    bool stockOut = false;
    QDate from, to;    // an invalid date: no limit
    QString typeId;    // the stock-in (stock-out) type's id; blank: every type
    QString partner;   // part of the bill's partner name
    QString goodsType; // the goods type's name
    QString keyword;
    bool includeZero = true; // goods whose total in pieces is 0
};
void SumConditions(const SumFilter& f, ConditionSet& list, ConditionSet& sum);
QString SumSelect(bool stockOut);
QString SumCaptions();

// The kinds of the export columns, one letter each beside the captions:
// 'n' a number, 'd' a date, 't' a text.
QString BillListKinds();
QString LineListKinds();
QString StockKinds();
QString TransferListKinds();
QString TransferLineKinds();
QString SumKinds();

// The export captions of the kinds.
QString BillListCaptions(bool stockOut);
QString StockCaptions();
QString TransferListCaptions();
QString TransferLineCaptions();
