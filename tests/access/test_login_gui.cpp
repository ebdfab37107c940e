#include "access/frmabout.h"
#include "access/frmlocksystem.h"
#include "access/frmlogin.h"
#include "access/frmmodifypwd.h"
#include "access/frmshowmin.h"
#include "access/sysvars.h"
#include "access/user.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "guifixture.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QFile>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

// A second user, with the default password or one of their own.
static void addUser(int id, const QString& name, const QString& password = QString(), bool inUse = true) {
    m_user u;
    u.id = id;
    u.user = name;
    u.usex = "女";
    u.isstart = inUse;
    u.dictionaryId = 1;
    dal_user().Add(u); // new users start with the default password
    if (password.isEmpty()) return;
    u.pw = password;
    dal_user().UpdatePw(u);
}

class LoginTest : public GuiTest {
protected:
    void writeLastUser(const QByteArray& content) {
        QFile f(LastUserFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    void type(FrmLogin& f, const QString& user, const QString& pw) {
        f.txtUserName->setText(user);
        f.txtPassword->setText(pw);
        f.btnOK->setFocus();
    }
};

TEST_F(LoginTest, RightPasswordLogsInAndRemembersTheUser) {
    FrmLogin f;
    QString named;
    QObject::connect(&f, &FrmLogin::loggedIn, [&](const QString& user) { named = user; });
    f.show();
    type(f, "ADMIN", "888");
    f.OK();
    EXPECT_TRUE(m_msg.shown.empty());
    EXPECT_TRUE(f.isLoggedIn());
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(CurrentUser().id, 1);
    EXPECT_TRUE(SysVar().Sys_funJoinCode.startsWith("SysMenu,")); // the user's grants are loaded
    EXPECT_EQ(named, "ADMIN");                                    // the frame shows it
    QFile last(LastUserFile());
    ASSERT_TRUE(last.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(last.readAll()).trimmed(), "ADMIN");
}

TEST_F(LoginTest, RefusalsNameTheProblemAndMoveTheFocus) {
    FrmLogin f;
    f.show();
    type(f, "   ", "888");
    f.OK();
    type(f, "admin", " ");
    f.OK();
    EXPECT_EQ(f.focusWidget(), f.txtPassword);
    type(f, "admin", "889");
    f.OK();
    EXPECT_EQ(f.focusWidget(), f.txtPassword);
    EXPECT_EQ(f.txtPassword->selectedText(), "889");
    ASSERT_EQ(m_msg.shown.size(), 3u);
    EXPECT_EQ(m_msg.shown[0].text, "用户不能为空");
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Exclamation);
    EXPECT_EQ(m_msg.shown[0].caption, f.windowTitle());
    EXPECT_EQ(m_msg.shown[1].text, "密码不能为空");
    EXPECT_EQ(m_msg.shown[2].text, "无效用户或密码,请重试!");
    EXPECT_EQ(m_msg.shown[2].icon, MsgBox::Critical);
    EXPECT_FALSE(f.isLoggedIn());
    EXPECT_EQ(CurrentUser().id, 0);
    EXPECT_FALSE(QFile::exists(LastUserFile()));
}

TEST_F(LoginTest, ADisabledUserIsRefusedAndNullCountsAsInUse) {
    addUser(2, "王五", QString(), false);
    FrmLogin f;
    f.show();
    type(f, "王五", kDefaultPassword);
    f.OK();
    EXPECT_EQ(m_msg.texts(), QStringList{"该用户已停用,请与系统管理员联系!"});
    EXPECT_EQ(m_msg.shown[0].caption, f.windowTitle());
    EXPECT_FALSE(f.isLoggedIn());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(CurrentUser().id, 0);
    EXPECT_FALSE(QFile::exists(LastUserFile()));
    type(f, "王五", "wrong"); // a wrong password does not tell that the user is disabled
    f.OK();
    EXPECT_EQ(m_msg.shown.back().text, "无效用户或密码,请重试!");
    exec("update tb_user set isStart=Null where id=2"); // the column has no default
    type(f, "王五", kDefaultPassword);
    f.OK();
    EXPECT_TRUE(f.isLoggedIn());
    EXPECT_EQ(CurrentUser().id, 2);
}

TEST_F(LoginTest, UserNameWithAQuoteLogsIn) {
    addUser(2, "O'Neil");
    FrmLogin f;
    type(f, "O'Neil", kDefaultPassword);
    f.OK();
    EXPECT_TRUE(f.isLoggedIn());
    EXPECT_EQ(CurrentUser().user, "O'Neil");
}

TEST_F(LoginTest, EnterInTheUserNameMovesToThePassword) {
    FrmLogin f;
    f.show();
    QApplication::setActiveWindow(&f);
    f.txtUserName->setText("admin");
    f.txtPassword->setText("888");
    f.txtUserName->setFocus();
    QTest::keyClick(f.txtUserName, Qt::Key_Return);
    EXPECT_FALSE(f.isLoggedIn());
    EXPECT_EQ(f.focusWidget(), f.txtPassword);
    EXPECT_EQ(f.txtPassword->selectedText(), "888");
    QTest::keyClick(f.txtPassword, Qt::Key_Return); // the default button logs in
    EXPECT_TRUE(f.isLoggedIn());
}

TEST_F(LoginTest, LastUserFileFillsTheName) {
    {
        FrmLogin f;
        EXPECT_EQ(f.txtUserName->text(), "");
    }
    writeLastUser("first\nsecond\n张伟\n");
    FrmLogin f;
    EXPECT_EQ(f.txtUserName->text(), "张伟");
}

TEST_F(LoginTest, CancelLeavesOnlyWhenTheProgramEnds) {
    FrmLogin f;
    f.show();
    int asked = 0;
    bool ending = false;
    f.setExitRequest([&] {
        ++asked;
        return ending;
    });
    f.Cancel();
    EXPECT_TRUE(f.isVisible());
    f.close(); // the close box cannot get round the login
    EXPECT_TRUE(f.isVisible());
    ending = true;
    f.Cancel();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(f.isLoggedIn());
}

class LockTest : public GuiTest {};

TEST_F(LockTest, OnlyThePasswordOfTheLoggedInUserUnlocks) {
    addUser(2, "李娜", "lina");
    loginAs("admin");
    FrmLockSystem f;
    f.show();
    QApplication::setActiveWindow(&f);
    EXPECT_EQ(f.utxtuser->text(), "admin");
    EXPECT_TRUE(f.utxtuser->isReadOnly());
    EXPECT_EQ(f.focusWidget(), f.utxtPassword);
    screenshot(&f, "lock");
    // another user's name and password: the screen stays
    f.utxtuser->setText("李娜");
    f.utxtPassword->setText("lina");
    f.OK();
    EXPECT_TRUE(f.isVisible());
    EXPECT_NE(f.result(), QDialog::Accepted);
    f.utxtuser->setText("admin");
    f.utxtPassword->setText("  ");
    f.OK();
    ASSERT_EQ(m_msg.shown.size(), 1u);
    EXPECT_EQ(m_msg.shown[0].text, "密码不能为空!");
    EXPECT_EQ(m_msg.shown[0].caption, "系统锁定");
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Exclamation);
    f.utxtPassword->setText("wrong");
    f.OK();
    EXPECT_EQ(m_msg.shown.size(), 1u); // a wrong password is silent
    f.close();
    EXPECT_TRUE(f.isVisible());
    f.utxtPassword->setText("888");
    QApplication::setActiveWindow(&f);
    f.utxtPassword->setFocus();
    QTest::keyClick(f.utxtPassword, Qt::Key_Return);
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(m_ended.empty());
}

