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
