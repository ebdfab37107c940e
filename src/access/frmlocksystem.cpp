#include "frmlocksystem.h"

#include "user.h"

#include "data/applog.h"
#include "data/appenv.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FrmLockSystem::FrmLockSystem(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmLockSystem");
    setWindowTitle(QStringLiteral("系统锁定"));
    utxtuser = new QLineEdit(CurrentUser().user);
    utxtuser->setObjectName("utxtuser");
    utxtuser->setReadOnly(true); // only the logged-in user can unlock
    utxtuser->setFocusPolicy(Qt::NoFocus);
    utxtPassword = new QLineEdit;
    utxtPassword->setObjectName("utxtPassword");
    utxtPassword->setEchoMode(QLineEdit::Password);
    btnOK = new QPushButton(QStringLiteral("解锁"));
    btnOK->setObjectName("btnOK");
    btnOK->setAutoDefault(false);
    auto* note = new QLabel(QStringLiteral("系统已锁定, 请输入密码解锁 (按 Esc 退出系统)"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("用户名:"), utxtuser);
    form->addRow(QStringLiteral("密  码:"), utxtPassword);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    layout->addLayout(buttons);
    utxtuser->installEventFilter(this);
    utxtPassword->installEventFilter(this);
    connect(btnOK, &QPushButton::clicked, this, &FrmLockSystem::OK);
    setMinimumWidth(320);
    utxtPassword->setFocus();
}

bool FrmLockSystem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == utxtPassword) utxtPassword->selectAll();
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == utxtPassword) OK();
            return true; // Enter in the user name box is swallowed
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FrmLockSystem::OK() {
    if (utxtPassword->text().trimmed().isEmpty()) {
        MsgBox::Show(QStringLiteral("密码不能为空!"), MsgBox::Exclamation, QStringLiteral("系统锁定"));
        utxtPassword->setFocus();
        return;
    }
    // the password of the user who is logged in, whatever the name box holds
    if (dal_user().GetCurrentForPw(utxtPassword->text()).id >= 1) {
        m_unlocked = true;
        accept();
    } else {
        qCInfo(lcAccess) << "unlocking refused: wrong password";
    }
}

void FrmLockSystem::EndSession() {
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    m_unlocked = true; // let the dialog go while the program ends
    EndProgram(0);
    QDialog::reject();
}

void FrmLockSystem::reject() {
    EndSession();
}

void FrmLockSystem::closeEvent(QCloseEvent* event) {
    if (m_unlocked)
        event->accept();
    else
        event->ignore();
}
