#include "xlsxexport.h"

#include "data/accesstext.h"
#include "data/appenv.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>
#include <xlsxwriter.h>

namespace Export {

namespace {

// The width a text takes in a column, Chinese characters counting double.
double textWidth(const QString& s) {
    double w = 0;
    for (const QChar c : s)
        w += c.unicode() >= 0x2E80 ? 2.1 : 1.1;
    return w;
}

void check(lxw_error e, const char* what) {
    if (e != LXW_NO_ERROR) throw std::runtime_error(std::string(what) + ": " + lxw_strerror(e));
}

} // namespace

void WriteWorkbook(const QString& path, const RecordSet& rs, const QString& title,
                   const QStringList& captions, const QString& kinds) {
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* book = workbook_new(file.constData());
    if (!book) throw std::runtime_error("无法建立工作簿: " + path.toStdString());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* plain = workbook_add_format(book);
    format_set_font_size(plain, 10);
    lxw_format* bold = workbook_add_format(book);
    format_set_font_size(bold, 10);
    format_set_bold(bold);
    lxw_format* date = workbook_add_format(book);
    format_set_font_size(date, 10);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format* text = workbook_add_format(book);
    format_set_font_size(text, 10);
    format_set_num_format(text, "@");

    const int columns = std::max<int>(rs.fieldCount(), captions.size());
    std::vector<double> widths(columns, 8);
    const QByteArray t = title.toUtf8();
    worksheet_write_string(sheet, 0, 0, t.constData(), bold);
    for (int c = 0; c < captions.size(); ++c) {
        const QByteArray s = captions[c].toUtf8();
        worksheet_write_string(sheet, 1, lxw_col_t(c), s.constData(), bold);
        widths[c] = std::max(widths[c], textWidth(captions[c]));
    }
    for (int r = 0; r < rs.RecordCount(); ++r) {
        for (int c = 0; c < rs.fieldCount(); ++c) {
            const QVariant v = rs.at(r, c);
            const lxw_row_t row = lxw_row_t(r + 2);
            const lxw_col_t col = lxw_col_t(c);
            if (!v.isValid() || v.isNull()) continue;
            const QString shown = acc::valueText(v);
            const QChar kind = c < kinds.size() ? kinds[c] : QChar('t');
            bool ok = false;
            if (kind == 'n') {
                const double number = shown.trimmed().toDouble(&ok);
                if (ok) {
                    worksheet_write_number(sheet, row, col, number, plain);
                    widths[c] = std::max(widths[c], textWidth(shown));
                    continue;
                }
            } else if (kind == 'd') {
                QDateTime when = v.typeId() == QMetaType::QDateTime ? v.toDateTime() : QDateTime();
                if (!when.isValid())
                    when = QDateTime(QDate::fromString(shown.trimmed().left(10), "yyyy-MM-dd"), QTime());
                if (when.isValid()) {
                    lxw_datetime d{when.date().year(), when.date().month(), when.date().day(), 0, 0, 0};
                    worksheet_write_datetime(sheet, row, col, &d, date);
                    widths[c] = std::max(widths[c], 11.0);
                    continue;
                }
            }
            // a number column's text that is no number, and every text, stays text
            const QByteArray s = shown.toUtf8();
            worksheet_write_string(sheet, row, col, s.constData(), kind == 'n' ? plain : text);
            widths[c] = std::max(widths[c], textWidth(shown));
        }
    }
    for (int c = 0; c < columns; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::min(60.0, widths[c] + 1), nullptr);
    worksheet_freeze_panes(sheet, 2, 0);
    check(workbook_close(book), "无法保存工作簿");
}

QString NewWorkbookPath() {
    const QString folder = CacheFolder() + "kxPrint/generateXls/";
    const QString stem = folder + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    QString path = stem + ".xlsx";
    for (int n = 2; QFile::exists(path); ++n)
        path = stem + "-" + QString::number(n) + ".xlsx";
    return path;
}

std::function<bool(const QString&)>& WorkbookOpener() {
    static std::function<bool(const QString&)> opener;
    return opener;
}

} // namespace Export
