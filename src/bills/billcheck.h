#pragma once
// The checks a bill passes before it is saved, in the order the entry window
// makes them: the head first, then the lines from the last up.

#include "billstore.h"
#include "schema/stockbalance.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

// What the entry window shows in its head fields.
struct BillHeadInput {
    QString partnerName;
    int partnerId = 0;
    QString accountName;
    QString typeName;
    bool approved = false;
};

// The refusals that differ between the bill kinds. A kind without partner,
// type or price leaves their texts empty and is not asked for them.
struct BillCheckTexts {
    QString partnerMissing;
    QString typeMissing;
    QString locationMissing;
    QString priceCaption; // the price column's caption
    QString qtyCaption;
    // A transfer's: every line needs a to location other than its from
    // location, and a quantity above 0.
    QString toLocationMissing;
};

struct BillProblem {
    enum Where {
        None,
        Partner,
        Account,
        Type,
        Approved,
        LineLocation,
        LineToLocation,
        LineName,
        LinePrice,
        LineQty,
        LineLot,
        LineProductionDate,
        LineExpiryDate,
        NoLines
    };
    Where where = None;
    QString text; // empty: the bill may be saved
    int row = -1; // the line of a line's problem, counted after the dropped lines are gone
    // Lines without goods (no code, goods or category), from the last up to the
    // line of the problem: the window takes them away whatever the outcome.
    // Indices of the lines as given, highest first.
    std::vector<int> dropped;
};

BillProblem CheckBill(const BillHeadInput& head, const std::vector<BillEntryRow>& lines,
                      const BillCheckTexts& texts);

// Whether a line holds goods: a code, a goods and its category.
bool HoldsGoods(const BillEntryRow& row);

// What the lot rules read of the shop.
struct LotFacts {
    // a goods' lot setting and shelf life in days (0: none)
    std::function<std::pair<bool, int>(int goodsId)> goods;
    // the expiry registered for a goods' lot ("" when none)
    std::function<QString(int goodsId, const QString& lotNo)> registeredExpiry;
};

// The lot and date rules of a bill's lines that hold goods, checked after
// CheckBill: dates are "yyyy-MM-dd" or empty, a production date is not in the
// future and comes before the expiry. Lines that bring goods in (stockIn) of
// a lot-tracked goods need a lot and an expiry; an empty expiry is the
// production date plus the shelf life; a lot's expiry must be the one
// registered for it (or given by an earlier line of the bill). Other lines
// take their lot's registered expiry when they give none. The expiries so
// found are put into expiryFills (line index, date).
BillProblem CheckLots(const std::vector<BillEntryRow>& lines, bool stockIn, const QDate& today,
                      const LotFacts& facts, std::vector<std::pair<int, QString>>* expiryFills);

// A share of a line going out, taken from one lot.
struct LotTake {
    QString lotNo;
    QString expiryDate;
    double qty = 0; // in the line's unit
};
struct LotSplit {
    std::vector<LotTake> takes;
    double shortfall = 0; // what the lots could not give, in the line's unit
    double available = 0; // the pieces of the lots that could be taken
};
// First expiry, first out: qty units of packQty pieces taken from a
// location's lots (their pieces less what the bill's other lines take of each
// lot, by lot), the lots expiring soonest first, lots without an expiry next,
// expired lots (before today) last, each only when takeExpired agrees (the
// first refusal ends the expired ones). The shares' quantities have at most
// four decimals and add up to qty less the shortfall.
LotSplit SplitByExpiry(const std::vector<LotBalance>& lots, const QHash<QString, double>& takenPieces,
                       double qty, double packQty, const QDate& today,
                       const std::function<bool(const LotBalance&)>& takeExpired);
