#include "calendarwindows.h"

#include "frmcalendar.h"

#include "ui/windowregistry.h"

void registerCalendarWindows() {
    WindowRegistry::Register("FrmCalendar",
                             {.create = [](QWidget* parent) { return new FrmCalendar(parent); },
                              .title = QStringLiteral("日程管理"),
                              .modal = true});
    WindowRegistry::Register("frmMain",
                             {.create = [](QWidget* parent) { return new frmMain(parent); }, .modal = true});
}
