#include "frmlogin.h"

#include "sysvars.h"
#include "user.h"

#include "data/appenv.h"
#include "data/applog.h"
#include "data/msgbox.h"
#include "ui/application.h"

#include <QCloseEvent>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>

QString LastUserFile() {
    return DataFolder() + "remeber_lastuser.INI";
}

FrmLogin::FrmLogin(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmLogin");
    setWindowTitle(QStringLiteral("用户登录"));
    setModal(true);
    auto* title = new QLabel(kProductTitle);
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);

    txtUserName = new QLineEdit;
    txtUserName->setObjectName("txtUserName");
    txtPassword = new QLineEdit;
    txtPassword->setObjectName("txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    btnOK = new QPushButton(QStringLiteral("确定"));
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"));
    btnCancel->setObjectName("btnCancel");
    btnCancel->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("用户名:"), txtUserName);
    form->addRow(QStringLiteral("密  码:"), txtPassword);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addSpacing(8);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(340);

    connect(btnOK, &QPushButton::clicked, this, &FrmLogin::OK);
    connect(btnCancel, &QPushButton::clicked, this, &FrmLogin::Cancel);
    loadLastUser();
}

void FrmLogin::loadLastUser() {
    QFile f(LastUserFile());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return;
    QTextStream in(&f);
    while (!in.atEnd())
        txtUserName->setText(in.readLine()); // the last line read stays
}

void FrmLogin::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    txtUserName->setFocus();
    txtUserName->selectAll();
}

void FrmLogin::OK() {
    const QString caption = windowTitle();
    if (focusWidget() == txtUserName) {
        txtPassword->setFocus();
        txtPassword->selectAll();
        return;
    }
    if (txtUserName->text().trimmed().isEmpty()) {
        MsgBox::Show(QStringLiteral("用户不能为空"), MsgBox::Exclamation, caption);
        txtUserName->setFocus();
        return;
    }
    if (txtPassword->text().trimmed().isEmpty()) {
        MsgBox::Show(QStringLiteral("密码不能为空"), MsgBox::Exclamation, caption);
        txtPassword->setFocus();
        return;
    }
    const m_user user = dal_user().GetModelForPw(txtUserName->text(), txtPassword->text());
    if (user.id == 0) {
        qCInfo(lcAccess).noquote() << "login refused: wrong user name or password for" << txtUserName->text();
        MsgBox::Show(QStringLiteral("无效用户或密码,请重试!"), MsgBox::Critical, caption);
        txtPassword->setFocus();
        txtPassword->selectAll();
        return;
    }
    if (!user.isstart) { // checked only after the password, so that it tells nothing to a guesser
        qCInfo(lcAccess).noquote() << "login refused: user disabled:" << user.user;
        MsgBox::Show(QStringLiteral("该用户已停用,请与系统管理员联系!"), MsgBox::Exclamation, caption);
        return;
    }
    CurrentUser() = user;
    m_loggedIn = true;
    qCInfo(lcAccess).noquote() << "logged in:" << user.user;
    QFile f(LastUserFile());
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        f.write((txtUserName->text() + "\n").toUtf8());
    InitSysVar();
    accept();
    emit loggedIn(txtUserName->text());
}

void FrmLogin::Cancel() {
    m_loggedIn = false;
    if (!m_exitRequest || m_exitRequest()) {
        m_leaving = true;
        QDialog::reject();
    }
}

void FrmLogin::reject() {
    Cancel();
}

void FrmLogin::closeEvent(QCloseEvent* e) {
    // the close box cannot get round the login
    if (m_loggedIn || m_leaving)
        e->accept();
    else
        e->ignore();
}
