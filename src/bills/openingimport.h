#pragma once
// A shop's opening stock from a spreadsheet: one approved stock-in bill of
// the type 期初入库 for one account mark and date, its lines the file's rows,
// saved through the bill layer so that the balances follow.

#include "sheets/importsheet.h"

#include <QString>
#include <vector>

struct OpeningOptions {
    int accountId = 0;
    QString date; // yyyy-MM-dd
    QString user;
    int userId = 0;
    QString grantedLocations = "0"; // the ids the user may book to, comma separated
};

std::vector<ImportColumn> OpeningImportColumns();

void CheckOpeningImport(ImportSheet& sheet, const OpeningOptions& options);

// The number of an opening bill the account has already; "" for none.
QString OpeningBillOf(int accountId);

// Checks again and saves the bill; its id is the outcome's one id.
ImportOutcome WriteOpeningImport(ImportSheet& sheet, const OpeningOptions& options,
                                 const ImportProgress& progress = {});
