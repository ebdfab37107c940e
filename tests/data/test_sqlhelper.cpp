#include "data/appenv.h"
#include "data/applog.h"
#include "data/dberror.h"
#include "data/pgdatabase.h"
#include "data/sqlhelper.h"
#include "fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <cstdlib>

using namespace sqlHelper;

class SqlHelperTest : public DbTest {};

TEST_F(SqlHelperTest, IniValuesAreReadLikeProfileStrings) {
    writeLinkIni("; comment\n[ db_link ]\n  linktype = 1 \ndbpath=\"/x/y/\"\n[Other]\nLinkType=7\n");
    const QString ini = folder() + "linkDB.ini";
    EXPECT_EQ(GetIniValue("DB_Link", "LinkType", ini), "1");
    EXPECT_EQ(GetIniValue("DB_LINK", "DBPATH", ini), "/x/y/");
    EXPECT_EQ(GetIniValue("DB_Link", "Missing", ini), "");
    EXPECT_EQ(GetIniValue("Nope", "LinkType", ini), "");
    EXPECT_EQ(GetIniValue("DB_Link", "LinkType", folder() + "none.ini"), "");
    // the folder is cut as the file format reads it; the server's connection string is read whole
    const QString padding = QStringLiteral("connect_timeout=10 ").repeated(8);
    const QString server = padding + "host=/nonexistent dbname=shop_training";
    writeLinkIni("[DB_Link]\nLinkType=2\nDBPath=" + QString(200, 'a') + "\nServer=" + server + "\n");
    EXPECT_EQ(GetIniValue("DB_Link", "DBPath", ini).size(), 127);
    EXPECT_EQ(ServerConnInfo(), server);
    if (!onServer()) return writeLinkIni("[DB_Link]\nLinkType=0\nDBPath=\n");
    writeLinkIni("[DB_Link]\nLinkType=2\nServer=" + padding + serverConnInfo() + "\n");
    CloseConn();
    EXPECT_EQ(scalar("select current_database()").toString(), m_serverDb);
}

TEST_F(SqlHelperTest, DatabaseFolderFollowsLinkType) {
    QDir().mkpath(folder() + "other");
    QFile::copy(dbFile(), folder() + "other/wms.mdb");
    for (const char* ini :
         {"[DB_Link]\nLinkType=0\nDBPath=/nowhere/\n", "[DB_Link]\nLinkType=\nDBPath=/nowhere/\n",
          "[DB_Link]\nDBPath=/nowhere/\n", "[DB_Link]\nLinkType=1\nDBPath=   \n"}) {
        writeLinkIni(ini);
        EXPECT_EQ(GetDBPath(), folder()) << ini;
    }
    writeLinkIni("[DB_Link]\nLinkType=1\nDBPath=" + folder() + "other\\\n");
    EXPECT_EQ(GetDBPath(), folder() + "other/");
    writeLinkIni("[DB_Link]\nLinkType=1\nDBPath=other\n"); // relative to the program folder, slash added
    EXPECT_EQ(GetDBPath(), folder() + "other/");
    EXPECT_TRUE(m_msg.shown.empty());
}

TEST_F(SqlHelperTest, MissingDatabaseShowsTheMessageAndEndsTheProgram) {
    writeLinkIni("[DB_Link]\nLinkType=1\nDBPath=/no/such/folder/\n");
    EXPECT_THROW(GetDBPath(), ProgramEnded);
    ASSERT_EQ(m_msg.shown.size(), 1u);
    EXPECT_EQ(m_msg.shown[0].text, "数据库文件路径错误,系统即将退出!");
    EXPECT_EQ(m_msg.shown[0].caption, "System");
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Exclamation);
}

TEST_F(SqlHelperTest, ReopeningReadsTheLocationAgain) {
    SKIP_ON_SERVER("the file location linkDB.ini names");
    EXPECT_EQ(scalar("select count(*) from tb_user").toInt(), 1);
    CloseConn();
    QFile::remove(dbFile());
    EXPECT_THROW(ExecuteSql("select count(*) from tb_user"), ProgramEnded);
}

TEST_F(SqlHelperTest, QueryTestLooksAtTheFirstCharactersOnly) {
    EXPECT_TRUE(IsQueryText("select 1"));
    EXPECT_TRUE(IsQueryText("SELECT 1"));
    EXPECT_TRUE(IsQueryText("sp_x"));
    EXPECT_FALSE(IsQueryText(" select 1"));
    EXPECT_FALSE(IsQueryText("\nselect 1"));
    EXPECT_TRUE(ExecuteSql("select id from tb_user").isOpen());
    EXPECT_FALSE(ExecuteSql(" select id from tb_user").isOpen());
    EXPECT_FALSE(ExecuteSql("delete from tb_events").isOpen());
}

