#pragma once
// Windows open one another by key through this registry, never through the
// main window class. Each feature folder registers its own windows at
// start-up (registerMasterWindows, ...); the main window hands over its MDI
// area, in which the modeless windows open. One instance per key: opening a
// window that is open already shows it again and brings it to the front.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QMdiArea;

class WindowRegistry {
public:
    struct Window {
        // Makes the window. parent: the frame for a modal window, nullptr for
        // one that opens in the MDI area.
        std::function<QWidget*(QWidget* parent)> create;
        // The feature's name in the about box; empty: not listed.
        QString title = {};
        // A dialog run modally, made anew at every opening.
        bool modal = false;
        // Told to load its data (its slot InitReport) at every opening.
        bool report = false;
    };

    static void Register(const QString& key, Window window);
    static void Unregister(const QString& key);
    static bool IsRegistered(const QString& key);
    // The titles of the registered windows, in the order they were registered.
    static QStringList Titles();

    // The area the modeless windows open in; windows open in an earlier area
    // are forgotten.
    static void SetArea(QMdiArea* area);
    static QMdiArea* Area();

    // Approved stock changed (a bill approved or withdrawn, a count posted),
    // or the near-expiry warning days: the watcher (the main window's status
    // bar) reads again what it shows.
    static void ApprovalsChanged();
    static void SetApprovalWatcher(std::function<void()> watcher);

    // Opens the window of the key and brings it to the front with the focus.
    // A new window opens at its own size when that fits the area, otherwise
    // maximised. Returns the window, so that the caller can go on with it;
    // nullptr for an unknown key, without an area, or for a modal window
    // (which has ended by then).
    static QWidget* Open(const QString& key);
    template <typename Form> static Form* OpenAs(const QString& key) {
        return qobject_cast<Form*>(Open(key));
    }
    // Makes the window of the key without showing it, for a caller that shows
    // it itself (a lock screen run modally over the caller, a floating
    // window); parent is handed to the window's maker. nullptr for an unknown key.
    static QWidget* Create(const QString& key, QWidget* parent);
    // The open window of the key, or nullptr.
    static QWidget* Find(const QString& key);
};
