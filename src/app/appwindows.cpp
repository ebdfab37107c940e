#include "appwindows.h"

#include "access/accesswindows.h"
#include "bills/billwindows.h"
#include "master/masterwindows.h"

void RegisterWindows() {
    registerAccessWindows();
    registerMasterWindows();
    registerBillWindows();
}
