#include "fixture.h"

#include "access/dbsetup.h"
#include "data/appenv.h"
#include "data/database.h"
#include "data/sqlhelper.h"
#include "data/translator.h"

#include <QFile>
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

} // namespace

void DbTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    InstallMigrations();
    const QString tmpl = templateFile(withDemo());
    ASSERT_TRUE(QFile::copy(tmpl, dbFile()));
    QFile::setPermissions(dbFile(), QFile::ReadOwner | QFile::WriteOwner);
    SetAppPath(m_dir.path());
    sqlHelper::SetDatabaseFile(QString());
    SetEndProgramHandler([](int code) { throw ProgramEnded{code}; });
    MsgBox::setHandler(&m_msg);
    writeLinkIni("[DB_Link]\nLinkType=0\nDBPath=\n");
    sqlHelper::CloseConn();
}

void DbTest::TearDown() {
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    Database::instance().close();
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
