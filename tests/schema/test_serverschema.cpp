// The server's tables and indexes written from the program's own schema, set
// up on the test cluster (WMS_TEST_PG) and compared with the file's.
#include "data/database.h"
#include "data/dberror.h"
#include "data/pgdatabase.h"
#include "data/sqlhelper.h"
#include "fixture.h"
#include "schema/dbsetup.h"
#include "schema/serverschema.h"

#include <QCoreApplication>

namespace {

class ServerSchema : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (onServer()) GTEST_SKIP() << "reads the file's schema";
        m_base = qEnvironmentVariable("WMS_TEST_PG");
        if (m_base.isEmpty())
            GTEST_SKIP() << "WMS_TEST_PG is not set: scripts/test starts a cluster for these";
        m_name = QStringLiteral("wms_schema_%1").arg(QCoreApplication::applicationPid());
        PgDatabase admin;
        admin.open(m_base);
        admin.execute("DROP DATABASE IF EXISTS " + m_name);
        admin.execute("CREATE DATABASE " + m_name);
        server.open(m_base + " dbname=" + m_name);
    }
    void TearDown() override {
        server.close();
        if (!m_name.isEmpty()) {
            PgDatabase admin;
            admin.open(m_base);
            admin.execute("DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
        }
        DbTest::TearDown();
    }
    QString m_base, m_name;
    PgDatabase server;
};

} // namespace

TEST_F(ServerSchema, AFileWithANegativeVersionIsNotCopied) {
    sqlHelper::OpenConn();
    Database& file = Database::instance();
    file.execute("PRAGMA user_version = -3");
    try {
        CopyToServer(file, server);
        ADD_FAILURE() << "copied";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "数据库文件的版本 (-3) 无法识别, 不是本程序的数据库!");
    }
    file.execute(QString("PRAGMA user_version = %1").arg(kSchemaVersion));
    EXPECT_EQ(
        server.query("SELECT count(*) FROM pg_tables WHERE schemaname = current_schema()").at(0, 0).toInt(),
        0);
}

TEST_F(ServerSchema, TheServerGetsTheFilesTablesColumnsKeysAndIndexes) {
    sqlHelper::OpenConn();
    Database& file = Database::instance();
    for (const QString& statement : ServerTablesFrom(file))
        server.execute(statement);

    const RecordSet tables =
        file.query("SELECT name, sql FROM main.sqlite_master WHERE type = 'table' AND name NOT "
                   "LIKE 'sqlite\\_%' ESCAPE '\\'");
    ASSERT_GT(tables.RecordCount(), 25);
    for (int t = 0; t < tables.RecordCount(); ++t) {
        const QString table = tables.at(t, 0).toString();
        const RecordSet columns = file.query("PRAGMA main.table_info('" + table + "')");
        const RecordSet there = server.query(
            "SELECT column_name, data_type, udt_name, is_nullable FROM information_schema.columns WHERE "
            "table_schema = 'public' AND table_name = '" +
            table.toLower() + "' ORDER BY ordinal_position");
        ASSERT_EQ(there.RecordCount(), columns.RecordCount()) << table.toStdString();
        for (int c = 0; c < columns.RecordCount(); ++c) {
            SCOPED_TRACE((table + "." + columns.at(c, 1).toString()).toStdString());
            EXPECT_EQ(there.at(c, 0).toString(), columns.at(c, 1).toString().toLower());
            const QString declared = columns.at(c, 2).toString().toUpper();
            const QString kind = there.at(c, 2).toString();
            if (declared.contains("INT"))
                EXPECT_EQ(kind, "int8");
            else if (declared.contains("REAL"))
                EXPECT_EQ(kind, "float8");
            else
                EXPECT_TRUE(kind == "citext" || kind == "text") << kind.toStdString();
            EXPECT_EQ(there.at(c, 3).toString() == "NO",
                      columns.at(c, 3).toInt() != 0 || columns.at(c, 5).toInt() > 0);
        }
    }
    // every index, with its uniqueness
    const RecordSet indexes =
        file.query("SELECT name FROM main.sqlite_master WHERE type = 'index' AND sql IS NOT NULL");
    ASSERT_GT(indexes.RecordCount(), 25);
    for (int i = 0; i < indexes.RecordCount(); ++i) {
        const QString index = indexes.at(i, 0).toString();
        const RecordSet there =
            server.query("SELECT indexdef FROM pg_indexes WHERE indexname = '" + index.toLower() + "'");
        ASSERT_EQ(there.RecordCount(), 1) << index.toStdString();
        EXPECT_EQ(there.at(0, 0).toString().startsWith("CREATE UNIQUE"), index.startsWith("ux_"))
            << index.toStdString();
    }

    // text keys and comparisons ignore case as in the file; a reserved word is a name like any other
    server.execute("INSERT INTO tb_customer (id, customerCode, uname) VALUES (1, 'CT-2612-00001', '甲')");
    EXPECT_THROW(server.execute("INSERT INTO tb_customer (id, customerCode) VALUES (2, 'ct-2612-00001')"),
                 DbError);
    EXPECT_EQ(server.query("SELECT count(*) FROM tb_customer WHERE customerCode = 'ct-2612-00001'")
                  .at(0, 0)
                  .toInt(),
              1);
    server.execute("INSERT INTO tb_user (id, \"user\", pw) VALUES (7, 'Admin', 'x')");
    EXPECT_EQ(server.query("SELECT id FROM tb_user WHERE \"user\" = 'ADMIN'").at(0, 0).toInt(), 7);
    // the keys and defaults hold
    EXPECT_THROW(server.execute("INSERT INTO tb_user (id, \"user\") VALUES (7, 'other')"), DbError);
    server.execute("INSERT INTO tb_stock_location (goodsId, accountId) VALUES (1, 2)");
    EXPECT_EQ(server.query("SELECT locationId, importQty FROM tb_stock_location").at(0, 1).toDouble(), 0);
}
