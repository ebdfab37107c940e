#pragma once
// Printing a report: the print data file and the print tool.
// Messages are shown here; the result says whether the tool was started.

#include "data/conditions.h"

#include <QString>

class ReportDal;

// Every row of the report's last search (its list condition text) in the
// page record's sort. emptyMessage: what to say when there are no rows.
bool PrintReport(ReportDal& dal, const QString& where, const m_PageInfor& page, const QString& templateCode,
                 const QString& commandPrefix, const QString& emptyMessage, const QString& caption);

// The rows of the report's last search under its list condition text.
qint64 ReportRowCount(ReportDal& dal, const QString& where);

// A print of more rows than this asks first: the stored setting
// "printAskRows" when it is a positive number, else 5000.
qint64 PrintAskRows();
