#include "data/sysvar.h"
#include "guifixture.h"
#include "master/dictionary.h"
#include "master/frmlocation.h"
#include "ui/frm_select.h"
#include "ui/lazytree.h"
#include "ui/listview.h"
#include "ui/uvg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

class LocationForm : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        loginAs("admin");
    }
    int save(frmLocation& f, const QString& code, const QString& name, int parentId = 0) {
        f.ClearForm();
        f.txt_locationCode->setText(code);
        f.txt_name->setText(name);
        if (parentId) f.txt_parentId->setText(QString::number(parentId));
        yesTo([&] { f.SaveLocation(); });
        return f.txt_id->text().toInt();
    }
    QString lastMessage() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
};

TEST_F(LocationForm, SavingChecksNamesCodesAndParents) {
    frmLocation f;
    f.txt_locationCode->setText("A");
    f.SaveLocation();
    EXPECT_EQ(lastMessage(), "库位名称不能为空!");
    f.txt_name->setText("A区");
    f.txt_locationCode->clear();
    f.SaveLocation();
    EXPECT_EQ(lastMessage(), "库位编码不能为空!");
    f.txt_locationCode->setText("A");
    f.txt_capacity->setText("1.2.3"); // pasted past the key filter
    f.SaveLocation();
    EXPECT_EQ(lastMessage(), "库容量不是有效的数字,请重新输入!");
    EXPECT_EQ(scalar("select count(*) from tb_location").toInt(), 0);
    const int a = save(f, "A", "A区");
    EXPECT_EQ(lastMessage(), "保存成功!");
    const int a1 = save(f, "A-01", "货架", a);
    save(f, "a-01", "货架"); // the code is unique, names may repeat
    EXPECT_EQ(lastMessage(), "库位编号[a-01]重复!");
    EXPECT_EQ(scalar("select count(*) from tb_location").toInt(), 2);
    const int a2 = save(f, "A-01-1", "层", a1);
    for (int parent : {a, a1, a2}) { // itself, its child, its grandchild
        f.show_LocationInfor(a);
        f.txt_parentId->setText(QString::number(parent));
        yesTo([&] { f.SaveLocation(); });
        EXPECT_EQ(lastMessage(), "不能设置该项目为父节点,请重新选择!") << parent;
    }
    EXPECT_EQ(scalar(QString("select parentId from tb_location where id=%1").arg(a)).toInt(), 0);
    f.show_LocationInfor(a1);
    EXPECT_EQ(f.txt_parentLocationCode->text(), "A");
    f.txt_capacity->setText("120.5");
    f.chk_lock->setChecked(true);
    yesTo([&] { f.SaveLocation(); });
    EXPECT_EQ(
        scalar(QString("select capacity & '|' & isLock from tb_location where id=%1").arg(a1)).toString(),
        "120.5|1");
}

TEST_F(LocationForm, DeletingChecksChildrenAndStockLines) {
    frmLocation f;
    const int a = save(f, "A", "A区");
    const int a1 = save(f, "A-01", "货架", a);
    const int b = save(f, "B", "B区");
    exec(QString("insert into tb_ck_detail (id, headId, locationId) values (1, 1, %1)").arg(b));
    f.show_LocationInfor(a);
    yesTo([&] { f.DeleteLocation(); });
    EXPECT_EQ(lastMessage(), "当前库位存在子项目,不能删除!");
    f.show_LocationInfor(b);
    yesTo([&] { f.DeleteLocation(); });
    EXPECT_EQ(lastMessage(), "当前库位在出库表已经建账,不能删除!");
    exec(QString("insert into tb_rk_detail (id, headId, locationId) values (1, 1, %1)").arg(a1));
    f.show_LocationInfor(a1);
    yesTo([&] { f.DeleteLocation(); });
    EXPECT_EQ(lastMessage(), "当前库位在入库表已经建账,不能删除!");
    exec("delete from tb_rk_detail");
    f.show_LocationInfor(a1);
    yesTo([&] { f.DeleteLocation(); });
    EXPECT_EQ(lastMessage(), "删除成功!");
    EXPECT_FALSE(f.tree()->tv_FindKey("key_" + QString::number(a1)));
    f.DeleteLocation();
    EXPECT_EQ(lastMessage(), "当前记录不存在!");
    f.PrintLocation();
    EXPECT_EQ(lastMessage(), "请连接条码打印机!");
}

