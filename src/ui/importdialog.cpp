#include "importdialog.h"

#include "data/msgbox.h"
#include "output/xlsxexport.h"
#include "sheets/sheetfile.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

// The rows of a checked file: its line, status, cells and problems. A model
// over the sheet, so a file of many rows costs no widget per cell.
class ImportPreviewModel : public QAbstractTableModel {
public:
    explicit ImportPreviewModel(const ImportSheet& sheet) : m_sheet(sheet) {}
    void reset() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(m_sheet.rows.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(m_sheet.columns.size()) + 3;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        const int n = int(m_sheet.columns.size());
        if (section == 0) return QStringLiteral("行号");
        if (section == 1) return QStringLiteral("状态");
        if (section == n + 2) return QStringLiteral("问题");
        const ImportColumn& c = m_sheet.columns[section - 2];
        return m_sheet.present.empty() || m_sheet.present[section - 2] ? c.caption
                                                                       : c.caption + QStringLiteral(" (无)");
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const ImportRow& row = m_sheet.rows[index.row()];
        const int n = int(m_sheet.columns.size()), c = index.column();
        if (role == Qt::DisplayRole) {
            if (c == 0) return row.line;
            if (c == 1) return ImportStatusText(row.status);
            if (c == n + 2) {
                QStringList texts;
                for (const ImportIssue& i : row.issues)
                    texts << (i.column >= 0 ? m_sheet.columns[i.column].caption + ": " : QString()) +
                                 i.reason;
                return texts.join("; ");
            }
            return row.cells[c - 2];
        }
        if (role == Qt::BackgroundRole) {
            if (row.status == ImportStatus::Error) {
                for (const ImportIssue& i : row.issues) // the cell at fault stands out
                    if (!i.warning && i.column == c - 2) return QColor(255, 170, 170);
                return QColor(255, 225, 225);
            }
            if (row.status == ImportStatus::Warning) return QColor(255, 240, 200);
        }
        if (role == Qt::ToolTipRole && c == n + 2) return data(index, Qt::DisplayRole);
        if (role == Qt::ForegroundRole && c == n + 2 && row.status == ImportStatus::Error)
            return QColor(180, 0, 0);
        if (role == Qt::TextAlignmentRole && c <= 1) return int(Qt::AlignCenter);
        return {};
    }

private:
    const ImportSheet& m_sheet;
};

std::function<QString(QWidget*)>& ImportDialog::FileChooser() {
    static std::function<QString(QWidget*)> chooser = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("选择要导入的文件"), QDir::homePath(),
                                            QStringLiteral("电子表格 (*.xlsx *.csv);;所有文件 (*)"));
    };
    return chooser;
}

