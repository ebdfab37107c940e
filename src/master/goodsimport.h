#pragma once
// Bringing goods in from a spreadsheet: one row per packaging unit, the rows
// of one goods code forming one goods. Every rule of the goods window holds;
// a file is written whole or not at all.

#include "data/conditions.h"
#include "sheets/importsheet.h"

#include <QString>
#include <vector>

std::vector<ImportColumn> GoodsImportColumns();

// Checks every row against the file and the shop, setting each row's status
// and problems.
void CheckGoodsImport(ImportSheet& sheet, ImportMode mode);

// Checks the rows again and writes them in one transaction: nothing when a
// row is in error, the progress cancels or the engine fails. user names the
// creator and last editor.
ImportOutcome WriteGoodsImport(ImportSheet& sheet, ImportMode mode, const QString& user,
                               const ImportProgress& progress = {});

// Every unit of the goods the list conditions choose, in the template's
// columns, goods by code and units in their order: exported, edited and
// imported again with updating, they update the shop.
std::vector<QStringList> GoodsImportRows(const ConditionSet& listConditions);
