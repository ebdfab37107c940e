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

#include "wms_version.h"

#include <QCommandLineParser>
#include <QDesktopServices>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // help and version come before the window system is asked for anything
    QCoreApplication::setApplicationName("wms");
    QCoreApplication::setApplicationVersion(WMS_VERSION);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("澜图仓库管理系统: 货品、库位、往来单位, 入库、出库、盘点, 库存和报表。\n"
                       "数据库由 linkDB.ini 指定 (数据库文件或 PostgreSQL 服务器)。"));
    parser.addHelpOption();
    parser.addVersionOption();
    // Qt's own options (-platform, -style, ...) are taken by the application object later
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    static const QSet<QString> qtOptions = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                            "qmljsdebugger", "qwindowgeometry", "qwindowicon", "qwindowtitle",
                                            "reverse", "session", "style", "stylesheet", "widgetcount", "display",
                                            "geometry", "title", "name"};
    parser.parse(arguments);
    for (const QString& unknown : parser.unknownOptionNames())
        if (!qtOptions.contains(unknown)) {
            std::fprintf(stderr, "wms: %s\n用法: wms [--help] [--version]\n", qPrintable(parser.errorText()));
            return 2;
        }
    if (parser.isSet("help")) {
        std::fputs(qPrintable(parser.helpText().replace(QRegularExpression("^Usage: \\S+"), "Usage: wms")), stdout);
        return 0;
    }
    if (parser.isSet("version")) {
        std::printf("wms %s\n", WMS_VERSION);
        return 0;
    }
    WmsApplication app(argc, argv);
    // what is left once Qt has taken its own options (-style, -platform, ...): nothing else is taken
    if (!parser.parse(QApplication::arguments()) || !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "wms: %s\n用法: wms [--help] [--version]\n",
                     qPrintable(parser.errorText().isEmpty()
                                    ? QStringLiteral("不认识的参数: ") + parser.positionalArguments().join(' ')
                                    : parser.errorText()));
        return 2;
    }
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
