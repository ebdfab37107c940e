#include "app/frm_main.h"
#include "data/sqlhelper.h"
#include "guifixture.h"
#include "master/frm_dictionary.h"
#include "ui/frm_select.h"
#include "ui/lazytree.h"
#include "ui/utreeview.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

class DictionaryForm : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        loginAs("admin");
    }
    // Saves a new entry of the form's type, answering Yes; returns its id.
    int save(frm_dictionary& f, const QString& name, int parentId = 0) {
        f.ClearForm();
        f.txt_name->setText(name);
        if (parentId) f.txt_parentId->setText(QString::number(parentId));
        yesTo([&] { f.SaveEntry(); });
        return f.txt_id->text().toInt();
    }
    QString lastMessage() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
};

TEST_F(DictionaryForm, SavingChecksNameDuplicatesAndPresets) {
    frm_dictionary f;
    EXPECT_EQ(f.txt_selectType->text(), "goodsType");
    f.txt_name->setText("  ");
    f.SaveEntry();
    EXPECT_EQ(lastMessage(), "名称不能为空!");
    const int drinks = save(f, "饮料");
    EXPECT_EQ(lastMessage(), "保存成功!");
    EXPECT_GT(drinks, 6);
    EXPECT_TRUE(f.tree()->tv_FindKey("key_" + QString::number(drinks)));
    save(f, "饮料"); // the same name in the same type
    EXPECT_EQ(lastMessage(), "名称[饮料]重复,请重新输入!");
    const int snacks = save(f, "零食"); // renaming to a name the type already has
    f.show_DictionaryInfor(snacks);
    f.txt_name->setText("默认类别");
    yesTo([&] { f.SaveEntry(); });
    EXPECT_EQ(lastMessage(), "名称[默认类别]重复,请重新输入!");
    EXPECT_EQ(scalar(QString("select uname from tb_dictionary where id=%1").arg(snacks)).toString(), "零食");
    f.init(5); // another type may use it
    const int partners = save(f, "饮料");
    EXPECT_EQ(lastMessage(), "保存成功!");
    EXPECT_EQ(scalar(QString("select utype from tb_dictionary where id=%1").arg(partners)).toString(),
              "customerType");
    // editing keeps its own name and excludes its own row from the check
    f.show_DictionaryInfor(partners);
    f.txt_remark->setText("批发");
    yesTo([&] { f.SaveEntry(); });
    EXPECT_EQ(lastMessage(), "保存成功!");
    // a preset entry can be neither changed nor deleted
    f.show_DictionaryInfor(6);
    yesTo([&] { f.SaveEntry(); });
    EXPECT_EQ(lastMessage(), "当前项目为系统默认项目,不能修改!");
    yesTo([&] { f.DeleteEntry(); });
    EXPECT_EQ(lastMessage(), "当前项目为系统默认项目,不能删除!");
    EXPECT_EQ(scalar("select uname from tb_dictionary where id=6").toString(), "默认分类");
    // No at the confirmation writes nothing
    f.ClearForm();
    f.txt_name->setText("不存");
    m_msg.answers = {MsgBox::No};
    f.SaveEntry();
    EXPECT_EQ(scalar("select count(*) from tb_dictionary where uname='不存'").toInt(), 0);
}

TEST_F(DictionaryForm, AParentMayNotBeTheEntryOrBelowIt) {
    frm_dictionary f;
    const int a = save(f, "食品");
    const int b = save(f, "饮料", a);
    const int c = save(f, "果汁", b);
    f.show_DictionaryInfor(a);
    f.txt_parentId->setText(QString::number(a));
    yesTo([&] { f.SaveEntry(); });
    EXPECT_EQ(lastMessage(), "不能设置该项目为父节点,请重新选择!");
    f.show_DictionaryInfor(a);
    f.txt_parentId->setText(QString::number(c));
    yesTo([&] { f.SaveEntry(); });
    EXPECT_EQ(lastMessage(), "不能设置该项目为父节点,请重新选择!");
    EXPECT_EQ(scalar(QString("select parentId from tb_dictionary where id=%1").arg(a)).toInt(), 0);
    // a chain ending at an id without a row ends the walk
    exec(QString("update tb_dictionary set parentId=999 where id=%1").arg(b));
    f.show_DictionaryInfor(a);
    f.txt_parentId->setText(QString::number(c));
    yesTo([&] { f.SaveEntry(); });
    EXPECT_EQ(lastMessage(), "保存成功!");
    // the parent column holds 16 bits: larger ids are refused instead of being stored wrong
    f.show_DictionaryInfor(c);
    f.txt_parentId->setText("40000");
    yesTo([&] { f.SaveEntry(); });
    EXPECT_EQ(lastMessage(), "父节点编号超出范围(最大 32767),请重新选择!");
}

