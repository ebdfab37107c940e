#include "admin.h"
#include "data/appenv.h"
#include "data/applog.h"
#include "wms_version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("wms-admin");
    QCoreApplication::setApplicationVersion(WMS_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("澜图仓库管理系统的管理工具: 建立、复制、升级、备份、核对数据库, 输出报表。\n\n") +
        AdminCommandsHelp());
    const QCommandLineOption db("db", QStringLiteral("作用于这个数据库文件, 而不是程序目录里的 wms.mdb"),
                                QStringLiteral("文件"));
    const QCommandLineOption server("server", QStringLiteral("作用于服务器上的数据库 (libpq 连接串)"),
                                    QStringLiteral("连接串"));
    parser.addOption(db);
    parser.addOption(server);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("命令"), QStringLiteral("要执行的命令及其参数, 见上"),
                                 QStringLiteral("命令 [参数...]"));
    // a command's own options (init --demo, report --from ...) belong to the command
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    QTextStream out(stdout);
    QTextStream err(stderr);
    // the program's name, not the path it was started by
    const QString help = parser.helpText().replace(QRegularExpression("^Usage: \\S+"), "Usage: wms-admin");
    if (!parser.parse(app.arguments())) {
        err << parser.errorText() << "\n\n" << help;
        return 2;
    }
    if (parser.isSet("help")) {
        out << help;
        return 0;
    }
    if (parser.isSet("version")) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    SetUpProgramNames();
    AppLog::Start("wms-admin");
    QStringList args;
    if (parser.isSet(db)) args << "--db" << parser.value(db);
    if (parser.isSet(server)) args << "--server" << parser.value(server);
    args << parser.positionalArguments();
    const int rc = RunAdmin(args, out, err);
    out.flush();
    err.flush();
    return rc;
}
