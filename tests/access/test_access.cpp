#include "access/funcode.h"
#include "access/sysvars.h"
#include "access/user.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "fixture.h"
#include "ui/permission.h"

#include <QCryptographicHash>
#include <QSet>

TEST(PasswordHash, IsTheMiddleOfTheMd5Text) {
    EXPECT_EQ(MD5("888"), "b61820daa5611c87");
    EXPECT_EQ(MD5(""), "8f00b204e9800998");    // d41d8cd98f00b204e9800998ecf8427e
    EXPECT_EQ(MD5("abc"), "3cd24fb0d6963f7d"); // 900150983cd24fb0d6963f7d28e17f72
    EXPECT_NE(MD5("Abc"), MD5("abc"));
    EXPECT_EQ(
        MD5("密码"),
        QString::fromLatin1(
            QCryptographicHash::hash(QString("密码").toUtf8(), QCryptographicHash::Md5).toHex().mid(8, 16)));
}

class AccessTest : public DbTest {
protected:
    void TearDown() override {
        CurrentUser() = m_user();
        SysVar() = m_SysVar();
        DbTest::TearDown();
    }
    int addUser(const QString& name, int department) {
        m_user u;
        u.id = sqlHelper::DMax("id", "tb_user", "").toInt() + 1;
        u.user = name;
        u.usex = "女";
        u.isstart = true;
        u.dictionaryId = department;
        dal_user().Add(u);
        return u.id;
    }
    void grant(int department, const QStringList& codes) {
        for (const QString& c : codes)
            exec(QString("insert into tb_user_group_fun (funCode, departmentId) values ('%1', %2)")
                     .arg(c)
                     .arg(department));
    }
};

TEST_F(AccessTest, CatalogueHoldsEveryFunctionCode) {
    const QStringList codes = m_funCode::all();
    ASSERT_EQ(codes.size(), 128);
    EXPECT_EQ(codes.first(), "SysMenu");
    EXPECT_EQ(codes.last(), "rpt_expiry_export");
    const RecordSet rs = query("select funCode from tb_sys_fun");
    QSet<QString> seeded;
    for (int r = 0; r < rs.RecordCount(); ++r)
        seeded.insert(rs.at(r, 0).toString());
    EXPECT_EQ(seeded, QSet<QString>(codes.begin(), codes.end()));
}

TEST_F(AccessTest, GrantListsFollowTheDepartment) {
    EXPECT_EQ(GetJoinedGrants(1, "a"), "2,0");
    EXPECT_EQ(GetJoinedGrants(1, "L"), "0");
    EXPECT_EQ(GetJoinedGrants(42, "f"), "0");
    EXPECT_TRUE(GetJoinedGrants(1, "F").startsWith("SysMenu,customer,"));
    // before anybody logs in the grants of department 0 apply
    grant(0, {"rcmg"});
    InitSysVar();
    EXPECT_EQ(SysVar().Sys_funJoinCode, "rcmg,0");
    EXPECT_TRUE(CheckFunction("rcmg", false));
    EXPECT_FALSE(CheckFunction("import", false));
    CurrentUser() = dal_user().GetModelForPw("admin", "888");
    InitSysVar();
    EXPECT_TRUE(CheckFunction("import", false));
    EXPECT_EQ(SysVar().Sys_accountJoinId, "2,0");
}

TEST_F(AccessTest, CheckFunctionMatchesWholeCodes) {
    exec("insert into tb_dictionary (id, utype, uname, parentId, orderBy, isstart, isSystemSet) values (50, "
         "'department', '仓库部', 0, 0, 1, 0)");
    grant(50, {"import_save"});
    CurrentUser().dictionaryId = 50;
    InitSysVar();
    EXPECT_TRUE(CheckFunction("import_save", true));
    EXPECT_TRUE(m_msg.shown.empty());
    EXPECT_FALSE(CheckFunction("import", true));
    EXPECT_FALSE(CheckFunction("save", false));
    ASSERT_EQ(m_msg.shown.size(), 1u);
    EXPECT_EQ(m_msg.shown[0].text, "功能受限,请与系统管理联系!");
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Information);
    EXPECT_EQ(m_msg.shown[0].caption, "System");
    CurrentUser().dictionaryId = 51; // a department without rows refuses everything
    InitSysVar();
    EXPECT_EQ(SysVar().Sys_funJoinCode, "0");
    for (const QString& code : m_funCode::all())
        EXPECT_FALSE(CheckFunction(code, false)) << qPrintable(code);
}

TEST_F(AccessTest, InitSysVarSetsEveryVariableAgain) {
    SysVar().Sys_DateFormat = "dd/MM/yyyy";
    SysVar().acc_OrderBy = "";
    SysVar().Sys_funJoinCode = "everything,0";
    InitSysVar();
    EXPECT_EQ(SysVar().Sys_DateFormat, "yyyy-MM-dd");
    EXPECT_EQ(SysVar().acc_OrderBy, "& '~'&CStr(id)&'^'");
    EXPECT_EQ(SysVar().Sys_dbName, "wms.mdb");
    EXPECT_EQ(SysVar().Sys_NotNullColor, 0xFFE0C0u);
    EXPECT_EQ(SysVar().Sys_stockBill, "orkPrint:TypeId=1002&BillCode=kx_stock_bill&FileName=");
    EXPECT_EQ(SysVar().Sys_funJoinCode, "0");
}

