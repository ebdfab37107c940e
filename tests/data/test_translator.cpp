#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "data/translator.h"
#include "fixture.h"

#include <random>

using AccessSql::translate;

namespace {
QString tr(const QString& s) {
    return AccessSql::translateUncached(s);
}
} // namespace

TEST(Translator, WritesTheSqliteForms) {
    EXPECT_EQ(tr("select top 5 a from t order by a desc"), "SELECT a FROM t ORDER BY a DESC LIMIT 5");
    EXPECT_EQ(tr("select iif(x=1,'a','b') from t"), "SELECT CASE WHEN x = 1 THEN 'a' ELSE 'b' END FROM t");
    EXPECT_EQ(tr("select * from t where isnull(x) and flag=True"),
              "SELECT * FROM t WHERE (x IS NULL) AND flag = 1");
    EXPECT_EQ(tr("select [user] from tb_user where [user]='a'"),
              "SELECT [user] FROM tb_user WHERE [user] = 'a' COLLATE NOCASE");
    EXPECT_EQ(tr("Delete * From t where id=1"), "DELETE FROM t WHERE id = 1");
    EXPECT_EQ(tr("select a & b & c from t"), "SELECT acc_cat(a, b, c) FROM t");
    EXPECT_EQ(tr("select 7/2"), "SELECT 7 * 1.0 / 2");
    EXPECT_EQ(tr("select - -1"), "SELECT - -1");
    EXPECT_EQ(tr("select \"text\" as x"), "SELECT 'text' AS x");
    EXPECT_EQ(tr("select * from t where d = #8/1/2012#"),
              "SELECT * FROM t WHERE d = '2012-08-01' COLLATE NOCASE");
    // a two-digit year as Access reads it
    EXPECT_EQ(tr("select #12/31/99#, #1/2/05#"), "SELECT '1999-12-31', '2005-01-02'");
}

TEST(Translator, FollowsTheAccessPrecedence) {
    // & binds below + and -, comparisons below &, Not below comparisons
    EXPECT_EQ(tr("select 'A' & 1+2"), "SELECT acc_cat('A', 1 + 2)");
    EXPECT_EQ(tr("select 1 & 2 = '12'"), "SELECT acc_cat(1, 2) = '12' COLLATE NOCASE");
    EXPECT_EQ(tr("select * from t where not a = 1 and b = 2 or c = 3"),
              "SELECT * FROM t WHERE NOT a = 1 AND b = 2 OR c = 3");
    EXPECT_EQ(tr("select -2^2"), "SELECT -acc_pow(2, 2)");
    EXPECT_EQ(tr("select (1+2)*3, 1-(2-3), 2*(3/4)"), "SELECT (1 + 2) * 3, 1 - (2 - 3), 2 * (3 * 1.0 / 4)");
    EXPECT_EQ(tr("select a = b < c from t"), "SELECT (a = b) < c FROM t");
    EXPECT_EQ(tr("select 7 \\ 2, 7 mod 3"), "SELECT acc_idiv(7, 2), acc_mod(7, 3)");
}

TEST(Translator, TopInDerivedTablesAndUnionArms) {
    EXPECT_EQ(tr("select * from (select top 2 id from t order by id desc) as x"),
              "SELECT * FROM (SELECT id FROM t ORDER BY id DESC LIMIT 2) AS x");
    EXPECT_EQ(tr("select top 1 a from t union select b from u"),
              "SELECT * FROM (SELECT a FROM t LIMIT 1) UNION SELECT b FROM u");
    EXPECT_EQ(tr("select (select top 1 n from u where u.k=t.k order by n) as m from t"),
              "SELECT (SELECT n FROM u WHERE u.k = t.k ORDER BY n LIMIT 1) AS m FROM t");
}

