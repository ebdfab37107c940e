#include "data/sqlhelper.h"
#include "fixture.h"
#include "master/customer.h"
#include "master/goods.h"
#include "master/masterwindows.h"
#include "ui/frm_select.h"

#include <QTableWidget>

class GoodsDal : public DbTest {
protected:
    // goods 1 "G1" with units 10 (default, barcode B1) and 11 (barcode B2); goods 2 "G2" disabled
    void SetUp() override {
        DbTest::SetUp();
        exec("insert into tb_goods_head (id, goodsTypeId, goodsCode, goodsName, pinyin, status, creator, "
             "createTime) values "
             "(1, 5, 'G1', '可乐', 'KL', '启用', 'admin', '2012-08-01 10:00:00'), (2, 5, 'G2', '雪碧', 'XB', "
             "'禁用', 'a', '')");
        exec("insert into tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty) "
             "values "
             "(10, 1, 1, 1, 'B1', '瓶', 1), (11, 1, 0, 2, 'B2', '箱', 24), (12, 2, 1, 1, '', '罐', 1)");
    }
};

TEST_F(GoodsDal, CodeCheckCoversGoodsCodesAndBarcodes) {
    EXPECT_TRUE(check_GoodsCode("").isResult);
    EXPECT_TRUE(check_GoodsCode(GoodsCodeUnion("G3") + GoodsCodeUnion("B3")).isResult);
    const m_DBresult dupBarcode = check_GoodsCode(GoodsCodeUnion("G2"));
    EXPECT_FALSE(dupBarcode.isResult);
    EXPECT_EQ(dupBarcode.str_MsgBox, "有以下条码重复:\nG2,\n请重新设置!");
    EXPECT_FALSE(check_GoodsCode(GoodsCodeUnion("b2")).isResult); // codes ignore case
    const m_DBresult two = check_GoodsCode(GoodsCodeUnion("X") + GoodsCodeUnion("X") + GoodsCodeUnion("B1"));
    EXPECT_FALSE(two.isResult);
    EXPECT_TRUE(two.str_MsgBox.contains("X,") && two.str_MsgBox.contains("B1,"));
    EXPECT_TRUE(check_GoodsCode(GoodsCodeUnion("it's")).isResult);
    // a stored unit keeping its barcode is counted once; changing it to another goods' code is refused
    EXPECT_TRUE(check_GoodsCode("", {{11, "B2"}}).isResult);
    EXPECT_FALSE(check_GoodsCode("", {{11, "G1"}}).isResult);
    EXPECT_TRUE(check_GoodsCode("", {{11, "B9"}}).isResult);
}

TEST_F(GoodsDal, HeadsAreSavedWithTheirDefaultUnitAndDeletedWithAllUnits) {
    dal_goods_head heads;
    m_goods_head h;
    h.id = 3;
    h.goodsTypeId = 5;
    h.goodsCode = "G3";
    h.goodsName = "果汁";
    h.status = "启用";
    h.creator = "admin";
    h.createTime = "2012-08-01 10:00:00";
    m_goods_detail d;
    d.id = 13;
    d.headId = 3;
    d.isDefault = 1;
    d.unit = "盒";
    d.packQty = 1;
    d.inPrice = 2.5;
    ASSERT_TRUE(heads.Add(h, d).isResult);
    EXPECT_EQ(heads.GetModel(3).goodsTypeName, "默认类别");
    h.goodsName = "橙汁";
    h.creator = "other";
    h.createTime = "2020-01-01 00:00:00";
    d.inPrice = 3;
    ASSERT_TRUE(heads.Update(h, d).isResult);
    const m_goods_head read = heads.GetModel(3);
    EXPECT_EQ(read.goodsName, "橙汁");
    EXPECT_EQ(read.creator, "admin");
    EXPECT_EQ(read.createTime, "2012-08-01 10:00:00");
    EXPECT_EQ(dal_goods_detail().GetModelForDefault(3).inPrice, 3);
    ASSERT_TRUE(heads.Delete(1).isResult);
    EXPECT_EQ(scalar("select count(*) from tb_goods_detail where headId=1").toInt(), 0);
    // a failing save leaves nothing behind
    h.id = 4;
    d.id = 13; // the unit id is taken
    d.headId = 4;
    EXPECT_FALSE(heads.Add(h, d).isResult);
    EXPECT_EQ(heads.GetModel(4).id, 0);
}