TEST_F(SqlHelperTest, ReplaceParamsSubstitutesFirstOccurrencesInOnePass) {
    SqlParams p;
    p.AddItem("@id", 5);
    EXPECT_EQ(ReplaceParams("where id=@id or x=@id", &p), "where id=5 or x=@id");
    EXPECT_EQ(ReplaceParams("where id=@id", nullptr), "where id=@id");

    SqlParams q; // a value holding a later placeholder is never rescanned
    q.AddItem("@user", QString("x@pw"));
    q.AddItem("@pw", QString("secret"));
    EXPECT_EQ(ReplaceParams("set [user]=@user, pw=@pw", &q), "set [user]='x@pw', pw='secret'");

    SqlParams r; // the longer key first, as callers must order them
    r.AddItem("@idx", 2);
    r.AddItem("@id", 1);
    EXPECT_EQ(ReplaceParams("a=@id and b=@idx", &r), "a=1 and b=2");
    SqlParams missing;
    missing.AddItem("@none", 1);
    EXPECT_EQ(ReplaceParams("a=1", &missing), "a=1");
}

TEST_F(SqlHelperTest, ParameterValuesAreAlwaysQuotedWhenText) {
    EXPECT_EQ(FormatParamValue(QString("N:12")), "'N:12'");
    EXPECT_EQ(FormatParamValue(QString("K:ab")), "'K:ab'");
    EXPECT_EQ(FormatParamValue(Raw("12")), "12");
    EXPECT_EQ(FormatParamValue(Raw("1,2,3")), "1,2,3");
    EXPECT_EQ(FormatParamValue(Contains("a'b")), "'%a''b%'");
    EXPECT_EQ(FormatParamValue(QString("O'Brien")), "'O''Brien'");
    EXPECT_EQ(FormatParamValue(true), "True");
    EXPECT_EQ(FormatParamValue(false), "False");
    EXPECT_EQ(FormatParamValue(static_cast<short>(-3)), "-3");
    EXPECT_EQ(FormatParamValue(2.5), "2.5");
    EXPECT_EQ(FormatParamValue(0.1), "0.1");
    EXPECT_EQ(FormatParamValue(QString()), "''");
    EXPECT_THROW(FormatParamValue(QVariant()), DbError);
    EXPECT_EQ(EscapeQuote("a'b''c"), "a''b''''c");
}

TEST_F(SqlHelperTest, UserTextIsStoredAndFoundAsTyped) {
    for (const QString& name :
         {QString("O'Neil"), QString("N:1 or 1=1"), QString("K:x"), QString("'); drop table tb_user; --")}) {
        SqlParams p;
        p.AddItem("@id", static_cast<int>(DMax("id", "tb_user", "").toInt() + 1));
        p.AddItem("@user", name);
        ExecuteNonQuery(
            "insert into tb_user (id,[user],pw,usex,isStart,dictionaryId) values (@id,@user,'x','男',True,1)",
            p);
        const QVariant found = DLookup("id", "tb_user", " and [user]='" + EscapeQuote(name) + "'");
        EXPECT_EQ(found.toInt(), p.find("@id")->toInt()) << qPrintable(name);
    }
    EXPECT_EQ(scalar("select count(*) from tb_user").toInt(), 5);
}

TEST_F(SqlHelperTest, BatchIsAllOrNothingAndReportsTheEngineText) {
    KeyValue batch;
    SqlParams p1;
    p1.AddItem("@id", 50);
    batch.AddItem("1|insert into tb_events (id,eventContent) values (@id,'a')", p1);
    batch.AddItem("2|insert into tb_events (id,eventContent) values (@id,'b')", p1); // duplicate key
    const m_DBresult r = ExecuteTrans(batch);
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.int_Count, 0);
    EXPECT_TRUE(r.str_MsgBox.contains("UNIQUE", Qt::CaseInsensitive)) << qPrintable(r.str_MsgBox);
    EXPECT_EQ(scalar("select count(*) from tb_events").toInt(), 0);

    KeyValue bad; // a statement the translator refuses fails the batch the same way
    bad.AddItem("insert into tb_events (id) values (1)", {});
    bad.AddItem("insert into tb_events (id) values (", {});
    EXPECT_FALSE(ExecuteTrans(bad).isResult);
    EXPECT_EQ(scalar("select count(*) from tb_events").toInt(), 0);

    KeyValue good;
    SqlParams p2;
    p2.AddItem("@id", 51);
    good.AddItem("1|insert into tb_events (id,eventContent) values (@id,'a|b')", p2);
    good.AddItem("update tb_events set flgType='一般' where id=51", {});
    const m_DBresult ok = ExecuteTrans(good);
    EXPECT_FALSE(IsConnOpen());
    EXPECT_TRUE(ok.isResult);
    EXPECT_EQ(ok.str_MsgBox, "");
    EXPECT_EQ(scalar("select eventContent & flgType from tb_events").toString(), "a|b一般");
}

