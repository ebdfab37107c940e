#pragma once
// The running stock balance: per goods and account mark, the pieces and the
// weight of the lines of approved bills, in and out. Triggers on the four
// bill tables keep tb_stock_balance exact in the transaction of every write,
// whoever writes, so a stock question reads one row instead of summing lines.

#include "data/recordset.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class Database;

// The table, its index and the triggers, as engine statements.
QStringList StockBalanceSchema();

// Replaces the table's rows by a recomputation from the bill lines.
// Runs on the open database; the caller owns the transaction.
void RebuildStockBalance();
void RebuildStockBalance(Database& db);

struct BalanceDifference {
    QVariant goodsId;   // Null for lines without goods
    QVariant accountId; // Null for bills without an account mark
    QString column;     // importQty, importWeight, exportQty or exportWeight
    double stored = 0;
    double expected = 0;
    QVariant locationId; // the per-location balance only (0: lines without a location)
    QVariant lotNo;      // the per-lot balance only ('': lines without a lot)
};

// Compares the table with a recomputation from the lines. A difference
// counts when it exceeds 1e-6 of the figure, and at least 1e-6.
std::vector<BalanceDifference> CheckStockBalance();
std::vector<BalanceDifference> CheckStockBalance(Database& db);

// The balance per goods, account mark and location (a line without a
// location counts under 0), kept by triggers like the one above.
QStringList StockLocationSchema();
void RebuildStockLocation();
void RebuildStockLocation(Database& db);
std::vector<BalanceDifference> CheckStockLocation();
std::vector<BalanceDifference> CheckStockLocation(Database& db);

// The transfers between locations: their tables, indexes and the triggers
// that keep the balance per location (a transfer line takes its pieces and
// weight out of its from location and into its to location; the balance
// per goods does not move). The recomputation above counts them once the
// tables exist.
QStringList TransferSchema();

// The balance per goods, account mark, location and lot ('' for a line
// without one) of every approved stock-in, stock-out and transfer line, kept
// by triggers like the one per location, which it sums to; a lot's expiry is
// the earliest of what came in with it. The rebuild and the check need the
// lot columns of the lines (a file from their schema step on).
QStringList StockLotSchema();
void RebuildStockLot(Database& db);
std::vector<BalanceDifference> CheckStockLot(Database& db);

// The stock of one goods in pieces over the enabled account marks granted to
// the user (a row "id, totalBlanceQty"), or no row for a goods never stocked
// or without a default unit: the question the stock-out entry asks.
RecordSet GoodsStockBalance(int goodsId);

// A lot of a goods at a location with pieces in stock.
struct LotBalance {
    int locationId = 0;
    QString lotNo;      // '' for what came in without a lot
    QString expiryDate; // yyyy-MM-dd, '' when none was registered
    double pieces = 0;
};
// The lots of a goods holding pieces over the account marks ("2,5"), at one
// location (-1: at every location), by location, then earliest expiry first
// (lots without one last), then lot.
std::vector<LotBalance> GoodsLots(int goodsId, const QString& accountIds, int locationId);
// The expiry a goods' lot is registered with: the earliest of the approved
// stock-in lines of that lot (its case counts), a bill left out ("" when none).
QString RegisteredExpiry(int goodsId, const QString& lotNo, int exceptBillId = 0);
