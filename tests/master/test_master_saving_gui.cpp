// Saving goods and partners: the form keeps what it stored, categories stay
// as filed, a goods keeps its default unit, number fields take one number.

#include "data/sqlhelper.h"
#include "guifixture.h"
#include "master/frm_customer.h"
#include "master/frmgoods.h"
#include "ui/lazytree.h"
#include "ui/widgethelpers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

QTreeWidgetItem* findNode(QTreeWidget* tree, const QString& key) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (NodeKey(*it) == key) return *it;
    return nullptr;
}

QString lastText(const ScriptedMsgBox& m) {
    return m.shown.empty() ? QString() : m.shown.back().text;
}

} // namespace

class GoodsSaving : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        loginAs("admin");
        exec("insert into tb_dictionary (id, utype, uname, parentId, orderBy, isstart, isSystemSet) values "
             "(70, 'goodsType', '饮料', 0, 0, 1, 0), (71, 'goodsType', '零食', 0, 0, 1, 0)");
    }
    void fillNew(frmGoods& f, const QString& code, const QString& category = {}) {
        f.btn_GoodsAdd();
        f.txt_goodsCode->setText(code);
        f.txt_goodsName->setText("品名" + code);
        f.txt_unit->setText("瓶");
        if (!category.isEmpty()) f.cobo_goodsTypeName->setCurrentText(category);
    }
    void save(frmGoods& f) {
        yesTo([&] { f.btn_GoodsSave(); });
        m_msg.answers.clear();
    }
    void saveUnits(frmGoods& f) {
        yesTo([&] { f.btn_DetailSave(); });
        m_msg.answers.clear();
    }
    int typeOf(int goodsId) {
        return scalar(QString("select goodsTypeId from tb_goods_head where id=%1").arg(goodsId)).toInt();
    }
    QString units(int goodsId) {
        const RecordSet rs = query(QString("select id, isDefault, unit, packQty, weight from tb_goods_detail "
                                           "where headId=%1 order by id")
                                       .arg(goodsId));
        QStringList out;
        for (int r = 0; r < rs.RecordCount(); ++r)
            out << QStringList{rs.at(r, 0).toString(), rs.at(r, 1).toString(), rs.at(r, 2).toString(),
                               rs.at(r, 3).toString(), rs.at(r, 4).toString()}
                       .join('/');
        return out.join(' ');
    }
};

TEST_F(GoodsSaving, ASecondSaveOfANewGoodsHiddenByTheListUpdatesIt) {
    frmGoods f;
    f.txt_KeyWord->setText("不匹配");
    f.btn_search();
    fillNew(f, "G1");
    save(f);
    EXPECT_EQ(lastText(m_msg), "保存成功!");
    EXPECT_EQ(f.vsGoodsList->rowCount(), 0);
    const int id = scalar("select id from tb_goods_head where goodsCode='G1'").toInt();
    EXPECT_EQ(f.txt_id->text(), QString::number(id));
    EXPECT_EQ(f.vsflg_Detail->rowCount(), 1); // its default unit is shown
    f.txt_goodsName->setText("可乐");
    save(f);
    EXPECT_EQ(lastText(m_msg), "保存成功!");
    EXPECT_EQ(scalar("select count(*) from tb_goods_head").toInt(), 1);
    EXPECT_EQ(scalar("select goodsName from tb_goods_head").toString(), "可乐");
    EXPECT_EQ(scalar("select count(*) from tb_goods_detail").toInt(), 1);
}

