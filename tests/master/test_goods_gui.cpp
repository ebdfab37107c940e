#include "data/sqlhelper.h"
#include "guifixture.h"
#include "master/frm_customer.h"
#include "master/frm_dictionary.h"
#include "master/frmgoods.h"
#include "ui/formparts.h"
#include "ui/frm_select.h"
#include "ui/importdialog.h"
#include "ui/lazytree.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

class GoodsForm : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        loginAs("admin");
        sqlHelper::SetStatementObserver([this](const QString& sql) { m_statements << sql; });
    }
    void TearDown() override {
        sqlHelper::SetStatementObserver(nullptr);
        GuiTest::TearDown();
    }
    int saveNew(frmGoods& f, const QString& code, const QString& name, const QString& barcode = {}) {
        f.btn_GoodsAdd();
        f.txt_goodsCode->setText(code);
        f.txt_goodsName->setText(name);
        f.txt_unit->setText("瓶");
        f.txt_goodsDetailCode->setText(barcode);
        yesTo([&] { f.btn_GoodsSave(); });
        return f.txt_id->text().toInt();
    }
    // Fills packaging-unit row r: barcode, unit, pack quantity.
    void setUnit(frmGoods& f, int r, const QString& code, const QString& unit, const QString& pack) {
        f.vsflg_Detail->item(r, frmGoods::dcCode)->setText(code);
        f.vsflg_Detail->item(r, frmGoods::dcUnit)->setText(unit);
        f.vsflg_Detail->item(r, frmGoods::dcPackQty)->setText(pack);
    }
    QString lastMessage() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
    int codeQueries() const {
        int n = 0;
        for (const QString& s : m_statements)
            n += s.contains("v_sys_goodsCode") || s.contains("group by goodsCode");
        return n;
    }
    QStringList m_statements;
};

TEST_F(GoodsForm, SavingChecksFieldsAndTheCodeNamespace) {
    frmGoods f;
    f.btn_GoodsAdd();
    f.btn_GoodsSave();
    f.txt_goodsCode->setText("G1");
    f.btn_GoodsSave();
    f.txt_goodsName->setText("可乐");
    f.btn_GoodsSave();
    f.txt_unit->setText("瓶");
    f.txt_packQty->setText("0");
    f.btn_GoodsSave();
    EXPECT_EQ(m_msg.texts(),
              (QStringList{"货品编码不能为空!", "货品名称不能为空!", "单位不能为空!", "内装数不能小于1!"}));
    const int g1 = saveNew(f, "G1", "可口可乐", "690001");
    EXPECT_EQ(lastMessage(), "保存成功!");
    EXPECT_EQ(scalar(QString("select pinyin from tb_goods_head where id=%1").arg(g1)).toString(), "KKKL");
    EXPECT_EQ(CellText(f.vsGoodsList, f.vsGoodsList->currentRow(), frmGoods::lcId), QString::number(g1));
    saveNew(f, "g1", "重复");
    EXPECT_EQ(lastMessage(), "货品编码[g1]存在,请重新输入!");
    saveNew(f, "G2", "雪碧", "G1"); // a barcode equal to another goods' code
    EXPECT_EQ(lastMessage(), "有以下条码重复:\nG1,\n请重新设置!");
    saveNew(f, "690001", "芬达"); // a goods code equal to a barcode
    EXPECT_EQ(lastMessage(), "有以下条码重复:\n690001,\n请重新设置!");
    saveNew(f, "G3", "芬达", "G3"); // its own code as barcode
    EXPECT_TRUE(lastMessage().startsWith("有以下条码重复:"));
    EXPECT_EQ(scalar("select count(*) from tb_goods_head").toInt(), 1);

    // the lot settings: a shelf life of whole days, kept with the goods and shown again
    f.ShowGoodsById(g1);
    f.chk_lotTracked->setChecked(true);
    for (const QString& wrong : {"-3", "1.5", "abc"}) {
        f.txt_shelfLifeDays->setText(wrong);
        f.btn_GoodsSave();
        EXPECT_EQ(lastMessage(), "保质期天数必须是不小于0的整数!") << wrong.toStdString();
    }
    f.txt_shelfLifeDays->setText("180");
    yesTo([&] { f.btn_GoodsSave(); });
    ASSERT_EQ(lastMessage(), "保存成功!");
    f.btn_GoodsAdd();
    EXPECT_FALSE(f.chk_lotTracked->isChecked());
    EXPECT_TRUE(f.txt_shelfLifeDays->text().isEmpty());
    f.ShowGoodsById(g1);
    EXPECT_TRUE(f.chk_lotTracked->isChecked());
    EXPECT_EQ(f.txt_shelfLifeDays->text(), "180");
    EXPECT_EQ(
        scalar(QString("select lotTracked + shelfLifeDays from tb_goods_head where id=%1").arg(g1)).toInt(),
        181);
}

