#pragma once
#include <QApplication>
#include <QTranslator>

// The title of the product: the caption of the main window and of its questions.
inline const char* const kProductTitle = "澜图仓库管理系统";

// The application object: the program's icon and icon theme, Qt's own texts (standard
// buttons and dialogs) in Simplified Chinese, and an error that reaches the
// event loop is shown in a message box while the program keeps running.
class WmsApplication : public QApplication {
public:
    WmsApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    // Whether Qt's Chinese texts were found and installed.
    bool hasQtTranslations() const { return m_qtLoaded; }

private:
    QTranslator m_qtTexts;
    bool m_qtLoaded = false;
};
