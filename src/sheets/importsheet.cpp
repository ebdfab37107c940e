#include "importsheet.h"

#include "sheetfile.h"

#include "data/dberror.h"
#include "data/results.h"
#include "data/sqlhelper.h"

#include <QFile>
#include <QHash>
#include <stdexcept>
#include <xlsxwriter.h>

QString ImportStatusText(ImportStatus status) {
    switch (status) {
    case ImportStatus::New:
        return QStringLiteral("新增");
    case ImportStatus::Update:
        return QStringLiteral("更新");
    case ImportStatus::Warning:
        return QStringLiteral("警告");
    case ImportStatus::Error:
        break;
    }
    return QStringLiteral("错误");
}

void ImportRow::error(int column, const QString& reason) {
    issues.push_back({column, reason, false});
    status = ImportStatus::Error;
}

void ImportRow::warn(int column, const QString& reason) {
    issues.push_back({column, reason, true});
    if (status != ImportStatus::Error) status = ImportStatus::Warning;
}

bool ImportRow::hasError() const {
    return status == ImportStatus::Error;
}

int ImportSheet::errorRows() const {
    int n = 0;
    for (const ImportRow& r : rows)
        n += r.status == ImportStatus::Error;
    return n;
}

int ImportSheet::warningRows() const {
    int n = 0;
    for (const ImportRow& r : rows)
        n += r.status == ImportStatus::Warning;
    return n;
}

QString ImportSheet::issueText(const ImportRow& row, const ImportIssue& issue) const {
    QString text = QStringLiteral("第%1行 ").arg(row.line);
    if (issue.column >= 0 && issue.column < int(columns.size())) text += columns[issue.column].caption + ": ";
    return text + issue.reason;
}

QStringList ImportSheet::problems(int limit) const {
    QStringList errors, warnings;
    for (const ImportRow& r : rows)
        for (const ImportIssue& i : r.issues)
            (i.warning ? warnings : errors) << issueText(r, i);
    return (errors + warnings).mid(0, limit);
}

QString ImportRefusal(const ImportSheet& sheet) {
    if (!sheet.refusal.isEmpty()) return sheet.refusal;
    if (sheet.errorRows() > 0) return QStringLiteral("有 %1 行错误, 没有导入任何数据").arg(sheet.errorRows());
    return {};
}

ImportSheet ForRecheck(const ImportSheet& sheet) {
    ImportSheet again = sheet;
    for (ImportRow& r : again.rows) {
        r.issues.clear();
        r.status = ImportStatus::New;
    }
    return again;
}

namespace {

const char* const kCancelled = "导入已取消, 没有写入任何数据";

} // namespace

ImportOutcome WriteChecked(ImportSheet& sheet,
                           const std::function<void(ImportSheet& again, ImportOutcome& out)>& body) {
    ImportOutcome outcome;
    outcome.message = ImportRefusal(sheet);
    if (!outcome.message.isEmpty()) return outcome;
    ImportSheet again = ForRecheck(sheet);
    const m_DBresult done = sqlHelper::ExecuteTransWith([&] { body(again, outcome); });
    if (done.isResult || !ImportRefusal(again).isEmpty()) sheet = again;
    if (done.isResult) {
        outcome.written = true;
        return outcome;
    }
    ImportOutcome failed;
    failed.message = done.str_MsgBox;
    return failed;
}

void RefuseWrong(const ImportSheet& again) {
    const QString refusal = ImportRefusal(again);
    if (!refusal.isEmpty()) throw DbError(refusal);
}

void TellProgress(const ImportProgress& progress, int done, int total) {
    if (progress && !progress(done, total)) throw DbError(QString::fromUtf8(kCancelled));
}

QString ImportKey(const QString& text) {
    return text.trimmed().toCaseFolded();
}

namespace {

QString normalCaption(QString caption) {
    caption.remove(QChar(u'*')); // a template may mark required columns
    return caption.simplified().remove(u' ');
}

} // namespace