TEST_F(GoodsForm, UnchangedCodesRunNoCodeQuery) {
    frmGoods f;
    const int id = saveNew(f, "G1", "可乐", "690001");
    ASSERT_GT(id, 0);
    EXPECT_EQ(codeQueries(), 1);
    m_statements.clear();
    f.txt_goodsName->setText("百事可乐");
    yesTo([&] { f.btn_GoodsSave(); });
    EXPECT_EQ(lastMessage(), "保存成功!");
    EXPECT_EQ(codeQueries(), 0);
    EXPECT_EQ(scalar(QString("select pinyin from tb_goods_head where id=%1").arg(id)).toString(), "BSKL");
    f.txt_KeyWord->setText("bskl"); // found by its pinyin initials
    f.btn_search();
    EXPECT_EQ(f.vsGoodsList->rowCount(), 1);
    m_statements.clear();
    f.txt_goodsDetailCode->setText("690002");
    yesTo([&] { f.btn_GoodsSave(); });
    EXPECT_EQ(codeQueries(), 1);
}

TEST_F(GoodsForm, PackagingUnits) {
    frmGoods f;
    f.btn_addBarCode();
    f.btn_DetailSave();
    EXPECT_EQ(lastMessage(), "当前货品信息未保存,不能保存包装单位!");
    f.btn_setDefault();
    EXPECT_EQ(lastMessage(), "当前货品信息未保存,不能设置默认单位!");
    const int id = saveNew(f, "G1", "可乐", "690001");
    ASSERT_EQ(f.vsflg_Detail->rowCount(), 1);
    const int oldDefault = CellText(f.vsflg_Detail, 0, frmGoods::dcId).toInt();
    f.btn_addBarCode();
    setUnit(f, 1, "690002", "箱", "24");
    f.btn_addBarCode();
    setUnit(f, 2, "", "", "6"); // no unit: not saved
    f.btn_addBarCode();
    setUnit(f, 3, "690009", "包", "0"); // pack quantity 0: not saved
    f.vsflg_Detail->setCurrentCell(1, frmGoods::dcUnit);
    f.btn_setDefault();
    EXPECT_EQ(lastMessage(), "请先保存该包装单位后,才能设置默认单位!");
    yesTo([&] { f.btn_DetailSave(); });
    EXPECT_EQ(lastMessage(), "保存成功!");
    const RecordSet units =
        query(QString("select id, isDefault, rowNo, unit from tb_goods_detail where headId=%1 order by rowNo")
                  .arg(id));
    ASSERT_EQ(units.RecordCount(), 2);
    EXPECT_GT(units.at(0, "id").toInt(), oldDefault); // every unit gets a new id
    EXPECT_EQ(units.at(0, "isDefault").toInt(), 1);   // and the default stays
    EXPECT_EQ(units.at(1, "unit").toString(), "箱");
    EXPECT_EQ(units.at(1, "rowNo").toInt(), 2);
    // the default unit cannot be deleted; another one can be made the default
    ASSERT_EQ(f.vsflg_Detail->rowCount(), 2);
    f.vsflg_Detail->setCurrentCell(0, frmGoods::dcUnit);
    f.btn_DetailDelete();
    EXPECT_EQ(lastMessage(), "默认包装单位,不能删除!");
    f.vsflg_Detail->setCurrentCell(1, frmGoods::dcUnit);
    f.btn_setDefault();
    EXPECT_EQ(lastMessage(), "设置成功!");
    EXPECT_EQ(scalar(QString("select unit from tb_goods_detail where headId=%1 and isDefault=1").arg(id))
                  .toString(),
              "箱");
    EXPECT_EQ(scalar(QString("select sum(isDefault) from tb_goods_detail where headId=%1").arg(id)).toInt(),
              1);
    EXPECT_EQ(f.txt_unit->text(), "箱");
    // a barcode already used by another unit is refused
    f.btn_addBarCode();
    setUnit(f, 2, "690002", "盒", "2");
    yesTo([&] { f.btn_DetailSave(); });
    EXPECT_EQ(lastMessage(), "有以下条码重复:\n690002,\n请重新设置!");
}

