#include "spreadsheetexport.h"

#include "data/msgbox.h"
#include "output/xlsxexport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <climits>
#include <functional>
#include <stdexcept>

namespace Export {

namespace {

// A cursor whose first row has been read already, to tell an empty one.
class Started final : public RowCursor {
public:
    explicit Started(RowCursor& rows) : m_rows(rows) { m_names = rows.names(); }
    bool next() override {
        if (!m_first) return m_rows.next();
        m_first = false;
        return true;
    }
    QVariant value(int column) const override { return m_rows.value(column); }

private:
    RowCursor& m_rows;
    bool m_first = true;
};

bool nothingToExport() {
    MsgBox::Show(QStringLiteral("无记录导出!"), MsgBox::Exclamation, "System");
    return false;
}

// Writes the workbook of an export, its folder first; false (after the
// reason is shown) when nothing was written.
bool writeExport(const QString& path, const std::function<bool()>& write) {
    try {
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            throw std::runtime_error("无法建立文件夹: " + QFileInfo(path).absolutePath().toStdString());
        if (write()) return true;
        QFile::remove(path);
        MsgBox::Show(QStringLiteral("导出已取消"), MsgBox::Information, "System");
    } catch (const std::exception& e) { // the engine's errors too
        QFile::remove(path);
        MsgBox::Show(QString::fromUtf8(e.what()), MsgBox::Critical, "Error");
    }
    return false;
}

QString exported(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    MsgBox::Show(QStringLiteral("导出完成！\n") + shown, MsgBox::Information, "System");
    if (WorkbookOpener() && !WorkbookOpener()(path))
        MsgBox::Show(QStringLiteral("没有能打开该工作簿的程序, 请另行打开:\n") + shown, MsgBox::Exclamation,
                     "System");
    return path;
}

} // namespace

QString ExportToSpreadsheet(const RecordSet& rs, const QString& title, const QString& captions,
                            const QString& kinds) {
    if (rs.RecordCount() == 0 || rs.fieldCount() == 0) return nothingToExport(), QString();
    const QString path = NewWorkbookPath();
    if (!writeExport(path, [&] {
            WriteWorkbook(path, rs, title, captions.split(','), kinds);
            return true;
        }))
        return {};
    return exported(path);
}

QString ExportToSpreadsheet(RowCursor& rows, const QString& title, const QString& captions,
                            const QString& kinds, qint64 total) {
    const QString path = NewWorkbookPath();
    bool empty = false;
    QProgressDialog progress(QStringLiteral("正在导出..."), QStringLiteral("取消"), 0,
                             total > 0 && total <= INT_MAX ? int(total) : 0, QApplication::activeWindow());
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    const bool written = writeExport(path, [&] {
        if (rows.fieldCount() == 0 || !rows.next()) {
            empty = true;
            return true;
        }
        Started started(rows);
        progress.setValue(0);
        return WriteWorkbook(path, started, title, captions.split(','), kinds, [&](qint64 done) {
                   if (progress.maximum() > 0)
                       progress.setValue(int(std::min<qint64>(done, progress.maximum())));
                   progress.setLabelText(QStringLiteral("正在导出... %1 行").arg(done));
                   // the window shows after a moment; until it does (modal) the user's input waits
                   QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                                        : QEventLoop::ExcludeUserInputEvents);
                   return !progress.wasCanceled();
               }) >= 0;
    });
    progress.close();
    if (empty) return nothingToExport(), QString();
    return written ? exported(path) : QString();
}

} // namespace Export