TEST_F(GoodsSaving, AGoodsStaysUnderADisabledOrRenamedCategory) {
    int drink = 0, snack = 0;
    {
        frmGoods f;
        fillNew(f, "G1", "饮料");
        save(f);
        drink = f.txt_id->text().toInt();
        fillNew(f, "G2", "零食");
        save(f);
        snack = f.txt_id->text().toInt();
        ASSERT_EQ(typeOf(drink), 70);
        ASSERT_EQ(typeOf(snack), 71);
    }
    exec("update tb_dictionary set isstart=0 where id=70");
    frmGoods f; // offers the enabled categories only
    ASSERT_EQ(f.cobo_goodsTypeName->findText("饮料"), -1);
    f.ShowGoodsById(drink);
    EXPECT_EQ(f.cobo_goodsTypeName->currentText(), "饮料(已禁用)");
    f.txt_goodsName->setText("改名");
    save(f);
    EXPECT_EQ(lastText(m_msg), "保存成功!");
    EXPECT_EQ(typeOf(drink), 70);
    // a new goods chooses among the enabled ones; a copy may not keep a disabled one
    f.btn_GoodsAdd();
    EXPECT_EQ(f.cobo_goodsTypeName->findText("饮料(已禁用)"), -1);
    EXPECT_EQ(f.cobo_goodsTypeName->currentText(), "默认类别");
    f.ShowGoodsById(drink);
    f.btn_GoodsCopy();
    f.txt_goodsCode->setText("G3");
    save(f);
    EXPECT_EQ(lastText(m_msg), "货品类别[饮料]已禁用,请重新选择!");
    EXPECT_EQ(scalar("select count(*) from tb_goods_head").toInt(), 2);
    f.cobo_goodsTypeName->setCurrentText("零食");
    save(f);
    EXPECT_EQ(typeOf(f.txt_id->text().toInt()), 71);
    // renamed while the window is open
    exec("update tb_dictionary set uname='休闲零食' where id=71");
    f.ShowGoodsById(snack);
    EXPECT_EQ(f.cobo_goodsTypeName->currentText(), "休闲零食");
    save(f);
    EXPECT_EQ(typeOf(snack), 71);
    // adding a category from the tree leaves the goods shown where it is
    f.tv_type->setCurrentItem(f.tree()->Find("key_0"));
    m_msg.inputs = {QString("新类别")};
    f.addnew_type();
    EXPECT_EQ(f.cobo_goodsTypeName->currentText(), "休闲零食");
    save(f);
    EXPECT_EQ(typeOf(snack), 71);
    // for a new goods the new category is chosen
    f.btn_GoodsAdd();
    m_msg.inputs = {QString("再一类")};
    f.addnew_type();
    EXPECT_EQ(f.cobo_goodsTypeName->currentText(), "再一类");
}

TEST_F(GoodsSaving, AGoodsKeepsExactlyOneDefaultUnit) {
    frmGoods f;
    fillNew(f, "G1");
    save(f);
    const int id = f.txt_id->text().toInt();
    f.btn_addBarCode();
    f.vsflg_Detail->item(1, frmGoods::dcUnit)->setText("箱");
    f.vsflg_Detail->item(1, frmGoods::dcPackQty)->setText("24");
    saveUnits(f);
    ASSERT_EQ(lastText(m_msg), "保存成功!");
    const QString stored = units(id);
    ASSERT_EQ(stored.count(' '), 1);

    // Ctrl+D on the default row
    f.vsflg_Detail->setCurrentCell(0, frmGoods::dcUnit);
    QTest::keyClick(f.vsflg_Detail, Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(f.vsflg_Detail->rowCount(), 1);
    saveUnits(f);
    EXPECT_EQ(lastText(m_msg), "默认包装单位不能删除,请先将其他包装单位设为默认!");
    EXPECT_EQ(units(id), stored);

    // the default row's unit cleared: a row without a unit is dropped
    f.ShowGoodsById(id);
    ASSERT_EQ(CellText(f.vsflg_Detail, 0, frmGoods::dcIsDefault), "1");
    f.vsflg_Detail->item(0, frmGoods::dcUnit)->setText("");
    saveUnits(f);
    EXPECT_EQ(lastText(m_msg), "默认包装单位的单位不能为空,内装数必须大于0!");
    EXPECT_EQ(units(id), stored);
    EXPECT_GT(dal_goods_detail().GetModelForInput("G1").id, 0); // still found by its code
}

TEST_F(GoodsSaving, NumberFieldsTakeOneNumber) {
    frmGoods f;
    const std::pair<QLineEdit*, const char*> fields[] = {
        {f.txt_upqty, "库存上限"}, {f.txt_downqty, "库存下限"}, {f.txt_packQty, "内装数"},
        {f.txt_weight, "重量"},    {f.txt_inPrice, "进货价"},   {f.txt_salePrice, "销售价"}};
    for (const auto& [edit, label] : fields) {
        fillNew(f, "G1");
        edit->setText("1.2.3"); // pasted past the key filter
        save(f);
        EXPECT_EQ(lastText(m_msg), QString::fromUtf8(label) + "不是有效的数字,请重新输入!");
    }
    fillNew(f, "G1");
    f.txt_upqty->setText("10");
    f.txt_downqty->setText("20");
    save(f);
    EXPECT_EQ(lastText(m_msg), "库存下限不能大于库存上限!");
    EXPECT_EQ(scalar("select count(*) from tb_goods_head").toInt(), 0);
    f.txt_downqty->setText(" 2.5 ");
    f.txt_weight->setText(".5");
    save(f);
    ASSERT_EQ(lastText(m_msg), "保存成功!");
    EXPECT_EQ(scalar("select upqty & '|' & downqty from tb_goods_head").toString(), "10|2.5");
    const int id = f.txt_id->text().toInt();
    const QString stored = units(id);
    EXPECT_TRUE(stored.endsWith("/瓶/1/0.5")) << stored.toStdString();
    // an existing goods: nothing changes on a refusal
    f.txt_upqty->setText("1");
    save(f);
    EXPECT_EQ(lastText(m_msg), "库存下限不能大于库存上限!");
    EXPECT_EQ(scalar("select upqty from tb_goods_head").toDouble(), 10);
    // the cells of the unit grid
    f.btn_addBarCode();
    f.vsflg_Detail->item(1, frmGoods::dcUnit)->setText("箱");
    f.vsflg_Detail->item(1, frmGoods::dcPackQty)->setText("24");
    for (int column : {frmGoods::dcPackQty, frmGoods::dcWeight, frmGoods::dcInPrice, frmGoods::dcSalePrice}) {
        const QString before = f.vsflg_Detail->item(1, column)->text();
        f.vsflg_Detail->item(1, column)->setText("2..5");
        saveUnits(f);
        EXPECT_EQ(lastText(m_msg), "第2行" + f.vsflg_Detail->horizontalHeaderItem(column)->text() +
                                       "不是有效的数字,请重新输入!");
        EXPECT_EQ(f.vsflg_Detail->currentRow(), 1);
        EXPECT_EQ(units(id), stored);
        f.vsflg_Detail->item(1, column)->setText(before);
    }
}

class PartnerSaving : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        loginAs("admin");
        exec("insert into tb_dictionary (id, utype, uname, parentId, orderBy, isstart, isSystemSet) values "
             "(80, 'customerType', '批发', 0, 0, 1, 0), (81, 'customerType', '大客户', 80, 0, 1, 0)");
    }
    void save(frm_customer& f) {
        m_msg.answers = {MsgBox::Yes, MsgBox::Yes};
        f.SaveCustomer();
        m_msg.answers.clear();
    }
    int saveNew(frm_customer& f, const QString& name, const QString& category) {
        f.AddCustomer();
        f.txt_Name->setText(name);
        f.cobo_CustomTypeName->setCurrentText(category);
        save(f);
        return f.txt_id->text().toInt();
    }
    int typeOf(int id) {
        return scalar(QString("select customType from tb_customer where id=%1").arg(id)).toInt();
    }
};