TEST_F(AccessTest, UsersAreFoundByNameAndPassword) {
    dal_user dal;
    const int id = addUser("O'Neil", 1);
    EXPECT_EQ(dal.GetModelForPw("O'Neil", "888").id, id);
    EXPECT_EQ(dal.GetModelForPw("o'neil", "888").id, id); // the name ignores case
    EXPECT_EQ(dal.GetModelForPw("O'Neil", "888 ").id, 0);
    EXPECT_EQ(dal.GetModelForPw("O'Neil' or '1'='1", "888").id, 0);
    const m_user model = dal.GetModel(id);
    EXPECT_EQ(model.user, "O'Neil");
    EXPECT_EQ(model.department, "系统管理员");
    EXPECT_TRUE(model.pw.startsWith("pbkdf2$100000$"))
        << model.pw.toStdString(); // salted, never the bare hash
    EXPECT_TRUE(PasswordHash::Verify("888", model.pw));
    EXPECT_TRUE(model.isstart);
    EXPECT_EQ(dal.GetModelForUser(id, "o'neil").id, 0);
    EXPECT_EQ(dal.GetModelForUser(1, "O'NEIL").id, id);
    m_user change = model;
    change.pw = "New@pw'1";
    dal.UpdatePw(change);
    EXPECT_EQ(dal.GetModelForPw("O'Neil", "888").id, 0);
    EXPECT_EQ(dal.GetModelForPw("O'Neil", "New@pw'1").id, id);
    EXPECT_EQ(dal.GetModelForPw("O'Neil", "new@pw'1").id, 0); // the password keeps its case
    change.user = "Neil";
    change.usex = "男";
    change.isstart = false;
    dal.Update(change);
    EXPECT_EQ(dal.GetModel(id).user, "Neil");
    EXPECT_FALSE(dal.GetModel(id).isstart);
    EXPECT_TRUE(PasswordHash::Verify("New@pw'1", dal.GetModel(id).pw)); // the password stays as it was
    EXPECT_TRUE(dal.Delete(id).isResult);
    EXPECT_EQ(dal.GetModel(id).id, 0);
    EXPECT_EQ(dal.GetModel(id).user, "");
}

TEST_F(AccessTest, OldPasswordHashesLogInOnceAndAreReplacedBySaltedOnes) {
    // two users of an older file: the bare hashes
    exec(QString("update tb_user set pw='%1' where id=1").arg(MD5("888")));
    exec(QString("insert into tb_user (id, [user], pw, usex, isStart, dictionaryId) values (7, '李四', '%1', "
                 "'男', 1, 1)")
             .arg(MD5("密码")));
    dal_user dal;
    EXPECT_EQ(dal.GetModelForPw("李四", "888").id, 0); // refused before
    EXPECT_TRUE(PasswordHash::IsLegacy(scalar("select pw from tb_user where id=7").toString()));
    for (const auto& [name, password, id] : {std::tuple{"admin", "888", 1}, std::tuple{"李四", "密码", 7}}) {
        EXPECT_EQ(dal.GetModelForPw(name, password).id, id);
        const QString stored = scalar(QString("select pw from tb_user where id=%1").arg(id)).toString();
        EXPECT_TRUE(stored.startsWith("pbkdf2$")) << stored.toStdString();
        EXPECT_EQ(dal.GetModelForPw(name, password).id, id);               // and again with the new form
        EXPECT_EQ(dal.GetModelForPw(name, QString(password) + "x").id, 0); // refused after
    }
    // no bare hash is left, and two users of one password carry different salts
    EXPECT_EQ(scalar("select count(*) from tb_user where pw not like 'pbkdf2$%'").toInt(), 0);
    const QString a = PasswordHash::Make("888", 1000), b = PasswordHash::Make("888", 1000);
    EXPECT_NE(a, b);
    EXPECT_TRUE(PasswordHash::Verify("888", a));
    // a stored form read from a file can be anything: never a match, never a crash
    for (const QString& bad : {QString("pbkdf2$"), QString("pbkdf2$x$y$z"), QString("pbkdf2$0$AAAA$AAAA"),
                               QString("pbkdf2$99999999999$AAAA$AAAA"), QString()})
        EXPECT_FALSE(PasswordHash::Verify("888", bad)) << bad.toStdString();
}

TEST_F(AccessTest, SettingsAreReadAndUpdatedByKey) {
    dal_setting dal;
    m_setting s = dal.GetModel("viewType");
    EXPECT_EQ(s.id, 1);
    EXPECT_EQ(s.setValue, "列表显示");
    s.setValue = "图标显示";
    dal.Update(s);
    EXPECT_EQ(dal.GetModel("VIEWTYPE").setValue, "图标显示");
    m_setting missing = dal.GetModel("no'such");
    EXPECT_EQ(missing.id, 0);
    EXPECT_EQ(missing.setKey, "");
    missing.setKey = "no'such";
    missing.setValue = "x";
    dal.Update(missing);
    EXPECT_EQ(scalar("select count(*) from tb_setting").toInt(), 3); // the seed's two and the expiry warning's days
    EXPECT_EQ(dal.GetModel("expiryWarnDays").setValue, "30");
}
