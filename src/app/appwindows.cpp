#include "appwindows.h"

#include "access/accesswindows.h"
#include "master/masterwindows.h"

void RegisterWindows() {
    registerAccessWindows();
    registerMasterWindows();
}
