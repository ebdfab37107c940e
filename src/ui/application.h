#pragma once
#include <QApplication>

// The title of the product: the caption of the main window and of its questions.
inline const char* const kProductTitle = "澜图仓库管理系统";

// The application object: an error that reaches the event loop is shown in
// a message box and the program keeps running.
class WmsApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};
