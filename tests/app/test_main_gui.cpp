#include "access/frmlogin.h"
#include "access/funcode.h"
#include "access/singleinstance.h"
#include "access/sysvars.h"
#include "access/user.h"
#include "app/frm_main.h"
#include "app/startup.h"
#include "data/appenv.h"
#include "data/applog.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "guifixture.h"
#include "output/printout.h"
#include "schema/schemasteps.h"
#include "ui/icons.h"
#include "ui/importdialog.h"
#include "ui/permission.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

namespace {

// A stand-in for a window of a later part of the program.
class TestWindow : public QWidget {
public:
    TestWindow() { setObjectName("TestWindow"); }
};

QStringList actionsOf(QMenu* m) {
    QStringList out;
    for (QAction* a : m->actions())
        out << (a->isSeparator() ? QString("-") : a->objectName() + " " + a->text());
    return out;
}

} // namespace

class MainWindowTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WindowRegistry::Register("frmImport", {.create = [](QWidget*) { return new TestWindow; }});
        WindowRegistry::Register("frm_user", {.create = [](QWidget*) { return new TestWindow; }});
    }
    void TearDown() override {
        WindowRegistry::Unregister("frmImport");
        WindowRegistry::Unregister("frm_user");
        GuiTest::TearDown();
    }
    void makeDepartment(int id, const QStringList& codes) {
        exec(QString("insert into tb_dictionary (id, utype, uname, parentId, orderBy, isstart, isSystemSet) "
                     "values (%1, 'department', '部门%1', 0, 0, 1, 0)")
                 .arg(id));
        for (const QString& c : codes)
            exec(QString("insert into tb_user_group_fun (funCode, departmentId) values ('%1', %2)")
                     .arg(c)
                     .arg(id));
        exec(QString("insert into tb_user (id, [user], pw, usex, isStart, dictionaryId) values (%1, 'u%1', "
                     "'%2', '男', 1, %1)")
                 .arg(id)
                 .arg(MD5("888")));
    }
};

