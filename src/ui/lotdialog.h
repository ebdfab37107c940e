#pragma once
// The lots of a goods (批次): lot, expiry, days left and pieces in stock, with
// the location when they lie at several. Expired lots show in red.

#include "schema/stockbalance.h"

#include <QString>
#include <vector>

class QWidget;

// Shows the lots; with pick, a double click or OK chooses one. Returns the
// index of the lot chosen, -1 when none was (or without pick).
int ShowLots(QWidget* parent, const QString& title, const std::vector<LotBalance>& lots, bool pick);

// The lots of a goods at every location over the account marks the user
// holds (查看批次), or the message that it has none.
void ShowGoodsLots(QWidget* parent, int goodsId, const QString& goodsName, int locationId = -1,
                   const QString& accountIds = {});
