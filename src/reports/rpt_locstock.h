#pragma once
// Stock per location (库位库存): per goods and location the balance of the
// approved bills of the chosen account marks, read from the running balance
// per location; goods and locations whose balance is 0 are left out.

#include "rpt_engine.h"

#include <QString>

struct LocStockFilter {
    QString accountIds;  // "2,5," as the account box keeps them
    QString locationIds; // the locations that count, "3,4" ("" : every location and lines without one)
    QString goodsType;
    QString keyword;
};
// The location ids of a location's subtree, intersected with the granted
// ones when granted is not empty ("3,4,9"); "" for the root (every location).
QString LocationSubtree(int locationId, const QString& granted);

class dal_rpt_locStock : public ReportDal {
public:
    dal_rpt_locStock();
    m_recordSet GetListForCondition(const LocStockFilter& f, const ConditionSet& list,
                                    const m_PageInfor& page, const QString& selectList = {});
};

void LocStockConditions(const LocStockFilter& f, ConditionSet& list);
QString LocStockSelect();
QString LocStockCaptions();
QString LocStockKinds();
