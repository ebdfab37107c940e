#include "reportprint.h"

#include "data/msgbox.h"
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
        const QDomElement node = dal.GetDetailRowNode(where, page, templateCode);
        if (node.isNull()) return refuse(emptyMessage, caption);
        const QString file = PrintOut::GenerateFile(templateCode, {{"Content/DataDetail/DataRecord", node}});
        PrintOut::StartPrintTool(commandPrefix + file);
        return true;
    });
}