TEST_F(GoodsForm, ANewUnitRowTakesTheTyping) {
    frmGoods f;
    f.show();
    QApplication::setActiveWindow(&f);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    saveNew(f, "G1", "可乐", "690001");
    auto* add = f.findChild<QPushButton*>("btn_addBarCode");
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(f.vsflg_Detail->rowCount(), 2);
    EXPECT_EQ(f.vsflg_Detail->currentRow(), 1);
    EXPECT_EQ(f.vsflg_Detail->currentColumn(), int(frmGoods::dcCode)); // the first editable cell
    EXPECT_EQ(QApplication::focusWidget(), f.vsflg_Detail);
    for (char c : std::string("690002")) // the first key opens the cell's editor
        QTest::keyClick(QApplication::focusWidget(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(f.vsflg_Detail->item(1, frmGoods::dcCode)->text(), "690002");
}

TEST_F(GoodsForm, AtMostThirtyUnits) {
    frmGoods f;
    saveNew(f, "G1", "可乐");
    for (int i = 0; i < 30; ++i) {
        f.btn_addBarCode();
        setUnit(f, f.vsflg_Detail->rowCount() - 1, {}, "件", QString::number(i + 2));
    }
    ASSERT_EQ(f.vsflg_Detail->rowCount(), 31);
    yesTo([&] { f.btn_DetailSave(); });
    EXPECT_EQ(lastMessage(), "最多只能保存30个包装单位,请适当调整到30个包装单位!");
    EXPECT_EQ(scalar("select count(*) from tb_goods_detail").toInt(), 1);
    f.vsflg_Detail->setCurrentCell(30, frmGoods::dcUnit);
    f.btn_DetailDelete(); // a row never saved just goes
    yesTo([&] { f.btn_DetailSave(); });
    EXPECT_EQ(lastMessage(), "保存成功!");
    EXPECT_EQ(scalar("select count(*) from tb_goods_detail").toInt(), 30);
}

TEST_F(GoodsForm, GoodsUsedByBillsStay) {
    frmGoods f;
    const int id = saveNew(f, "G1", "可乐");
    exec("insert into tb_rk_head (id, billNo) values (1, 'rk-1')");
    exec(QString("insert into tb_rk_detail (id, headId, goodsId) values (1, 1, %1)").arg(id));
    yesTo([&] { f.btn_GoodsDelete(); });
    EXPECT_EQ(lastMessage(), "当前货品在入库表已经建账,不能删除!");
    exec("delete from tb_rk_detail");
    exec(QString("insert into tb_ck_detail (id, headId, goodsId) values (1, 1, %1)").arg(id));
    yesTo([&] { f.btn_GoodsDelete(); });
    EXPECT_EQ(lastMessage(), "当前货品在出库表已经建账,不能删除!");
    exec("delete from tb_ck_detail");
    yesTo([&] { f.btn_GoodsDelete(); });
    EXPECT_EQ(lastMessage(), "删除成功!");
    EXPECT_EQ(scalar("select count(*) from tb_goods_detail").toInt(), 0);
}

TEST_F(GoodsForm, CategoriesFromTheTree) {
    frmGoods f;
    f.tv_type->setCurrentItem(f.tree()->Find("key_5"));
    m_msg.inputs = {QString("默认类别"), QString("饮料")};
    f.addnew_type();
    EXPECT_EQ(m_msg.texts(), (QStringList{"请输入货品类别名称:", "货品类别[默认类别]存在,请重新输入!",
                                          "请输入货品类别名称:"}));
    EXPECT_EQ(f.cobo_goodsTypeName->currentText(), "饮料");
    const int id = scalar("select id from tb_dictionary where uname='饮料'").toInt();
    EXPECT_EQ(scalar(QString("select parentId from tb_dictionary where id=%1").arg(id)).toInt(), 5);
    EXPECT_TRUE(f.tree()->tv_FindKey("key_" + QString::number(id)));
    saveNew(f, "G1", "可乐");
    f.tv_type->setCurrentItem(f.tree()->Find("key_5"));
    f.btn_search(); // the category and every category below it
    EXPECT_EQ(f.vsGoodsList->rowCount(), 1);
    saveNew(f, "G2", "雪碧");
    f.tv_type->setCurrentItem(f.tree()->Find("key_" + QString::number(id)));
    f.btn_search();
    EXPECT_EQ(f.vsGoodsList->rowCount(), 0);
    f.tv_type->setCurrentItem(f.tree()->Find("key_0")); // the root: every category
    f.btn_search();
    EXPECT_EQ(f.vsGoodsList->rowCount(), 2);
}

// Adds an entry through the dictionary window the form's category manager
// opened, then closes that window.
static void addThroughManager(ScriptedMsgBox& msg, const QString& name) {
    auto* dict = qobject_cast<frm_dictionary*>(WindowRegistry::Find("frm_dictionary"));
    ASSERT_TRUE(dict);
    dict->ClearForm();
    dict->txt_name->setText(name);
    msg.answers = {MsgBox::Yes};
    dict->SaveEntry();
    CloseForm(dict);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // gone, as after the command
}

TEST_F(GoodsForm, ACategoryAddedThroughItsManagerShowsWhenTheManagerCloses) {
    QMdiArea area;
    WindowRegistry::SetArea(&area);
    frmGoods f;
    f.tv_type->setCurrentItem(f.tree()->Find("key_5"));
    m_msg.inputs = {QString("饮料")};
    f.addnew_type(); // chosen in the list for the new goods
    const QString drinks = "key_" + scalar("select id from tb_dictionary where uname='饮料'").toString();
    f.tv_type->setCurrentItem(f.tree()->Find(drinks));
    f.btn_goodsTypeMg();
    addThroughManager(m_msg, "零食");
    const QString snacks = "key_" + scalar("select id from tb_dictionary where uname='零食'").toString();
    EXPECT_TRUE(f.tree()->tv_FindKey(snacks));
    EXPECT_EQ(NodeKey(f.tv_type->currentItem()), drinks); // the selection stays
    EXPECT_GE(f.cobo_goodsTypeName->findText("零食"), 0);
    EXPECT_EQ(f.cobo_goodsTypeName->currentText(), "饮料");
    WindowRegistry::SetArea(nullptr);
}

TEST_F(GoodsForm, GoodsImportedFromAFileShowInTheListAfterAPreviewOfTheirRows) {
    const QString file = folder() + "goods.csv";
    auto writeFile = [&](const QString& text) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    };
    writeFile("货品编码,货品名称,货品类别,单位,内装数,条码,默认单位,产地\n"
              "A01,可乐,食品/饮料,瓶,1,6901,,\n"
              "A01,可乐,食品/饮料,箱,24,6902,,\n"
              "A02,雪碧,食品/饮料,瓶,0,6901,是,\n");
    ImportDialog::FileChooser() = [&](QWidget*) { return file; };
    frmGoods f;
    int shown = 0;
    m_onModal = [&](QDialog* d) {
        auto* dialog = qobject_cast<ImportDialog*>(d);
        EXPECT_TRUE(dialog);
        if (!dialog) return int(QDialog::Rejected);
        ++shown;
        dialog->btn_open->click();
        // every row with its status; the wrong cells and why
        EXPECT_EQ(dialog->grid->model()->rowCount(), 3);
        EXPECT_EQ(dialog->grid->model()->index(0, 1).data().toString(), "新增");
        EXPECT_EQ(dialog->grid->model()->index(2, 1).data().toString(), "错误");
        const int problems = dialog->grid->model()->columnCount() - 1;
        EXPECT_EQ(dialog->grid->model()->index(2, problems).data().toString(),
                  "内装数: 内装数不能小于1!; 条码: 6901 与第2行的编码或条码重复");
        EXPECT_TRUE(dialog->summary->text().contains("错误 1 行")) << qPrintable(dialog->summary->text());
        EXPECT_TRUE(dialog->summary->text().contains("不导入的列: 产地"));
        EXPECT_FALSE(dialog->btn_import->isEnabled());
        EXPECT_FALSE(dialog->importRows());
        dialog->resize(1100, 360);
        screenshot(dialog, "goods_import_errors");
        EXPECT_TRUE(QFileInfo::exists(dialog->writeProblems()));
        writeFile("货品编码,货品名称,货品类别,单位,内装数,条码,默认单位\n"
                  "A01,可乐,食品/饮料,瓶,1,6901,\n"
                  "A01,可乐,食品/饮料,箱,24,6902,\n"
                  "A02,雪碧,食品/饮料,瓶,1,6903,是\n");
        dialog->openFile(file);
        EXPECT_TRUE(dialog->btn_import->isEnabled());
        m_msg.answers = {MsgBox::Yes};
        return dialog->importRows() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    f.btn_Import();
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(m_msg.texts().last(), "导入成功: 新增 2 个货品, 更新 0 个货品, 共 3 个包装单位");
    // the first goods of the file is shown, its category in the tree and the choice
    EXPECT_EQ(f.txt_goodsCode->text(), "A01");
    EXPECT_GE(f.cobo_goodsTypeName->findText("饮料"), 0);
    EXPECT_EQ(f.vsflg_Detail->rowCount(), 2);
    // without the right, nothing opens
    exec("delete from tb_user_group_fun where funCode='goodsInfor_import'");
    loginAs("admin");
    f.btn_Import();
    EXPECT_EQ(shown, 1);
    ImportDialog::FileChooser() = nullptr;
}

class CustomerForm : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        loginAs("admin");
    }
    int saveNew(frm_customer& f, const QString& name, const QString& kind, const QString& status = "启用") {
        f.AddCustomer();
        f.txt_customerCode->setText("typed");
        f.txt_Name->setText(name);
        f.cobo_TypeName->setCurrentText(kind);
        f.cobo_status->setCurrentText(status);
        m_msg.answers = {MsgBox::Yes, MsgBox::Yes};
        f.SaveCustomer();
        return f.txt_id->text().toInt();
    }
    QString lastMessage() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
};

