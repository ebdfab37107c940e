#pragma once
// The checks a bill passes before it is saved, in the order the entry window
// makes them: the head first, then the lines from the last up.

#include "billstore.h"

#include <QString>
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
