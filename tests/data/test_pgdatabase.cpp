// The PostgreSQL engine against a real server: the cluster scripts/test
// starts (WMS_TEST_PG); every test works in a database of its own.
#include "data/dberror.h"
#include "data/pgdatabase.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

class PgEngine : public ::testing::Test {
protected:
    void SetUp() override {
        m_base = qEnvironmentVariable("WMS_TEST_PG");
        if (m_base.isEmpty())
            GTEST_SKIP() << "WMS_TEST_PG is not set: scripts/test starts a cluster for these";
        static int next = 0;
        m_name = QStringLiteral("wms_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(next++);
        PgDatabase admin;
        admin.open(m_base);
        admin.execute("DROP DATABASE IF EXISTS " + m_name);
        admin.execute("CREATE DATABASE " + m_name);
        m_conninfo = m_base + " dbname=" + m_name; // the last dbname counts
        db.open(m_conninfo);
    }
    void TearDown() override {
        db.close();
        if (m_name.isEmpty()) return;
        PgDatabase admin;
        admin.open(m_base);
        admin.execute("DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
    }
    QString m_base, m_name, m_conninfo;
    PgDatabase db;
};

} // namespace

TEST_F(PgEngine, ValuesComeBackAsTheFileEngineGivesThem) {
    const RecordSet rs =
        db.query("SELECT 7::int2 AS a, 2147483648::int8 AS b, 1.5::float8 AS c, 12.25::numeric AS "
                 "d, '货品''x' AS e, NULL AS f, true AS g, '\\x00ff'::bytea AS h, DATE "
                 "'2026-12-05' AS i");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.fieldName(0), "a");
    EXPECT_EQ(rs.at(0, 0).typeId(), QMetaType::LongLong);
    EXPECT_EQ(rs.at(0, 0).toLongLong(), 7);
    EXPECT_EQ(rs.at(0, 1).toLongLong(), 2147483648LL);
    EXPECT_EQ(rs.at(0, 2).typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(rs.at(0, 3).toDouble(), 12.25);
    EXPECT_EQ(rs.at(0, 4).toString(), "货品'x");
    EXPECT_TRUE(rs.at(0, 5).isNull());
    EXPECT_EQ(rs.at(0, 6).toLongLong(), 1);
    EXPECT_EQ(rs.at(0, 7).toByteArray(), QByteArray("\x00\xff", 2));
    EXPECT_EQ(rs.at(0, 8).toString(), "2026-12-05");
    // a statement without rows gives an empty record set, not nothing
    EXPECT_EQ(db.query("CREATE TABLE t (id int PRIMARY KEY, s text)").RecordCount(), 0);
    EXPECT_EQ(db.query("SELECT id FROM t").fieldName(0), "id");
}

TEST_F(PgEngine, ChangesTransactionsAndErrors) {
    db.execute("CREATE TABLE t (id int PRIMARY KEY, s text)");
    EXPECT_EQ(db.execute("INSERT INTO t VALUES (1, 'a'), (2, 'b'), (3, 'c')"), 3);
    EXPECT_EQ(db.execute("UPDATE t SET s = 'x' WHERE id < 3"), 2);
    EXPECT_FALSE(db.inTransaction());
    db.execute("BEGIN");
    EXPECT_TRUE(db.inTransaction());
    db.execute("DELETE FROM t");
    // an error inside the transaction leaves it to be rolled back; the program goes on
    try {
        db.query("SELECT nosuch FROM t");
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("nosuch")) << e.message().toStdString();
    }
    EXPECT_TRUE(db.inTransaction());
    db.execute("ROLLBACK");
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(db.query("SELECT count(*) FROM t").at(0, 0).toInt(), 3);
    // one statement per call: the second is refused, the first not run
    try {
        db.execute("DELETE FROM t; DROP TABLE t");
        ADD_FAILURE() << "two statements ran";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "一次只能执行一条 SQL 语句, 第一条语句后面还有内容");
    }
    EXPECT_EQ(db.query("SELECT count(*) FROM t").at(0, 0).toInt(), 3);
    EXPECT_THROW(db.execute("INSERT INTO t VALUES (1, 'again')"), DbError); // the key holds
}

TEST_F(PgEngine, ReportTablesAreShadowedPerConnectionAndComeBackAfterADroppedConnection) {
    db.execute("CREATE TABLE temp_rpt_x (id int, name text)");
    db.createTempShadows();
    db.execute("INSERT INTO temp_rpt_x VALUES (1, 'mine')");
    PgDatabase other;
    other.open(m_conninfo); // its own shadow
    EXPECT_EQ(other.query("SELECT count(*) FROM temp_rpt_x").at(0, 0).toInt(), 0);
    other.execute("INSERT INTO temp_rpt_x VALUES (2, 'theirs'), (3, 'theirs')");
    EXPECT_EQ(db.query("SELECT count(*) FROM temp_rpt_x").at(0, 0).toInt(), 1);
    EXPECT_EQ(db.query("SELECT count(*) FROM public.temp_rpt_x").at(0, 0).toInt(), 0);

    // the server ends this connection: the next command says so, the one after works again
    const QString pid = db.query("SELECT pg_backend_pid()").at(0, 0).toString();
    EXPECT_EQ(other.query("SELECT pg_terminate_backend(" + pid + ")").at(0, 0).toInt(), 1);
    EXPECT_THROW(db.query("SELECT 1"), DbError);
    EXPECT_EQ(db.query("SELECT 2").at(0, 0).toInt(), 2);
    // with a fresh shadow of the report table
    EXPECT_EQ(db.query("SELECT count(*) FROM temp_rpt_x").at(0, 0).toInt(), 0);
    db.execute("INSERT INTO temp_rpt_x VALUES (4, 'mine again')");
    EXPECT_EQ(other.query("SELECT count(*) FROM temp_rpt_x").at(0, 0).toInt(), 2);
}

TEST_F(PgEngine, AServerThatCannotBeReachedIsNamedWithTheReason) {
    PgDatabase lost;
    try {
        lost.open("host=/nonexistent/wms-socket user=postgres dbname=postgres connect_timeout=2");
        ADD_FAILURE() << "connected";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("无法连接数据库服务器 /nonexistent/wms-socket: "))
            << e.message().toStdString();
        EXPECT_GT(e.message().size(), 40);
    }
    EXPECT_FALSE(lost.isOpen());
    EXPECT_THROW(lost.query("SELECT 1"), DbError);
    // the same connection string keeps the open connection
    const QString pid = db.query("SELECT pg_backend_pid()").at(0, 0).toString();
    db.open(m_conninfo);
    EXPECT_EQ(db.query("SELECT pg_backend_pid()").at(0, 0).toString(), pid);
}