TEST_F(MainWindowTest, MenusAndToolbarAreTheTables) {
    frm_Main main;
    EXPECT_EQ(main.windowTitle(), "澜图仓库管理系统");
    QStringList heads;
    for (QAction* a : main.menuBar()->actions())
        heads << a->menu()->objectName() + " " + a->text();
    EXPECT_EQ(heads, (QStringList{"menu_ckMg 仓库管理", "menu_report 报表分析", "menu_basic 基础档案",
                                  "menu_systemset 系统设置", "menu_help 帮助"}));
    auto items = [&](const char* menu) { return actionsOf(main.findChild<QMenu*>(menu)); };
    EXPECT_EQ(items("menu_ckMg"),
              (QStringList{"menu_rk 入库业务", "menu_ck 出库业务", "menu_transfer 调拨业务", "-",
                           "menu_stocktake 库存盘点", "-", "menu_opening 期初库存"}));
    EXPECT_EQ(
        items("menu_report"),
        (QStringList{"menu_kcbill 库存总账", "menu_locstock 库位库存", "menu_expiry 效期预警", "-",
                     "menu_rk_bill 入库单据", "menu_rk_detail_bill 入库明细", "menu_rksum 入库汇总", "-",
                     "menu_ck_bill 出库单据", "menu_ck_detail_bill 出库明细", "menu_cksum 出库汇总", "-",
                     "menu_db_bill 调拨单据", "menu_db_detail_bill 调拨明细"}));
    EXPECT_EQ(items("menu_basic"), (QStringList{"menu_goods 货品信息", "menu_location 库位信息"}));
    EXPECT_EQ(items("menu_systemset"),
              (QStringList{"menu_dictionary 数据字典", "menu_fun 权限设置", "menu_opt 选项", "-",
                           "menu_user 用户信息", "menu_modiflypw 修改密码"}));
    EXPECT_EQ(items("menu_help"), (QStringList{"menu_aboutus 关于我们"}));

    QStringList buttons;
    for (QToolButton* b : main.toolBar()->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
        if (!b->objectName().startsWith("qt_")) buttons << b->objectName() + " " + b->text();
    // the buttons' pictures from the icon theme
    EXPECT_EQ(main.findChild<QToolButton*>("menu_ckMg")->icon().name(), "package-x-generic");
    EXPECT_EQ(main.findChild<QToolButton*>("menu_SystemExit")->icon().name(), "application-exit");
    EXPECT_EQ(buttons, (QStringList{"menu_MyCustomer 往来单位", "menu_ckMg 仓库管理", "menu_report 报表分析",
                                    "menu_web 系统网站", "menu_Calendar 日程管理", "menu_BasicInfor 基础档案",
                                    "menu_SystemSet 系统管理", "menu_funRefresh 权限刷新", "menu_Help 帮助",
                                    "menu_SystemExit 退出系统"}));
    EXPECT_EQ(actionsOf(main.findChild<QToolButton*>("menu_SystemSet")->menu()),
              (QStringList{"user_infor 用户信息", "item_modflyPw 修改密码"}));
    EXPECT_EQ(actionsOf(main.findChild<QToolButton*>("menu_ckMg")->menu()),
              (QStringList{"item_import 入库业务", "item_transfer 调拨业务"}));
    EXPECT_EQ(actionsOf(main.findChild<QToolButton*>("menu_BasicInfor")->menu()),
              (QStringList{"item_goods 货品信息"}));
    EXPECT_EQ(actionsOf(main.findChild<QToolButton*>("menu_Help")->menu()),
              (QStringList{"item_aboutus 关于我们"}));
    ASSERT_NE(main.findChild<QLabel*>("cur_userinfor"), nullptr);
}

TEST_F(MainWindowTest, OpeningStockComesInThroughItsWindowForTheChosenAccount) {
    loginAs("admin");
    exec("insert into tb_goods_head (id, goodsTypeId, goodsCode, goodsName, status) values (1, 5, 'G1', "
         "'水', '启用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, rowNo, unit, packQty) values (10, 1, 1, 1, "
         "'瓶', 1)");
    exec("insert into tb_location (id, locationCode, isLock, state) values (1, 'A', 0, 1)");
    exec("insert into tb_location_fun (locationId, departmentId) values (1, 1)");
    loginAs("admin");
    const QString file = folder() + "opening.csv";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("货品编码,数量,库位\nG1,7,A\n").toUtf8());
    f.close();
    ImportDialog::FileChooser() = [&](QWidget*) { return file; };
    frm_Main main;
    int runs = 0;
    m_onModal = [&](QDialog* d) {
        auto* dialog = qobject_cast<ImportDialog*>(d);
        EXPECT_TRUE(dialog);
        if (!dialog) return int(QDialog::Rejected);
        ++runs;
        EXPECT_EQ(dialog->findChild<QComboBox*>("cobo_account")->currentText(), "默认账目");
        dialog->findChild<QDateEdit*>("dt_date")->setDate(QDate(2026, 1, 1));
        dialog->btn_open->click();
        EXPECT_EQ(dialog->sheet().errorRows(), 0) << qPrintable(dialog->sheet().problems().join('\n'));
        m_msg.answers = {MsgBox::Yes, runs == 1 ? MsgBox::Yes : MsgBox::No};
        return dialog->importRows() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    main.RunCommand("menu_opening");
    ASSERT_EQ(runs, 1);
    EXPECT_EQ(m_msg.texts().last(), "导入成功: 期初入库单 rk-2601-00001, 1 行");
    // a second opening of the account asks first: no, and nothing more is written
    main.RunCommand("menu_opening");
    EXPECT_EQ(m_msg.texts().last(), "账目[默认账目]已有期初入库单 rk-2601-00001, 确定再导入一张吗?");
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt(), 1);
    EXPECT_EQ(scalar("select importQty from tb_stock_balance where goodsId=1").toDouble(), 7);
    ImportDialog::FileChooser() = nullptr;
}