ImportSheet MapSheet(const SheetData& data, const std::vector<ImportColumn>& columns) {
    ImportSheet sheet;
    sheet.columns = columns;
    sheet.present.assign(columns.size(), false);
    if (data.rows.empty()) {
        sheet.refusal = QStringLiteral("文件中没有内容");
        return sheet;
    }
    // the column of the file each kind's column reads, -1 for none
    QHash<QString, int> byCaption;
    for (int c = 0; c < int(columns.size()); ++c) {
        byCaption.insert(normalCaption(columns[c].caption), c);
        for (const QString& alias : columns[c].aliases)
            byCaption.insert(normalCaption(alias), c);
    }
    std::vector<int> source(columns.size(), -1);
    const QStringList& header = data.rows.front().cells;
    for (int f = 0; f < header.size(); ++f) {
        const QString caption = normalCaption(header[f]);
        if (caption.isEmpty()) continue;
        const auto it = byCaption.constFind(caption);
        if (it == byCaption.constEnd() || source[*it] >= 0) {
            sheet.ignoredCaptions << header[f].trimmed();
            continue;
        }
        source[*it] = f;
        sheet.present[*it] = true;
    }
    QStringList missing;
    for (int c = 0; c < int(columns.size()); ++c)
        if (columns[c].required && source[c] < 0) missing << columns[c].caption;
    if (!missing.isEmpty()) {
        sheet.refusal = QStringLiteral("文件第一行缺少必需的列: %1").arg(missing.join(QStringLiteral("、")));
        return sheet;
    }
    if (data.rows.size() < 2) {
        sheet.refusal = QStringLiteral("文件中只有标题行, 没有数据");
        return sheet;
    }
    sheet.rows.reserve(data.rows.size() - 1);
    for (size_t r = 1; r < data.rows.size(); ++r) {
        const SheetRow& in = data.rows[r];
        ImportRow row;
        row.line = in.line;
        for (int c = 0; c < int(columns.size()); ++c)
            row.cells << (source[c] >= 0 && source[c] < in.cells.size() ? in.cells[source[c]].trimmed()
                                                                        : QString());
        for (const auto& [f, why] : in.cellErrors) {
            const auto it = std::find(source.begin(), source.end(), f);
            if (it != source.end()) row.error(int(it - source.begin()), why);
        }
        sheet.rows.push_back(std::move(row));
    }
    return sheet;
}

namespace {

void check(lxw_error e, const char* what) {
    if (e != LXW_NO_ERROR) throw std::runtime_error(std::string(what) + ": " + lxw_strerror(e));
}

// A workbook being written: dropped unwritten unless it was closed.
struct Book {
    lxw_workbook* book = nullptr;
    QString path;
    explicit Book(const QString& file) : path(file) {
        book = workbook_new(QFile::encodeName(file).constData());
        if (!book) throw std::runtime_error("无法建立文件 " + file.toStdString());
    }
    void close() {
        lxw_workbook* b = book;
        book = nullptr;
        check(workbook_close(b), "写入文件失败");
    }
    ~Book() {
        if (!book) return;
        lxw_workbook_free(book);
        QFile::remove(path);
    }
};

double widthOf(const QString& s) {
    double w = 0;
    for (const QChar c : s)
        w += c.unicode() >= 0x2E80 ? 2.1 : 1.1;
    return w;
}

} // namespace

void WriteImportTemplate(const QString& path, const QString& title,
                         const std::vector<ImportColumn>& columns) {
    Book b(path);
    lxw_worksheet* sheet = workbook_add_worksheet(b.book, title.toUtf8().constData());
    lxw_format* head = workbook_add_format(b.book);
    format_set_bold(head);
    format_set_bg_color(head, 0xDDEBF7);
    format_set_num_format(head, "@");
    lxw_format* required = workbook_add_format(b.book);
    format_set_bold(required);
    format_set_bg_color(required, 0xFCE4D6);
    format_set_num_format(required, "@");
    lxw_format* text = workbook_add_format(b.book);
    format_set_num_format(text, "@");
    for (int c = 0; c < int(columns.size()); ++c) {
        const ImportColumn& col = columns[c];
        const double width = std::max(10.0, std::max(widthOf(col.caption), widthOf(col.example)) + 2);
        // a text column stays text as the user types into it, codes keep their leading zeros
        check(worksheet_set_column(sheet, c, c, width, col.text ? text : nullptr), "写入文件失败");
        check(worksheet_write_string(sheet, 0, c, col.caption.toUtf8().constData(),
                                     col.required ? required : head),
              "写入文件失败");
        if (col.example.isEmpty()) continue;
        if (col.text)
            check(worksheet_write_string(sheet, 1, c, col.example.toUtf8().constData(), text),
                  "写入文件失败");
        else
            check(worksheet_write_number(sheet, 1, c, col.example.toDouble(), nullptr), "写入文件失败");
    }
    worksheet_freeze_panes(sheet, 1, 0);
    lxw_worksheet* notes = workbook_add_worksheet(b.book, "说明");
    check(worksheet_set_column(notes, 0, 0, 16, nullptr), "写入文件失败");
    check(worksheet_set_column(notes, 1, 1, 10, nullptr), "写入文件失败");
    check(worksheet_set_column(notes, 2, 2, 90, nullptr), "写入文件失败");
    worksheet_write_string(notes, 0, 0, "列", head);
    worksheet_write_string(notes, 0, 1, "必填", head);
    worksheet_write_string(notes, 0, 2, "说明", head);
    for (int c = 0; c < int(columns.size()); ++c) {
        const ImportColumn& col = columns[c];
        QString caption = col.caption;
        if (!col.aliases.isEmpty())
            caption += QStringLiteral(" (或 %1)").arg(col.aliases.join(QStringLiteral("、")));
        worksheet_write_string(notes, c + 1, 0, caption.toUtf8().constData(), nullptr);
        worksheet_write_string(notes, c + 1, 1, col.required ? "是" : "", nullptr);
        worksheet_write_string(notes, c + 1, 2, col.note.toUtf8().constData(), nullptr);
    }
    const int after = int(columns.size()) + 2;
    worksheet_write_string(
        notes, after, 0,
        "列按第一行的标题对应, 顺序不限; 不认识的列不导入。文件中任何一行有错误时, 不导入任何一行。",
        nullptr);
    b.close();
}

