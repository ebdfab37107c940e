#include "fixture.h"

#include "data/appenv.h"
#include "data/database.h"
#include "data/pgdatabase.h"
#include "data/sqlhelper.h"
#include "data/sqlitedatabase.h"
#include "data/translator.h"
#include "schema/dbsetup.h"
#include "schema/migrations.h"
#include "schema/serverschema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

void ScriptedMsgBox::show(const QString& text, MsgBox::Icon icon, const QString& caption) {
    shown.push_back({text, icon, caption});
}

MsgBox::Answer ScriptedMsgBox::ask(const QString& text, MsgBox::Buttons, MsgBox::Icon icon,
                                   const QString& caption, MsgBox::Answer) {
    shown.push_back({text, icon, caption});
    if (answers.empty()) return MsgBox::No;
    const MsgBox::Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<QString> ScriptedMsgBox::input(const QString& prompt, const QString& title, const QString&) {
    shown.push_back({prompt, MsgBox::NoIcon, title});
    if (inputs.empty()) return std::nullopt;
    std::optional<QString> v;
    v.swap(inputs.front());
    inputs.pop_front();
    return v;
}

QStringList ScriptedMsgBox::texts() const {
    QStringList out;
    for (const auto& m : shown)
        out << m.text;
    return out;
}

namespace {

// Building a database from the scripts takes a moment; each kind is built
// once per test program and copied for every test.
QString templateFile(bool demo) {
    static QTemporaryDir dir;
    const QString file = dir.path() + (demo ? "/demo.mdb" : "/plain.mdb");
    if (!QFile::exists(file)) {
        CreateDatabase(file, demo, false);
        Database::instance().close();
    }
    return file;
}

// The test cluster's connection string (scripts/test starts it).
QString clusterBase() {
    return qEnvironmentVariable("WMS_TEST_PG");
}

// The same template copied to the server once, and shared by every test
// program of one build (ctest runs each test in a process of its own); each
// test gets a database made from it. The name tells the build: the schema and
// seed it was made from and the program that made it. The cluster is thrown
// away after the tests, and the templates with it.
QString serverTemplate(bool demo) {
    static QString names[2];
    QString& name = names[demo ? 1 : 0];
    if (!name.isEmpty()) return name;
    QCryptographicHash build(QCryptographicHash::Sha1);
    for (const char* resource :
         {"schema.sql", "temp_tables.sql", "views.sql", "seed.sql", "demo.sql", "pg_functions.sql",
          "pg_balance.sql", "pg_location.sql", "pg_transfer.sql", "pg_lot.sql", "demo_transfer.sql"}) {
        QFile f(QStringLiteral(":/sql/") + QLatin1String(resource));
        if (f.open(QIODevice::ReadOnly)) build.addData(f.readAll());
    }
    build.addData(
        QFileInfo(QCoreApplication::applicationFilePath()).lastModified().toString(Qt::ISODate).toUtf8());
    const QString wanted =
        QStringLiteral("wms_tpl_%1_%2")
            .arg(demo ? "demo" : "plain", QString::fromLatin1(build.result().toHex().left(12)));
    PgDatabase admin;
    admin.open(clusterBase());
    // one program makes it while the others wait
    admin.query("SELECT pg_advisory_lock(hashtext('" + wanted + "'))");
    if (admin.query("SELECT count(*) FROM pg_database WHERE datname = '" + wanted + "'").at(0, 0).toInt() ==
        0) {
        const QString making = wanted + "_making";
        admin.execute("DROP DATABASE IF EXISTS " + making);
        admin.execute("CREATE DATABASE " + making);
        {
            PgDatabase target;
            target.open(clusterBase() + " dbname=" + making);
            SqliteDatabase& source = SqliteDatabase::instance();
            source.open(templateFile(demo));
            CopyToServer(source, target);
            source.close();
        }
        admin.execute("ALTER DATABASE " + making + " RENAME TO " + wanted);
    }
    admin.query("SELECT pg_advisory_unlock(hashtext('" + wanted + "'))");
    name = wanted;
    return name;
}

} // namespace

bool DbTest::onServer() {
    return qEnvironmentVariable("WMS_TEST_ENGINE") == QLatin1String("server");
}

void DbTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    InstallMigrations();
    const QString tmpl = templateFile(withDemo());
    ASSERT_TRUE(QFile::copy(tmpl, dbFile()));
    QFile::setPermissions(dbFile(), QFile::ReadOwner | QFile::WriteOwner);
    SetAppPath(m_dir.path());
    sqlHelper::SetDatabaseFile(QString());
    SetEndProgramHandler([](int code, const QString& reason) { // as the program tells and ends
        if (!reason.isEmpty()) MsgBox::Show(reason, MsgBox::Exclamation, "System");
        throw ProgramEnded{code};
    });
    MsgBox::setHandler(&m_msg);
    writeLinkIni("[DB_Link]\nLinkType=0\nDBPath=\n");
    if (onServer()) {
        if (clusterBase().isEmpty())
            GTEST_SKIP() << "WMS_TEST_PG is not set: scripts/test starts a cluster for these";
        static int next = 0;
        m_serverDb = QStringLiteral("wms_t_%1_%2").arg(QCoreApplication::applicationPid()).arg(next++);
        PgDatabase admin;
        admin.open(clusterBase());
        admin.execute("DROP DATABASE IF EXISTS " + m_serverDb);
        // a plain copy of the template's files: faster than through the log for a small database
        admin.execute("CREATE DATABASE " + m_serverDb + " TEMPLATE " + serverTemplate(withDemo()) +
                      " STRATEGY FILE_COPY");
        writeLinkIni("[DB_Link]\nLinkType=2\nServer=" + serverConnInfo() + "\n");
    }
    sqlHelper::CloseConn();
}

