// The dialect's less common corners, as the engine it reproduces behaves.
#include "data/accesstext.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "data/translator.h"
#include "fixture.h"

#include <functional>
#include <pthread.h>

namespace {

class DialectOnDb : public DbTest {
protected:
    // a table of 30 rows with a quantity of 100 each
    void makeStock() {
        exec("CREATE TABLE zz_stock (id INTEGER, q REAL)");
        for (int i = 1; i <= 30; ++i)
            exec(QStringLiteral("insert into zz_stock (id, q) values (%1, 100)").arg(i));
    }
};

// Runs f on a thread whose stack is only 1 MB, as a hostile statement would
// meet it in a program thread.
void onSmallStack(const std::function<void()>& f) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 1 << 20);
    pthread_t thread;
    auto body = [](void* arg) -> void* {
        (*static_cast<const std::function<void()>*>(arg))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, body, const_cast<std::function<void()>*>(&f)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

QString repeated(const QString& s, int n) {
    return s.repeated(n);
}

} // namespace

TEST_F(DialectOnDb, TwoMinusSignsAreNoComment) {
    EXPECT_EQ(scalar("select 5--3 as x").toInt(), 8);
    EXPECT_EQ(scalar("select 'a--b'").toString(), "a--b");
    EXPECT_EQ(scalar("select 2 - -3 * 2").toInt(), 8);
    makeStock();
    // a negative value substituted after a minus: x--5 is x+5, and the where stays
    for (const QVariant& d : {QVariant(-5), QVariant(-5.5)}) {
        SqlParams p;
        p.AddItem("@d", d);
        p.AddItem("@id", 7);
        EXPECT_EQ(sqlHelper::ExecuteNonQuery("update zz_stock set q=q-@d where id=@id", p), 1);
    }
    EXPECT_EQ(scalar("select q from zz_stock where id=7").toDouble(), 110.5);
    EXPECT_EQ(scalar("select count(*) from zz_stock where q=100").toInt(), 29);
}

TEST_F(DialectOnDb, OverflowIsAnErrorNotACrashNorInfinity) {
    EXPECT_EQ(scalar("select 7 \\ 2").toInt(), 3);
    EXPECT_EQ(scalar("select -7 mod 3").toInt(), -1);
    EXPECT_EQ(scalar("select 9223372036854775807 \\ -1").toLongLong(), -9223372036854775807LL);
    for (const char* sql :
         {"select 1e19 \\ -1", "select 1e19 mod 7", "select 1e19 mod -1", "select -9223372036854775808 \\ -1",
          "select (-9223372036854775807 - 1) mod -1", "select 5 \\ 1e300", "select val('1e999')",
          "select val(' -2E+400x')", "select 10^400", "select (-10)^309"}) {
        try {
            scalar(sql);
            ADD_FAILURE() << "no error: " << sql;
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains("溢出")) << sql << ": " << qPrintable(e.message());
        }
    }
    // below the smallest number: 0
    EXPECT_EQ(scalar("select val('1e-999') & '|' & 10^-400 & '|' & (-2)^3").toString(), "0|0|-8");
}

TEST(Dialect, EveryRecursivePathIsBoundedOnASmallStack) {
    const int n = 100000;
    const QStringList hostile = {
        "select " + repeated("(", n) + "1" + repeated(")", n),
        "select * from " + repeated("(", n) + "t" + repeated(")", n),
        "select * from " + repeated("(select * from ", n) + "t" + repeated(") as x", n),
        repeated("(", n) + "select 1" + repeated(")", n),
        "select 1 union " + repeated("(", n) + "select 1" + repeated(")", n),
        "select 1 from t where 1 in " + repeated("(select 1 from t where 1 in ", n) + "(1)" +
            repeated(")", n),
        "select * from " + repeated("(t inner join ", n) + "t" + repeated(" on 1=1)", n),
        "select " + repeated("(select ", n) + "1" + repeated(")", n),
        "select 1 where " + repeated("exists (select 1 where ", n) + "1=1" + repeated(")", n),
        "insert into t " + repeated("(", n) + "select 1" + repeated(")", n),
        repeated("explain ", n) + "select 1",
        "select " + repeated("-", n) + "1",
        "select 1 where " + repeated("not ", n) + "1=1",
        "select " + repeated("f(", n) + "1" + repeated(")", n),
    };
    onSmallStack([&] {
        for (const QString& sql : hostile) {
            try {
                AccessSql::translateUncached(sql);
                ADD_FAILURE() << "accepted: " << qPrintable(sql.left(40));
            } catch (const TranslateError&) {
            }
        }
    });
    // moderate nesting still translates
    EXPECT_NO_THROW(AccessSql::translateUncached("select * from " + repeated("(select * from ", 30) + "t" +
                                                 repeated(") as x", 30)));
}

