// The administrator's tool with a server: a shop's file copied to an empty
// database on the test cluster (WMS_TEST_PG) reports the same on both.
#include "adminrun.h"
#include "data/pgdatabase.h"
#include "data/sqlitedatabase.h"
#include "fixture.h"
#include "schema/dbsetup.h"
#include "schema/migrations.h"
#include "schema/serverschema.h"

#include <QFileInfo>

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
    EXPECT_EQ(out, "n\n128\n");
    ASSERT_EQ(run({"--server", server, "sql", "select count(*) as n from tb_rk_head"}), 0);
    EXPECT_EQ(out, "n\n0\n");
    // an unreachable server is named with the engine's reason
    EXPECT_EQ(run({"--server", "host=/nonexistent/socket/dir dbname=x", "check"}), 1);
    EXPECT_TRUE(err.contains("/nonexistent/socket/dir")) << qPrintable(err);
}

namespace {

// What a server's database holds, one line per row, for comparing two of them.
QStringList catalogue(const QString& conninfo, const QString& sql) {
    PgDatabase db;
    db.open(conninfo);
    const RecordSet rs = db.query(sql);
    QStringList rows;
    for (int r = 0; r < rs.RecordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs.fieldCount(); ++c)
            cells << rs.at(r, c).toString();
        rows << cells.join('|');
    }
    return rows;
}

} // namespace

TEST_F(AdminServerTest, AnOldServerIsRefusedUntilUpgradedAndThenMatchesAFreshOne) {
    // a shop's file held at version 2, copied as it is
    const QString file = folder() + "v2.mdb";
    CreateDatabase(file, true, false, 2);
    Database::instance().close();
    const QString old = emptyServer();
    Database::setOpenHook(nullptr);
    {
        SqliteDatabase& source = SqliteDatabase::instance();
        source.open(file);
        ASSERT_EQ(source.query("PRAGMA user_version").at(0, 0).toInt(), 2);
        PgDatabase target;
        target.open(old);
        CopyToServer(source, target);
        source.close();
    }
    InstallMigrations();
    EXPECT_EQ(run({"--server", old, "check"}), 1);
    EXPECT_EQ(err, "错误: 数据库版本较旧,请先运行 wms-admin upgrade\n");

    ASSERT_EQ(run({"--server", old, "upgrade"}), 0) << qPrintable(err);
    EXPECT_TRUE(out.contains(QString("已从版本 2 升级到 %1:\n  3: ").arg(kSchemaVersion))) << qPrintable(out);
    const QString dump = out.section('\n', 0, 0).section(' ', 1);
    EXPECT_TRUE(dump.endsWith(".dump") && QFileInfo(dump).size() > 0) << qPrintable(out);
    ASSERT_EQ(run({"--server", old, "upgrade"}), 0);
    EXPECT_TRUE(out.contains("没有改动")) << qPrintable(out);
    ASSERT_EQ(run({"--server", old, "check"}), 0) << qPrintable(out) << qPrintable(err);

    const QString fresh = emptyServer();
    ASSERT_EQ(run({"--server", fresh, "init", "--demo"}), 0) << qPrintable(err);
    for (
        const char* sql : {
            "SELECT table_name, ordinal_position, column_name, data_type, udt_name, is_nullable, "
            "column_default FROM information_schema.columns WHERE table_schema = 'public' ORDER BY 1, 2",
            "SELECT tablename, indexname, indexdef FROM pg_indexes WHERE schemaname = 'public' ORDER BY 1, 2",
            "SELECT tgrelid::regclass::text, tgname FROM pg_trigger WHERE NOT tgisinternal ORDER BY 1, 2",
            "SELECT p.proname FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace WHERE n.nspname = "
            "'public' AND p.proname LIKE 'acc\\_%' ORDER BY 1",
            "SELECT viewname, definition FROM pg_views WHERE schemaname = 'public' ORDER BY 1",
            "SELECT tbl, name, written FROM wms_names ORDER BY 1, 2",
            "SELECT * FROM tb_sys_fun ORDER BY id",
            "SELECT funCode, departmentId FROM tb_user_group_fun ORDER BY 1, 2",
            "SELECT * FROM tb_dictionary ORDER BY id",
            "SELECT version FROM wms_version",
        }) {
        const QStringList upgraded = catalogue(old, sql), made = catalogue(fresh, sql);
        EXPECT_GT(made.size(), 0) << sql;
        EXPECT_EQ(upgraded, made) << sql;
    }
}
