#pragma once
#include <QApplication>

// The application object: an error that reaches the event loop is shown in
// a message box and the program keeps running.
class WmsApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};
