#include "application.h"

#include "data/dberror.h"
#include "data/msgbox.h"

bool WmsApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const DbError& e) {
        MsgBox::Show(e.message(), MsgBox::Critical, "System");
    } catch (const std::exception& e) {
        MsgBox::Show(QString::fromUtf8(e.what()), MsgBox::Critical, "System");
    }
    return false;
}
