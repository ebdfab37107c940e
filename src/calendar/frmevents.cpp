#include "frmevents.h"

#include "events.h"

#include "access/user.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "ui/formparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

frmEvents::frmEvents(QWidget* parent) : QDialog(parent) {
    setObjectName("frmEvents");
    setWindowTitle(QStringLiteral("日程"));
    dt_time = new QDateTimeEdit;
    dt_time->setObjectName("dt_time");
    dt_time->setCalendarPopup(true);
    dt_time->setDisplayFormat("yyyy-MM-dd HH:mm");
    txt_content = new QPlainTextEdit;
    txt_content->setObjectName("txt_content");
    comb_flgtype = new QComboBox;
    comb_flgtype->setObjectName("comb_flgtype");
    comb_flgtype->addItems(kImportances);
    chk_start = new QCheckBox(QStringLiteral("启用"));
    chk_start->setObjectName("chk_start");
    chk_start->setChecked(true);
    txt_id = NamedEdit("txt_id");
    txt_id->hide();
    btn_Save = new QPushButton(QStringLiteral("保存"));
    btn_Save->setObjectName("btn_Save");
    connect(btn_Save, &QPushButton::clicked, this, &frmEvents::Save);
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(save, &QShortcut::activated, this, &frmEvents::Save);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("日期:"), dt_time);
    form->addRow(QStringLiteral("主题内容:"), txt_content);
    form->addRow(QStringLiteral("标注:"), comb_flgtype);
    form->addRow(QString(), chk_start);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(txt_id);
    buttons->addStretch(1);
    buttons->addWidget(btn_Save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(420, 300);
    NewEvent(QDateTime::currentDateTime());
}

void frmEvents::NewEvent(const QDateTime& when) {
    txt_id->clear();
    dt_time->setDateTime(when);
    txt_content->clear();
    comb_flgtype->setCurrentIndex(0);
    chk_start->setChecked(true);
}

void frmEvents::load_EventsContent(int id) {
    txt_id->setText(QString::number(id));
    if (id < 1) return;
    const m_events e = dal_events().GetModel(id);
    if (e.id < 1) return;
    txt_content->setPlainText(e.eventContent);
    chk_start->setChecked(e.isstart);
    QDateTime when = QDateTime::fromString(e.createTime, "yyyy-MM-dd hh:mm:ss");
    if (!when.isValid()) when = QDateTime::fromString(e.createTime, "yyyy-MM-dd hh:mm");
    if (!when.isValid()) when = QDateTime(QDate::fromString(e.createTime.left(10), "yyyy-MM-dd"), QTime());
    if (when.isValid()) dt_time->setDateTime(when);
    const int flag = comb_flgtype->findText(e.flgType);
    comb_flgtype->setCurrentIndex(flag < 0 ? 0 : flag);
}

void frmEvents::Save() {
    if (txt_content->toPlainText().trimmed().isEmpty()) {
        MsgBox::Show(QStringLiteral("主题内容不能为空"), MsgBox::Exclamation, windowTitle());
        txt_content->setFocus();
        return;
    }
    const int formId = static_cast<int>(acc::val(txt_id->text()));
    m_events e;
    e.id = formId >= 1
               ? formId
               : static_cast<int>(acc::val(acc::valueText(sqlHelper::DMax("id", "tb_events", "")))) + 1;
    e.createTime = EventTimeText(dt_time->dateTime());
    e.createUserId = CurrentUser().id;
    e.eventContent = txt_content->toPlainText();
    e.flgType = comb_flgtype->currentText();
    e.isstart = chk_start->isChecked();
    if (!MsgBox::Confirm(QStringLiteral("确认保存日程!"), windowTitle())) return;
    if (formId >= 1)
        dal_events().Update(e); // the author stays
    else
        dal_events().Add(e);
    emit saved(formId >= 1);
    accept();
}
