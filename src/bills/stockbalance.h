#pragma once
// The running stock balance: per goods and account mark, the pieces and the
// weight of the lines of approved bills, in and out. Triggers on the four
// bill tables keep tb_stock_balance exact in the transaction of every write,
// whoever writes, so a stock question reads one row instead of summing lines.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// The table, its index and the triggers, as engine statements.
QStringList StockBalanceSchema();

// Replaces the table's rows by a recomputation from the bill lines.
// Runs on the open database; the caller owns the transaction.
void RebuildStockBalance();

struct BalanceDifference {
    QVariant goodsId;   // Null for lines without goods
    QVariant accountId; // Null for bills without an account mark
    QString column;     // importQty, importWeight, exportQty or exportWeight
    double stored = 0;
    double expected = 0;
};

// Compares the table with a recomputation from the lines. A difference
// counts when it exceeds 1e-6 of the figure, and at least 1e-6.
std::vector<BalanceDifference> CheckStockBalance();
