#include "printguard.h"

#include "data/dberror.h"
#include "data/msgbox.h"
#include "output/printout.h"

namespace PrintOut {

bool Guarded(const QString& caption, const std::function<bool()>& work) {
    try {
        return work();
    } catch (const Error& e) {
        MsgBox::Show(e.message(), MsgBox::Critical, caption);
    } catch (const DbError& e) {
        MsgBox::Show(e.message(), MsgBox::Critical, caption);
    }
    return false;
}

} // namespace PrintOut