TEST_F(CustomerForm, NewPartnersGetAGeneratedCodeThatNeverChanges) {
    frm_customer f;
    const QString ym = QDate::currentDate().toString("yyMM");
    const int a = saveNew(f, "华联超市", "客户");
    EXPECT_EQ(lastMessage(), "保存成功!");
    EXPECT_EQ(f.txt_customerCode->text(), "ct-" + ym + "-00001");
    EXPECT_EQ(scalar(QString("select pinyin from tb_customer where id=%1").arg(a)).toString(), "HLCS");
    saveNew(f, "康师傅", "供应商");
    EXPECT_EQ(f.txt_customerCode->text(), "ct-" + ym + "-00002");
    // editing keeps the code
    f.Opt_treeType[0]->setChecked(true);
    f.Search();
    ASSERT_TRUE(SelectRowByText(f.vsCustomerList, frm_customer::colId, QString::number(a)));
    f.txt_Name->setText("华联超市朝阳店");
    f.txt_customerCode->setText("ct-0000-99999");
    yesTo([&] { f.SaveCustomer(); });
    EXPECT_EQ(
        scalar(QString("select customerCode & '|' & uname from tb_customer where id=%1").arg(a)).toString(),
        "ct-" + ym + "-00001|华联超市朝阳店");
    // a repeated name asks first
    f.AddCustomer();
    f.txt_Name->setText("康师傅");
    m_msg.answers = {MsgBox::No};
    f.SaveCustomer();
    EXPECT_EQ(lastMessage(), "往来单位名称[康师傅]存在,是否继续保存!");
    EXPECT_EQ(scalar("select count(*) from tb_customer").toInt(), 2);
    f.txt_Name->clear();
    f.SaveCustomer();
    EXPECT_EQ(lastMessage(), "往来单位名称不能为空!");
}

