#pragma once
// Stock per location (库位库存): per goods and location the balance of the
// approved bills of the chosen account marks, read from the running balance
// per location; goods and locations whose balance is 0 are left out.
//
// With some ten locations per goods the report easily holds a hundred
// thousand rows, so it is not copied into a table: a search counts the rows
// and every page is read from the balance on its own. In the usual order (by
// goods code) a page walks the goods in code order and stops after the page.

#include "rpt_engine.h"

#include <QString>

struct LocStockFilter {
    QString accountIds;  // "2,5," as the account box keeps them
    QString locationIds; // the locations that count, "3,4" ("" : every location and lines without one)
    QString goodsType;
    QString keyword;
};

class dal_rpt_locStock : public ReportDal {
public:
    dal_rpt_locStock();
    // Every row of the filter in the page record's sort.
    m_recordSet GetListForCondition(const LocStockFilter& f, const ConditionSet& list,
                                    const m_PageInfor& page, const QString& selectList = {});
    // The number of rows of the filter (no rows read); export and print then
    // read this filter's rows.
    m_recordSet CountForCondition(const LocStockFilter& f, const ConditionSet& list);
    // One page (counted from 1) of the last counted filter in the page record's sort.
    RecordSet GetPage(const m_PageInfor& page, int pageIndex, int pageSize, const QString& selectList);

    // The page's sort, ties by goods and location.
    QString OrderClause(const m_PageInfor& page) const override;

    // The page record's sort when none is chosen: goods code, then location.
    static QString DefaultOrder() { return "goodsCode"; }
    // Chooses the rows that export, print and the pages read.
    void setFilter(const LocStockFilter& f, const ConditionSet& list);

private:
    QString m_accounts, m_places, m_condition;
    int m_count = 0;
};

void LocStockConditions(const LocStockFilter& f, ConditionSet& list);
QString LocStockSelect();
QString LocStockCaptions();
QString LocStockKinds();
