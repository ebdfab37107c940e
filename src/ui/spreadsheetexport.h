#pragma once
// Exporting a window's list to a spreadsheet, with what the user is told.

#include "data/recordset.h"

#include <QString>

namespace Export {

// The export of a window's list: "无记录导出!" when there is nothing, else
// the workbook, "导出完成！" with its file on the second line, and the
// workbook opened (or a word that it cannot be). Returns the file, or ""
// when nothing was written.
QString ExportToSpreadsheet(const RecordSet& rs, const QString& title, const QString& captions,
                            const QString& kinds);

} // namespace Export