TEST_F(DictionaryForm, MovingAnEntryMovesItsNode) {
    frm_dictionary f;
    const int a = save(f, "食品");
    const int b = save(f, "日用");
    f.tree()->LoadChildNodes(f.tree()->Find("key_" + QString::number(a)));
    f.show_DictionaryInfor(b);
    f.txt_parentId->setText(QString::number(a));
    f.txt_name->setText("日用品");
    yesTo([&] { f.SaveEntry(); });
    QTreeWidgetItem* node = f.tree()->Find("key_" + QString::number(b));
    ASSERT_TRUE(node);
    EXPECT_EQ(node->text(0), "日用品");
    EXPECT_EQ(NodeId(node->parent()), a);
}

TEST_F(DictionaryForm, NewEntryUnderANeverLoadedParentAppears) {
    exec("insert into tb_dictionary (id, utype, uname, parentId, orderBy, isstart, isSystemSet) values "
         "(40, 'goodsType', '食品', 0, 0, 1, 0), (41, 'goodsType', '饮料', 40, 0, 1, 0)");
    frm_dictionary f;
    QTreeWidgetItem* parent = f.tree()->Find("key_40");
    ASSERT_TRUE(parent);
    EXPECT_EQ(NodeImage(parent), "close");
    EXPECT_EQ(parent->childCount(), 0); // never loaded
    const int id = save(f, "零食", 40);
    EXPECT_TRUE(f.tree()->tv_FindKey("key_" + QString::number(id)));
    EXPECT_TRUE(f.tree()->tv_FindKey("key_41"));
    EXPECT_EQ(parent->childCount(), 2);
}

TEST_F(DictionaryForm, DeletingChecksEveryReference) {
    exec("insert into tb_dictionary (id, utype, uname, parentId, orderBy, isstart, isSystemSet) values "
         "(50, 'goodsType', '父', 0, 0, 1, 0), (51, 'goodsType', '子', 50, 0, 1, 0), "
         "(52, 'accountType', '账', 0, 0, 1, 0), (53, 'importType', '入', 0, 0, 1, 0), "
         "(54, 'exportType', '出', 0, 0, 1, 0), (55, 'goodsType', '类', 0, 0, 1, 0), "
         "(56, 'department', '部', 0, 0, 1, 0), (57, 'accountType', '账2', 0, 0, 1, 0)");
    exec("insert into tb_rk_head (id, billNo, accountId, utypeId) values (1, 'rk-1', 52, 53)");
    exec("insert into tb_ck_head (id, billNo, accountId, utypeId) values (1, 'ck-1', 57, 54)");
    exec("insert into tb_goods_head (id, goodsTypeId, goodsCode) values (1, 55, 'G1')");
    exec("insert into tb_user (id, [user], dictionaryId) values (9, 'x', 56)");
    frm_dictionary f;
    const std::pair<int, const char*> cases[] = {
        {50, "当前项目存在子项目,不能删除!"},           {52, "当前账目标识在入库表已经建账,不能删除!"},
        {53, "当前入库类别在入库表已经建账,不能删除!"}, {54, "当前出库类别在出库表已经建账,不能删除!"},
        {57, "当前账目标识在出库表已经建账,不能删除!"}, {55, "当前货品类别在货品信息表已经建账,不能删除!"},
        {56, "当前部门在用户信息表已经建账,不能删除!"},
    };
    for (const auto& [id, message] : cases) {
        f.show_DictionaryInfor(id);
        yesTo([&] { f.DeleteEntry(); });
        EXPECT_EQ(lastMessage(), QString::fromUtf8(message)) << id;
        EXPECT_EQ(scalar(QString("select count(*) from tb_dictionary where id=%1").arg(id)).toInt(), 1);
    }
    f.ClearForm();
    f.DeleteEntry();
    EXPECT_EQ(lastMessage(), "当前记录不存在!");
    f.show_DictionaryInfor(51);
    yesTo([&] { f.DeleteEntry(); });
    EXPECT_EQ(lastMessage(), "删除成功!");
    EXPECT_EQ(f.txt_id->text(), "");
    EXPECT_FALSE(f.tree()->tv_FindKey("key_51"));
}

