// The administrator's tool with a server: a shop's file copied to an empty
// database on the test cluster (WMS_TEST_PG) reports the same on both.
#include "adminrun.h"
#include "data/pgdatabase.h"
#include "fixture.h"

#include <QCoreApplication>

namespace {

class AdminServerTest : public DemoDbTest, protected AdminRun {
protected:
    void SetUp() override {
        DemoDbTest::SetUp();
        if (IsSkipped()) return;
        if (onServer()) GTEST_SKIP() << "sets up servers of its own";
        m_base = qEnvironmentVariable("WMS_TEST_PG");
        if (m_base.isEmpty())
            GTEST_SKIP() << "WMS_TEST_PG is not set: scripts/test starts a cluster for these";
    }
    void TearDown() override {
        for (const QString& name : m_made) {
            PgDatabase admin;
            admin.open(m_base);
            admin.execute("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
        }
        DemoDbTest::TearDown();
    }
    // A new empty database on the cluster; its connection string.
    QString emptyServer() {
        const QString name =
            QStringLiteral("wms_admin_%1_%2").arg(QCoreApplication::applicationPid()).arg(m_made.size());
        PgDatabase admin;
        admin.open(m_base);
        admin.execute("DROP DATABASE IF EXISTS " + name);
        admin.execute("CREATE DATABASE " + name);
        m_made << name;
        return m_base + " dbname=" + name;
    }
    QString m_base;
    QStringList m_made;
};

} // namespace

TEST_F(AdminServerTest, ACopiedShopReportsTheSameOnTheServer) {
    const QString server = emptyServer();
    ASSERT_EQ(run({"--db", dbFile(), "copy", "--to", server}), 0) << qPrintable(err);
    EXPECT_TRUE(out.contains("核对无误")) << qPrintable(out);
    for (const char* kind :
         {"rkHead", "ckHead", "rkDetail", "ckDetail", "stock", "rkSum", "ckSum", "locStock"}) {
        QStringList args{"report", kind};
        if (QLatin1String(kind) != "stock" && QLatin1String(kind) != "locStock")
            args << "--from"
                 << "2000-01-01"
                 << "--to"
                 << "2099-12-31";
        ASSERT_EQ(run(QStringList{"--db", dbFile()} + args), 0) << kind << qPrintable(err);
        const QString onFile = out;
        ASSERT_EQ(run(QStringList{"--server", server} + args), 0) << kind << qPrintable(err);
        EXPECT_EQ(out, onFile) << kind;
        EXPECT_GT(onFile.count('\n'), 5) << kind;
    }
    ASSERT_EQ(run({"--server", server, "check"}), 0) << qPrintable(out);
    // stored text of mixed case comes back with its case; column names as the schema writes them
    ASSERT_EQ(run({"--server", server, "sql",
                   "select top 1 billNo, ubillNo from v_rk_head where billNo like 'RK%' order by billNo"}),
              0)
        << qPrintable(err);
    EXPECT_TRUE(out.startsWith("billNo\tubillNo\nrk-")) << qPrintable(out);

    // a database that holds anything is refused and left as it was
    ASSERT_EQ(run({"--db", dbFile(), "copy", "--to", server}), 1);
    EXPECT_TRUE(err.contains("不是空的")) << qPrintable(err);
    ASSERT_EQ(run({"--server", server, "init"}), 1);
    ASSERT_EQ(run({"--server", server, "check"}), 0) << qPrintable(out);
}

TEST_F(AdminServerTest, InitOnAnEmptyServerDatabase) {
    const QString server = emptyServer();
    ASSERT_EQ(run({"--server", server, "init"}), 0) << qPrintable(err);
    ASSERT_EQ(run({"--server", server, "sql", "select count(*) as n from tb_sys_fun"}), 0) << qPrintable(err);
    EXPECT_EQ(out, "n\n101\n");
    ASSERT_EQ(run({"--server", server, "sql", "select count(*) as n from tb_rk_head"}), 0);
    EXPECT_EQ(out, "n\n0\n");
    // an unreachable server is named with the engine's reason
    EXPECT_EQ(run({"--server", "host=/nonexistent/socket/dir dbname=x", "check"}), 1);
    EXPECT_TRUE(err.contains("/nonexistent/socket/dir")) << qPrintable(err);
}