TEST_F(SqlHelperTest, ReferenceCheckReportsTheFirstReference) {
    KeyValue none;
    SqlParams p;
    p.AddItem("@userId", 99);
    none.AddItem("select '用户有入库单' as strMsg,Count(*) as fkCount from tb_rk_head where userId=@userId",
                 p);
    const FkCheckResult free = CheckFkUsage(none);
    EXPECT_TRUE(free.isResult);
    EXPECT_EQ(free.str_MsgBox, "");
    EXPECT_EQ(free.int_Count, 0);

    KeyValue used;
    SqlParams q;
    q.AddItem("@id", 1);
    used.AddItem("select '部门有用户' as strMsg,Count(*) as fkCount from tb_user where dictionaryId=@id", q);
    used.AddItem(
        "select '部门有权限' as strMsg,Count(*) as fkCount from tb_user_group_fun where departmentId=@id", q);
    const FkCheckResult r = CheckFkUsage(used);
    EXPECT_FALSE(r.isResult);
    EXPECT_TRUE(r.str_MsgBox == "部门有用户" || r.str_MsgBox == "部门有权限");
    EXPECT_EQ(r.int_Count, r.str_MsgBox == "部门有用户" ? 1 : 128);
}

TEST_F(SqlHelperTest, SingleValueLookups) {
    EXPECT_EQ(DCount("id", "tb_events", ""), 0);
    EXPECT_EQ(DMax("id", "tb_events", "").toString(), "");
    EXPECT_FALSE(DLookup("id", "tb_events", "").isValid());
    EXPECT_EQ(DCount("id", "tb_sys_fun", " and type=2"), 95);
    EXPECT_EQ(DMax("id", "tb_sys_fun", "").toInt(), 128);
    EXPECT_EQ(DLookup("uname", "tb_dictionary", " and id=1").toString(), "系统管理员");
    exec("update tb_dictionary set remark='  ' where id=2");
    EXPECT_EQ(DLookup("remark", "tb_dictionary", " and id=2").toString(), "");
    EXPECT_TRUE(DLookup("remark", "tb_dictionary", " and id=2").isValid());
}

