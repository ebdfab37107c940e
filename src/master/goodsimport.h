#pragma once
// Bringing goods in from a spreadsheet: one row per packaging unit, the rows
// of one goods code forming one goods. Every rule of the goods window holds;
// a file is written whole or not at all.

#include "sheets/importsheet.h"

#include <QString>
#include <functional>
#include <vector>

enum class ImportMode { AddOnly, AddOrUpdate };

std::vector<ImportColumn> GoodsImportColumns();

// Checks every row against the file and the shop, setting each row's status
// and problems.
void CheckGoodsImport(ImportSheet& sheet, ImportMode mode);

struct ImportOutcome {
    bool written = false;
    QString message; // why nothing was written
    int added = 0, updated = 0, units = 0;
    std::vector<int> goodsIds; // the goods written, in file order
};

// Told the goods written so far and the number in all; false cancels.
using ImportProgress = std::function<bool(int done, int total)>;

// Checks the rows again and writes them in one transaction: nothing when a
// row is in error, the progress cancels or the engine fails. user names the
// creator and last editor.
ImportOutcome WriteGoodsImport(ImportSheet& sheet, ImportMode mode, const QString& user,
                               const ImportProgress& progress = {});
