// The same Access statements on both engines: the file (SQLite) and the
// server (the cluster scripts/test starts, WMS_TEST_PG) must give the same
// columns and the same values as the program shows them.
#include "data/accesstext.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/pgdatabase.h"
#include "data/sqlhelper.h"
#include "data/translator.h"
#include "fixture.h"
#include "schema/serverschema.h"

#include <QCoreApplication>
#include <memory>

using AccessSql::Dialect;

namespace {

// A small table of both kinds of columns, the same on both engines.
const char* const kRows[] = {
    "insert into zz (id, name, q, n) values (1, 'Apple', 1.5, 10)",
    "insert into zz (id, name, q, n) values (2, 'apple', 0.1, 0)",
    "insert into zz (id, name, q, n) values (3, 'Pear_1', 2, 3)",
    "insert into zz (id, name, q, n) values (4, Null, Null, Null)",
    "insert into zz (id, name, q, n) values (5, '梨 100%', 1234567.891, -7)",
};

class BothEngines : public DbTest {
protected:
    static void SetUpTestSuite() {
        s_base = qEnvironmentVariable("WMS_TEST_PG");
        if (s_base.isEmpty()) return;
        s_name = QStringLiteral("wms_dialect_%1").arg(QCoreApplication::applicationPid());
        PgDatabase admin;
        admin.open(s_base);
        admin.execute("DROP DATABASE IF EXISTS " + s_name);
        admin.execute("CREATE DATABASE " + s_name);
        s_server = std::make_unique<PgDatabase>();
        s_server->open(s_base + " dbname=" + s_name);
        s_server->runScript(ServerFunctionsScript());
        s_server->execute(
            "CREATE TABLE zz (id bigint PRIMARY KEY, name citext, q double precision, n bigint)");
        for (const char* row : kRows)
            s_server->execute(AccessSql::translate(row, Dialect::Postgres));
    }
    static void TearDownTestSuite() {
        if (!s_server) return;
        s_server.reset();
        PgDatabase admin;
        admin.open(s_base);
        admin.execute("DROP DATABASE IF EXISTS " + s_name + " WITH (FORCE)");
    }
    void SetUp() override {
        DbTest::SetUp();
        if (onServer()) GTEST_SKIP() << "compares the file with a server of its own";
        if (!s_server) GTEST_SKIP() << "WMS_TEST_PG is not set: scripts/test starts a cluster for these";
        exec("CREATE TABLE zz (id INTEGER PRIMARY KEY, name TEXT COLLATE NOCASE, q REAL, n INTEGER)");
        for (const char* row : kRows)
            exec(row);
    }

    // The statement's header and rows as the program shows them, one text per row.
    static QStringList shown(Database& db, const QString& accessSql) {
        const RecordSet rs = db.query(AccessSql::translate(accessSql, db.dialect()));
        QStringList out;
        QStringList names;
        for (int c = 0; c < rs.fieldCount(); ++c)
            names << rs.fieldName(c);
        out << names.join('|');
        for (int r = 0; r < rs.RecordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rs.fieldCount(); ++c) {
                const QVariant v = rs.at(r, c);
                cells << (v.isNull() ? QStringLiteral("<Null>") : acc::valueText(v));
            }
            out << cells.join('|');
        }
        return out;
    }
    // The statement gives the same on both engines; that result is returned.
    QStringList same(const QString& accessSql) {
        sqlHelper::OpenConn();
        const QStringList file = shown(Database::instance(), accessSql);
        QStringList server;
        try {
            server = shown(*s_server, accessSql);
        } catch (const DbError& e) {
            ADD_FAILURE() << accessSql.toStdString() << "\n  on the server: " << e.message().toStdString()
                          << "\n  as " << AccessSql::translate(accessSql, Dialect::Postgres).toStdString();
            return file;
        }
        EXPECT_EQ(file, server) << accessSql.toStdString() << "\n  as "
                                << AccessSql::translate(accessSql, Dialect::Postgres).toStdString();
        return file;
    }
    // The value of a one-cell statement, the same on both engines.
    QString one(const QString& accessSql) { return same(accessSql).value(1); }
    // The statement fails on both engines with the same message.
    void failsAlike(const QString& accessSql, const QString& message) {
        sqlHelper::OpenConn();
        for (Database* db : {&Database::instance(), static_cast<Database*>(s_server.get())}) {
            try {
                shown(*db, accessSql);
                ADD_FAILURE() << accessSql.toStdString() << " did not fail";
            } catch (const DbError& e) {
                EXPECT_EQ(e.message(), message) << accessSql.toStdString();
            }
        }
    }

    static inline QString s_base, s_name;
    static inline std::unique_ptr<PgDatabase> s_server;
};

} // namespace