namespace {
QString readFile(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

TEST_F(SqlHelperTest, EngineErrorsReachTheCallerAndTheLogWithoutPasswords) {
    AppLog::Start("t");
    EXPECT_EQ(AppLog::File(), folder() + "t.log"); // beside the program
    EXPECT_THROW(ExecuteSql("select nosuchcolumn from tb_user"), DbError);
    EXPECT_THROW(ExecuteNonQuery("update nosuchtable set a=1"), DbError);
    SqlParams nullValue;
    nullValue.AddItem("@x", QVariant());
    EXPECT_THROW(ExecuteNonQuery("update tb_user set usex=@x", nullValue), DbError);
    SqlParams login;
    login.AddItem("@id", 7);
    login.AddItem("@pw", QStringLiteral("secret-hash"));
    EXPECT_THROW(ExecuteNonQuery("update nosuchtable set pw=@pw where id=@id", login), DbError);
    AppLog::Stop();
    const QString log = readFile(folder() + "t.log");
    EXPECT_TRUE(log.contains("wms.data: engine error:")) << qPrintable(log);
    EXPECT_TRUE(log.contains("select nosuchcolumn from tb_user", Qt::CaseInsensitive)) << qPrintable(log);
    EXPECT_TRUE(
        log.contains("statement: update nosuchtable set pw=@pw where id=@id | parameters: @id=7, @pw=***"))
        << qPrintable(log);
    EXPECT_FALSE(log.contains("secret")) << qPrintable(log);
    // connection texts as the log writes them
    EXPECT_EQ(AppLog::WithoutPassword("host=h password=s3 dbname=x"), "host=h password=*** dbname=x");
    EXPECT_EQ(AppLog::WithoutPassword("PASSWORD = 'a b\\' c' user=u"), "PASSWORD = *** user=u");
    EXPECT_EQ(AppLog::WithoutPassword("postgresql://u:s3@h/db"), "postgresql://u:***@h/db");
    if (onServer()) return;
    // a full disk names the folders to make room in
    qputenv("SQLITE_TMPDIR", QFile::encodeName(folder()));
    Database::instance().execute("PRAGMA max_page_count = " +
                                 Database::instance().query("PRAGMA page_count").at(0, 0).toString());
    try {
        ExecuteNonQuery("insert into tb_events (id,eventContent) values (1,'" + QString(20000, 'x') + "')");
        ADD_FAILURE() << "written past the limit";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("磁盘空间已满") && e.message().contains("临时文件在 " + folder()))
            << qPrintable(e.message());
    }
    qunsetenv("SQLITE_TMPDIR");
}

TEST_F(SqlHelperTest, TheLogIsCutBySizeKeepingTheLastThree) {
    SKIP_ON_SERVER("the same file work as on the file engine");
    AppLog::Start("t", 300);
    for (int i = 0; i < 40; ++i)
        qCInfo(lcData, "line %d of the log", i);
    AppLog::Stop();
    const QString base = folder() + "t.log";
    for (const QString& file : {base, base + ".1", base + ".2", base + ".3"}) {
        ASSERT_TRUE(QFile::exists(file)) << qPrintable(file);
        EXPECT_LE(QFileInfo(file).size(), 300) << qPrintable(file);
    }
    EXPECT_FALSE(QFile::exists(base + ".4"));
    EXPECT_TRUE(readFile(base).contains("line 39 of the log"));
    EXPECT_TRUE(readFile(base + ".1").contains(" info wms.data: line"));
    // a file already past the size at start goes to .1 first
    AppLog::Start("t", 10);
    AppLog::Stop();
    EXPECT_EQ(QFileInfo(base).size(), 0);
}

TEST_F(SqlHelperTest, ACrashWritesABacktraceToTheLog) {
    SKIP_ON_SERVER("the same crash as on the file engine");
    // forked: the child writes into this test's folder
    EXPECT_EXIT(
        {
            AppLog::Start("crash");
            std::abort();
        },
        ::testing::KilledBySignal(SIGABRT), "");
    const QString log = readFile(folder() + "crash.log");
    EXPECT_TRUE(log.contains("*** crash: SIGABRT, backtrace:")) << qPrintable(log);
    EXPECT_TRUE(log.contains("test_data")) << qPrintable(log); // frames of the program
}

TEST_F(SqlHelperTest, ReportTablesArePrivateToTheProgram) {
    SKIP_ON_SERVER("its main schema");
    // Rows written to a report table go to this program's TEMP table, not the shared file.
    exec("insert into temp_rpt_stock (id, goodsCode) values (1, 'x')");
    EXPECT_EQ(scalar("select count(*) from temp_rpt_stock").toInt(), 1);
    EXPECT_EQ(scalar("select count(*) from main.temp_rpt_stock").toInt(), 0);
}

TEST_F(SqlHelperTest, AServerNotReachedAtStartShowsTheHostAndEndsTheProgram) {
    writeLinkIni("[DB_Link]\nLinkType=2\nServer=host=/nonexistent/wms-socket dbname=shop connect_timeout=2 "
                 "password=s3cret\n");
    AppLog::Start("t");
    EXPECT_THROW(sqlHelper::OpenConn(), ProgramEnded);
    AppLog::Stop();
    const QString log = readFile(folder() + "t.log");
    EXPECT_TRUE(log.contains("cannot reach the server host=/nonexistent/wms-socket")) << qPrintable(log);
    EXPECT_FALSE(log.contains("s3cret")) << qPrintable(log);
    ASSERT_FALSE(m_msg.shown.empty());
    EXPECT_TRUE(m_msg.shown.back().text.contains("/nonexistent/wms-socket"))
        << m_msg.shown.back().text.toStdString();
    EXPECT_EQ(m_msg.shown.back().caption, "System");
    // a server without its connection string is refused the same way
    writeLinkIni("[DB_Link]\nLinkType=2\n");
    EXPECT_THROW(sqlHelper::OpenConn(), ProgramEnded);
    EXPECT_TRUE(m_msg.shown.back().text.contains("Server")) << m_msg.shown.back().text.toStdString();
}

TEST_F(SqlHelperTest, AConnectionTheServerDropsFailsOneCommandAndTheNextWorks) {
    if (!onServer()) GTEST_SKIP() << "a server's connection";
    EXPECT_EQ(scalar("select count(*) from tb_sys_fun").toInt(), 128);
    exec("insert into temp_rpt_stock (id, goodsCode) values (1, 'mine')");
    PgDatabase admin;
    admin.open(serverConnInfo());
    admin.query(
        "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() AND "
        "pid <> pg_backend_pid()");
    admin.close();
    try {
        scalar("select count(*) from tb_sys_fun");
        ADD_FAILURE() << "the dropped connection went unnoticed";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("连接已断开")) << e.message().toStdString();
    }
    // connected again, with report tables of its own that start empty
    EXPECT_EQ(scalar("select count(*) from tb_sys_fun").toInt(), 128);
    EXPECT_EQ(scalar("select count(*) from temp_rpt_stock").toInt(), 0);
    exec("insert into temp_rpt_stock (id, goodsCode) values (2, 'again')");
    EXPECT_EQ(scalar("select goodsCode from temp_rpt_stock").toString(), "again");
}

