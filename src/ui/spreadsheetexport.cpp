#include "spreadsheetexport.h"

#include "data/msgbox.h"
#include "output/xlsxexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace Export {

QString ExportToSpreadsheet(const RecordSet& rs, const QString& title, const QString& captions,
                            const QString& kinds) {
    if (rs.RecordCount() == 0 || rs.fieldCount() == 0) {
        MsgBox::Show(QStringLiteral("无记录导出!"), MsgBox::Exclamation, "System");
        return {};
    }
    const QString path = NewWorkbookPath();
    try {
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            throw std::runtime_error("无法建立文件夹: " + QFileInfo(path).absolutePath().toStdString());
        WriteWorkbook(path, rs, title, captions.split(','), kinds);
    } catch (const std::exception& e) {
        QFile::remove(path);
        MsgBox::Show(QString::fromUtf8(e.what()), MsgBox::Critical, "Error");
        return {};
    }
    const QString shown = QDir::toNativeSeparators(path);
    MsgBox::Show(QStringLiteral("导出完成！\n") + shown, MsgBox::Information, "System");
    if (WorkbookOpener() && !WorkbookOpener()(path))
        MsgBox::Show(QStringLiteral("没有能打开该工作簿的程序, 请另行打开:\n") + shown, MsgBox::Exclamation,
                     "System");
    return path;
}

} // namespace Export
