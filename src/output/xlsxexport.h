#pragma once
// Spreadsheet export: a record set into an xlsx workbook under
// kxPrint/generateXls/ (the title in A1, the captions in row 2, the rows from
// A3), then opened with the desktop's program for it.

#include "data/recordset.h"

#include <QString>
#include <functional>

namespace Export {

// The kinds of the columns, one letter each: 'n' a number, 'd' a date, any
// other a text. Codes, bill numbers, telephone and account numbers are text,
// so their leading zeros and long digit strings stay.
// Writes the workbook; throws std::runtime_error with the reason on failure.
void WriteWorkbook(const QString& path, const RecordSet& rs, const QString& title,
                   const QStringList& captions, const QString& kinds);

// Told the rows written so far, now and then and after the last; false
// cancels the export.
using WriteProgress = std::function<bool(qint64 rows)>;

// The same workbook from the rows of a cursor, written one row at a time in
// constant memory (the rows go through temporary files under the system's
// temporary folder). Returns the rows written, or -1 when the progress
// cancelled the export: then no file is left. Engine errors are thrown as
// DbError, and no file is left either.
qint64 WriteWorkbook(const QString& path, RowCursor& rows, const QString& title, const QStringList& captions,
                     const QString& kinds, const WriteProgress& progress = {});

// The file of an export started now: yyyyMMdd-HHmmss.xlsx, with "-2", "-3", …
// when an export of the same second is there already.
QString NewWorkbookPath();

// Opens a written workbook; false when the desktop has no program for it
// (the program sets the desktop's opener; by default, as in tests, nothing
// is opened).
std::function<bool(const QString& path)>& WorkbookOpener();

} // namespace Export
