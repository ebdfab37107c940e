#include "preview.h"

#include "printdoc.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

namespace kx {

int PrintOn(const Document& doc, QPrinter* printer) {
    return doc.labelColumns > 0 ? doc.printLabels(printer) : doc.print(printer);
}

bool WritePdf(const Document& doc, const QPrinter& setup, const QString& file, QString* error) {
    QFile::remove(file);
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setDocName(doc.title);
    pdf.setPageLayout(setup.pageLayout());
    pdf.setOutputFileName(file);
    PrintOn(doc, &pdf);
    if (QFileInfo(file).isFile() && QFileInfo(file).size() > 0) return true;
    *error = QStringLiteral("无法写入 %1").arg(QDir::toNativeSeparators(file));
    return false;
}

std::function<QString(QWidget*, const QString&)>& PdfFileChooser() {
    static std::function<QString(QWidget*, const QString&)> choose = [](QWidget* parent,
                                                                        const QString& suggested) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("导出PDF"), suggested,
                                            QStringLiteral("PDF 文件 (*.pdf)"));
    };
    return choose;
}

QPrintPreviewDialog* CreatePreview(const Document& doc, QPrinter* printer, QWidget* parent) {
    auto* preview = new QPrintPreviewDialog(printer, parent);
    preview->setWindowTitle(QStringLiteral("打印预览 - %1").arg(doc.title));
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview,
                     [&doc](QPrinter* p) { PrintOn(doc, p); });

    // 导出PDF right after the print button
    auto* toPdf = new QAction(QStringLiteral("导出PDF"), preview);
    toPdf->setObjectName("exportPdf");
    toPdf->setToolTip(QStringLiteral("把预览的页面保存为 PDF 文件"));
    QObject::connect(toPdf, &QAction::triggered, preview, [preview, printer, &doc] {
        const QString suggested =
            QDir::home().filePath((doc.title.isEmpty() ? QStringLiteral("打印") : doc.title) + ".pdf");
        QString file = PdfFileChooser()(preview, suggested);
        if (file.isEmpty()) return;
        if (!file.endsWith(".pdf", Qt::CaseInsensitive)) file += ".pdf";
        QString error;
        if (!WritePdf(doc, *printer, file, &error))
            QMessageBox::critical(preview, QStringLiteral("导出PDF"), error);
    });
    if (auto* bar = preview->findChild<QToolBar*>()) {
        const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        const QList<QAction*> actions = bar->actions();
        int at = -1;
        for (int i = 0; i < actions.size(); ++i)
            if (actions[i]->text() == printText || actions[i]->text() == QLatin1String("Print")) at = i;
        if (at >= 0 && at + 1 < actions.size())
            bar->insertAction(actions[at + 1], toPdf);
        else
            bar->addAction(toPdf);
    }

    // the usual size, but never beyond the screen's free area (title bar and
    // frame included), centred on it
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1000, 800);
    const QSize frame(16, 48);
    const QSize size = QSize(1000, 800).boundedTo(area.size() - frame).expandedTo(QSize(320, 240));
    preview->resize(size);
    preview->move(area.left() + std::max(0, (area.width() - size.width() - frame.width()) / 2),
                  area.top() + std::max(0, (area.height() - size.height() - frame.height()) / 2));
    return preview;
}

} // namespace kx
