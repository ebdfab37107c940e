#include "guifixture.h"

#include "access/adminguard.h"
#include "access/datamaintenance.h"
#include "access/frm_department_fun.h"
#include "access/frm_user.h"
#include "access/frmoptions.h"
#include "access/funcode.h"
#include "access/user.h"
#include "data/database.h"
#include "data/sysvar.h"
#include "schema/stockbalance.h"
#include "ui/lazytree.h"
#include "ui/listview.h"
#include "ui/permission.h"
#include "ui/utreeview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

class AdminWindows : public GuiDemoTest {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        loginAs("admin");
    }
    QString last() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
    static QTreeWidgetItem* nodeByTag(QTreeWidget* tree, const QString& tag) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->data(0, kNodeTagRole).toString() == tag) return *it;
        return nullptr;
    }
    static QTreeWidgetItem* nodeByKey(QTreeWidget* tree, const QString& key) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if (NodeKey(*it) == key) return *it;
        return nullptr;
    }
    QStringList grants(int department) {
        const RecordSet rs =
            query(QString("select funCode from tb_user_group_fun where departmentId=%1 order by "
                          "funCode")
                      .arg(department));
        QStringList out;
        for (int r = 0; r < rs.RecordCount(); ++r)
            out << rs.at(r, 0).toString();
        return out;
    }
    void newUser(frm_user& f, const QString& name, const QString& department) {
        f.add_user();
        f.txt_Name->setText(name);
        f.cobo_usergrp->setCurrentIndex(f.cobo_usergrp->findText(department));
        yesTo([&] { f.save_user(); });
    }
    // Makes the next backups of this and the following seconds fail: their files exist.
    void blockBackups() {
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 5; ++s)
            for (const char* extension : {".mdb", ".dump"}) { // the file's backup and the server's
                QFile f(folder() + "CompactBackUp_" + now.addSecs(s).toString("yyyyMMddHHmmss") + extension);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            }
    }
    void removeBackups() {
        for (const QString& f : QDir(folder()).entryList({"CompactBackUp_*"}))
            QFile::remove(folder() + f);
    }
};

} // namespace

TEST_F(AdminWindows, UsersAreSavedCheckedAndDeleted) {
    frm_user f;
    f.select_view("ico_view");
    EXPECT_EQ(f.view_menu->actions()[2]->text(), "大图标 ●");
    EXPECT_EQ(f.view_menu->actions()[1]->text(), "详细资料");
    EXPECT_EQ(f.listview_user->count(), scalar("select count(*) from tb_user").toInt());

    // the checks, in their order
    yesTo([&] { f.save_user(); });
    EXPECT_EQ(last(), "用户名称不能为空!");
    f.txt_Name->setText("赵六");
    f.cobo_usergrp->setCurrentIndex(-1);
    f.save_user();
    EXPECT_EQ(last(), "部门权限不能为空!");
    EXPECT_EQ(m_msg.shown.back().icon, MsgBox::Information);
    newUser(f, "李娜", "系统管理员");
    EXPECT_EQ(last(), "用户名[李娜]重复!");
    const int before = scalar("select max(id) from tb_user").toInt();
    newUser(f, "赵六", "系统管理员");
    const int id = f.txt_id->text().toInt();
    EXPECT_EQ(id, before + 1);
    EXPECT_EQ(scalar(QString("select [user] from tb_user where id=%1").arg(id)).toString(), "赵六");
    EXPECT_EQ(dal_user().GetModelForPw("赵六", "888").id, id); // the default password
    // saved again under its own name: accepted, with the department it shows
    m_msg.answers = {MsgBox::Yes};
    f.chk_start->setChecked(false);
    f.cobo_usergrp->setCurrentIndex(f.cobo_usergrp->findText("销售部"));
    f.save_user();
    EXPECT_EQ(f.cobo_usergrp->currentText(), "销售部");
    yesTo([&] { f.save_user(); });
    EXPECT_EQ(scalar(QString("select isStart from tb_user where id=%1").arg(id)).toInt(), 0);
    EXPECT_EQ(scalar(QString("select dictionaryId from tb_user where id=%1").arg(id)).toInt(), 102);

    // a user with bills stays; a fresh one goes and cannot log in any more
    f.ShowUser(2);
    m_msg.answers = {MsgBox::Yes};
    exec("update tb_rk_head set userId=2 where id=1");
    f.delete_user();
    EXPECT_EQ(last(), "当前用户在入库表已经建账,不能删除!");
    EXPECT_EQ(scalar("select count(*) from tb_user where id=2").toInt(), 1);
    f.ShowUser(id);
    yesTo([&] { f.delete_user(); });
    EXPECT_EQ(last(), "删除成功!");
    EXPECT_EQ(dal_user().GetModelForPw("赵六", "888").id, 0);
    EXPECT_TRUE(f.txt_id->text().isEmpty());
    EXPECT_EQ(f.cobo_usergrp->currentIndex(), -1);
    f.select_view("detail_view");
    f.show();
    screenshot(&f, "users");
}

