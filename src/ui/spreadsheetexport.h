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

// The same from the rows of a cursor, written as they are read, under a
// progress window the user may cancel ("导出已取消", no file then). total:
// the rows expected, or -1 when unknown.
QString ExportToSpreadsheet(RowCursor& rows, const QString& title, const QString& captions,
                            const QString& kinds, qint64 total = -1);

} // namespace Export
