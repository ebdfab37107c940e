#include "appwindows.h"

#include "access/accesswindows.h"
#include "bills/billwindows.h"
#include "master/masterwindows.h"
#include "calendar/calendarwindows.h"
#include "reports/reportwindows.h"

void RegisterWindows() {
    registerAccessWindows();
    registerMasterWindows();
    registerBillWindows();
    registerReportWindows();
    registerCalendarWindows();
}