TEST_F(PartnerSaving, ASecondSaveOfANewPartnerHiddenByTheListUpdatesIt) {
    frm_customer f;
    f.txt_KeyWord->setText("不匹配");
    f.Search();
    const int id = saveNew(f, "华联超市", "批发");
    EXPECT_EQ(lastText(m_msg), "保存成功!");
    EXPECT_EQ(f.vsCustomerList->rowCount(), 0);
    ASSERT_GT(id, 0);
    EXPECT_FALSE(f.txt_customerCode->text().isEmpty());
    f.txt_tel->setText("010-1234");
    save(f);
    EXPECT_FALSE(m_msg.texts().contains("往来单位名称[华联超市]存在,是否继续保存!"));
    EXPECT_EQ(scalar("select count(*) from tb_customer").toInt(), 1);
    EXPECT_EQ(scalar("select tel from tb_customer").toString(), "010-1234");
}

TEST_F(PartnerSaving, APartnerStaysUnderADisabledCategory) {
    int id = 0;
    {
        frm_customer f;
        id = saveNew(f, "华联超市", "大客户");
        ASSERT_EQ(typeOf(id), 81);
    }
    exec("update tb_dictionary set isstart=0 where id=81");
    frm_customer f;
    ASSERT_EQ(f.cobo_CustomTypeName->findText("大客户"), -1);
    ASSERT_TRUE(SelectRowByText(f.vsCustomerList, frm_customer::colId, QString::number(id)));
    EXPECT_EQ(f.cobo_CustomTypeName->currentText(), "大客户(已禁用)");
    f.txt_tel->setText("010-1234");
    save(f);
    EXPECT_EQ(lastText(m_msg), "保存成功!");
    EXPECT_EQ(typeOf(id), 81);
    f.CopyCustomer();
    f.txt_Name->setText("华联二店");
    save(f);
    EXPECT_EQ(lastText(m_msg), "自定义类别[大客户]已禁用,请重新选择!");
    EXPECT_EQ(scalar("select count(*) from tb_customer").toInt(), 1);
    f.AddCustomer();
    EXPECT_EQ(f.cobo_CustomTypeName->findText("大客户(已禁用)"), -1);
}

TEST_F(PartnerSaving, TheCategoryRootListsEveryCategory) {
    frm_customer f;
    saveNew(f, "甲", "批发");
    saveNew(f, "乙", "大客户");
    saveNew(f, "丙", "默认分类");
    f.Opt_treeType[1]->setChecked(true);
    f.ApplyTreeType(1);
    EXPECT_EQ(NodeKey(f.tv_type->currentItem()), "key_0");
    EXPECT_EQ(f.vsCustomerList->rowCount(), 3);
    f.tv_type->setCurrentItem(findNode(f.tv_type, "key_80"));
    f.Search();
    EXPECT_EQ(f.vsCustomerList->rowCount(), 2); // the category and the ones below it
}
