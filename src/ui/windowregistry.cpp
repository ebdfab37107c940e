#include "windowregistry.h"

#include "modal.h"

#include <QApplication>
#include <QDialog>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace {

struct Registry {
    QHash<QString, WindowRegistry::Window> windows;
    QStringList order;
    QPointer<QMdiArea> area;
    QHash<QString, QPointer<QMdiSubWindow>> open;
    std::function<void()> approvalWatcher;
};

Registry& registry() {
    static Registry r;
    return r;
}

// Where a new window's frame goes: below and right of the other windows, kept inside the area.
QPoint cascadePosition(QMdiArea* area, QMdiSubWindow* sub, QSize outer) {
    int others = 0;
    for (QMdiSubWindow* w : area->subWindowList())
        others += w != sub && w->isVisible() && !w->isMinimized();
    const QSize room = area->viewport()->size();
    const int step = 24 * others;
    return {qMax(0, qMin(step, room.width() - outer.width())),
            qMax(0, qMin(step, room.height() - outer.height()))};
}

// A new window opens at its own size (at least the size its fields need)
// when that fits the area, otherwise maximised.
void placeNew(QMdiArea* area, QMdiSubWindow* sub, QSize wanted) {
    QWidget* form = sub->widget();
    const QSize frame = sub->sizeHint() - form->sizeHint(); // title bar and borders
    const QSize outer = wanted.expandedTo(form->minimumSizeHint()) + frame;
    const QSize room = area->viewport()->size();
    const QMdiSubWindow* active = area->activeSubWindow();
    if ((active && active->isMaximized()) || outer.width() > room.width() || outer.height() > room.height()) {
        sub->showMaximized();
        return;
    }
    sub->resize(outer);
    sub->move(cascadePosition(area, sub, outer));
    sub->show();
}

// The focus goes to the form's last focused field, or its first one.
void focusInto(QWidget* form) {
    if (form->isAncestorOf(QApplication::focusWidget())) return;
    if (QWidget* last = form->focusWidget(); last && last->isVisible() && last->isEnabled()) {
        last->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (QWidget* w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain()) {
        if (form->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    form->setFocus(Qt::OtherFocusReason);
}

void bringToFront(QMdiArea* area, QMdiSubWindow* sub) {
    if (sub->isMinimized()) sub->showNormal();
    sub->show();
    if (area->activeSubWindow() != sub) area->setActiveSubWindow(sub);
    sub->raise();
    if (QWidget* form = sub->widget()) focusInto(form);
}

} // namespace

void WindowRegistry::Register(const QString& key, Window window) {
    Registry& r = registry();
    if (!r.windows.contains(key)) r.order << key;
    r.windows.insert(key, std::move(window));
}

void WindowRegistry::Unregister(const QString& key) {
    registry().windows.remove(key);
    registry().order.removeAll(key);
}

bool WindowRegistry::IsRegistered(const QString& key) {
    return registry().windows.contains(key);
}

QStringList WindowRegistry::Titles() {
    QStringList titles;
    for (const QString& key : registry().order)
        if (const QString& t = registry().windows.value(key).title; !t.isEmpty()) titles << t;
    return titles;
}

void WindowRegistry::SetArea(QMdiArea* area) {
    registry().area = area;
    registry().open.clear();
}

QMdiArea* WindowRegistry::Area() {
    return registry().area;
}

void WindowRegistry::ApprovalsChanged() {
    if (registry().approvalWatcher) registry().approvalWatcher();
}

void WindowRegistry::SetApprovalWatcher(std::function<void()> watcher) {
    registry().approvalWatcher = std::move(watcher);
}

QWidget* WindowRegistry::Create(const QString& key, QWidget* parent) {
    const auto it = registry().windows.constFind(key);
    return it == registry().windows.constEnd() ? nullptr : it.value().create(parent);
}

QWidget* WindowRegistry::Find(const QString& key) {
    const QMdiSubWindow* sub = registry().open.value(key);
    return sub ? sub->widget() : nullptr;
}

QWidget* WindowRegistry::Open(const QString& key) {
    Registry& r = registry();
    const auto it = r.windows.constFind(key);
    if (it == r.windows.constEnd()) return nullptr;
    const Window& def = it.value();
    QMdiArea* area = r.area;
    if (def.modal) {
        std::unique_ptr<QWidget> w(def.create(area ? area->window() : nullptr));
        if (auto* d = qobject_cast<QDialog*>(w.get())) RunModal(d);
        return nullptr;
    }
    if (!area) return nullptr;
    QMdiSubWindow* sub = r.open.value(key);
    if (sub && !sub->widget()) { // a frame left empty
        delete sub;
        sub = nullptr;
    }
    if (!sub) {
        QWidget* w = def.create(nullptr);
        const QSize wanted = w->testAttribute(Qt::WA_Resized) ? w->size() : w->sizeHint();
        w->setAttribute(Qt::WA_DeleteOnClose);
        sub = area->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        // a form that closes itself takes its frame along
        QObject::connect(w, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
        r.open.insert(key, sub);
        placeNew(area, sub, wanted);
    }
    QWidget* w = sub->widget();
    if (def.report) QMetaObject::invokeMethod(w, "InitReport");
    bringToFront(area, sub);
    // Once the command that opened it is over (a menu handing the focus back,
    // the caller going on with the window), the window is still in front.
    QTimer::singleShot(0, sub, [area = QPointer<QMdiArea>(area), sub] {
        if (area) bringToFront(area, sub);
    });
    return w;
}