TEST_F(GoodsDal, UnitsForBillEntry) {
    dal_goods_detail dal;
    const m_goods_detail byCode = dal.GetModelForInput("g1");
    EXPECT_EQ(byCode.id, 10); // the goods code gives the default unit
    EXPECT_EQ(byCode.irowsCount, 1);
    EXPECT_EQ(byCode.inputGoodsCode, "g1");
    EXPECT_EQ(byCode.utype, "货品编码");
    const m_goods_detail byBarcode = dal.GetModelForInput("B2");
    EXPECT_EQ(byBarcode.id, 11);
    EXPECT_EQ(byBarcode.packQty, 24);
    EXPECT_EQ(byBarcode.goodsName, "可乐");
    EXPECT_EQ(dal.GetModelForInput("G2").id, 0); // disabled goods are not offered
    EXPECT_EQ(dal.GetModelForInput("B2", 10).id, 0);
    EXPECT_EQ(dal.GetModelForInput("x' or '1'='1").id, 0);
    ConditionSet c;
    c.AddItem("1", m_condition("headId", "=", Raw("1")));
    const m_recordSet units = dal.GetListForCondition(c);
    ASSERT_EQ(units.recordCount, 2);
    EXPECT_EQ(units.recordSet.at(0, "id").toInt(), 10);
}

TEST_F(GoodsDal, DefaultUnitAndBatchReplacement) {
    dal_goods_detail dal;
    ASSERT_TRUE(dal.Update_Default(1, 11).isResult);
    EXPECT_EQ(dal.GetModelForDefault(1).id, 11);
    EXPECT_EQ(scalar("select sum(isDefault) from tb_goods_detail where headId=1").toInt(), 1);
    GoodsDetailStatements units;
    for (int i = 0; i < 3; ++i) {
        m_goods_detail d;
        d.id = 20 + i;
        d.headId = 1;
        d.rowNo = i + 1;
        d.isDefault = i == 1;
        d.unit = "u" + QString::number(i);
        d.packQty = i + 1;
        units.AddItem(QString::number(d.id) + "|" + kGoodsDetailInsert, d);
    }
    ASSERT_TRUE(dal.Batch_Update(1, units).isResult);
    EXPECT_EQ(scalar("select count(*) from tb_goods_detail where headId=1").toInt(), 3);
    EXPECT_EQ(scalar("select count(*) from tb_goods_detail where headId=1 and id<20").toInt(), 0);
    EXPECT_EQ(dal.GetModelForDefault(1).id, 21);
    EXPECT_EQ(dal.GetModel(22).rowNo, 3);
    GoodsDetailStatements clash; // a failing insert leaves the old units in place
    m_goods_detail d;
    d.id = 12; // taken by goods 2
    d.headId = 1;
    clash.AddItem("12|" + QString(kGoodsDetailInsert), d);
    EXPECT_FALSE(dal.Batch_Update(1, clash).isResult);
    EXPECT_EQ(scalar("select count(*) from tb_goods_detail where headId=1").toInt(), 3);
}

class CustomerDal : public DbTest {};

TEST_F(CustomerDal, PartnersAndTheirLookups) {
    EXPECT_EQ(GetTypeId(" 客户 "), 1);
    EXPECT_EQ(GetTypeId("两者都是"), 2);
    EXPECT_EQ(GetTypeId("其它"), 0);
    EXPECT_EQ(GetStatusId("启用"), 1);
    EXPECT_EQ(GetStatusId("停"), 0);
    dal_customer dal;
    EXPECT_EQ(dal.GetSqlSearch("x"), "");
    const std::tuple<int, int, int, const char*> partners[] = {
        {1, 0, 1, "供货商甲"}, {2, 1, 1, "客户乙"}, {3, 2, 1, "两者丙"}, {4, 2, 0, "停用丁"}};
    for (const auto& [id, kind, status, name] : partners) {
        m_customer m;
        m.id = id;
        m.utype = kind;
        m.status = status;
        m.customType = 6;
        m.customerCode = "ct-1208-0000" + QString::number(id);
        m.uname = QString::fromUtf8(name);
        m.pinyin = "PY" + QString::number(id);
        m.creator = "admin";
        dal.Add(m);
    }
    m_customer c = dal.GetModel(3);
    EXPECT_EQ(c.utypeName, "两者都是");
    EXPECT_EQ(c.statusName, "启用");
    EXPECT_EQ(c.customTypeName, "默认分类");
    c.customerCode = "changed";
    c.creator = "other";
    c.uname = "两者丙二";
    dal.Update(c);
    c = dal.GetModel(3);
    EXPECT_EQ(c.customerCode, "ct-1208-00003");
    EXPECT_EQ(c.creator, "admin");
    EXPECT_EQ(dal.GetModelForCustomerName(1, "客户乙").id, 2);
    EXPECT_EQ(dal.GetModelForCustomerName(2, "客户乙").id, 0);

    registerMasterWindows(); // the partner lookups are master data's, as at start-up
    auto lookup = [](const char* mode) {
        frm_select dlg;
        dlg.setMode(mode);
        dlg.RunSearch();
        QStringList names;
        for (int r = 0; r < dlg.vgInput->rowCount(); ++r)
            names << dlg.vgInput->item(r, 3)->text();
        return names;
    };
    EXPECT_EQ(lookup("supplier"), (QStringList{"供货商甲", "两者丙二"}));
    EXPECT_EQ(lookup("customer"), (QStringList{"客户乙", "两者丙二"}));
    ASSERT_TRUE(dal.Delete(4).isResult);
    EXPECT_EQ(dal.GetModel(4).id, 0);
}
