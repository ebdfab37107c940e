#include "accesswindows.h"

#include "frm_department_fun.h"
#include "frm_user.h"
#include "frmabout.h"
#include "frmlocksystem.h"
#include "frmmodifypwd.h"
#include "frmoptions.h"
#include "frmshowmin.h"

#include "ui/windowregistry.h"

void registerAccessWindows() {
    WindowRegistry::Register("frmOptions", {.create = [](QWidget* parent) { return new frmOptions(parent); },
                                            .title = QStringLiteral("选项"),
                                            .modal = true});
    WindowRegistry::Register("frm_department_fun", {.create = [](QWidget*) { return new frm_department_fun; },
                                                    .title = QStringLiteral("权限设置")});
    WindowRegistry::Register(
        "frm_user", {.create = [](QWidget*) { return new frm_user; }, .title = QStringLiteral("用户信息")});
    WindowRegistry::Register("FrmModifypwd",
                             {.create = [](QWidget* parent) { return new FrmModifypwd(parent); },
                              .title = QStringLiteral("修改密码"),
                              .modal = true});
    // made by the calendar's home view, which shows them itself
    WindowRegistry::Register("FrmLockSystem",
                             {.create = [](QWidget* parent) { return new FrmLockSystem(parent); }});
    WindowRegistry::Register("FrmShowMin", {.create = [](QWidget* home) { return new FrmShowMin(home); }});
    WindowRegistry::Register("FrmAbout",
                             {.create = [](QWidget* parent) { return new FrmAbout(parent); }, .modal = true});
}
