#include "windowregistry.h"

#include "modal.h"

#include <QDialog>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <memory>

namespace {

struct Registry {
    QHash<QString, WindowRegistry::Window> windows;
    QStringList order;
    QPointer<QMdiArea> area;
    QHash<QString, QPointer<QMdiSubWindow>> open;
};

Registry& registry() {
    static Registry r;
    return r;
}

void bringToFront(QMdiArea* area, QMdiSubWindow* sub) {
    if (sub->isMinimized()) sub->showNormal();
    sub->show();
    if (area->activeSubWindow() != sub) area->setActiveSubWindow(sub);
    sub->raise();
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
        w->setAttribute(Qt::WA_DeleteOnClose);
        sub = area->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        // a form that closes itself takes its frame along
        QObject::connect(w, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
        r.open.insert(key, sub);
        sub->show();
    }
    QWidget* w = sub->widget();
    if (def.report) QMetaObject::invokeMethod(w, "InitReport");
    bringToFront(area, sub);
    return w;
}
