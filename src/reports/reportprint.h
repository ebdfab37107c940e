#pragma once
// Printing a bill or a report: the print data file and the print tool.
// Messages are shown here; the result says whether the tool was started.

#include "data/conditions.h"

#include <QString>

class ReportDal;

// The bill with the id (stock-in or stock-out) as the entry window prints it.
bool PrintBill(bool stockOut, int billId, const QString& caption);

// Every row of the report's last search (its list condition text) in the
// page record's sort. emptyMessage: what to say when there are no rows.
bool PrintReport(ReportDal& dal, const QString& where, const m_PageInfor& page, const QString& templateCode,
                 const QString& commandPrefix, const QString& emptyMessage, const QString& caption);

// The count sheet of a count: its lines by location with an empty column to
// write the count in; blind leaves out the book balance.
bool PrintStockTakeSheet(int headId, bool blind, const QString& caption);