TEST_F(LocationForm, TreeListAndSearch) {
    exec(
        "insert into tb_location (id, locationCode, uname, parentId, state) values "
        "(1, 'A', 'A区', 0, 1), (2, 'A-01', '一号', 1, 1), (3, 'A-02', '二号', 1, 0), (4, 'B', 'B区', 0, 1)");
    frmLocation f;
    EXPECT_EQ(f.lstView_LocationDetail->view(), "list_view");
    EXPECT_TRUE(f.viewMenu->actions()[0]->text().startsWith("●"));
    EXPECT_EQ(f.lstView_LocationDetail->count(), 2); // the children of the root
    EXPECT_EQ(f.lab_count->text(), "找到[2]条信息");
    QTreeWidgetItem* a = f.tree()->Find("key_1");
    ASSERT_TRUE(a);
    f.tv_Location->setCurrentItem(a);
    f.tree()->LoadChildNodes(a);
    f.Search();
    EXPECT_EQ(f.lstView_LocationDetail->count(), 2); // a disabled location stays in the lists
    EXPECT_TRUE(f.tree()->tv_FindKey("key_3"));
    f.txt_KeyWord->setText("二");
    QTest::keyClick(f.txt_KeyWord, '\''); // quotes are refused; Enter searches
    EXPECT_EQ(f.txt_KeyWord->text(), "二");
    QTest::keyClick(f.txt_KeyWord, Qt::Key_Return);
    ASSERT_EQ(f.lstView_LocationDetail->count(), 1);
    EXPECT_EQ(f.lstView_LocationDetail->text(0, 5), "禁用");
    f.select_view("detail_view");
    EXPECT_FALSE(f.viewMenu->actions()[0]->text().startsWith("●"));
    EXPECT_EQ(f.viewMenu->actions()[1]->text(), "●详细资料");
}

class LookupDialog : public GuiTest {};

TEST_F(LookupDialog, LocationModeListsEnabledGrantedLocations) {
    exec(
        "insert into tb_location (id, locationCode, uname, parentId, state) values "
        "(1, 'A', 'A区', 0, 1), (2, 'A-01', '一号', 1, 1), (3, 'A-02', '二号', 1, 0), (4, 'B', 'B区', 0, 1)");
    exec("insert into tb_location_fun (locationId, departmentId) values (1, 1), (2, 1), (3, 1)");
    loginAs("admin");
    frm_select dlg;
    dlg.setMode("location");
    dlg.setKeyword("   ");
    dlg.RunSearch();
    EXPECT_EQ(dlg.vgInput->rowCount(), 2); // 3 is disabled, 4 not granted
    EXPECT_EQ(dlg.Lblinfor->text(), "当前找到[ 2 ]条记录");
    EXPECT_TRUE(dlg.vgInput->isColumnHidden(1));
    EXPECT_FALSE(dlg.vgInput->isColumnHidden(2));
    EXPECT_EQ(dlg.vgInput->horizontalHeaderItem(3)->text(), "库位编码");
    EXPECT_EQ(dlg.vgInput->item(1, 0)->text(), "2");
    dlg.utxtkeyword->setText("一号"); // the search runs on every change
    EXPECT_EQ(dlg.vgInput->rowCount(), 1);
    dlg.utxtkeyword->setText("");
    dlg.SelectAll();
    dlg.Pick();
    const auto picked = dlg.picked<m_location>();
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(picked[0].id, 1);
    EXPECT_EQ(picked[1].locationCode, "A-01");
}

TEST_F(LookupDialog, SinglePickWithoutACurrentRowReturnsTheTickedRows) {
    frm_select dlg;
    dlg.setMode("dictionary");
    dlg.setSinglePick(true);
    dlg.setExtraCondition(m_condition("utype", "=", QString("department")));
    dlg.RunSearch();
    EXPECT_TRUE(dlg.vgInput->isColumnHidden(2));
    ASSERT_EQ(dlg.vgInput->rowCount(), 1);
    dlg.vgInput->setCurrentCell(-1, -1);
    dlg.Pick();
    EXPECT_TRUE(dlg.result().isHasObject);
    EXPECT_TRUE(dlg.picked<m_dictionary>().empty());
    frm_select none;
    none.setMode("dictionary");
    none.setKeyword("没有这个");
    none.RunSearch();
    EXPECT_EQ(none.Lblinfor->text(), "当前找到[ 0 ]条记录");
    EXPECT_FALSE(none.result().isHasObject); // closed without picking
}

