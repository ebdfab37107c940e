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

namespace {

// The rows of a record set read as a cursor.
class RecordSetRows final : public RowCursor {
public:
    explicit RecordSetRows(const RecordSet& rs) : m_rs(rs) {
        for (int c = 0; c < rs.fieldCount(); ++c)
            m_names << rs.fieldName(c);
    }
    bool next() override { return ++m_row < m_rs.RecordCount(); }
    QVariant value(int column) const override { return m_rs.at(m_row, column); }

private:
    const RecordSet& m_rs;
    int m_row = -1;
};

// A workbook being written: dropped unwritten unless it was closed.
struct Book {
    lxw_workbook* book = nullptr;
    QString path;
    ~Book() {
        if (!book) return;
        lxw_workbook_free(book);
        QFile::remove(path);
    }
};

} // namespace

void WriteWorkbook(const QString& path, const RecordSet& rs, const QString& title,
                   const QStringList& captions, const QString& kinds) {
    RecordSetRows rows(rs);
    WriteWorkbook(path, rows, title, captions, kinds);
}

qint64 WriteWorkbook(const QString& path, RowCursor& rows, const QString& title, const QStringList& captions,
                     const QString& kinds, const WriteProgress& progress) {
    const QByteArray file = QFile::encodeName(path);
    const QByteArray temp = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go out in order, nothing kept behind
    options.tmpdir = const_cast<char*>(temp.constData());
    Book open;
    open.book = workbook_new_opt(file.constData(), &options);
    if (!open.book) throw std::runtime_error("无法建立工作簿: " + path.toStdString());
    open.path = path;
    lxw_workbook* book = open.book;
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

    const int fields = rows.fieldCount();
    const int columns = std::max<int>(fields, captions.size());
    std::vector<double> widths(columns, 8);
    const QByteArray t = title.toUtf8();
    worksheet_write_string(sheet, 0, 0, t.constData(), bold);
    for (int c = 0; c < captions.size(); ++c) {
        const QByteArray s = captions[c].toUtf8();
        worksheet_write_string(sheet, 1, lxw_col_t(c), s.constData(), bold);
        widths[c] = std::max(widths[c], textWidth(captions[c]));
    }
    constexpr qint64 kProgressStep = 500;
    qint64 written = 0;
    while (rows.next()) {
        const lxw_row_t row = lxw_row_t(written + 2);
        for (int c = 0; c < fields; ++c) {
            const QVariant v = rows.value(c);
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
        ++written;
        if (progress && written % kProgressStep == 0 && !progress(written)) return -1;
    }
    if (progress && written % kProgressStep != 0 && !progress(written)) return -1;
    for (int c = 0; c < columns; ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::min(60.0, widths[c] + 1), nullptr);
    worksheet_freeze_panes(sheet, 2, 0);
    open.book = nullptr;
    if (const lxw_error e = workbook_close(book); e != LXW_NO_ERROR) {
        QFile::remove(path);
        check(e, "无法保存工作簿");
    }
    return written;
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
