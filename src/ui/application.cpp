#include "application.h"

#include "icons.h"

#include "data/dberror.h"
#include "data/msgbox.h"

#include <QLibraryInfo>

WmsApplication::WmsApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // the texts of Qt's own buttons and dialogs (OK, Cancel, ...) from Qt's translations
    m_qtLoaded = m_qtTexts.load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_qtLoaded) installTranslator(&m_qtTexts);
    // the desktop entry and icon of the same id, and the toolbar icons from the icon theme
    setDesktopFileName(AppId());
    UseIconTheme();
    setWindowIcon(AppIcon());
}

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