TEST_F(CustomerForm, KindsStatusAndBills) {
    frm_customer f;
    const int supplier = saveNew(f, "供货商", "供应商");
    const int customer = saveNew(f, "客户甲", "客户");
    const int both = saveNew(f, "两者", "两者都是");
    const int off = saveNew(f, "停用户", "两者都是", "禁用");
    f.tv_type->setCurrentItem(f.tv_type->topLevelItem(0)); // key_3 lists every kind
    f.Search();
    ASSERT_EQ(f.vsCustomerList->rowCount(), 4);
    auto row = [&](int id) {
        for (int r = 0; r < f.vsCustomerList->rowCount(); ++r)
            if (CellText(f.vsCustomerList, r, frm_customer::colId).toInt() == id) return r;
        return -1;
    };
    EXPECT_TRUE(f.CanStartBill(row(supplier), true));
    EXPECT_FALSE(f.CanStartBill(row(supplier), false));
    EXPECT_FALSE(f.CanStartBill(row(customer), true));
    EXPECT_TRUE(f.CanStartBill(row(customer), false));
    EXPECT_TRUE(f.CanStartBill(row(both), true));
    EXPECT_TRUE(f.CanStartBill(row(both), false));
    EXPECT_FALSE(f.CanStartBill(row(off), true));
    EXPECT_FALSE(f.CanStartBill(row(off), false));
    f.tv_type->setCurrentItem(f.tv_type->topLevelItem(0)->child(0)); // suppliers only
    f.Search();
    EXPECT_EQ(f.vsCustomerList->rowCount(), 1);
    frm_select lookup; // a disabled partner is not offered
    lookup.setMode("customer");
    lookup.RunSearch();
    EXPECT_EQ(lookup.vgInput->rowCount(), 2);
    // a partner named on a bill cannot be deleted
    exec(QString("insert into tb_rk_head (id, billNo, supplierId) values (1, 'rk-1', %1)").arg(both));
    f.tv_type->setCurrentItem(f.tv_type->topLevelItem(0));
    f.Search();
    ASSERT_TRUE(SelectRowByText(f.vsCustomerList, frm_customer::colId, QString::number(both)));
    yesTo([&] { f.DeleteCustomer(); });
    EXPECT_EQ(lastMessage(), "当前往来单位在入库表已经建账,不能删除!");
    exec(QString("insert into tb_ck_head (id, billNo, customerId) values (1, 'ck-1', %1)").arg(customer));
    ASSERT_TRUE(SelectRowByText(f.vsCustomerList, frm_customer::colId, QString::number(customer)));
    yesTo([&] { f.DeleteCustomer(); });
    EXPECT_EQ(lastMessage(), "当前往来单位在出库表已经建账,不能删除!");
    EXPECT_EQ(scalar(QString("select count(*) from tb_customer where id=%1").arg(customer)).toInt(), 1);
    ASSERT_TRUE(SelectRowByText(f.vsCustomerList, frm_customer::colId, QString::number(off)));
    yesTo([&] { f.DeleteCustomer(); });
    EXPECT_EQ(lastMessage(), "删除成功!");
    f.txt_KeyWord->setText("lz"); // pinyin initials of 两者
    f.Search();
    EXPECT_EQ(f.vsCustomerList->rowCount(), 1);
}