TEST_F(AdminWindows, ADepartmentChangeCountsAtTheNextLoginAndTheLastAdministratorStays) {
    frm_user f;
    // 李娜 (id 3) moves into the administrators' department
    f.ShowUser(3);
    f.cobo_usergrp->setCurrentIndex(f.cobo_usergrp->findText("系统管理员"));
    yesTo([&] { f.save_user(); });
    loginAs("李娜");
    EXPECT_TRUE(CheckFunction("limited", false));
    loginAs("admin");
    // two administrators: one may leave; the last one may not, nor be deleted
    f.ShowUser(3);
    f.cobo_usergrp->setCurrentIndex(f.cobo_usergrp->findText("仓库部"));
    yesTo([&] { f.save_user(); });
    EXPECT_NE(scalar("select dictionaryId from tb_user where id=3").toInt(), 1);
    f.ShowUser(1);
    f.cobo_usergrp->setCurrentIndex(f.cobo_usergrp->findText("仓库部"));
    yesTo([&] { f.save_user(); });
    EXPECT_TRUE(last().contains("没有用户可以设置权限")) << last().toStdString();
    EXPECT_EQ(scalar("select dictionaryId from tb_user where id=1").toInt(), 1);
    exec("insert into tb_user (id, [user], pw, usex, isStart, dictionaryId) values (9, '钱七', '', '男', 1, "
         "1)");
    loginAs("admin");
    f.LoadUsers();
    f.ShowUser(9);
    exec("update tb_user set dictionaryId=101 where id=1"); // admin leaves by hand: 钱七 is the last
    yesTo([&] { f.delete_user(); });
    EXPECT_TRUE(last().contains("没有用户可以设置权限")) << last().toStdString();
    EXPECT_EQ(scalar("select count(*) from tb_user where id=9").toInt(), 1);
    // a user not in use cannot log in and does not count: the last one in use cannot be disabled
    exec("update tb_user set dictionaryId=1 where id=1");
    exec("update tb_user set isStart=0 where id=9");
    f.LoadUsers();
    f.ShowUser(1);
    EXPECT_TRUE(f.chk_start->isChecked());
    f.chk_start->setChecked(false);
    yesTo([&] { f.save_user(); });
    EXPECT_TRUE(last().contains("没有用户可以设置权限")) << last().toStdString();
    EXPECT_NE(scalar("select isStart from tb_user where id=1").toInt(), 0);
    exec("update tb_user set isStart=Null where id=9"); // Null is in use
    f.ShowUser(9);
    EXPECT_TRUE(f.chk_start->isChecked());
    f.ShowUser(1);
    f.chk_start->setChecked(false);
    yesTo([&] { f.save_user(); });
    EXPECT_EQ(scalar("select isStart from tb_user where id=1").toInt(), 0);
}