ImportDialog::ImportDialog(ImportKind kind, QWidget* parent) : QDialog(parent), m_kind(std::move(kind)) {
    setObjectName("frmImport");
    setWindowTitle(m_kind.title);
    resize(1100, 600);
    m_sheet.columns = m_kind.columns;
    m_model = std::make_unique<ImportPreviewModel>(m_sheet);

    btn_template = new QPushButton(QStringLiteral("下载模板"));
    btn_open = new QPushButton(QStringLiteral("选择文件..."));
    cobo_mode = new QComboBox;
    cobo_mode->addItems({QStringLiteral("仅新增"), QStringLiteral("新增或更新")});
    cobo_mode->setVisible(m_kind.modes);
    auto* top = new QHBoxLayout;
    top->addWidget(btn_template);
    top->addWidget(btn_open);
    if (m_kind.modes) {
        top->addWidget(new QLabel(QStringLiteral("方式:")));
        top->addWidget(cobo_mode);
    }
    if (m_kind.options) top->addWidget(m_kind.options());
    top->addStretch();

    summary = new QLabel(QStringLiteral("请先下载模板, 按模板填好后选择文件。"));
    summary->setWordWrap(true);
    grid = new QTableView;
    grid->setObjectName("dg_preview");
    grid->setModel(m_model.get());
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(24);
    grid->horizontalHeader()->setStretchLastSection(true);

    btn_problems = new QPushButton(QStringLiteral("导出错误"));
    btn_import = new QPushButton(QStringLiteral("导入"));
    auto* close = new QPushButton(QStringLiteral("关闭"));
    btn_problems->setEnabled(false);
    btn_import->setEnabled(false);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btn_problems);
    bottom->addWidget(btn_import);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(summary);
    layout->addWidget(grid, 1);
    layout->addLayout(bottom);

    connect(btn_template, &QPushButton::clicked, this, [this] { writeTemplate(); });
    connect(btn_open, &QPushButton::clicked, this, [this] {
        const QString path = FileChooser()(this);
        if (!path.isEmpty()) openFile(path);
    });
    connect(cobo_mode, &QComboBox::currentIndexChanged, this, [this] { recheck(); });
    connect(btn_problems, &QPushButton::clicked, this, [this] { writeProblems(); });
    connect(btn_import, &QPushButton::clicked, this, [this] {
        if (importRows()) accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

ImportDialog::~ImportDialog() = default;

ImportMode ImportDialog::mode() const {
    return m_kind.modes && cobo_mode->currentIndex() == 1 ? ImportMode::AddOrUpdate : ImportMode::AddOnly;
}

void ImportDialog::setMode(ImportMode mode) {
    cobo_mode->setCurrentIndex(mode == ImportMode::AddOrUpdate ? 1 : 0);
}

void ImportDialog::openFile(const QString& path) {
    m_file = path;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        m_read = MapSheet(ReadSheetFile(path), m_kind.columns);
    } catch (const SheetFileError& e) {
        m_read = ImportSheet();
        m_read.columns = m_kind.columns;
        m_read.refusal = e.message();
    }
    QApplication::restoreOverrideCursor();
    recheck();
}

void ImportDialog::recheck() {
    if (m_file.isEmpty()) return;
    m_sheet = m_read; // the file's own problems, without the last check's
    if (m_sheet.refusal.isEmpty()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_kind.check(m_sheet, mode());
        QApplication::restoreOverrideCursor();
    }
    showSheet();
}

void ImportDialog::showSheet() {
    m_model->reset();
    const QString name = QFileInfo(m_file).fileName();
    if (!m_sheet.refusal.isEmpty()) {
        summary->setText(QStringLiteral("<b>%1</b>: <span style='color:#b00000'>%2</span>")
                             .arg(name.toHtmlEscaped(), m_sheet.refusal.toHtmlEscaped()));
        btn_problems->setEnabled(false);
        btn_import->setEnabled(false);
        return;
    }
    int added = 0, updated = 0;
    for (const ImportRow& r : m_sheet.rows) {
        added += r.status == ImportStatus::New;
        updated += r.status == ImportStatus::Update;
    }
    const int errors = m_sheet.errorRows(), warnings = m_sheet.warningRows();
    QString text = QStringLiteral("<b>%1</b>: 共 %2 行, 新增 %3 行, 更新 %4 行, 警告 %5 行, "
                                  "<span style='color:%6'>错误 %7 行</span>")
                       .arg(name.toHtmlEscaped())
                       .arg(m_sheet.rows.size())
                       .arg(added)
                       .arg(updated)
                       .arg(warnings)
                       .arg(errors > 0 ? "#b00000" : "black")
                       .arg(errors);
    if (errors > 0)
        text += QStringLiteral("。有错误时不能导入: 请改正后重新选择文件, 或导出错误行到工作簿中修改。");
    if (!m_sheet.ignoredCaptions.isEmpty())
        text += QStringLiteral("<br>不导入的列: %1")
                    .arg(m_sheet.ignoredCaptions.join(QStringLiteral("、")).toHtmlEscaped());
    summary->setText(text);
    btn_problems->setEnabled(errors + warnings > 0);
    btn_import->setEnabled(errors == 0 && !m_sheet.rows.empty());
    grid->resizeColumnsToContents();
    for (int r = 0; r < int(m_sheet.rows.size()); ++r)
        if (m_sheet.rows[r].status == ImportStatus::Error) { // the first wrong row in sight
            grid->selectRow(r);
            grid->scrollTo(m_model->index(r, 0));
            break;
        }
    for (int c = 0; c < m_model->columnCount({}); ++c)
        grid->setColumnWidth(c, std::min(grid->columnWidth(c), 260));
}

namespace {

// A new workbook under the export folder, which is made when missing.
QString newWorkbook() {
    const QString path = Export::NewWorkbookPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}

// Writes a workbook, says where it is and opens it; "" when it failed.
QString writeAndTell(const std::function<void(const QString&)>& write, const QString& done,
                     const QString& caption) {
    const QString path = newWorkbook();
    try {
        write(path);
    } catch (const std::exception& e) {
        MsgBox::Show(QString::fromUtf8(e.what()), MsgBox::Critical, caption);
        return {};
    }
    const QString shown = QDir::toNativeSeparators(path);
    MsgBox::Show(done + "\n" + shown, MsgBox::Information, caption);
    if (Export::WorkbookOpener() && !Export::WorkbookOpener()(path))
        MsgBox::Show(QStringLiteral("没有能打开该工作簿的程序, 请另行打开:\n") + shown, MsgBox::Exclamation,
                     caption);
    return path;
}

} // namespace

QString ImportDialog::writeTemplate() {
    return writeAndTell(
        [this](const QString& path) { WriteImportTemplate(path, m_kind.sheetName, m_kind.columns); },
        QStringLiteral("模板已写好:"), windowTitle());
}

QString ImportDialog::writeProblems() {
    return writeAndTell([this](const QString& path) { WriteImportProblems(path, m_sheet); },
                        QStringLiteral("有问题的行已写入:"), windowTitle());
}

QString ExportInImportForm(const QString& sheetName, const std::vector<ImportColumn>& columns,
                           const std::vector<QStringList>& rows, const QString& caption) {
    if (rows.empty()) {
        MsgBox::Show(QStringLiteral("无记录导出!"), MsgBox::Exclamation, caption);
        return {};
    }
    return writeAndTell([&](const QString& path) { WriteImportRows(path, sheetName, columns, rows); },
                        QStringLiteral("导出完成！"), caption);
}

bool ImportDialog::importRows() {
    if (m_file.isEmpty() || !m_sheet.refusal.isEmpty() || m_sheet.rows.empty()) return false;
    if (m_sheet.errorRows() > 0) {
        MsgBox::Show(QStringLiteral("有 %1 行错误, 不能导入。").arg(m_sheet.errorRows()), MsgBox::Exclamation,
                     windowTitle());
        return false;
    }
    if (m_sheet.warningRows() > 0 &&
        !MsgBox::Confirm(QStringLiteral("有 %1 行警告, 仍然导入吗?").arg(m_sheet.warningRows()),
                         windowTitle()))
        return false;
    if (!MsgBox::Confirm(QStringLiteral("确定导入这 %1 行吗?").arg(m_sheet.rows.size()), windowTitle()))
        return false;
    if (m_kind.confirm && !m_kind.confirm()) return false;
    QProgressDialog progress(QStringLiteral("正在导入..."), QStringLiteral("取消"), 0, 0, this);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_outcome = m_kind.write(m_sheet, mode(), [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents);
        return !progress.wasCanceled();
    });
    QApplication::restoreOverrideCursor();
    progress.close();
    if (!m_outcome.written) {
        showSheet(); // the rows found wrong under the write's check show
        MsgBox::Show(m_outcome.message, MsgBox::Exclamation, windowTitle());
        return false;
    }
    MsgBox::Show(QStringLiteral("导入成功: ") + m_kind.done(m_outcome), MsgBox::Information, windowTitle());
    return true;
}