TEST(Translator, RefusesWhatItCannotParseAndNamesThePlace) {
    for (const char* bad :
         {"select from t", "select a from t where", "select a from t t2 t3", "selec a from t", "select 'open",
          "select a from t where x in (1,2", "select top x a from t", "select a from t where id=@id",
          "update t set", "select mid(a) from t", "select #2026-02-30#", "select #12/31/99999#",
          "select #1/1/10000#", "select #0099-01-01#"}) {
        try {
            tr(bad);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const TranslateError& e) {
            EXPECT_TRUE(e.message().contains("第")) << qPrintable(e.message());
        }
    }
    try {
        tr("select a from t where id=@id");
    } catch (const TranslateError& e) {
        EXPECT_TRUE(e.message().contains("@id"));
        EXPECT_TRUE(e.message().contains("第 26 个字符"));
    }
}

TEST(Translator, DefinitionsPassThroughAndScriptsSplitOutsideLiterals) {
    EXPECT_EQ(tr("CREATE TABLE x (a TEXT);"), "CREATE TABLE x (a TEXT)");
    const QStringList parts = AccessSql::splitScript("insert into t values ('a;b'); -- c;d\n select 1;;");
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0], "insert into t values ('a;b')");
    EXPECT_EQ(parts[1], "select 1");
}

TEST(Translator, TranslationsAreCachedPerDialect) {
    AccessSql::clearCache();
    const QString sql = "select top 3 [user] & '~' from tb_user where flag=True order by id";
    const QString sqlite = tr(sql), server = AccessSql::translateUncached(sql, AccessSql::Dialect::Postgres);
    ASSERT_NE(sqlite, server);
    // a repeated statement is the stored text itself, not a new translation
    const QString first = translate(sql);
    const QString again = translate(sql);
    EXPECT_EQ(first, sqlite);
    EXPECT_EQ(again.constData(), first.constData());
    // the same text for the server has the server's translation, and keeps it
    const QString forServer = translate(sql, AccessSql::Dialect::Postgres);
    EXPECT_EQ(forServer, server);
    EXPECT_EQ(translate(sql, AccessSql::Dialect::Postgres).constData(), forServer.constData());
    EXPECT_EQ(translate(sql), sqlite);
    // cleared, it translates anew
    AccessSql::clearCache();
    const QString fresh = translate(sql);
    EXPECT_EQ(fresh, sqlite);
    EXPECT_NE(fresh.constData(), first.constData());
}

class TranslatorOnDb : public DbTest {};

TEST_F(TranslatorOnDb, ConcatenationWithNullsAndNumbers) {
    const RecordSet rs = query("select Null & Null as a, Null & 'x' as b, 'x' & Null & 3.0 as c, "
                               "1.5 & '' as d, 1E+15 & '' as e, 0.0000001 & '' as f, 'A' & 1+2 as g");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_TRUE(rs.at(0, "a").isNull());
    EXPECT_EQ(rs.at(0, "b").toString(), "x");
    EXPECT_EQ(rs.at(0, "c").toString(), "x3");
    EXPECT_EQ(rs.at(0, "d").toString(), "1.5");
    EXPECT_EQ(rs.at(0, "e").toString(), "1E+15");
    EXPECT_EQ(rs.at(0, "f").toString(), "0.0000001");
    EXPECT_EQ(rs.at(0, "g").toString(), "A3");
    EXPECT_EQ(scalar("select iif(1 & 2 = '12', 'yes', 'no')").toString(), "yes");
}

TEST_F(TranslatorOnDb, IifEvaluatesOnlyTheChosenBranch) {
    // 1\0 raises an error when evaluated
    EXPECT_EQ(scalar("select iif(1=1, 'ok', 1\\0)").toString(), "ok");
    EXPECT_THROW(scalar("select iif(1=0, 'ok', 1\\0)"), DbError);
}

TEST_F(TranslatorOnDb, TextComparisonIgnoresCase) {
    EXPECT_EQ(scalar("select count(*) from tb_dictionary where utype='GoodsType'").toInt(), 1);
    EXPECT_EQ(scalar("select count(*) from tb_user where 'ADMIN' = [user]").toInt(), 1);
    EXPECT_EQ(scalar("select count(*) from tb_user where [user] in ('Admin','x')").toInt(), 1);
    EXPECT_EQ(scalar("select iif('abc' = 'ABC', 1, 0)").toInt(), 1);
    EXPECT_EQ(scalar("select iif(mid('xABC',2,3) = 'abc', 1, 0)").toInt(), 1);
    EXPECT_EQ(scalar("select count(*) from (select 'a' as x union select 'A' as x) as z").toInt(), 1);
    EXPECT_EQ(query("select distinct iif(id=1, 'a', 'A') as p from tb_sys_fun where id<=2").RecordCount(), 1);
    EXPECT_EQ(scalar("select count(*) from tb_user where [user] like '%DMI%'").toInt(), 1);
}

