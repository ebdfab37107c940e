#include "reportprint.h"

#include "access/sysvars.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "output/printout.h"
#include "rpt_engine.h"
#include "ui/printguard.h"

#include <QDomElement>

namespace {

bool refuse(const QString& text, const QString& caption) {
    MsgBox::Show(text, MsgBox::Exclamation, caption);
    return false;
}

} // namespace

bool PrintReport(ReportDal& dal, const QString& where, const m_PageInfor& page, const QString& templateCode,
                 const QString& commandPrefix, const QString& emptyMessage, const QString& caption) {
    return PrintOut::Guarded(caption, [&] {
        const qint64 rows = ReportRowCount(dal, where);
        if (rows > PrintAskRows() &&
            MsgBox::Ask(QStringLiteral("将打印 %1 行, 可能需要较长时间。继续打印吗?").arg(rows),
                        MsgBox::YesNo, MsgBox::Question, caption, MsgBox::No) != MsgBox::Yes)
            return false;
        const QDomElement node = dal.GetDetailRowNode(where, page, templateCode);
        if (node.isNull()) return refuse(emptyMessage, caption);
        const QString file = PrintOut::GenerateFile(templateCode, {{"Content/DataDetail/DataRecord", node}});
        PrintOut::StartPrintTool(commandPrefix + file);
        return true;
    });
}

qint64 ReportRowCount(ReportDal& dal, const QString& where) {
    return sqlHelper::ExecuteSql("select count(*) from " + dal.rowsFrom() + "  where 1=1 " + where)
        .at(0, 0)
        .toLongLong();
}

qint64 PrintAskRows() {
    bool ok = false;
    const qint64 stored =
        dal_setting().GetModel(QStringLiteral("printAskRows")).setValue.trimmed().toLongLong(&ok);
    return ok && stored > 0 ? stored : 5000;
}
