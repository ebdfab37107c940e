#include "../tools/adminrun.h"
#include "data/backup.h"
#include "data/sqlhelper.h"
#include "fixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <sys/resource.h>

class BackupTest : public DbTest {
protected:
    QStringList backups() const {
        return QDir(folder()).entryList({"CompactBackUp_*.mdb", "BackUp_*"}, QDir::Files);
    }
};

TEST_F(BackupTest, BackupWritesOneCompactedCopyThatOpens) {
    SKIP_ON_SERVER("a copy of the file");
    exec("insert into tb_events (id, eventContent) values (1, '盘点')");
    const m_DBresult r = BackUpDB();
    ASSERT_TRUE(r.isResult) << qPrintable(r.str_MsgBox);
    EXPECT_EQ(r.int_Count, 1);
    EXPECT_EQ(r.str_MsgBox, "");
    EXPECT_TRUE(m_msg.shown.empty()); // the caller tells the user
    const QStringList files = backups();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression("^CompactBackUp_\\d{14}\\.mdb$").match(files[0]).hasMatch());
    // where the copy is, on the second line
    EXPECT_EQ(BackupDoneMessage(), "数据压缩备份完毕!\n" + QDir::toNativeSeparators(folder() + files[0]));
    EXPECT_EQ(LastBackupFile(), folder() + files[0]);
    // the copy holds the data
    sqlHelper::SetDatabaseFile(folder() + files[0]);
    EXPECT_EQ(scalar("select eventContent from tb_events").toString(), "盘点");
    sqlHelper::SetDatabaseFile(QString());
    // the administrator's command shows it
    QFile::remove(folder() + files[0]);
    AdminRun admin;
    ASSERT_EQ(admin.run({"backup"}), 0) << qPrintable(admin.err);
    const QStringList again = backups();
    ASSERT_EQ(again.size(), 1);
    ASSERT_EQ(m_msg.shown.size(), 1u);
    EXPECT_EQ(m_msg.shown[0].text, "数据压缩备份完毕!\n" + QDir::toNativeSeparators(folder() + again[0]));
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Information);
}

TEST_F(BackupTest, SecondBackupInTheSameSecondFailsAndKeepsTheFirst) {
    SKIP_ON_SERVER("a copy of the file");
    // wait for the start of a second so that both fall into it
    const QTime start = QTime::currentTime();
    while (QTime::currentTime().second() == start.second())
        QThread::msleep(5);
    ASSERT_TRUE(BackUpDB().isResult);
    const m_DBresult second = BackUpDB();
    ASSERT_EQ(backups().size(), 1);
    EXPECT_FALSE(second.isResult);
    EXPECT_EQ(second.int_Count, 0);
    EXPECT_FALSE(second.str_MsgBox.isEmpty());
    EXPECT_TRUE(m_msg.shown.empty()); // returned, not shown
    // the administrator's command shows the failure (its names of the next seconds are taken too)
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 1; s < 4; ++s) {
        QFile f(folder() + "CompactBackUp_" + now.addSecs(s).toString("yyyyMMddHHmmss") + ".mdb");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    AdminRun admin;
    EXPECT_EQ(admin.run({"backup"}), 1);
    ASSERT_EQ(m_msg.shown.size(), 1u); // the failure is shown, no success message
    EXPECT_TRUE(m_msg.shown[0].text.contains("已经存在")) << qPrintable(m_msg.shown[0].text);
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Exclamation);
    EXPECT_EQ(m_msg.shown[0].caption, "System");
}

TEST_F(BackupTest, CompactInPlaceThenReadAgain) {
    exec("insert into tb_events (id, eventContent) values (1, 'x')");
    const m_DBresult r = CompactDB();
    EXPECT_TRUE(r.isResult);
    EXPECT_EQ(CompactDoneMessage(), "数据压缩修复完毕!");
    EXPECT_TRUE(m_msg.shown.empty()); // the caller tells the user
    EXPECT_FALSE(sqlHelper::IsConnOpen());
    EXPECT_EQ(scalar("select count(*) from tb_events").toInt(), 1);
    // the administrator's command shows it
    AdminRun admin;
    EXPECT_EQ(admin.run({"compact"}), 0) << qPrintable(admin.err);
    EXPECT_EQ(m_msg.texts(), QStringList{"数据压缩修复完毕!"});
    EXPECT_EQ(m_msg.shown.size(), 1u);
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Information);
}

TEST_F(BackupTest, BackupThatFailsHalfWayLeavesNoFile) {
    SKIP_ON_SERVER("a copy of the file");
    // enough data that the copy cannot fit under the file size limit below
    exec("CREATE TABLE zz_bulk (t TEXT)");
    exec("insert into zz_bulk (t) values ('" + QString(2000, 'x') + "')");
    for (int i = 0; i < 8; ++i)
        exec("insert into zz_bulk (t) select t from zz_bulk");
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024; // a full disk, as far as the copy can tell
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const m_DBresult r = BackUpDB();
    const bool silent = m_msg.shown.empty();
    AdminRun admin; // the administrator's command shows the failure
    const int code = admin.run({"backup"});
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(r.isResult);
    EXPECT_FALSE(r.str_MsgBox.isEmpty());
    EXPECT_TRUE(silent);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(backups(), QStringList()); // neither a partial copy nor its working file
    ASSERT_EQ(m_msg.shown.size(), 1u);
    EXPECT_EQ(m_msg.shown[0].icon, MsgBox::Exclamation);
    // the next backup, with room again, succeeds
    EXPECT_TRUE(BackUpDB().isResult);
    EXPECT_EQ(backups().size(), 1);
}
