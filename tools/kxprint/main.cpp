// kxPrint: prints the data file a print command names with its template.
//   kxPrint [--dir DIR] [--data DIR] [--templates DIR]... [--pdf OUT.pdf]
//           "orkPrint:TypeId=...&BillCode=...&FileName=..."
// The data file is read from DIR/generateXml/ and the template from
// DIR/templeteXml/; DIR is the tool's own folder unless given. --data names
// the data file's folder itself, and each --templates a template folder,
// searched in the order given (an installed program's user copy first).
// --log names the log file (the program that starts the tool gives it).
// Without --pdf a print preview opens, from which the user prints or saves a PDF.
#include "kxlog.h"
#include "preview.h"
#include "printdoc.h"
#include "wms_version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTranslator>
#include <cstdio>
#include <memory>

namespace {

int fail(bool window, const QString& message) {
    qWarning().noquote() << "kxPrint:" << message; // standard error and the log
    if (window) QMessageBox::critical(nullptr, QStringLiteral("打印"), message);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCoreApplication::setApplicationName("kxPrint");
    QCoreApplication::setApplicationVersion(WMS_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "澜图仓库管理系统的打印工具: 按模板把打印数据排成 A4 页面, 预览后打印或存为 PDF。\n"
        "打印数据从 目录/generateXml/ 读取, 模板从 目录/templeteXml/ 读取。"));
    const QCommandLineOption dirOption("dir", QStringLiteral("打印数据和模板所在的目录 (默认为本工具所在的目录)"),
                                       QStringLiteral("目录"));
    const QCommandLineOption dataOption("data", QStringLiteral("打印数据所在的目录"), QStringLiteral("目录"));
    const QCommandLineOption templatesOption(
        "templates", QStringLiteral("模板所在的目录, 可以给多个, 按给出的次序查找"), QStringLiteral("目录"));
    const QCommandLineOption pdfOption("pdf", QStringLiteral("不预览, 直接写成这个 PDF 文件"),
                                       QStringLiteral("输出.pdf"));
    const QCommandLineOption logOption("log", QStringLiteral("日志文件 (由启动本工具的程序给出)"),
                                       QStringLiteral("文件"));
    for (const QCommandLineOption& o : {dirOption, dataOption, templatesOption, pdfOption, logOption})
        parser.addOption(o);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("打印命令"),
                                 QStringLiteral("\"orkPrint:TypeId=…&BillCode=…&FileName=…\""));
    // help and version need no window, and come before the application starts
    const bool understood = parser.parse(arguments);
    if (understood && parser.isSet("help")) {
        // (the program's name, not the path it was started by)
        std::fputs(qPrintable(parser.helpText().replace(QRegularExpression("^Usage: \\S+"), "Usage: kxPrint")),
                   stdout);
        return 0;
    }
    if (understood && parser.isSet("version")) {
        std::printf("kxPrint %s\n", WMS_VERSION);
        return 0;
    }
    const QString pdf = parser.value(pdfOption), dataDir = parser.value(dataOption),
                  logFile = parser.value(logOption);
    QStringList templateDirs = parser.values(templatesOption);
    const QString command = parser.positionalArguments().value(0);
    const bool usage = !understood || parser.positionalArguments().size() > 1;
    const bool window = pdf.isEmpty();
    // a PDF needs no screen
    if (!window && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // the program's icon where it is installed; the platform's default elsewhere
    QGuiApplication::setDesktopFileName(WMS_APP_ID);
    QApplication::setWindowIcon(QIcon::fromTheme(WMS_APP_ID));
    if (!logFile.isEmpty()) kx::StartLog(logFile);
    qInfo().noquote() << "print" << command << (pdf.isEmpty() ? QString() : "to " + pdf);
    // Qt's own dialogs (print, page setup, preview) in Chinese
    QTranslator qtTexts;
    if (qtTexts.load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
    if (usage || command.isEmpty())
        return fail(
            window,
            QStringLiteral(
                "用法: kxPrint [--dir 目录] [--data 目录] [--templates 目录]... [--pdf 输出.pdf] "
                "\"orkPrint:TypeId=…&BillCode=…&FileName=…\""));
    const QString dir =
        parser.value(dirOption).isEmpty() ? QCoreApplication::applicationDirPath() : parser.value(dirOption);
    QString error;
    const auto parsed = kx::ParseCommand(command, &error);
    if (!parsed) return fail(window, error);
    kx::Document doc;
    const QDir base(dir);
    if (templateDirs.isEmpty()) templateDirs << base.filePath("templeteXml");
    const QString templateName = parsed->billCode + ".xml";
    QString templateFile = QDir(templateDirs.back()).filePath(templateName);
    for (const QString& folder : templateDirs)
        if (QFileInfo::exists(QDir(folder).filePath(templateName))) {
            templateFile = QDir(folder).filePath(templateName);
            break;
        }
    const QDir data(dataDir.isEmpty() ? base.filePath("generateXml") : dataDir);
    if (!doc.load(templateFile, data.filePath(parsed->fileName), &error))
        return fail(window, error);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(doc.title);
    printer.setPageLayout(doc.pageLayout());
    if (!window) {
        if (!kx::WritePdf(doc, printer, pdf, &error)) return fail(false, error);
        return 0;
    }
    std::unique_ptr<QPrintPreviewDialog> preview(kx::CreatePreview(doc, &printer));
    preview->exec();
    return 0;
}