TEST_F(LockTest, EscapeEndsTheProgram) {
    loginAs("admin");
    FrmLockSystem f;
    f.show();
    QApplication::setActiveWindow(&f);
    QTest::keyClick(f.utxtuser, Qt::Key_Return); // swallowed
    EXPECT_TRUE(m_msg.shown.empty());
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_EQ(m_ended, std::vector<int>{0});
    EXPECT_FALSE(sqlHelper::IsConnOpen());
}

class ModifyPwdTest : public GuiTest {};

TEST_F(ModifyPwdTest, EveryCheckThenTheChange) {
    loginAs("admin");
    FrmModifypwd f;
    EXPECT_EQ(f.utxtuser->text(), "admin");
    auto attempt = [&](const char* oldPw, const char* newPw, const char* repeat) {
        f.utxtoldpwd->setText(oldPw);
        f.utxtnewpwd->setText(newPw);
        f.utxtrepwd->setText(repeat);
        f.OK();
    };
    attempt("", "a", "a");
    attempt("888", "", "");
    attempt("888", "Secret", "secret"); // differ only in case
    attempt("887", "secret", "secret");
    m_msg.answers = {MsgBox::No};
    attempt("888", "secret", "secret");
    EXPECT_EQ(m_msg.texts(), (QStringList{"旧密码不能为空!", "新密码不能为空!", "密码不一致,请重新输入!",
                                          "旧密码输入错误,请重新输入!", "确认修改密码!"}));
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Information);
    EXPECT_EQ(m_msg.shown[0].caption, "修改密码");
    EXPECT_EQ(dal_user().GetModelForPw("admin", "888").id, 1); // unchanged after No
    m_msg.shown.clear();
    m_msg.answers = {MsgBox::Yes};
    attempt("888", "secret", "secret");
    EXPECT_EQ(m_msg.texts(), (QStringList{"确认修改密码!", "密码修改完成,请记住新密码!"}));
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_EQ(dal_user().GetModelForPw("admin", "secret").id, 1);
    EXPECT_EQ(dal_user().GetModelForPw("admin", "888").id, 0);
}