TEST_F(BothEngines, NumbersBecomeTextAsAccessWritesThem) {
    EXPECT_EQ(one("select 'A' & 1+2 as x"), "A3");
    EXPECT_EQ(one("select 0.1+0.2 & '' as x"), "0.3");
    EXPECT_EQ(one("select 1.0/3 & '' as x"), "0.333333333333333");
    EXPECT_EQ(one("select 1E+15 & '|' & 5.6789E-12 & '|' & 0.0000001 & '|' & 3.0 as x"),
              "1E+15|5.6789E-12|0.0000001|3");
    EXPECT_EQ(one("select CStr(q) & ';' & CStr(n) & ';' & n/4 as x from zz where id=5"),
              "1234567.891;-7;-1.75");
    // Null counts as empty text; only Nulls on both sides give Null
    same("select id, name & q & n as x, Null & Null as y from zz order by id");
    EXPECT_EQ(one("select 7/2 as x"), "3.5");
    EXPECT_EQ(one("select 1/0 as x"), "<Null>");
    EXPECT_EQ(one("select 2^10 & ',' & 7 \\ 2 & ',' & -7 mod 3 & ',' & 2.5 \\ 1 & ',' & 3.5 \\ 1 as x"),
              "1024,3,-1,2,4");
    same("select round(q, 1) as a, round(2.5) as b, CLng(q) as c, round(-1.25, 1) as d from zz order by id");
}

TEST_F(BothEngines, TextComparesWithoutCaseAndLikeHasNoEscape) {
    EXPECT_EQ(same("select id from zz where name = 'APPLE' order by id"), QStringList({"id", "1", "2"}));
    EXPECT_EQ(same("select id from zz where name & '' = 'apple' order by id"), QStringList({"id", "1", "2"}));
    EXPECT_EQ(one("select iif('abc' = 'ABC', 'same', 'other') as x"), "same");
    EXPECT_EQ(same("select id from zz where name like 'P%' order by id"), QStringList({"id", "3"}));
    EXPECT_EQ(same("select id from zz where name like '%\\_%' order by id"), QStringList({"id"}));
    EXPECT_EQ(same("select id from zz where name like '%R_1' order by id"), QStringList({"id", "3"}));
    EXPECT_EQ(
        same("select id from zz where name in ('PEAR_1', 'x') or name between 'a' and 'APPLF' order by id"),
        QStringList({"id", "1", "2", "3"}));
    EXPECT_EQ(same("select id from zz where n like '1%' order by id"), QStringList({"id", "1"}));
    same("select count(*) as c, max(name) as m from (select distinct name from zz where name is not null)");
    same("select name, count(*) as c from zz group by name order by name");
    same("select id from zz order by name & '', id");
}

TEST_F(BothEngines, NumbersAsConditionsAndConditionsAsValues) {
    EXPECT_EQ(same("select id from zz where n and id < 5 order by id"), QStringList({"id", "1", "3"}));
    EXPECT_EQ(same("select id from zz where not n order by id"), QStringList({"id", "2"}));
    EXPECT_EQ(same("select id from zz where True and (n Xor False) order by id"),
              QStringList({"id", "1", "3", "5"}));
    same("select id, iif(n, 'yes', 'no') as a, iif(isnull(q), 0, q) as b, (n > 2) as c from zz order by id");
    EXPECT_EQ(one("select count(*) from zz where isnull(name) or id = 1"), "2");
}

TEST_F(BothEngines, MixedTypesMeetAsText) {
    same("select id, iif(n > 2, 'many', n) as b, nz(q, '-') as c, iif(n > 2, name & '', n) as d from zz "
         "order by id");
    same("select id, 'x' as k from zz where id < 3 union select n, name from zz where id = 3 order by 1");
    same("select top 1 id from zz where id > 3 union select top 1 n from zz where id = 1 order by 1");
    same("select id from (select id, name from zz where q > 1) order by id");
    same("select n + 1 as a, q + n as b, name + 'x' as c, '1' + 2 as d from zz order by id");
    same("select mid(name, 2, 3) as a, mid(name, 3) as b, left(name, 2) as c, right(n, 1) as d, "
         "len(name) as e, instr(name, 'p') as f, ucase(name) as g from zz order by id");
    same("select val(' 2 45 7') as a, val('12abc') as b, val('1,234') as c, val('') as d, val('&H10') as e, "
         "val('-.5e1x') as f, val(q) as g from zz where id = 1");
}