TEST_F(MainWindowTest, CommandsWithoutTheirWindowAreDisabled) {
    WindowRegistry::Unregister("FrmCalendar"); // as a build without the calendar
    frm_Main main;
    EXPECT_FALSE(main.findChild<QToolButton*>("menu_Calendar")->isEnabled());
    EXPECT_TRUE(main.findChild<QAction*>("menu_rk")->isEnabled()); // registered by the test
    EXPECT_TRUE(main.findChild<QAction*>("menu_modiflypw")->isEnabled());
    loginAs("admin");
    EXPECT_FALSE(main.RunCommand("menu_Calendar")); // granted, but nothing to open yet
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(m_msg.shown.empty());
}

TEST_F(MainWindowTest, OneWindowPerCommand) {
    loginAs("admin");
    frm_Main main;
    main.show();
    ASSERT_TRUE(main.RunCommand("menu_rk"));
    QWidget* first = WindowRegistry::Find("frmImport");
    ASSERT_TRUE(first);
    ASSERT_TRUE(main.RunCommand("item_import"));
    EXPECT_EQ(WindowRegistry::Find("frmImport"), first);
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
    main.mdiArea()->subWindowList().first()->close(); // a closed window is made anew
    QApplication::processEvents();
    ASSERT_TRUE(main.RunCommand("menu_rk"));
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);
}

TEST_F(MainWindowTest, RefusedCommandOpensNothing) {
    makeDepartment(60, {"rcmg"});
    loginAs("u60");
    frm_Main main;
    EXPECT_FALSE(main.RunCommand("menu_rk"));
    EXPECT_FALSE(main.RunCommand("menu_modiflypw"));
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(m_modalShown.empty());
    ASSERT_EQ(m_msg.shown.size(), 2u);
    EXPECT_EQ(m_msg.shown[0].text, "功能受限,请与系统管理联系!");
    EXPECT_EQ(m_msg.shown[0].caption, "System");
    // the toolbar's password item opens its dialog, whose OK tests the code
    EXPECT_TRUE(main.RunCommand("item_modflyPw"));
    EXPECT_EQ(m_modalShown, std::vector<QString>{"FrmModifypwd"});
    EXPECT_EQ(m_msg.shown.size(), 2u);
}

TEST_F(MainWindowTest, DepartmentWithoutGrantsIsRefusedEverywhere) {
    makeDepartment(61, {});
    loginAs("u61");
    EXPECT_EQ(SysVar().Sys_funJoinCode, "0");
    frm_Main main;
    for (const char* key : {"menu_rk", "menu_goods", "menu_fun", "menu_modiflypw", "menu_Calendar"})
        EXPECT_FALSE(main.RunCommand(key)) << key;
    EXPECT_EQ(m_msg.shown.size(), 5u);
    EXPECT_TRUE(main.RunCommand("menu_aboutus")); // not guarded
}

TEST_F(MainWindowTest, ModalCommandsRunTheirDialog) {
    loginAs("admin");
    frm_Main main;
    EXPECT_TRUE(main.RunCommand("menu_modiflypw"));
    EXPECT_TRUE(main.RunCommand("item_aboutus"));
    EXPECT_EQ(m_modalShown, (std::vector<QString>{"FrmModifypwd", "FrmAbout"}));
    EXPECT_TRUE(main.RunCommand("menu_web"));
    exec("update tb_setting set setValue='http://example.com/shop' where setKey='webSite'");
    EXPECT_TRUE(main.RunCommand("menu_web"));
    ASSERT_EQ(m_urls.size(), 2u);
    EXPECT_TRUE(m_urls[0].startsWith("http"));
    EXPECT_EQ(m_urls[1], "http://example.com/shop");
}

