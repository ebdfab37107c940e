#pragma once
// Bringing suppliers and customers in from a spreadsheet, with the captions
// of the partner export. The rules of the partner window hold; a name the
// shop or the file has already is a warning the user accepts or not.

#include "data/conditions.h"
#include "sheets/importsheet.h"

#include <vector>

std::vector<ImportColumn> PartnerImportColumns();

void CheckPartnerImport(ImportSheet& sheet, ImportMode mode);

// Checks again and writes in one transaction; partners without a code are
// numbered as the window numbers new ones, in file order.
ImportOutcome WritePartnerImport(ImportSheet& sheet, ImportMode mode, const QString& user, int userId,
                                 const ImportProgress& progress = {});

// The partners the list conditions choose, in the template's columns, by code.
std::vector<QStringList> PartnerImportRows(const ConditionSet& listConditions);