TEST(Dialect, LongChainsTranslateWhole) {
    QStringList terms;
    for (int i = 0; i < 5000; ++i)
        terms << QStringLiteral("id = %1").arg(i);
    const QString out = AccessSql::translateUncached("select * from t where " + terms.join(" or "));
    EXPECT_TRUE(out.endsWith("id = 4999"));
    EXPECT_EQ(out.count(" OR "), 4999);
    EXPECT_EQ(AccessSql::translateUncached("select 1 mod 2 mod 3 \\ 4 ^ 5 ^ 6"),
              "SELECT acc_mod(acc_mod(1, 2), acc_idiv(3, acc_pow(acc_pow(4, 5), 6)))");
}

TEST_F(DialectOnDb, OneStatementPerCallOnEveryPath) {
    SKIP_ON_SERVER("its catalogue and pragmas");
    const auto tableCount = [&](const char* name) {
        return scalar(QStringLiteral("select count(*) from sqlite_master where name='%1'").arg(name)).toInt();
    };
    EXPECT_THROW(sqlHelper::ExecuteNonQuery("create table zz(a); delete from tb_sys_fun"), DbError);
    EXPECT_THROW(sqlHelper::ExecuteNonQuery("delete from tb_sys_fun; create table zz(a)"), DbError);
    EXPECT_THROW(sqlHelper::ExecuteSql("select 1; delete from tb_sys_fun"), DbError);
    EXPECT_THROW(sqlHelper::ExecuteNonQuery("pragma user_version=7; delete from tb_sys_fun"), DbError);
    EXPECT_EQ(tableCount("zz"), 0);
    EXPECT_EQ(scalar("select count(*) from tb_sys_fun").toInt(), 128);
    // a closing semicolon or a trailing engine comment is no second statement
    sqlHelper::ExecuteNonQuery("create table zz(a);");
    sqlHelper::ExecuteNonQuery("create table zz2(a); -- note");
    EXPECT_EQ(tableCount("zz") + tableCount("zz2"), 2);
}

TEST_F(DialectOnDb, LeftRightAndScalarSubqueriesInsideExpressions) {
    EXPECT_EQ(scalar("select left('abcdef', 2) & Right('abcdef', 3)").toString(), "abdef");
    EXPECT_TRUE(scalar("select left(Null, 2)").isNull());
    EXPECT_EQ(scalar("select ((select max(id) from tb_sys_fun) + 1)").toInt(), 129);
    EXPECT_EQ(scalar("select (((select max(id) from tb_sys_fun)) * 2)").toInt(), 256);
    EXPECT_EQ(scalar("select count(*) from tb_sys_fun where id in ((select min(id) from tb_sys_fun) + 1, 5)")
                  .toInt(),
              2);
    EXPECT_EQ(query("select * from ((select id from tb_sys_fun where id=1) union (select id from tb_sys_fun "
                    "where id=2)) as u")
                  .RecordCount(),
              2);
    EXPECT_EQ(scalar("select count(*) from ((select id from tb_sys_fun) as a inner join tb_sys_fun b on "
                     "a.id=b.id)")
                  .toInt(),
              128);
}

TEST_F(DialectOnDb, TwelveHourTimesInLiteralsAndTexts) {
    EXPECT_EQ(scalar("select #1/2/2020 1:00 PM#").toString(), "2020-01-02 13:00:00");
    EXPECT_EQ(scalar("select #2020-01-02 12:30:15 am#").toString(), "2020-01-02 00:30:15");
    EXPECT_EQ(scalar("select #1/2/2020 12:05 PM#").toString(), "2020-01-02 12:05:00");
    EXPECT_EQ(scalar("select #1/2/2020 13:05#").toString(), "2020-01-02 13:05:00");
    EXPECT_THROW(AccessSql::translateUncached("select #1/2/2020 13:00 PM#"), TranslateError);
    EXPECT_EQ(scalar("select format('2020-01-02 1:05 PM', 'yyyy-mm-dd hh:nn')").toString(),
              "2020-01-02 13:05");
    EXPECT_EQ(acc::parseDateText("2020-01-02 12:00 AM")->time(), QTime(0, 0));
    EXPECT_FALSE(acc::parseDateText("2020-01-02 0:30 PM"));
}