class EntryGrid : public GuiTest {};

TEST_F(EntryGrid, RowsAreAddedInsertedDeletedAndNumbered) {
    QTableWidget grid(0, 4);
    grid.setColumnHidden(1, true);
    uvg helper;
    helper.init(&grid, 0);
    EXPECT_EQ(helper.uGetFirstCol(), 2);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(helper.AddRow()); // no limit
    EXPECT_EQ(grid.rowCount(), 5);
    EXPECT_EQ(grid.item(4, 0)->text(), "5");
    EXPECT_EQ(grid.currentRow(), 4);
    EXPECT_EQ(grid.currentColumn(), 2);
    grid.item(1, 2)->setText("second");
    grid.setCurrentCell(1, 3);
    EXPECT_TRUE(helper.InsertRow());
    EXPECT_EQ(grid.rowCount(), 6);
    EXPECT_EQ(grid.item(2, 2)->text(), "second");
    EXPECT_EQ(grid.item(5, 0)->text(), "6");
    EXPECT_EQ(grid.currentRow(), 2);
    grid.item(2, 3)->setText("x");
    grid.clearSelection();
    grid.setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 3), true);
    helper.CopySelection(); // hidden columns stay out
    EXPECT_EQ(QApplication::clipboard()->text(), "2\t\t\n3\tsecond\tx\n");
    grid.setRangeSelected(QTableWidgetSelectionRange(0, 0, 5, 3), true);
    grid.setCurrentCell(3, 2, QItemSelectionModel::NoUpdate);
    helper.DeleteRow(); // every data row: one empty row is left
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.item(0, 0)->text(), "1");
    EXPECT_EQ(grid.item(0, 2)->text(), "");
    EXPECT_TRUE(m_msg.shown.empty());
}

TEST_F(EntryGrid, RowLimitAndEnter) {
    QTableWidget grid(0, 3);
    uvg helper;
    helper.init(&grid, 3);
    helper.setEnterMovesOn(true);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(helper.AddRow());
    EXPECT_FALSE(helper.AddRow());
    EXPECT_FALSE(helper.InsertRow());
    EXPECT_EQ(grid.rowCount(), 3);
    ASSERT_EQ(m_msg.shown.size(), 2u);
    EXPECT_EQ(m_msg.shown[0].text, "最大行为3行,请新建单据!");
    EXPECT_EQ(m_msg.shown[0].caption, "System");
    grid.setCurrentCell(1, 1);
    helper.MoveOn();
    EXPECT_EQ(grid.currentColumn(), 2);
    helper.MoveOn();
    EXPECT_EQ(grid.currentRow(), 2);
    EXPECT_EQ(grid.currentColumn(), 1);
}

class LookupDialogOnDemo : public GuiTest {
protected:
    bool withDemo() const override { return true; }
};

TEST_F(LookupDialogOnDemo, LocationsListInTheOrderTheyWereMadeAndQuotesFindNothing) {
    loginAs("admin");
    for (int round = 0; round < 2; ++round) { // opened twice, as a user opens it again
        frm_select dlg;
        dlg.setMode("location");
        dlg.setKeyword("");
        dlg.RunSearch();
        ASSERT_GT(dlg.vgInput->rowCount(), 2);
        for (int r = 1; r < dlg.vgInput->rowCount(); ++r)
            EXPECT_LT(dlg.vgInput->item(r - 1, 1)->text().toInt(), dlg.vgInput->item(r, 1)->text().toInt());
        if (round == 0) screenshot(&dlg, "lookup_locations");
        dlg.utxtkeyword->setText("A' or '1'='1");
        EXPECT_EQ(dlg.vgInput->rowCount(), 0);
        dlg.utxtkeyword->setText("A-0");
        EXPECT_GT(dlg.vgInput->rowCount(), 0);
    }
}