void DbTest::failWith(const QString& event, const QString& table, const QString& condition,
                      const QString& message) {
    sqlHelper::OpenConn();
    Database& db = Database::instance();
    m_failingTable = table;
    if (db.dialect() == AccessSql::Dialect::Sqlite) {
        db.execute(
            QStringLiteral("CREATE TEMP TRIGGER boom BEFORE %1 ON %2 %3 BEGIN SELECT RAISE(ABORT, '%4'); END")
                .arg(event, table, condition.isEmpty() ? QString() : "WHEN " + condition, message));
        return;
    }
    const QString row = event == QLatin1String("DELETE") ? "OLD" : "NEW";
    db.execute(
        QStringLiteral("CREATE FUNCTION boom() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN IF %1 THEN RAISE "
                       "EXCEPTION '%2'; END IF; RETURN %3; END$$")
            .arg(condition.isEmpty() ? "true" : condition, message, row));
    db.execute(QStringLiteral("CREATE TRIGGER boom BEFORE %1 ON %2 FOR EACH ROW EXECUTE FUNCTION boom()")
                   .arg(event, table));
}

void DbTest::clearFailure() {
    Database& db = Database::instance();
    if (db.dialect() == AccessSql::Dialect::Sqlite) {
        db.execute("DROP TRIGGER boom");
        return;
    }
    db.execute("DROP TRIGGER boom ON " + m_failingTable);
    db.execute("DROP FUNCTION boom()");
}

QString DbTest::serverConnInfo() const {
    return clusterBase() + " dbname=" + m_serverDb;
}

void DbTest::TearDown() {
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    Database::instance().close();
    Database::choose(AccessSql::Dialect::Sqlite);
    if (!m_serverDb.isEmpty()) {
        try {
            PgDatabase admin;
            admin.open(clusterBase());
            admin.execute("DROP DATABASE IF EXISTS " + m_serverDb + " WITH (FORCE)");
        } catch (const std::exception&) {
        }
        m_serverDb.clear();
    }
    MsgBox::setHandler(nullptr);
    SetEndProgramHandler(nullptr);
    SetAppPath(QString());
}

QString DbTest::folder() const {
    return m_dir.path() + "/";
}

void DbTest::writeLinkIni(const QString& content) {
    QFile f(folder() + "linkDB.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content.toUtf8());
}

RecordSet DbTest::query(const QString& sql) {
    return sqlHelper::ExecuteSql(sql);
}

QVariant DbTest::scalar(const QString& sql) {
    const RecordSet rs = query(sql);
    return rs.RecordCount() > 0 ? rs.at(0, 0) : QVariant();
}

void DbTest::exec(const QString& sql) {
    sqlHelper::ExecuteNonQuery(sql);
}