TEST_F(MainWindowTest, ExitQuestion) {
    frm_Main main;
    main.show();
    m_msg.answers = {MsgBox::No};
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(m_ended.empty());
    loginAs("admin");
    main.RunCommand("menu_goods");
    sqlHelper::OpenConn();
    m_msg.answers = {MsgBox::Yes};
    main.RunCommand("menu_SystemExit");
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(m_ended, std::vector<int>{0});
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_FALSE(sqlHelper::IsConnOpen());
    EXPECT_EQ(m_msg.texts(), (QStringList{"是否退出系统?", "是否退出系统?"}));
}

TEST_F(MainWindowTest, PermissionRefreshClosesEveryChildAndReloadsGrants) {
    makeDepartment(62, {"goodsInfor", "locationInfor"});
    loginAs("u62");
    frm_Main main;
    main.show();
    ASSERT_TRUE(main.RunCommand("menu_goods"));
    ASSERT_TRUE(main.RunCommand("menu_location"));
    m_msg.answers = {MsgBox::No};
    main.RefreshPermissions();
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 2);
    exec("insert into tb_user_group_fun (funCode, departmentId) values ('user', 62)");
    EXPECT_FALSE(CheckFunction("user", false)); // grants change only at a refresh
    m_msg.answers = {MsgBox::Yes};
    main.RunCommand("menu_funRefresh");
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(WindowRegistry::Find("frmGoods"), nullptr);
    EXPECT_TRUE(CheckFunction("user", false));
    EXPECT_EQ(m_msg.shown.back().text, "刷新权限会关闭全部的窗口,是否继续?");
    EXPECT_EQ(m_msg.shown.back().icon, MsgBox::Question);
}

TEST_F(MainWindowTest, SecondCopyIsRefused) {
    QLockFile other(folder() + "instance.lock");
    ASSERT_TRUE(other.tryLock(0));
    frm_Main main;
    EXPECT_FALSE(main.Initialize());
    EXPECT_EQ(m_msg.texts(), QStringList{"当前系统已打开!"});
    EXPECT_EQ(m_msg.shown[0].caption, "System");
    other.unlock();
    m_msg.shown.clear();
    frm_Main again;
    EXPECT_TRUE(again.Initialize());
    EXPECT_TRUE(m_msg.shown.empty());
}

TEST_F(MainWindowTest, LoginFromTheFrameThenScreenshots) {
    exec("insert into tb_location (id, locationCode, uname, parentId, isLock, state) values (1, 'A', 'A区', "
         "0, 0, "
         "1)");
    exec("insert into tb_location_fun (locationId, departmentId) select 1, dictionaryId from tb_user where "
         "[user]='admin'");
    frm_Main main;
    main.show();
    m_onModal = [&](QDialog* d) {
        auto* login = qobject_cast<FrmLogin*>(d);
        if (!login) return 0;
        login->show();
        login->txtUserName->setText("admin");
        login->txtPassword->setText("888");
        screenshot(login, "login");
        login->btnOK->setFocus();
        login->OK();
        return login->result();
    };
    main.ShowLogin();
    EXPECT_EQ(m_modalShown, std::vector<QString>{"FrmLogin"});
    EXPECT_EQ(CurrentUser().user, "admin");
    EXPECT_EQ(main.userPanel()->text(), "当前用户:admin");
    // the near-expiry count is read at login and after an approval
    EXPECT_TRUE(main.expiryPanel()->isVisibleTo(&main));
    EXPECT_TRUE(main.expiryPanel()->text().contains("没有30天内过期的批次"));
    exec("insert into tb_goods_head (id, goodsCode, goodsName) values (1, 'M1', '牛奶')");
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-1', 1)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, locationId, lotNo, expiryDate) values "
         "(1, 1, "
         "1, 5, 1, 1, 'L1', '" +
         QDate::currentDate().toString("yyyy-MM-dd") + "')");
    WindowRegistry::ApprovalsChanged();
    EXPECT_TRUE(main.expiryPanel()->text().contains("1个批次已过期或将在30天内过期"))
        << main.expiryPanel()->text().toStdString();
    QApplication::processEvents();
    screenshot(&main, "main_window");
}

