#pragma once
// Transfers between locations (调拨单, numbers db-YYMM-nnnnn): a head and
// lines that each move a quantity of one goods from one location to
// another. Approved lines move the balance per location through the
// tables' triggers; the balance per goods does not move.

#include <QString>
#include <QStringList>

// The locations a transfer's withdrawal (or deletion, when approved) would
// leave below 0 for its account mark: one question text per goods and to
// location, "" when none. Read outside any transaction: a question, not a lock.
QString TransferWithdrawalShortfall(int headId);

// The question asked when a line is entered whose from location has less
// of the goods (in pieces) for the account mark than the line takes out (a
// goods never there has 0); "" when it has enough. alreadyTaken: the
// pieces the bill's other lines take out of the same location.
QString TransferStockQuestion(int goodsId, const QString& goodsName, int accountId, int fromLocationId,
                              const QString& fromLocationCode, double pieces, double alreadyTaken = 0);
