#pragma once
// Counted quantities of an open stock count from a spreadsheet (what a
// handheld scanner exports, often one row per scan): the rows of one goods
// and location are summed in pieces and set as that line's count; a goods
// the count has no line for gets one with a book balance of 0.

#include "sheets/importsheet.h"

#include <vector>

std::vector<ImportColumn> CountImportColumns();

void CheckCountImport(ImportSheet& sheet, int countId);

// Checks again and stores the counts of the count (its id the outcome's one id).
ImportOutcome WriteCountImport(ImportSheet& sheet, int countId, const ImportProgress& progress = {});
