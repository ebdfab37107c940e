#include "guifixture.h"

#include "access/singleinstance.h"
#include "access/sysvars.h"
#include "access/user.h"
#include "app/appwindows.h"
#include "app/frm_main.h"
#include "data/appenv.h"
#include "ui/modal.h"

#include <QApplication>
#include <QDir>

void GuiTest::SetUp() {
    DbTest::SetUp();
    SetEndProgramHandler([this](int code, const QString& reason) {
        if (!reason.isEmpty()) MsgBox::Show(reason, MsgBox::Exclamation, "System");
        m_ended.push_back(code);
    });
    SetModalRunner([this](QDialog* d) {
        m_modalShown.push_back(d->objectName());
        return m_onModal ? m_onModal(d) : int(QDialog::Rejected);
    });
    frm_Main::SetUrlOpener([this](const QString& url) { m_urls.push_back(url); });
    RegisterWindows(); // as the program does at start-up
    SetInstanceLockPath(folder() + "instance.lock");
    CurrentUser() = m_user();
    InitSysVar();
}

void GuiTest::TearDown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
    QApplication::processEvents();
    SetInstanceLockPath(QString());
    SetModalRunner(nullptr);
    CurrentUser() = m_user();
    DbTest::TearDown();
}

void GuiTest::loginAs(const QString& user, const QString& password) {
    CurrentUser() = dal_user().GetModelForPw(user, password);
    ASSERT_GT(CurrentUser().id, 0) << qPrintable(user);
    InitSysVar();
}

void GuiTest::screenshot(QWidget* w, const QString& name) {
    const QString dir = QStringLiteral(WMS_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}