TEST_F(AdminWindows, TheFirstUserOfAnEmptyTableGetsIdOne) {
    frm_user f;
    exec("delete from tb_user");
    newUser(f, "新人", "系统管理员");
    EXPECT_EQ(f.txt_id->text(), "1");
}

TEST_F(AdminWindows, PermissionTreesCheckWholeBranchesAndSaveInOneTransaction) {
    frm_department_fun f;
    f.tv_department->setCurrentItem(nodeByKey(f.tv_department, "key_101"));
    f.LoadGrants();
    // a check goes down to every depth; a child unchecked leaves its parent checked
    QTreeWidgetItem* top = nodeByTag(f.tv_fun, "SysMenu");
    ASSERT_TRUE(top);
    top->setCheckState(0, Qt::Unchecked);
    QTreeWidgetItem* customer = nodeByTag(f.tv_fun, "customer");
    ASSERT_TRUE(customer && customer->childCount() > 0);
    top->setCheckState(0, Qt::Checked);
    for (QTreeWidgetItemIterator it(top); *it && (*it == top || (*it)->parent()); ++it) {
        const QTreeWidgetItem* up = *it;
        while (up && up != top)
            up = up->parent();
        if (up) {
            EXPECT_EQ((*it)->checkState(0), Qt::Checked) << (*it)->text(0).toStdString();
        }
    }
    customer->child(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(customer->checkState(0), Qt::Checked);
    yesTo([&] { f.Save(); });
    EXPECT_EQ(last(), "权限保存成功!");
    const QStringList saved = grants(101);
    EXPECT_TRUE(saved.contains("customer"));
    EXPECT_FALSE(saved.contains(customer->child(0)->data(0, kNodeTagRole).toString()));
    // the context menu over a branch
    f.tv_fun->setCurrentItem(customer);
    f.menu_none_select();
    for (int i = 0; i < customer->childCount(); ++i)
        EXPECT_EQ(customer->child(i)->checkState(0), Qt::Unchecked);

    // a failing insert rolls the whole save back and shows the engine's words
    failWith("INSERT", "tb_user_group_fun", "NEW.funCode='goodsInfor'", "no goods today");
    f.tv_fun->setCurrentItem(top);
    f.menu_all_select();
    yesTo([&] { f.Save(); });
    EXPECT_TRUE(last().contains("no goods today")) << last().toStdString();
    EXPECT_EQ(m_msg.shown.back().caption, "System");
    EXPECT_EQ(grants(101), saved);
    clearFailure();
}

TEST_F(AdminWindows, LocationAndAccountGrantsKeepTheOtherKindsAndHiddenLocations) {
    frm_department_fun f;
    f.tv_department->setCurrentItem(nodeByKey(f.tv_department, "key_101"));
    exec("delete from tb_location_fun where departmentId=101 and locationId in (11, 12)");
    exec("insert into tb_location_fun (locationId, departmentId) values (12, 101), (11, 101)"); // locked,
                                                                                                // unused
    const QStringList functions = grants(101);
    f.SetKind(frm_department_fun::Locations);
    EXPECT_FALSE(nodeByTag(f.tv_fun, "12")); // locked
    EXPECT_FALSE(nodeByTag(f.tv_fun, "11")); // not in use
    ASSERT_TRUE(nodeByTag(f.tv_fun, "2"));
    for (QTreeWidgetItemIterator it(f.tv_fun); *it; ++it)
        (*it)->setCheckState(0, Qt::Unchecked);
    nodeByTag(f.tv_fun, "2")->setCheckState(0, Qt::Checked);
    yesTo([&] { f.Save(); });
    EXPECT_EQ(
        scalar("select count(*) from tb_location_fun where departmentId=101 and locationId in (2, 11, 12)")
            .toInt(),
        3);
    EXPECT_EQ(scalar("select count(*) from tb_location_fun where departmentId=101").toInt(), 3);
    EXPECT_EQ(grants(101), functions);
    // the root stands for department 0
    f.tv_department->setCurrentItem(f.tv_department->topLevelItem(0));
    f.SetKind(frm_department_fun::Accounts);
    nodeByTag(f.tv_fun, "2")->setCheckState(0, Qt::Checked);
    yesTo([&] { f.Save(); });
    EXPECT_EQ(scalar("select count(*) from tb_account_fun where departmentId=0 and accountId=2").toInt(), 1);
    // the administrators may not give their own permission window away
    f.tv_department->setCurrentItem(nodeByKey(f.tv_department, "key_1"));
    f.SetKind(frm_department_fun::Functions);
    nodeByTag(f.tv_fun, "limited")->setCheckState(0, Qt::Unchecked);
    yesTo([&] { f.Save(); });
    EXPECT_TRUE(last().contains("没有用户可以设置权限")) << last().toStdString();
    EXPECT_TRUE(grants(1).contains("limited"));
    f.resize(760, 560);
    f.show();
    screenshot(&f, "department_permissions");
}

TEST_F(AdminWindows, ClearingGoesInOrderAndStopsAtTheFirstRefusal) {
    frmOptions f;
    ASSERT_TRUE(f.Load());
    auto check = [&](const QStringList& keys) {
        f.SelectNone();
        for (const QString& k : keys)
            nodeByKey(f.tv_data, k)->setCheckState(0, Qt::Checked);
        removeBackups();
        yesTo([&] { f.ClearData(); });
    };
    const int stockIn = scalar("select count(*) from tb_rk_head").toInt();
    ASSERT_GT(stockIn, 0);
    // nothing ticked: said so, and no backup is written
    f.SelectNone();
    f.ClearData();
    EXPECT_EQ(last(), "请选中要清空的数据!");
    EXPECT_TRUE(QDir(folder()).entryList({"CompactBackUp_*"}).isEmpty());
    check({"tb_customer"});
    EXPECT_EQ(last(), "往来单位信息已经在入库表建账,不允许清空!");
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt(), stockIn);
    EXPECT_GT(scalar("select count(*) from tb_customer").toInt(), 0);
    // stock-in first, then the customers meet the stock-out bills
    check({"tb_import", "tb_customer"});
    EXPECT_EQ(last(), "往来单位信息已经在出库表建账,不允许清空!");
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from tb_rk_detail").toInt(), 0);
    EXPECT_GT(scalar("select count(*) from tb_customer").toInt(), 0);
    // a failed backup deletes nothing
    blockBackups();
    nodeByKey(f.tv_data, "key_0")->setCheckState(0, Qt::Checked);
    yesTo([&] { f.ClearData(); });
    // the backup's failure, said by the window
    ASSERT_TRUE(last().contains("已经存在")) << qPrintable(last());
    EXPECT_EQ(m_msg.shown.back().caption, "System");
    EXPECT_GT(scalar("select count(*) from tb_ck_head").toInt(), 0);
    // checking a group checks its branch; everything goes, the balance stays exact
    check({});
    nodeByKey(f.tv_data, "key_0")->setCheckState(0, Qt::Checked);
    nodeByKey(f.tv_data, "key_1")->setCheckState(0, Qt::Checked);
    EXPECT_EQ(nodeByKey(f.tv_data, "tb_location")->checkState(0), Qt::Checked);
    removeBackups();
    yesTo([&] { f.ClearData(); });
    EXPECT_EQ(last(), "数据清空完成!");
    for (const char* t :
         {"tb_ck_head", "tb_ck_detail", "tb_transfer_head", "tb_transfer_detail", "tb_customer",
          "tb_goods_head", "tb_goods_detail", "tb_location", "tb_location_fun"})
        EXPECT_EQ(scalar(QString("select count(*) from %1").arg(t)).toInt(), 0) << t;
    EXPECT_TRUE(CheckStockBalance().empty());
    EXPECT_TRUE(CheckStockLocation().empty());
    f.SelectNone();
    for (QTreeWidgetItemIterator it(f.tv_data); *it; ++it)
        EXPECT_EQ((*it)->checkState(0), Qt::Unchecked);
    f.NextTab();
    EXPECT_EQ(f.tabs->currentIndex(), 1);
    f.NextTab();
    EXPECT_EQ(f.tabs->currentIndex(), 0);
    f.show();
    screenshot(&f, "options");
}

