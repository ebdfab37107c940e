#pragma once
// Every test gets a fresh program folder holding linkDB.ini and a new
// database made from the real schema and seed, and a scripted message box.

#include "data/msgbox.h"
#include "data/recordset.h"

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <vector>

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

struct ShownMessage {
    QString text;
    MsgBox::Icon icon;
    QString caption;
};

// Records every message; answers questions and input boxes from queues.
class ScriptedMsgBox : public MsgBox::Handler {
public:
    std::vector<ShownMessage> shown;
    std::deque<MsgBox::Answer> answers; // empty: No
    std::deque<std::optional<QString>> inputs;

    void show(const QString& text, MsgBox::Icon icon, const QString& caption) override;
    MsgBox::Answer ask(const QString& text, MsgBox::Buttons, MsgBox::Icon icon, const QString& caption,
                       MsgBox::Answer) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString&) override;
    QStringList texts() const;
};

// Thrown by EndProgram while a test runs.
struct ProgramEnded {
    int exitCode;
};

class DbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program folder, with a trailing "/".
    QString folder() const;
    QString dbFile() const { return folder() + "wms.mdb"; }
    void writeLinkIni(const QString& content);
    // Runs an Access-dialect query and returns its rows.
    RecordSet query(const QString& sql);
    // The first value of a query.
    QVariant scalar(const QString& sql);
    void exec(const QString& sql);

    virtual bool withDemo() const { return false; }
    // The tests run on the server (WMS_TEST_ENGINE=server): linkDB.ini names a
    // database of the test's own on the test cluster, made from the same template.
    static bool onServer();
    QString serverConnInfo() const;
    // Makes every row the event (INSERT, DELETE) touches in the table fail with
    // the message where the condition (on NEW or OLD) holds, on either engine;
    // clearFailure takes it away again.
    void failWith(const QString& event, const QString& table, const QString& condition,
                  const QString& message);
    void clearFailure();
    QString m_failingTable;
    QString m_serverDb;

    QTemporaryDir m_dir;
    ScriptedMsgBox m_msg;
};

// A test of what only the file engine has (its file, its query plans, its
// catalogue) does not run on the server.
#define SKIP_ON_SERVER(why)                                                                                  \
    if (DbTest::onServer()) GTEST_SKIP() << "the file engine's own: " << why

class DemoDbTest : public DbTest {
protected:
    bool withDemo() const override { return true; }
};