TEST_F(TranslatorOnDb, TopInsideDerivedTablesAndUnionArms) {
    const RecordSet rs = query("select id from (select top 2 id from tb_sys_fun order by id desc) as x "
                               "union all select top 1 id from tb_sys_fun order by id");
    ASSERT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.at(0, 0).toInt(), 1);
    EXPECT_EQ(rs.at(1, 0).toInt(), 127);
    EXPECT_EQ(rs.at(2, 0).toInt(), 128);
}

TEST_F(TranslatorOnDb, FunctionsBehaveAsInAccess) {
    const RecordSet rs =
        query("select val(' 2 45 7') as a, val('1,234') as b, val(Null) as c, mid('abc',5,1) as d,"
              " mid('abc',2,10) as e, CStr(2.50) as f, format(Null,'#0') as g, 7/2 as h,"
              " count(*) as i from tb_user");
    EXPECT_EQ(rs.at(0, "a").toDouble(), 2457);
    EXPECT_EQ(rs.at(0, "b").toDouble(), 1);
    EXPECT_TRUE(rs.at(0, "c").isNull());
    EXPECT_EQ(rs.at(0, "d").toString(), "");
    EXPECT_EQ(rs.at(0, "e").toString(), "bc");
    EXPECT_EQ(rs.at(0, "f").toString(), "2.5");
    EXPECT_EQ(rs.at(0, "g").toString(), "");
    EXPECT_EQ(rs.at(0, "h").toDouble(), 3.5);
    EXPECT_EQ(rs.at(0, "i").toInt(), 1);
}

TEST_F(TranslatorOnDb, SumOverTextHoldingNumbers) {
    EXPECT_EQ(scalar("select sum(x) from (select '1.5' as x union all select '2' as x union all select Null "
                     "as x) as z")
                  .toDouble(),
              3.5);
}

TEST(Translator, AnyInputGivesATranslationOrAClearError) {
    const QStringList vocabulary = {"select", "top",
                                    "3",      "*",
                                    "from",   "t",
                                    "a",      ".",
                                    "where",  "(",
                                    ")",      ",",
                                    "&",      "+",
                                    "-",      "/",
                                    "\\",     "^",
                                    "mod",    "=",
                                    "<>",     "<",
                                    "like",   "in",
                                    "not",    "and",
                                    "or",     "is",
                                    "null",   "between",
                                    "iif",    "(",
                                    "'x'",    "#2012-08-01#",
                                    "union",  "all",
                                    "order",  "by",
                                    "desc",   "group",
                                    "having", "as",
                                    "left",   "join",
                                    "on",     "[user]",
                                    "insert", "into",
                                    "values", "update",
                                    "set",    "delete",
                                    "True",   "exists",
                                    ";"};
    std::mt19937 rng(7);
    int translated = 0;
    for (int i = 0; i < 3000; ++i) {
        QStringList words{"select"};
        const int n = 1 + static_cast<int>(rng() % 25);
        for (int k = 0; k < n; ++k)
            words << vocabulary[static_cast<int>(rng() % vocabulary.size())];
        try {
            AccessSql::translateUncached(words.join(' '));
            ++translated;
        } catch (const TranslateError&) {
        }
    }
    EXPECT_GT(translated, 0);
    // deep nesting is refused instead of exhausting the stack
    EXPECT_THROW(tr("select " + QString(100000, '(') + "1" + QString(100000, ')')), TranslateError);
    EXPECT_THROW(tr("select " + QString(100000, '-') + "1"), TranslateError);
    EXPECT_THROW(tr("select 1 where " + QString("not ").repeated(50000) + "1=1"), TranslateError);
    EXPECT_EQ(tr("select " + QString(50, '(') + "1" + QString(50, ')')).size(), 108);
}
