#include "accesswindows.h"

#include "frmabout.h"
#include "frmmodifypwd.h"

#include "ui/windowregistry.h"

void registerAccessWindows() {
    WindowRegistry::Register("FrmModifypwd",
                             {.create = [](QWidget* parent) { return new FrmModifypwd(parent); },
                              .title = QStringLiteral("修改密码"),
                              .modal = true});
    WindowRegistry::Register("FrmAbout",
                             {.create = [](QWidget* parent) { return new FrmAbout(parent); }, .modal = true});
}