TEST_F(DialectOnDb, EngineKeywordsAreNamesInTheDialect) {
    SKIP_ON_SERVER("bracketed names in its own CREATE TABLE");
    exec("CREATE TABLE kw ([limit] INTEGER, [notnull] INTEGER, [escape] INTEGER, [except] INTEGER, "
         "[intersect] INTEGER, [using] INTEGER, [returning] INTEGER, [nothing] INTEGER)");
    sqlHelper::ExecuteNonQuery("insert into kw (limit, notnull, escape, except, intersect, using, returning, "
                               "nothing) values (1, 2, 3, 4, 5, 6, 7, 8)");
    sqlHelper::ExecuteNonQuery("update kw set limit = limit + 10 where nothing = 8");
    const RecordSet rs = query("select kw.limit, notnull as using, escape + except as returning, intersect "
                               "nothing from kw where using = 6 order by limit");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.at(0, 0).toInt(), 11);
    EXPECT_EQ(rs.at(0, "using").toInt(), 2);
    EXPECT_EQ(rs.at(0, "returning").toInt(), 7);
    EXPECT_EQ(rs.at(0, "nothing").toInt(), 5);
}

TEST_F(DialectOnDb, QualifiedColumnInSet) {
    EXPECT_EQ(sqlHelper::ExecuteNonQuery("update tb_dictionary set tb_dictionary.remark='x', [remark]='y' "
                                         "where tb_dictionary.id=1"),
              1);
    EXPECT_EQ(scalar("select remark from tb_dictionary where id=1").toString(), "y");
}

TEST_F(DialectOnDb, PlusJoinsTwoTextsAndAddsNumbers) {
    SKIP_ON_SERVER("untyped values that + joins or adds by what they hold at run time");
    EXPECT_EQ(scalar("select 'a' + 'b'").toString(), "ab");
    EXPECT_TRUE(scalar("select 'a' + Null").isNull());
    EXPECT_EQ(scalar("select '1' + 2").toInt(), 3);
    EXPECT_EQ(scalar("select iif('a' + 'B' = 'AB', 1, 0)").toInt(), 1);
    const RecordSet rs = query("select x + y as t, n + m as s, x + y + n as u, n + 1 + x as v from "
                               "(select 'a' as x, '1' as y, 2 as n, 3.5 as m) as z");
    EXPECT_EQ(rs.at(0, "t").toString(), "a1");
    EXPECT_EQ(rs.at(0, "s").toDouble(), 5.5);
    EXPECT_EQ(rs.at(0, "u").toDouble(), 2); // 'a1' + 2: text holding no number counts as 0
    EXPECT_EQ(rs.at(0, "v").toDouble(), 3);
    EXPECT_TRUE(scalar("select x + n from (select Null as x, 2 as n) as z").isNull());
}

TEST_F(DialectOnDb, NamedFormatsAsChineseRegionalSettingsGiveThem) {
    const struct {
        const char* value;
        const char* name;
        QString expected;
    } cases[] = {
        {"1234.5", "General Number", "1234.5"},
        {"1234.5", "Currency", QStringLiteral("\u00a51,234.50")},
        {"-1234.5", "currency", QStringLiteral("\u00a5-1,234.50")},
        {"1234.5", "Fixed", "1234.50"},
        {"1234.5", "Standard", "1,234.50"},
        {"0.5", "Percent", "50.00%"},
        {"1234.5", "Scientific", "1.23E+03"},
        {"3", "Yes/No", "Yes"},
        {"0", "Yes/No", "No"},
        {"-1", "True/False", "True"},
        {"0", "On/Off", "Off"},
        {"'2012-08-01 13:05:09'", "General Date", "2012/8/1 13:05:09"},
        {"'2012-08-01'", "General Date", "2012/8/1"},
        {"'2012-08-01 13:05:09'", "Long Date", QStringLiteral("2012年8月1日")},
        {"'2012-08-01 13:05:09'", "Short Date", "2012/8/1"},
        {"'2012-08-01 13:05:09'", "Long Time", "13:05:09"},
        {"'2012-08-01 13:05:09'", "Short Time", "13:05"},
        {"'abc'", "Fixed", "abc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scalar(QStringLiteral("select format(%1, '%2')").arg(c.value, c.name)).toString(),
                  c.expected)
            << c.value << " " << c.name;
}