TEST_F(MainWindowTest, LoginCancelIsTheExitQuestion) {
    frm_Main main;
    main.show();
    sqlHelper::OpenConn();
    m_msg.answers = {MsgBox::No, MsgBox::Yes};
    m_onModal = [&](QDialog* d) {
        auto* login = qobject_cast<FrmLogin*>(d);
        if (!login) return 0;
        login->show();
        login->Cancel(); // No: the login stays
        EXPECT_TRUE(login->isVisible());
        EXPECT_TRUE(m_ended.empty());
        login->Cancel();
        EXPECT_FALSE(login->isVisible());
        return login->result();
    };
    main.ShowLogin();
    EXPECT_EQ(m_msg.texts(), (QStringList{"是否退出系统?", "是否退出系统?"}));
    EXPECT_EQ(m_msg.shown[0].caption, "澜图仓库管理系统");
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Question);
    EXPECT_EQ(m_ended, std::vector<int>{0});
    EXPECT_FALSE(sqlHelper::IsConnOpen());
}

TEST_F(MainWindowTest, OpensMaximisedTheFirstTimeThenAtItsLastSize) {
    {
        frm_Main main;
        EXPECT_EQ(main.windowIcon().cacheKey(), AppIcon().cacheKey());
        main.ShowAtLastSize();
        EXPECT_TRUE(main.isMaximized());
        main.showNormal();
        main.setGeometry(40, 50, 700, 500);
        yesTo([&] { main.close(); });
    }
    ASSERT_TRUE(QFile::exists(frm_Main::LayoutFile()));
    EXPECT_TRUE(frm_Main::LayoutFile().startsWith(folder())); // beside the program
    frm_Main again;
    again.ShowAtLastSize();
    EXPECT_FALSE(again.isMaximized());
    EXPECT_EQ(again.size(), QSize(700, 500));
}

TEST_F(MainWindowTest, ErrorsReachingTheEventLoopAreShown) {
    struct Throwing : QObject {
        bool event(QEvent*) override { throw DbError("no such table: tb_x"); }
    } obj;
    QEvent ev(QEvent::User);
    QApplication::sendEvent(&obj, &ev);
    EXPECT_EQ(m_msg.texts(), QStringList{"no such table: tb_x"});
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Critical);
}

// An installed program: its folder holds no linkDB.ini, database or marker,
// so everything of the user's goes to the XDG folders under a home of its own.
class InstalledLayout : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid() && m_root.isValid());
        for (const char* name : kVars)
            m_saved.emplace_back(name, qgetenv(name));
        qputenv("HOME", m_home.path().toUtf8());
        for (const char* kind : {"CONFIG", "DATA", "CACHE", "STATE"})
            qputenv(QByteArray("XDG_") + kind + "_HOME", (m_home.path() + '/' + kind).toUtf8());
        ASSERT_TRUE(QDir().mkpath(bin()));
        SetAppPath(bin());
        MsgBox::setHandler(&m_msg);
        SetEndProgramHandler([](int code, const QString& reason) {
            if (!reason.isEmpty()) MsgBox::Show(reason, MsgBox::Exclamation, "System");
            throw ProgramEnded{code};
        });
    }
    void TearDown() override {
        AppLog::Stop();
        sqlHelper::CloseConn();
        Database::instance().close();
        MsgBox::setHandler(nullptr);
        SetEndProgramHandler(nullptr);
        SetAppPath(QString());
        for (const auto& [name, value] : m_saved)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    QString bin() const { return m_root.path() + "/usr/bin/"; }
    QString home(const QString& kind) const { return m_home.path() + '/' + kind + "/wms/"; }
    static QString read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    static constexpr const char* kVars[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                            "XDG_STATE_HOME"};
    std::vector<std::pair<const char*, QByteArray>> m_saved;
    QTemporaryDir m_home, m_root;
    ScriptedMsgBox m_msg;
};

