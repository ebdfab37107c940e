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

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
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
    QString dir, pdf, command, dataDir, logFile;
    QStringList templateDirs;
    bool usage = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if ((a == "--dir" || a == "--pdf" || a == "--data") && i + 1 < argc)
            (a == "--dir" ? dir : a == "--pdf" ? pdf : dataDir) = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--log" && i + 1 < argc)
            logFile = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--templates" && i + 1 < argc)
            templateDirs << QString::fromLocal8Bit(argv[++i]);
        else if (command.isEmpty() && !a.startsWith("--"))
            command = a;
        else
            usage = true;
    }
    const bool window = pdf.isEmpty();
    // a PDF needs no screen
    if (!window && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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
    if (dir.isEmpty()) dir = QCoreApplication::applicationDirPath();
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
