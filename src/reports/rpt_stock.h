#pragma once
// The stock report (库存总账): per goods with a default unit, what came in and
// went out through approved bills of the chosen account marks, and the
// balance, in small pieces, weight and default units. Its refill reads the
// running balance instead of summing every bill line for every goods.

#include "rpt_engine.h"

class dal_rpt_stock : public ReportDal {
public:
    dal_rpt_stock();
    // accountList: account ids joined by commas ("3,5,0").
    m_DBresult insert_temp_rpt_stock(const QString& accountList) { return RefillWith(accountList); }
    m_recordSet GetListForCondition(const ConditionSet& list, const QString& accountList, const m_PageInfor& page,
                                    const QString& selectList = {}, const QString& extraWhere = {}) {
        return ListAfterRefill(accountList, list, page, selectList, extraWhere);
    }

    // The goods' balance in pieces over the account marks the stock report
    // counts for the current user (enabled and granted), read from the
    // running balance, so always current: one row with "totalBlanceQty", or
    // no row when the goods has no default unit or nothing in the balance.
    RecordSet GetStockQtyForGoodCode(int goodsId);
};

// The refill statements as first written, summing the lines per goods with
// correlated sub-selects; kept to compare the fast refill with and to time it.
QStringList CorrelatedStockRefill(const QString& accountList);
