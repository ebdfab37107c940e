// The entry procedure of the warehouse program.
#include "access/sysvars.h"
#include "app/appwindows.h"
#include "app/frm_main.h"
#include "app/startup.h"
#include "data/appenv.h"
#include "data/dberror.h"
#include "data/msgbox.h"
#include "output/xlsxexport.h"
#include "schema/dbsetup.h"
#include "schema/migrations.h"
#include "ui/application.h"
#include "ui/msgbox_widgets.h"

#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <cstdlib>

int main(int argc, char* argv[]) {
    WmsApplication app(argc, argv);
    QApplication::setApplicationName("wms");
    QApplication::setApplicationVersion("1.0");
    WidgetMsgBox messages;
    MsgBox::setHandler(&messages);
    SetBeepHandler([] { QApplication::beep(); });
    Export::WorkbookOpener() = [](const QString& path) {
#ifndef Q_OS_WIN
        // the desktop's opener starts even when no program takes the file: ask first
        QProcess ask;
        ask.start("xdg-mime", {"query", "default", QMimeDatabase().mimeTypeForFile(path).name()});
        if (!ask.waitForFinished(5000) || ask.exitCode() != 0 ||
            ask.readAllStandardOutput().trimmed().isEmpty())
            return false;
#endif
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    // A normal end leaves every running event loop; an end on an error, or one
    // before the loop runs, exits at once.
    SetEndProgramHandler([](int code, const QString& reason) {
        if (!reason.isEmpty()) MsgBox::Show(reason, MsgBox::Exclamation, "System");
        if (code == 0 && QThread::currentThread()->loopLevel() > 0)
            QCoreApplication::exit(code);
        else
            std::exit(code);
    });

    if (!StartProgram()) return 1;

    RegisterWindows();
    frm_Main main;
    if (!main.Initialize()) return 0;
    main.ShowAtLastSize();
    QTimer::singleShot(0, &main, &frm_Main::ShowLogin);
    return app.exec();
}