TEST_F(AdminWindows, TheBackupSaysWhereItsCopyIs) {
    SKIP_ON_SERVER("a copy of the file");
    frmOptions f;
    f.BackUp();
    const QStringList files = QDir(folder()).entryList({"CompactBackUp_*.mdb"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(last(), "数据压缩备份完毕!\n" + QDir::toNativeSeparators(folder() + files[0]));
    f.Compact();
    EXPECT_EQ(last(), "数据压缩修复完毕!");
}

TEST_F(AdminWindows, InitialisationClearsTheDataAndKeepsUsersDepartmentsAndFunctionGrants) {
    const int users = scalar("select count(*) from tb_user").toInt();
    const int functionGrants = scalar("select count(*) from tb_user_group_fun").toInt();
    const int departments = scalar("select count(*) from tb_dictionary where utype='department'").toInt();
    frmOptions f;
    yesTo([&] { f.Initialise(); });
    EXPECT_EQ(last(), "执行初始化完成!");
    for (const char* t :
         {"tb_rk_head", "tb_rk_detail", "tb_ck_head", "tb_ck_detail", "tb_events", "tb_customer",
          "tb_goods_head", "tb_goods_detail", "tb_location", "tb_location_fun", "tb_account_fun"})
        EXPECT_EQ(scalar(QString("select count(*) from %1").arg(t)).toInt(), 0) << t;
    EXPECT_EQ(
        scalar("select count(*) from tb_dictionary where isSystemSet=0 and utype<>'department'").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from tb_user").toInt(), users);
    EXPECT_EQ(scalar("select count(*) from tb_user_group_fun").toInt(), functionGrants);
    EXPECT_EQ(scalar("select count(*) from tb_dictionary where utype='department'").toInt(), departments);
    EXPECT_TRUE(CheckStockBalance().empty());
    for (const char* balance : {"tb_stock_balance", "tb_stock_location", "tb_stock_lot"})
        EXPECT_EQ(scalar(QString("select count(*) from %1").arg(balance)).toInt(), 0) << balance;
    EXPECT_EQ(dal_user().GetModelForPw("张伟", "888").id, 2); // the users still log in
    // a failing statement leaves everything as it was
    exec("insert into tb_customer (id, customerCode, uname) values (1, 'C1', '甲')");
    failWith("DELETE", "tb_location_fun", QString(), "locked");
    exec("insert into tb_location_fun (locationId, departmentId) values (1, 1)");
    removeBackups();
    yesTo([&] { f.Initialise(); });
    EXPECT_TRUE(last().contains("locked"));
    EXPECT_EQ(scalar("select count(*) from tb_customer").toInt(), 1);
    clearFailure();
}

TEST_F(AdminWindows, TheOptionsWindowChecksItsCodeAgainAndThePermissionWindowRefreshes) {
    exec("delete from tb_user_group_fun where departmentId=101 and funCode='optionset'");
    loginAs("张伟");
    frmOptions f;
    EXPECT_FALSE(f.Load());
    EXPECT_EQ(last(), "功能受限,请与系统管理联系!");
    loginAs("admin");
    frmOptions g;
    EXPECT_TRUE(g.Load());
    // the permission window's refresh is the main window's
    int refreshed = 0;
    PermissionRefresher() = [&] { ++refreshed; };
    frm_department_fun d;
    d.funRefresh();
    EXPECT_EQ(refreshed, 1);
    PermissionRefresher() = nullptr;
}
