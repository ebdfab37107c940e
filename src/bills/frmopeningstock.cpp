#include "frmopeningstock.h"

#include "access/user.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "openingimport.h"
#include "ui/importdialog.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>

QDialog* NewOpeningStockDialog(QWidget* parent) {
    // the choices live in the dialog; the rules read them when they run
    struct Choice {
        QComboBox* account = nullptr;
        QDateEdit* date = nullptr;
        OpeningOptions options() const {
            return {account->currentData().toInt(), date->date().toString("yyyy-MM-dd"), CurrentUser().user,
                    CurrentUser().id, SysVar().Sys_locationJoinId};
        }
    };
    auto choice = std::make_shared<Choice>();
    ImportKind kind;
    kind.title = QStringLiteral("期初库存");
    kind.sheetName = QStringLiteral("期初库存");
    kind.columns = OpeningImportColumns();
    kind.modes = false;
    kind.options = [choice] {
        auto* box = new QWidget;
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        choice->account = new QComboBox;
        choice->account->setObjectName("cobo_account");
        const RecordSet accounts = sqlHelper::ExecuteSql(
            "select id, uname from tb_dictionary where utype='accountType' and isstart=1 and id in (" +
            SysVar().Sys_accountJoinId + ") order by orderBy, id");
        for (int r = 0; r < accounts.RecordCount(); ++r)
            choice->account->addItem(acc::valueText(accounts.at(r, "uname")), accounts.at(r, "id").toInt());
        choice->date = new QDateEdit(QDate::currentDate());
        choice->date->setObjectName("dt_date");
        choice->date->setCalendarPopup(true);
        choice->date->setDisplayFormat(SysVar().Sys_DateFormat);
        row->addWidget(new QLabel(QStringLiteral("账目标识:")));
        row->addWidget(choice->account);
        row->addWidget(new QLabel(QStringLiteral("建单日期:")));
        row->addWidget(choice->date);
        return box;
    };
    kind.check = [choice](ImportSheet& sheet, ImportMode) { CheckOpeningImport(sheet, choice->options()); };
    kind.write = [choice](ImportSheet& sheet, ImportMode, const ImportProgress& progress) {
        return WriteOpeningImport(sheet, choice->options(), progress);
    };
    kind.confirm = [choice] {
        const QString before = OpeningBillOf(choice->account->currentData().toInt());
        return before.isEmpty() ||
               MsgBox::Confirm(QStringLiteral("账目[%1]已有期初入库单 %2, 确定再导入一张吗?")
                                   .arg(choice->account->currentText(), before),
                               QStringLiteral("期初库存"));
    };
    kind.done = [](const ImportOutcome& o) {
        return QStringLiteral("期初入库单 %1, %2 行")
            .arg(acc::valueText(
                sqlHelper::DLookup("billNo", "tb_rk_head", " and id=" + QString::number(o.ids.front()))))
            .arg(o.added);
    };
    auto* dialog = new ImportDialog(kind, parent);
    dialog->setObjectName("frmOpeningStock");
    QObject::connect(choice->account, &QComboBox::currentIndexChanged, dialog,
                     [dialog] { dialog->recheck(); });
    return dialog;
}
