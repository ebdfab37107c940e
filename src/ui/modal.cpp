#include "modal.h"

#include <QDialog>

namespace {
std::function<int(QDialog*)>& runner() {
    static std::function<int(QDialog*)> r = [](QDialog* d) { return d->exec(); };
    return r;
}
} // namespace

int RunModal(QDialog* dialog) {
    return runner()(dialog);
}

void SetModalRunner(std::function<int(QDialog*)> r) {
    runner() = r ? std::move(r) : [](QDialog* d) { return d->exec(); };
}
