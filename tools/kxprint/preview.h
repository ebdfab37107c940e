#pragma once
// The print tool's preview window: the document's pages on the screen, with
// 打印 (print) and 导出PDF (save the pages as a PDF file) in its tool bar.

#include <QString>
#include <functional>

class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace kx {

class Document;

// Paints the document (bill, report or labels) on the device's pages.
int PrintOn(const Document& doc, QPrinter* printer);

// Writes the document as a PDF in the page setup of the given printer; false
// with the reason in error.
bool WritePdf(const Document& doc, const QPrinter& setup, const QString& file, QString* error);

// The preview of the document on the printer, sized and placed within the
// available area of its screen. The caller shows it (exec()).
QPrintPreviewDialog* CreatePreview(const Document& doc, QPrinter* printer, QWidget* parent = nullptr);

// Asks where to save a PDF (suggested: a file name); "" when the user gives
// up. Tests put their own answer here.
std::function<QString(QWidget* parent, const QString& suggested)>& PdfFileChooser();

} // namespace kx