TEST_F(DictionaryForm, ChoosingAParentThroughTheLookup) {
    exec("insert into tb_dictionary (id, utype, uname, parentId, orderBy, isstart, isSystemSet) values "
         "(60, 'goodsType', '饮料', 0, 0, 1, 0), (61, 'goodsType', '停用类', 0, 0, 0, 0), "
         "(62, 'department', '饮料部', 0, 0, 1, 0)");
    frm_dictionary f;
    int listed = -1;
    m_onModal = [&](QDialog* d) {
        auto* dlg = static_cast<frm_select*>(d);
        listed = dlg->vgInput->rowCount(); // enabled goods types only: 默认类别 and 饮料
        dlg->utxtkeyword->setText("饮");
        dlg->vgInput->setCurrentCell(0, 3);
        dlg->Pick();
        return 1;
    };
    f.ChooseParent();
    EXPECT_EQ(listed, 2);
    EXPECT_EQ(f.txt_parentName->text(), "饮料");
    EXPECT_EQ(f.txt_parentId->text(), "60");
    f.ClearParent();
    EXPECT_EQ(f.txt_parentId->text(), "");
}

TEST_F(DictionaryForm, NewChildNeedsANode) {
    frm_dictionary f;
    f.tv_dictionary->setCurrentItem(nullptr);
    f.NewChildEntry();
    EXPECT_EQ(lastMessage(), "请选择父节点!");
    f.tv_dictionary->setCurrentItem(f.tree()->Find("key_5"));
    f.NewChildEntry();
    EXPECT_EQ(f.txt_parentName->text(), "默认类别");
    EXPECT_EQ(f.txt_parentId->text(), "5");
    EXPECT_TRUE(f.chk_start->isChecked());
}

class DictionaryDemo : public GuiDemoTest {};

TEST_F(DictionaryDemo, Screenshots) {
    loginAs("admin");
    frm_Main main;
    main.show();
    auto* dict = qobject_cast<frm_dictionary*>(WindowRegistry::Open("frm_dictionary"));
    ASSERT_TRUE(dict);
    QTreeWidgetItem* food = dict->tree()->Find("key_110");
    ASSERT_TRUE(food);
    dict->tv_dictionary->setCurrentItem(food);
    dict->LoadChildNodes(food);
    dict->show_DictionaryInfor(111);
    dict->parentWidget()->resize(860, 520);
    QApplication::processEvents();
    screenshot(dict->parentWidget(), "dictionary");
    auto* loc = WindowRegistry::Open("frmLocation");
    ASSERT_TRUE(loc);
    loc->parentWidget()->resize(960, 600);
    QApplication::processEvents();
    screenshot(loc->parentWidget(), "location");
}

class TreeBuilder : public GuiTest {};

TEST_F(TreeBuilder, CatalogueTreeWithCheckMarksOfADepartment) {
    exec("delete from tb_user_group_fun where departmentId=1 and funCode like 'rpt%'");
    const QString statement = "select b.departmentId,iif(isnull(b.departmentId), false, true) AS ucheck,"
                              "a.id,a.funCode,a.displaytext,a.parentid,a.type,'open' as icon,a.orderby "
                              "from tb_sys_fun a left join (select funCode,departmentId from "
                              "tb_user_group_fun where departmentId = 1) b"
                              " on a.funCode = b.funCode where a.type<>-1";
    QTreeWidget tree;
    uTreeView builder;
    builder.CreateTreeView(&tree);
    builder.AddTreeII(0, "(" + statement + ") z", true);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    int nodes = 0, checked = 0;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        ++nodes;
        checked += (*it)->checkState(0) == Qt::Checked;
    }
    EXPECT_EQ(nodes, 128);
    EXPECT_EQ(checked, 126 - 62); // the report codes were taken away
    QTreeWidgetItem* customer = builder.find("key2");
    ASSERT_TRUE(customer);
    EXPECT_EQ(customer->data(0, kNodeTagRole).toString(), "customer");
    EXPECT_EQ(customer->childCount(), 5); // its import comes last
    EXPECT_EQ(customer->child(0)->data(0, kNodeTagRole).toString(), "customer_save");
    EXPECT_EQ(builder.GetSubNodeKey(customer), "ID = 2 OR ID = 3 OR ID = 4 OR ID = 5 OR ID = 6 OR ID = 103");
    EXPECT_EQ(builder.GetSubNodeKey(customer->child(3)), "ID = 6");

    QTreeWidget flat;
    uTreeView second;
    second.CreateTreeView(&flat);
    second.AddTree(sqlHelper::ExecuteSql("select id, uname, parentId from tb_dictionary order by id desc"),
                   "id", "uname", "parentId");
    EXPECT_EQ(flat.topLevelItemCount(), 9); // with the count adjustments' and the opening stock's types
}
