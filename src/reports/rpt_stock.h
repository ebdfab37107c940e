#pragma once
// The stock report's data access. For now: the current stock of one goods,
// which bill entry asks before a line would take stock below zero.

#include "data/recordset.h"

class dal_rpt_stock {
public:
    // The goods' balance in pieces over the account marks the stock report
    // counts for the current user (enabled and granted), read from the
    // running balance, so always current: one row with "totalBlanceQty", or
    // no row when the goods has no default unit or nothing in the balance.
    RecordSet GetStockQtyForGoodCode(int goodsId);
};