TEST_F(SqlHelperTest, AMaximumReadBeforeASaveHoldsItsKeyUntilTheSaveHasWritten) {
    if (!onServer()) GTEST_SKIP() << "the file's write transaction holds the whole file";
    PgDatabase other;
    other.open(serverConnInfo());
    auto otherMayNumber = [&] {
        other.execute("BEGIN");
        const bool free =
            other.query("SELECT pg_try_advisory_xact_lock(hashtext('wms:tb_customer'))").at(0, 0).toInt() !=
            0;
        other.execute("ROLLBACK");
        return free;
    };
    EXPECT_TRUE(otherMayNumber());
    const int next = sqlHelper::DMax("id", "tb_customer", "").toInt() + 1;
    EXPECT_FALSE(otherMayNumber()); // another program waits for this save
    sqlHelper::ExecuteNonQuery(QStringLiteral("insert into tb_customer (id, customerCode, uname) values (%1, "
                                              "'C9', '甲')")
                                   .arg(next));
    EXPECT_TRUE(otherMayNumber());
    // a save that fails lets go too
    sqlHelper::DMax("id", "tb_customer", "");
    EXPECT_FALSE(sqlHelper::ExecuteTransWith([] { throw DbError("no"); }).isResult);
    EXPECT_TRUE(otherMayNumber());
}

TEST_F(SqlHelperTest, CursorsReadTheRowsAQueryGivesSideBySide) {
    KeyValue fill; // 70 x 70 rows: more than one batch of the server's cursor
    for (int i = 1; i <= 70; ++i)
        fill.AddItem(QString::number(i) + "|insert into tb_events (id,eventContent) values (" +
                         QString::number(i) + ",'e" + QString::number(i) + "')",
                     {});
    ASSERT_TRUE(ExecuteTrans(fill).isResult);
    const QString sql =
        "select a.id, b.id as other, a.eventContent from tb_events a, tb_events b order by a.id, b.id";
    const RecordSet whole = ExecuteSql(sql);
    ASSERT_EQ(whole.RecordCount(), 4900);
    {
        auto first = OpenCursor(sql);
        auto second = OpenCursor("select id from tb_dictionary where id > 5 order by id desc");
        EXPECT_EQ(first->names(), QStringList({"id", "other", "eventContent"}));
        int row = 0;
        while (first->next()) {
            ASSERT_LT(row, whole.RecordCount());
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(first->value(c), whole.at(row, c)) << row << ' ' << c;
            if (second->next()) EXPECT_GT(second->value(0).toInt(), 5);
            ++row;
        }
        EXPECT_EQ(row, whole.RecordCount());
        EXPECT_FALSE(first->next()); // stays at its end
    }
    // a query that fails is refused at the opening; nothing stays open behind it
    EXPECT_THROW(OpenCursor("select nosuch from tb_events"), DbError);
    ExecuteNonQuery("delete from tb_events where id > 1");
    EXPECT_EQ(scalar("select count(*) from tb_events").toInt(), 1);
    auto empty = OpenCursor("select id from tb_events where id < 0");
    EXPECT_EQ(empty->fieldCount(), 1);
    EXPECT_FALSE(empty->next());
}
