#include "data/sqlhelper.h"
#include "fixture.h"
#include "master/dictionary.h"
#include "master/location.h"

class DictionaryDal : public DbTest {};

TEST_F(DictionaryDal, EntriesAreWrittenAndReadThroughTheView) {
    dal_dictionary dal;
    m_dictionary m;
    m.id = 20;
    m.utype = "goodsType";
    m.uname = "饮料's";
    m.parentId = 5;
    m.remark = "r";
    m.isstart = 1;
    dal.Add(m);
    m_dictionary read = dal.GetModel(20);
    EXPECT_EQ(read.uname, "饮料's");
    EXPECT_EQ(read.parentName, "默认类别");
    EXPECT_EQ(read.startName, "启用");
    EXPECT_EQ(dal.GetModel(5).iCount, 1);
    EXPECT_EQ(dal.GetModelForName("GOODSTYPE", "饮料's").id, 20);
    EXPECT_EQ(dal.GetModelForName("department", "饮料's").id, 0);
    EXPECT_EQ(dal.GetList("goodsType", 5).RecordCount(), 1);
    EXPECT_EQ(dal.GetList("goodsType", 0).RecordCount(), 1);
    read.uname = "饮品";
    read.parentId = 0;
    read.isstart = 0;
    read.isSystemSet = 1; // never changed by an update
    dal.Update(read);
    read = dal.GetModel(20);
    EXPECT_EQ(read.uname, "饮品");
    EXPECT_EQ(read.parentId, 0);
    EXPECT_EQ(read.parentName, "");
    EXPECT_EQ(read.startName, "禁用");
    EXPECT_EQ(read.isSystemSet, 0);
    ConditionSet c;
    c.AddItem("1", m_condition("utype", "=", QString("goodsType")));
    const m_recordSet list = dal.GetListForCondition(c, "select id,uname ");
    EXPECT_EQ(list.recordCount, 2);
    EXPECT_EQ(list.str_condition, " and (utype = 'goodsType')");
    EXPECT_EQ(list.recordSet.fieldCount(), 2);
}

TEST_F(DictionaryDal, DeletingADepartmentDeletesItsGrantsInOneTransaction) {
    dal_dictionary dal;
    m_dictionary m;
    m.id = 30;
    m.utype = "department";
    m.uname = "仓库部";
    dal.Add(m);
    exec("insert into tb_user_group_fun (funCode, departmentId) values ('import', 30)");
    exec("insert into tb_location_fun (locationId, departmentId) values (1, 30)");
    exec("insert into tb_account_fun (accountId, departmentId) values (2, 30)");
    EXPECT_TRUE(dal.Delete(30).isResult);
    for (const char* t : {"tb_user_group_fun", "tb_location_fun", "tb_account_fun"})
        EXPECT_EQ(scalar(QString("select count(*) from %1 where departmentId=30").arg(t)).toInt(), 0) << t;
    EXPECT_EQ(dal.GetModel(30).id, 0);
    EXPECT_EQ(scalar("select count(*) from tb_user_group_fun where departmentId=1").toInt(), 128);
}

TEST_F(DictionaryDal, LocationsAreWrittenAndReadThroughTheView) {
    dal_location dal;
    m_location a;
    a.id = 1;
    a.locationCode = "A";
    a.uname = "A区";
    a.capacity = 12.5;
    a.state = 1;
    dal.Add(a);
    m_location b = a;
    b.id = 2;
    b.locationCode = "A-01";
    b.uname = "货架";
    b.parentId = 1;
    b.isLock = 1;
    b.isVirtual = 1;
    b.state = 0;
    dal.Add(b);
    const m_location read = dal.GetModel(2);
    EXPECT_EQ(read.parentlocationCode, "A");
    EXPECT_EQ(read.parentName, "A区");
    EXPECT_EQ(read.lockName, "锁定");
    EXPECT_EQ(read.VirtualName, "虚拟库位");
    EXPECT_EQ(read.stateName, "禁用");
    EXPECT_EQ(dal.GetModel(1).iCount, 1);
    EXPECT_EQ(dal.GetModel(1).capacity, 12.5);
    EXPECT_EQ(dal.GetModelForLocationCode(1, "a-01").id, 2);
    EXPECT_EQ(dal.GetModelForLocationCode(2, "A-01").id, 0);
    EXPECT_EQ(dal.GetList(1).RecordCount(), 1);
    EXPECT_EQ(dal.GetDataTable(" and state=1").RecordCount(), 1);
    b.uname = "二号货架";
    b.parentId = 0;
    b.orderby = 9; // never changed by an update
    dal.Update(b);
    EXPECT_EQ(dal.GetModel(2).uname, "二号货架");
    EXPECT_EQ(dal.GetModel(2).orderby, 0);
    EXPECT_EQ(dal.GetModel(2).parentName, "");
    EXPECT_TRUE(dal.Delete(2).isResult);
    EXPECT_EQ(dal.GetModel(2).id, 0);
}
