#include "billreportform.h"

#include "access/funcode.h"
#include "bills/billstore.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/results.h"
#include "data/sysvar.h"
#include "master/customer.h"
#include "ui/formparts.h"
#include "ui/frm_select.h"
#include "ui/icons.h"
#include "ui/modal.h"
#include "ui/permission.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

BillReportForm::BillReportForm(const BillReportKind& kind, QWidget* parent)
    : ReportForm(kind.objectName, QString::fromUtf8(kind.title), QString::fromUtf8(kind.header), parent),
      m_kind(kind) {
    dt_createDateFrom = NewDateEdit("dt_createDateFrom", FirstDayOfMonth(QDate::currentDate()));
    dt_createDateTo = NewDateEdit("dt_createDateTo", QDate::currentDate());
    cobo_billType = NamedCombo(kind.typeComboName);
    if (kind.typeDict)
        FillCombo(
            cobo_billType,
            QStringLiteral(
                "select id,uname  from tb_dictionary where (utype='%1') and (isstart=1) order by id,orderby")
                .arg(kind.typeDict),
            "uname");
    cobo_billType->insertItem(0, QString()); // every type
    cobo_billType->setCurrentIndex(0);
    txt_partnerName = NamedEdit(kind.partnerNameName);
    txt_partnerName->setMaxLength(100);
    txt_KeyWord = NamedEdit("txt_KeyWord");
    searchOnEnter(txt_KeyWord);
    check_pass = new QCheckBox(QStringLiteral("已审核"));
    check_pass->setObjectName("check_pass");
    check_nopass = new QCheckBox(QStringLiteral("未审核"));
    check_nopass->setObjectName("check_nopass");
    check_pass->setChecked(true);
    check_nopass->setChecked(true);
    connect(dg_List, &QTableWidget::cellDoubleClicked, this, [this] { OpenBill(); });
}

void BillReportForm::layOutFilters(std::initializer_list<std::pair<const char*, QWidget*>> first,
                                   std::initializer_list<std::pair<const char*, QWidget*>> second) {
    QPushButton* search = newSearchButton();
    auto add = [](QHBoxLayout* row, std::initializer_list<std::pair<const char*, QWidget*>> fields) {
        for (const auto& [label, field] : fields) {
            row->addWidget(new QLabel(QString::fromUtf8(label)));
            row->addWidget(field);
        }
    };
    auto* row1 = new QHBoxLayout;
    addDateRange(row1, dt_createDateFrom, dt_createDateTo);
    addAccountBox(row1);
    add(row1, first);
    auto* row2 = new QHBoxLayout;
    if (m_kind.partnerLabel) {
        row1->addWidget(new QLabel(QString::fromUtf8(m_kind.out ? "出库类别:" : "入库类别:")));
        row1->addWidget(cobo_billType);
        auto* partnerButton = NamedButton(m_kind.partnerButtonName, "...");
        partnerButton->setFixedWidth(32);
        connect(partnerButton, &QPushButton::clicked, this, &BillReportForm::SearchPartner);
        row2->addWidget(new QLabel(QString::fromUtf8(m_kind.partnerLabel)));
        row2->addWidget(txt_partnerName, 1);
        row2->addWidget(partnerButton);
    } else { // a kind without type and partner (transfers)
        for (QWidget* w : std::initializer_list<QWidget*>{cobo_billType, txt_partnerName}) {
            w->setParent(this);
            w->hide();
        }
    }
    add(row2, second);
    row2->addWidget(new QLabel(QStringLiteral("关键字:")));
    row2->addWidget(txt_KeyWord, 1);
    row2->addWidget(check_pass);
    row2->addWidget(check_nopass);
    row2->addWidget(search);
    setFilterRows({row1, row2});
}

void BillReportForm::addBillMenu() {
    vs_pop_menu->addAction(QStringLiteral("查看单据"), this, &BillReportForm::OpenBill)
        ->setObjectName("menu_BrowseBill");
    vs_pop_menu->addAction(QStringLiteral("删除单据"), this, &BillReportForm::menu_DeleteBill)
        ->setObjectName("menu_DeleteBill");
}

void BillReportForm::fillFilter(BillListFilter& f) const {
    f.stockOut = m_kind.out;
    if (!dt_createDateFrom->text().trimmed().isEmpty()) f.from = dt_createDateFrom->date();
    if (!dt_createDateTo->text().trimmed().isEmpty()) f.to = dt_createDateTo->date();
    f.accountIds = accountTag;
    f.approved = check_pass->isChecked();
    f.unapproved = check_nopass->isChecked();
    f.type = cobo_billType->currentText();
    f.partner = txt_partnerName->text();
    f.keyword = txt_KeyWord->text();
}

int BillReportForm::currentBillId() const {
    const int row = dg_List->currentRow();
    return row < 0 ? 0 : static_cast<int>(acc::val(cell(row, billIdColumn())));
}

void BillReportForm::showStatusIcon(int row) {
    const QString status = cell(row, statusColumn());
    if (!status.isEmpty())
        dg_List->item(row, statusColumn())
            ->setIcon(KeyIcon(status == QStringLiteral("已审核") ? "ok_01.gif" : "flg3.ico"));
}

void BillReportForm::OpenBill() {
    const int id = currentBillId();
    if (id <= 0 || !CheckFunction(m_kind.codeBrowse())) return;
    if (QWidget* entry = WindowRegistry::Open(m_kind.entryWindow))
        QMetaObject::invokeMethod(entry, "LoadBill", Q_ARG(int, id));
}

void BillReportForm::menu_DeleteBill() {
    const int id = currentBillId();
    if (id <= 0 || !CheckFunction(m_kind.codeDelete())) return;
    if (cell(dg_List->currentRow(), statusColumn()).trimmed() == QStringLiteral("已审核"))
        return Refuse(this, QStringLiteral("当前单据已审核,不能删除!"));
    if (!MsgBox::Confirm(QStringLiteral("是否删除当前单据?"), windowTitle())) return;
    const m_DBresult r = m_kind.store()->Delete(id);
    if (!r.isResult) Refuse(this, r.str_MsgBox); // approved or deleted by somebody else meanwhile
    btn_search();
}

QString PickPartnerName(QWidget* parent, const char* mode) {
    frm_select dlg(parent);
    dlg.setMode(mode);
    dlg.setSinglePick(true);
    dlg.RunSearch();
    RunModal(&dlg);
    const auto picked = dlg.picked<m_customer>();
    if (picked.empty() || picked.front().customerCode.trimmed().isEmpty()) return {};
    return picked.front().uname;
}

void BillReportForm::SearchPartner() {
    const QString name = PickPartnerName(this, m_kind.partnerMode);
    if (!name.isEmpty()) txt_partnerName->setText(name);
}