TEST_F(ModifyPwdTest, AnotherUsersPasswordCannotBeChanged) {
    addUser(2, "李娜", "lina");
    loginAs("admin");
    FrmModifypwd f;
    EXPECT_TRUE(f.utxtuser->isReadOnly());
    EXPECT_EQ(f.focusWidget(), f.utxtoldpwd);
    f.utxtuser->setText("李娜"); // even a name put into the box is not taken
    f.utxtoldpwd->setText("lina");
    f.utxtnewpwd->setText("taken");
    f.utxtrepwd->setText("taken");
    yesTo([&] { f.OK(); });
    EXPECT_EQ(m_msg.texts(), QStringList{"旧密码输入错误,请重新输入!"});
    EXPECT_EQ(dal_user().GetModelForPw("李娜", "lina").id, 2);
    EXPECT_EQ(dal_user().GetModelForPw("admin", "888").id, 1);
}

TEST_F(ModifyPwdTest, RefusedWithoutTheFunctionCode) {
    loginAs("admin");
    exec("delete from tb_user_group_fun where funCode='modifyPW'");
    InitSysVar();
    FrmModifypwd f;
    f.utxtoldpwd->setText("888");
    f.utxtnewpwd->setText("x");
    f.utxtrepwd->setText("x");
    f.OK();
    EXPECT_EQ(m_msg.texts(), QStringList{"功能受限,请与系统管理联系!"});
    EXPECT_EQ(dal_user().GetModelForPw("admin", "888").id, 1);
}

class MinimisedView : public GuiTest {};

TEST_F(MinimisedView, MainWindowGoesThroughTheLockScreenAndExitEnds) {
    loginAs("admin");
    QWidget home;
    FrmShowMin view(&home);
    EXPECT_TRUE(view.windowFlags() & Qt::WindowStaysOnTopHint);
    view.show();
    QStringList items;
    for (QAction* a : view.menu_pop->actions())
        items << a->objectName() + " " + a->text();
    EXPECT_EQ(items, (QStringList{"menu_frmain 主窗口", "menu_exit 退出"}));
    bool homeVisibleUnderLock = false;
    m_onModal = [&](QDialog* d) {
        homeVisibleUnderLock = home.isVisible();
        return d->objectName() == "FrmLockSystem" ? 1 : 0;
    };
    view.ShowMainWindow();
    EXPECT_EQ(m_modalShown, std::vector<QString>{"FrmLockSystem"});
    EXPECT_TRUE(homeVisibleUnderLock);
    EXPECT_FALSE(view.isVisible());
    sqlHelper::OpenConn();
    view.ExitProgram();
    EXPECT_EQ(m_ended, std::vector<int>{0});
    EXPECT_FALSE(sqlHelper::IsConnOpen());
}

class AboutBox : public GuiTest {};

TEST_F(AboutBox, ListsTheFeaturesThatAreThere) {
    auto text = [] { return FrmAbout().findChild<QLabel*>("lab_features")->text(); };
    const QString now = text();
    EXPECT_TRUE(now.contains("日志文件夹: " + QDir::toNativeSeparators(folder()))) << qPrintable(now);
    for (const char* built :
         {"用户登录", "修改密码", "数据字典", "货品信息", "库位信息", "往来单位", "入库业务", "出库业务"})
        EXPECT_TRUE(now.contains(QString::fromUtf8(built))) << built;
    for (const char* missing : {"报表", "打印", "导出", "部门权限"})
        EXPECT_FALSE(now.contains(QString::fromUtf8(missing))) << missing;
    WindowRegistry::Register("frm_rpt_stock",
                             {.create = [](QWidget*) { return new QWidget; }, .title = "库存报表"});
    EXPECT_TRUE(text().contains("库存报表"));
    WindowRegistry::Unregister("frm_rpt_stock");
    FrmAbout about;
    about.show();
    screenshot(&about, "about");
}