TEST_F(CustomerForm, ACategoryAddedThroughItsManagerShowsWhenTheManagerCloses) {
    QMdiArea area;
    WindowRegistry::SetArea(&area);
    frm_customer f;
    f.Opt_treeType[1]->setChecked(true);
    f.ApplyTreeType(1);
    auto node = [&](const QString& text) {
        const auto found = f.tv_type->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found[0];
    };
    f.ManageCategories();
    addThroughManager(m_msg, "批发");
    ASSERT_TRUE(node("批发"));
    f.tv_type->setCurrentItem(node("批发"));
    f.cobo_CustomTypeName->setCurrentIndex(f.cobo_CustomTypeName->findText("批发"));
    f.ManageCategories();
    addThroughManager(m_msg, "零售");
    EXPECT_TRUE(node("零售"));
    EXPECT_EQ(f.tv_type->currentItem()->text(0), "批发"); // the selections stay
    EXPECT_EQ(f.cobo_CustomTypeName->currentText(), "批发");
    EXPECT_GE(f.cobo_CustomTypeName->findText("零售"), 0);
    WindowRegistry::SetArea(nullptr);
}

TEST_F(CustomerForm, PartnersOfAFileWithANameThereAlreadyComeInWhenTheWarningIsAccepted) {
    exec("insert into tb_customer (id, utype, customType, customerCode, uname, status) values (1, 0, 6, "
         "'C1', '甲', 1)");
    const QString file = folder() + "partners.csv";
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(
        QStringLiteral("固定类别,自定义类别,往来单位名称,电话\n客户,默认分类,甲,010-1\n供应商,默认分类,乙,\n")
            .toUtf8());
    out.close();
    ImportDialog::FileChooser() = [&](QWidget*) { return file; };
    frm_customer f;
    m_onModal = [&](QDialog* d) {
        auto* dialog = qobject_cast<ImportDialog*>(d);
        if (!dialog) return int(QDialog::Rejected);
        dialog->btn_open->click();
        EXPECT_EQ(dialog->grid->model()->index(0, 1).data().toString(), "警告");
        EXPECT_TRUE(dialog->btn_import->isEnabled());
        dialog->resize(1100, 300);
        screenshot(dialog, "partner_import_warnings");
        m_msg.answers = {MsgBox::No}; // not with the warning
        EXPECT_FALSE(dialog->importRows());
        m_msg.answers = {MsgBox::Yes, MsgBox::Yes};
        return dialog->importRows() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    f.ImportCustomers();
    ImportDialog::FileChooser() = nullptr;
    EXPECT_EQ(scalar("select count(*) from tb_customer where uname='甲'").toInt(), 2);
    EXPECT_EQ(f.txt_Name->text(), "甲"); // the first of the file is shown
    EXPECT_TRUE(f.txt_customerCode->text().startsWith("ct-"));
}
