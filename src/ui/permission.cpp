#include "permission.h"

#include "data/applog.h"
#include "data/msgbox.h"
#include "data/sysvar.h"

bool CheckFunction(const QString& code, bool showMessage) {
    if (HasFunction(code)) return true;
    qCInfo(lcAccess).noquote() << "permission refused: function" << code;
    if (showMessage)
        MsgBox::Show(QStringLiteral("功能受限,请与系统管理联系!"), MsgBox::Information, "System");
    return false;
}
