#pragma once
// Printing a bill or a count sheet: the print data file and the print tool.
// Messages are shown here; the result says whether the tool was started.

#include <QString>

// The bill with the id (stock-in or stock-out) as the entry window prints it.
bool PrintBill(bool stockOut, int billId, const QString& caption);

// The transfer with the id, its head and its lines with both locations.
bool PrintTransfer(int transferId, const QString& caption);

// The count sheet of a count: its lines by location with an empty column to
// write the count in; blind leaves out the book balance.
bool PrintStockTakeSheet(int headId, bool blind, const QString& caption);