void WriteImportRows(const QString& path, const QString& sheetName, const std::vector<ImportColumn>& columns,
                     const std::vector<QStringList>& rows) {
    Book b(path);
    lxw_worksheet* ws = workbook_add_worksheet(b.book, sheetName.toUtf8().constData());
    lxw_format* head = workbook_add_format(b.book);
    format_set_bold(head);
    format_set_bg_color(head, 0xDDEBF7);
    lxw_format* text = workbook_add_format(b.book);
    format_set_num_format(text, "@");
    for (int c = 0; c < int(columns.size()); ++c) {
        check(worksheet_set_column(ws, c, c, std::max(10.0, widthOf(columns[c].caption) + 2),
                                   columns[c].text ? text : nullptr),
              "写入文件失败");
        worksheet_write_string(ws, 0, c, columns[c].caption.toUtf8().constData(), head);
    }
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(columns.size()) && c < rows[r].size(); ++c) {
            const QString& cell = rows[r][c];
            if (cell.isEmpty()) continue;
            bool number = false;
            const double value = cell.toDouble(&number);
            if (!columns[c].text && number)
                check(worksheet_write_number(ws, r + 1, c, value, nullptr), "写入文件失败");
            else
                check(worksheet_write_string(ws, r + 1, c, cell.toUtf8().constData(), text), "写入文件失败");
        }
    worksheet_freeze_panes(ws, 1, 0);
    b.close();
}

void WriteImportProblems(const QString& path, const ImportSheet& sheet) {
    Book b(path);
    lxw_worksheet* ws = workbook_add_worksheet(b.book, "错误");
    lxw_format* head = workbook_add_format(b.book);
    format_set_bold(head);
    lxw_format* text = workbook_add_format(b.book);
    format_set_num_format(text, "@");
    lxw_format* red = workbook_add_format(b.book);
    format_set_font_color(red, LXW_COLOR_RED);
    const int n = int(sheet.columns.size());
    for (int c = 0; c < n; ++c) {
        check(worksheet_set_column(ws, c, c, std::max(10.0, widthOf(sheet.columns[c].caption) + 2), text),
              "写入文件失败");
        worksheet_write_string(ws, 0, c, sheet.columns[c].caption.toUtf8().constData(), head);
    }
    check(worksheet_set_column(ws, n, n, 60, nullptr), "写入文件失败");
    worksheet_write_string(ws, 0, n, "错误", head);
    int out = 1;
    for (const ImportRow& row : sheet.rows) {
        if (row.issues.empty()) continue;
        for (int c = 0; c < n; ++c)
            if (!row.cells[c].isEmpty())
                check(worksheet_write_string(ws, out, c, row.cells[c].toUtf8().constData(), text),
                      "写入文件失败");
        QStringList reasons;
        for (const ImportIssue& i : row.issues)
            reasons << sheet.issueText(row, i);
        check(worksheet_write_string(ws, out, n, reasons.join("; ").toUtf8().constData(), red),
              "写入文件失败");
        ++out;
    }
    worksheet_freeze_panes(ws, 1, 0);
    b.close();
}
