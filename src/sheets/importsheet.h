#pragma once
// What every import shares: the columns a kind takes, found by their
// captions in a file's first row; each row's status and problems after the
// check; the template a user fills in and the workbook of the rows in error.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct SheetData;

enum class ImportMode { AddOnly, AddOrUpdate };

// What an import wrote.
struct ImportOutcome {
    bool written = false;
    QString message; // why nothing was written
    int added = 0, updated = 0, units = 0;
    std::vector<int> ids; // the records written, in file order
};

// Told the records written so far and the number in all; false cancels.
using ImportProgress = std::function<bool(int done, int total)>;

struct ImportColumn {
    QString caption;     // as the template writes it
    QStringList aliases; // other captions taken for it
    bool required = false;
    bool text = true; // formatted as text in the template, so codes keep their leading zeros
    QString example;  // the template's example row
    QString note;     // the template's explanation of the column
};

enum class ImportStatus { New, Update, Warning, Error };
QString ImportStatusText(ImportStatus status); // 新增, 更新, 警告, 错误

struct ImportIssue {
    int column = -1; // the kind's column, -1 for the row as a whole
    QString reason;
    bool warning = false;
};

struct ImportRow {
    int line = 0;      // the row's number in the file
    QStringList cells; // by the kind's columns, trimmed; "" where the file has no such column
    ImportStatus status = ImportStatus::New;
    std::vector<ImportIssue> issues;
    void error(int column, const QString& reason);
    void warn(int column, const QString& reason);
    bool hasError() const;
    const QString& cell(int column) const { return cells[column]; }
};

struct ImportSheet {
    std::vector<ImportColumn> columns;
    std::vector<ImportRow> rows;
    QStringList ignoredCaptions; // the file's columns no import column takes
    QString refusal;             // why the file as a whole cannot be taken; "" when it can
    // whether the file has the column (else its cells read "")
    std::vector<bool> present;

    int errorRows() const;
    int warningRows() const;
    // "第12行 条码: 6901234567892 已被货品 A001 使用"
    QString issueText(const ImportRow& row, const ImportIssue& issue) const;
    // Every problem, one a line, errors first, at most limit of them.
    QStringList problems(int limit = 1000) const;
};

// Why a checked sheet may not be written: the file's refusal, or its rows in
// error; "" when it may.
QString ImportRefusal(const ImportSheet& sheet);
// A checked sheet's rows without the last check's statuses and problems, to
// be checked again just before writing.
ImportSheet ForRecheck(const ImportSheet& sheet);

// Writes a checked sheet in one write transaction. body gets the rows
// without the last check's statuses and problems, checks them again under
// its locks (the shop may have changed since the preview), calls
// RefuseWrong, then writes. Nothing is written when the sheet may not be
// written, body throws, or the progress cancels; rows found wrong then come
// back into sheet.
ImportOutcome WriteChecked(ImportSheet& sheet,
                           const std::function<void(ImportSheet& again, ImportOutcome& out)>& body);
// Inside WriteChecked's body: stops the write when the rows checked again are not all right.
void RefuseWrong(const ImportSheet& again);
// Inside a write: tells the progress and stops the write when it cancels.
void TellProgress(const ImportProgress& progress, int done, int total);

// A code, name or unit as imports compare them: blanks around it aside, case folded.
QString ImportKey(const QString& text);

// Takes the rows of a file under the kind's columns: the first row holds
// the captions, in any order; a missing required column refuses the file.
// Cells the file could not read become errors of their rows.
ImportSheet MapSheet(const SheetData& data, const std::vector<ImportColumn>& columns);

// The template: the captions, one example row, text columns formatted as
// text, and a second sheet explaining each column. Throws std::runtime_error.
void WriteImportTemplate(const QString& path, const QString& title, const std::vector<ImportColumn>& columns);

// Records in the template's form (one list of texts per row, by column), so
// that a shop exports, edits and imports them again. Throws std::runtime_error.
void WriteImportRows(const QString& path, const QString& sheetName, const std::vector<ImportColumn>& columns,
                     const std::vector<QStringList>& rows);

// The rows with problems, as the file gave them, with a last column 错误
// holding their problems. Throws std::runtime_error.
void WriteImportProblems(const QString& path, const ImportSheet& sheet);
