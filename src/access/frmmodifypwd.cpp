#include "frmmodifypwd.h"

#include "funcode.h"
#include "user.h"

#include "data/msgbox.h"
#include "ui/permission.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FrmModifypwd::FrmModifypwd(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmModifypwd");
    setWindowTitle(QStringLiteral("修改密码"));
    auto edit = [](const char* name, bool password) {
        auto* e = new QLineEdit;
        e->setObjectName(name);
        if (password) e->setEchoMode(QLineEdit::Password);
        return e;
    };
    utxtuser = edit("utxtuser", false);
    utxtuser->setReadOnly(true);
    utxtuser->setFocusPolicy(Qt::NoFocus); // the logged-in user's: the typing starts at the old password
    utxtuser->setText(CurrentUser().user);
    utxtoldpwd = edit("utxtoldpwd", true);
    utxtnewpwd = edit("utxtnewpwd", true);
    utxtrepwd = edit("utxtrepwd", true);
    btnOK = new QPushButton(QStringLiteral("确定"));
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnBack = new QPushButton(QStringLiteral("返回"));
    btnBack->setObjectName("btnBack");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("用 户 名:"), utxtuser);
    form->addRow(QStringLiteral("旧 密 码:"), utxtoldpwd);
    form->addRow(QStringLiteral("新 密 码:"), utxtnewpwd);
    form->addRow(QStringLiteral("确认密码:"), utxtrepwd);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnBack);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(320);
    connect(btnOK, &QPushButton::clicked, this, &FrmModifypwd::OK);
    connect(btnBack, &QPushButton::clicked, this, &QDialog::reject);
    utxtoldpwd->setFocus();
}

void FrmModifypwd::OK() {
    if (!CheckFunction(m_funCode::modifyPW(), true)) return;
    const QString caption = windowTitle();
    auto refuse = [&](const char* text, QLineEdit* focus) {
        MsgBox::Show(QString::fromUtf8(text), MsgBox::Information, caption);
        focus->setFocus();
    };
    if (utxtoldpwd->text().trimmed().isEmpty()) return refuse("旧密码不能为空!", utxtoldpwd);
    if (utxtnewpwd->text().trimmed().isEmpty()) return refuse("新密码不能为空!", utxtnewpwd);
    if (utxtnewpwd->text() != utxtrepwd->text()) return refuse("密码不一致,请重新输入!", utxtnewpwd);
    dal_user dal;
    // only the logged-in user's own password changes here
    const m_user found = dal.GetCurrentForPw(utxtoldpwd->text());
    if (found.id == 0) return refuse("旧密码输入错误,请重新输入!", utxtoldpwd);
    if (!MsgBox::Confirm(QStringLiteral("确认修改密码!"), caption)) return;
    m_user model;
    model.id = found.id;
    model.pw = utxtnewpwd->text();
    dal.UpdatePw(model);
    MsgBox::Show(QStringLiteral("密码修改完成,请记住新密码!"), MsgBox::Information, caption);
    accept();
}