TEST_F(InstalledLayout, FirstStartMakesTheShopInTheDataFolderAndLogs) {
    ASSERT_EQ(CurrentLayout(), Layout::Installed);
    // declined: nothing is made and the program ends
    m_msg.answers = {MsgBox::No};
    EXPECT_FALSE(StartProgram());
    EXPECT_FALSE(QFile::exists(home("DATA") + "wms.mdb"));
    ASSERT_EQ(m_msg.texts(),
              QStringList{"没有找到数据库, 是否在 " + QDir::toNativeSeparators(home("DATA").chopped(1)) +
                          " 建立一个新的空数据库?"});
    // accepted, with the demonstration shop
    m_msg.shown.clear();
    m_msg.answers = {MsgBox::Yes, MsgBox::Yes};
    ASSERT_TRUE(StartProgram()) << qPrintable(m_msg.texts().join('\n'));
    EXPECT_EQ(m_msg.shown.size(), 2u);
    ASSERT_TRUE(QFile::exists(home("DATA") + "wms.mdb"));
    EXPECT_FALSE(QFile::exists(bin() + "wms.mdb"));
    EXPECT_GT(sqlHelper::DCount("id", "tb_goods_head", ""), 0);
    const QString log = read(home("STATE") + "wms.log");
    EXPECT_TRUE(log.contains("database created: " + home("DATA") + "wms.mdb with demonstration data"))
        << qPrintable(log);
    EXPECT_TRUE(log.contains("started; engine SQLite, database " + home("DATA") + "wms.mdb; schema version " +
                             QString::number(kSchemaVersion)))
        << qPrintable(log);
    // a second start asks nothing
    m_msg.shown.clear();
    ASSERT_TRUE(StartProgram());
    EXPECT_TRUE(m_msg.shown.empty());

    // the user's files: window sizes with the data, generated files in the cache,
    // a template of the user's own before the installed one
    EXPECT_EQ(frm_Main::LayoutFile(), home("DATA") + "window.ini");
    EXPECT_TRUE(PrintOut::DataFolder().startsWith(home("CACHE")));
    const QString share = m_root.path() + "/usr/share/wms/kxPrint/templeteXml/";
    ASSERT_TRUE(QDir().mkpath(share) && QDir().mkpath(home("DATA") + "kxPrint/templeteXml"));
    for (const QString& file : {share + "a.xml", share + "b.xml", home("DATA") + "kxPrint/templeteXml/b.xml"})
        QFile(file).open(QIODevice::WriteOnly);
    EXPECT_EQ(TemplateFile("a.xml"), share + "a.xml");
    EXPECT_EQ(TemplateFile("b.xml"), home("DATA") + "kxPrint/templeteXml/b.xml");
    EXPECT_EQ(
        PrintOut::ToolArguments("cmd"),
        (QStringList{"--data", PrintOut::DataFolder(), "--templates", home("DATA") + "kxPrint/templeteXml/",
                     "--templates", share, "--log", home("STATE") + "kxPrint.log", "cmd"}));
    // the user's linkDB.ini counts, its relative folder below the data folder
    ASSERT_TRUE(QDir().mkpath(home("CONFIG")));
    QFile ini(home("CONFIG") + "linkDB.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[DB_Link]\nLinkType=1\nDBPath=shop2\n");
    ini.close();
    EXPECT_EQ(ConfigFile(), home("CONFIG") + "linkDB.ini");
    EXPECT_EQ(sqlHelper::ExpectedDatabaseFile(), home("DATA") + "shop2/wms.mdb");
}