TEST_F(BothEngines, FormatAndDates) {
    same("select format(q, '#0.0#') as a, format(q, '#0.0##') as b, format(n, '00000') as c, "
         "format(q, '#,##0.00') as d, format(q, '#.##') as e, format(n, '#0;(#0);\"zero\"') as f "
         "from zz order by id");
    EXPECT_EQ(
        one("select format(0.075, '#.##') & ' ' & format(125.245, '#0.0#') & ' ' & format(2.555, '#0.0#') "
            "& ' ' & format(-0.001, '#0.0#') & ' ' & format('1234', '#,##0') & ' ' & "
            "format(1234.5, '￥#,##0.0#') & ' ' & format(0.256, '0.0%') as x"),
        ".08 125.25 2.56 0.0 1,234 ￥1,234.5 25.6%");
    EXPECT_EQ(
        one("select format('2012-08-01 13:05:00', 'yyyy-MM-dd hh:mm:ss') & '|' & "
            "format('2012-08-01 13:05', 'yyyymmddhhmmss') & '|' & format('2012-08-01', 'YYMM') & '|' & "
            "format('2012-08-01 13:05:00', 'yyyy-MM-dd') & '|' & format('2012-08-01 1:05 PM', 'h:nn AM/PM') "
            "& '|' & format('abc', 'yyyy') & '|' & format(Null, '0') as x"),
        "2012-08-01 13:05:00|20120801130500|1208|2012-08-01|1:05 PM|abc|");
    EXPECT_EQ(one("select format(#2012-08-01#, 'dddd d mmm yyyy q') as x"), "Wednesday 1 Aug 2012 3");
    // now and date in this computer's time zone
    const QStringList both =
        same("select len(now()) as a, len(date()) as b, mid(now(), 1, 10) = date() as c");
    EXPECT_EQ(both.value(1), "19|10|1");
    // whole days between dates, over month and leap-year ends; a time of day does not count
    EXPECT_EQ(one("select DateDiff('d', '2024-02-28', '2024-03-01') & '|' & DateDiff(\"d\", #2026-12-31#, "
                  "'2026-12-01 23:59:59') & '|' & DateDiff('d', date(), date()) & '|' & DateDiff('d', "
                  "'2026-01-01', Null) & '|' as x"),
              "2|-30|0||");
    failsAlike(
        "select DateDiff('m', '2024-01-01', '2024-03-01')",
        "SQL 语句无法解析: 第 8 个字符处「DateDiff('m', '2024-」: 函数 DateDiff 只支持按天 ('d') 计算");
}

TEST_F(BothEngines, ErrorsAreTheSameOnBoth) {
    failsAlike("select 1 \\ 0", "除数为零");
    failsAlike("select 5 mod 0", "除数为零");
    failsAlike("select 1E+30 \\ 1", "溢出");
    // past the range of numbers an overflow, not infinity; below it 0
    failsAlike("select val('1e999')", "溢出");
    failsAlike("select val(' -2E+400x')", "溢出");
    failsAlike("select 10^400", "溢出");
    failsAlike("select 0^-1", "除数为零");
    failsAlike("select (-8)^(1/3)", "无效的过程调用或参数");
    EXPECT_EQ(one("select val('1e-999') & '|' & 10^-400 & '|' & (-2)^3 as x"), "0|0|-8");
}

// The server's text of statements, without a server.
TEST(ServerTranslation, NamesConditionsAndDerivedTables) {
    auto pg = [](const QString& s) { return AccessSql::translateUncached(s, Dialect::Postgres); };
    EXPECT_EQ(pg("select [user].[pw] from [user] where isStop"),
              "SELECT \"user\".pw FROM \"user\" WHERE isStop <> 0");
    EXPECT_EQ(pg("select * from (select id from t)"), "SELECT * FROM (SELECT id FROM t) AS acc_d1");
    EXPECT_EQ(pg("select sum(qty) as TotalQty, billNo from t group by billNo order by TotalQty desc, billNo"),
              "SELECT sum(qty) AS \"TotalQty\", billNo FROM t GROUP BY billNo ORDER BY \"TotalQty\" DESC "
              "NULLS LAST, "
              "acc_key(billNo) NULLS FIRST");
    EXPECT_EQ(pg("select a from t where name like 'x%'"),
              "SELECT a FROM t WHERE CAST(name AS text) ILIKE 'x%' ESCAPE ''");
    EXPECT_EQ(pg("select 'a' & n as x, 1.5 from t"),
              "SELECT acc_cat('a', acc_str(n)) AS x, float8 '1.5' AS \"1.5\" FROM t");
    EXPECT_EQ(pg("create view v as select a as Foo from t"), "CREATE VIEW v AS SELECT a AS Foo FROM t");
    EXPECT_EQ(pg("select a from t where not b and (c or d = 1)"),
              "SELECT a FROM t WHERE NOT (b <> 0) AND ((c <> 0) OR d = '1')");
}
