// Bills saved by several programs into one file, and programs killed while saving.
#include "data/database.h"
#include "data/sqlhelper.h"
#include "fixture.h"
#include "reports/rpt_engine.h"
#include "reports/rpt_filters.h"
#include "reports/rpt_stock.h"
#include "schema/stockbalance.h"

#include <QProcess>
#include <QThread>
#include <csignal>
#include <random>

namespace {

class BillProcesses : public DbTest {
protected:
    QProcess* startSaver(int count, int lines, int approveEvery = 0) {
        auto* p = new QProcess;
        p->start(WMS_BILLSAVER, {onServer() ? serverConnInfo() : dbFile(), QString::number(count),
                                 QString::number(lines), QString::number(approveEvery)});
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }
};

} // namespace

TEST_F(BillProcesses, TwoProgramsSavingAtOnceBothSucceedWithConsecutiveNumbers) {
    QProcess* a = startSaver(500, 3);
    QProcess* b = startSaver(500, 3);
    for (QProcess* p : {a, b}) {
        ASSERT_TRUE(p->waitForFinished(240000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        delete p;
    }
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt(), 1000);
    EXPECT_EQ(scalar("select count(*) from (select distinct id from tb_rk_head) as x").toInt(), 1000);
    EXPECT_EQ(scalar("select count(*) from (select distinct billNo from tb_rk_head) as x").toInt(), 1000);
    EXPECT_EQ(scalar("select count(*) from tb_rk_detail").toInt(), 3000);
    EXPECT_EQ(scalar("select count(*) from (select distinct headId from tb_rk_detail) as x").toInt(), 1000);
    for (const char* month : {"2610", "2611", "2612"}) {
        const RecordSet nos = query(QStringLiteral("select billNo from tb_rk_head where mid(billNo,4,4)='%1' "
                                                   "order by billNo")
                                        .arg(month));
        ASSERT_GT(nos.RecordCount(), 300);
        for (int r = 0; r < nos.RecordCount(); ++r)
            ASSERT_EQ(nos.at(r, 0).toString(),
                      QStringLiteral("rk-%1-%2").arg(month).arg(r + 1, 5, 10, QLatin1Char('0')));
    }
}

TEST_F(BillProcesses, AProgramKilledWhileSavingLeavesWholeBillsAndAnExactBalance) {
    std::mt19937 rng(42);
    for (int round = 0; round < 20; ++round) {
        QProcess* p = startSaver(100000, 10, 2);
        QThread::msleep(100 + rng() % 400);
        ::kill(static_cast<pid_t>(p->processId()), SIGKILL);
        p->waitForFinished(10000);
        delete p;
    }
    sqlHelper::OpenConn();
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt() > 20, true);
    if (!onServer())
        EXPECT_EQ(Database::instance().query("PRAGMA integrity_check").at(0, 0).toString(), "ok");
    EXPECT_EQ(scalar("select count(*) from tb_rk_head h where (select count(*) from tb_rk_detail where "
                     "headId=h.id) <> 10")
                  .toInt(),
              0);
    EXPECT_EQ(scalar("select count(*) from tb_rk_detail d where not exists (select 1 from tb_rk_head where "
                     "id=d.headId)")
                  .toInt(),
              0);
    EXPECT_TRUE(CheckStockBalance().empty());
    EXPECT_GT(scalar("select count(*) from tb_stock_balance").toInt(), 0);
}

TEST_F(BillProcesses, FourProgramsSaveWhileTheReportsAreSearched) {
    std::vector<QProcess*> savers;
    for (int k = 0; k < 4; ++k)
        savers.push_back(startSaver(250, 3));
    // the stock report and the bill list searched meanwhile: each refill reads one state of the
    // database, so a listed bill always has its three lines
    int searches = 0, partial = 0, failed = 0;
    auto running = [&] {
        for (QProcess* p : savers)
            if (!p->waitForFinished(0) && p->state() != QProcess::NotRunning) return true;
        return false;
    };
    while (running() || searches == 0) {
        m_PageInfor page;
        page.str_orderBy = "goodsCode";
        failed += !dal_rpt_stock()
                       .GetListForCondition(ConditionSet(), "2,0", page, StockSelect())
                       .str_MsgBox.isEmpty();
        BillListFilter f;
        f.from = QDate(2026, 10, 1);
        f.to = QDate(2026, 12, 31);
        f.accountIds = "2,";
        ConditionSet source, list;
        BillListConditions(f, source, list);
        page.str_orderBy = "billNo";
        const m_recordSet bills =
            dal_rpt_rkHead().GetListForCondition(source, list, page, BillListSelect(false));
        failed += !bills.str_MsgBox.isEmpty();
        partial += scalar("select count(*) from temp_rpt_rkHead where rowsCount <> 3").toInt();
        ++searches;
        QThread::msleep(20);
    }
    for (QProcess* p : savers) {
        if (p->state() != QProcess::NotRunning) ASSERT_TRUE(p->waitForFinished(240000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        delete p;
    }
    EXPECT_GT(searches, 1);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(partial, 0);
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt(), 1000);
    EXPECT_EQ(scalar("select count(*) from tb_rk_detail").toInt(), 3000);
    for (const char* month : {"2610", "2611", "2612"}) {
        const RecordSet nos =
            query(QStringLiteral("select billNo from tb_rk_head where mid(billNo,4,4)='%1' order by billNo")
                      .arg(month));
        for (int r = 0; r < nos.RecordCount(); ++r)
            ASSERT_EQ(nos.at(r, 0).toString(),
                      QStringLiteral("rk-%1-%2").arg(month).arg(r + 1, 5, 10, QLatin1Char('0')));
    }
    EXPECT_TRUE(CheckStockBalance().empty());
    EXPECT_TRUE(CheckStockLocation().empty());
}
