#pragma once
// The import of a window: the template to fill in, the file chosen, a
// preview of every row with its status and problems, the rows in error
// written out to mend, and the import itself under a progress window.

#include "sheets/importsheet.h"

#include <QDialog>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class ImportPreviewModel;

struct ImportKind {
    QString title;     // "导入货品"
    QString sheetName; // the template's sheet, "货品"
    std::vector<ImportColumn> columns;
    bool modes = true; // 仅新增 / 新增或更新
    std::function<void(ImportSheet&, ImportMode)> check;
    std::function<ImportOutcome(ImportSheet&, ImportMode, const ImportProgress&)> write;
    // what the window says after writing, e.g. "新增 3 个货品, 更新 1 个货品"
    std::function<QString(const ImportOutcome&)> done;
    // choices of the import beside the file (made with the dialog, which owns them)
    std::function<QWidget*()> options;
    // asked before writing; false leaves everything as it is
    std::function<bool()> confirm;
};

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImportDialog(ImportKind kind, QWidget* parent = nullptr);
    ~ImportDialog() override;

    // Reads and checks a file: the preview shows its rows, or the message why
    // it cannot be taken.
    void openFile(const QString& path);
    // Writes the template, the rows with problems; "" when nothing was written.
    QString writeTemplate();
    QString writeProblems();
    // Writes every row when none is in error (asking first about warnings).
    bool importRows();
    const ImportSheet& sheet() const { return m_sheet; }
    const ImportOutcome& outcome() const { return m_outcome; }
    ImportMode mode() const;
    void setMode(ImportMode mode);

    // The file the user picks (a file dialog; tests put their own).
    static std::function<QString(QWidget* parent)>& FileChooser();

    QTableView* grid = nullptr;
    QLabel* summary = nullptr;
    QPushButton *btn_template = nullptr, *btn_open = nullptr, *btn_problems = nullptr, *btn_import = nullptr;
    QComboBox* cobo_mode = nullptr;

private:
    void showSheet();

public:
    // Checks the file again (after a choice of the import changed).
    void recheck();

private:
    ImportKind m_kind;
    ImportSheet m_read, m_sheet; // the file as read, and checked
    ImportOutcome m_outcome;
    QString m_file;
    std::unique_ptr<ImportPreviewModel> m_model;
};

// Writes records in the template's form under the export folder and tells
// the user where ("无记录导出!" when there are none); returns the file, or "".
QString ExportInImportForm(const QString& sheetName, const std::vector<ImportColumn>& columns,
                           const std::vector<QStringList>& rows, const QString& caption);
