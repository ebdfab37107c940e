#pragma once
// The stock report (库存总账): per goods with a default unit, what came in and
// went out through approved bills of the chosen account marks, and the
// balance, in small pieces, weight and default units. Its refill reads the
// running balance instead of summing every bill line for every goods.
// The summaries (入库汇总, 出库汇总) are its one-sided counterparts under
// further conditions on the bills (partner, type, dates).

#include "rpt_engine.h"

class dal_rpt_stock : public ReportDal {
public:
    dal_rpt_stock();
    // accountList: account ids joined by commas ("3,5,0").
    m_DBresult insert_temp_rpt_stock(const QString& accountList) { return RefillWith(accountList); }
    m_recordSet GetListForCondition(const ConditionSet& list, const QString& accountList,
                                    const m_PageInfor& page, const QString& selectList = {}) {
        return ListAfterRefill(accountList, list, page, selectList);
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

// The summaries. The sum conditions are conditions on the bill heads
// (tb_rk_head / tb_ck_head) and sit inside the sums, so goods without
// matching bills are listed with zero totals.
class SumReportDal : public ReportDal {
public:
    m_DBresult Refill(const QString& accountList, const ConditionSet& sum) {
        return RefillWith(accountList, GetConditionSql(sum));
    }
    m_recordSet GetListForCondition(const ConditionSet& list, const ConditionSet& sum,
                                    const QString& accountList, const m_PageInfor& page,
                                    const QString& selectList = {}) {
        return ListAfterRefill(accountList, list, page, selectList, GetConditionSql(sum));
    }

protected:
    explicit SumReportDal(bool stockOut);
};

class dal_rpt_rkSum : public SumReportDal {
public:
    dal_rpt_rkSum() : SumReportDal(false) {}
    m_DBresult insert_temp_rpt_rkSum(const QString& accountList, const ConditionSet& sum) {
        return Refill(accountList, sum);
    }
};

class dal_rpt_ckSum : public SumReportDal {
public:
    dal_rpt_ckSum() : SumReportDal(true) {}
    m_DBresult insert_temp_rpt_ckSum(const QString& accountList, const ConditionSet& sum) {
        return Refill(accountList, sum);
    }
};

// The summary refill as first written, with correlated sub-selects.
QStringList CorrelatedSumRefill(bool stockOut, const QString& accountList, const QString& sumConditions);
