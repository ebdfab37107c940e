// Reports on a large file (5,000 goods, 100,000 bills of 10 lines; the
// count can be set with WMS_BENCH_BILLS): the whole search of a window
// (refill, list query, first page in the grid), and the stock refill from the
// running balance against the line-by-line statement, timed in the same run.
#include "datagen.h"

#include "bills/billcheck.h"
#include "data/database.h"
#include "data/sqlhelper.h"
#include "reports/frm_rpt_billlist.h"
#include "reports/frm_rpt_lines.h"
#include "reports/frm_rpt_locstock.h"
#include "reports/frm_rpt_stock.h"
#include "reports/frm_rpt_sum.h"
#include "reports/frm_rpt_transfer.h"
#include "reports/rpt_expiry.h"
#include "reports/rpt_locstock.h"
#include "reports/rpt_stock.h"
#include "ui/application.h"

#include <QDateEdit>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_StockWindowSearch(benchmark::State& state) {
    frm_rpt_stock form;
    form.InitReport();
    for (auto _ : state)
        form.btn_search();
    state.counters["goods"] = form.result.recordCount;
}
BENCHMARK(BM_StockWindowSearch)->Unit(benchmark::kMillisecond);

// Refill and list query, from the running balance (0) or line by line (1).
void BM_StockRefillAndList(benchmark::State& state) {
    dal_rpt_stock dal;
    m_PageInfor page;
    page.str_orderBy = "goodsCode";
    int rows = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            rows = dal.ListAfterRefill("2,10,11,0", ConditionSet(), page).recordCount;
            continue;
        }
        KeyValue batch;
        for (const QString& statement : CorrelatedStockRefill("2,10,11,0"))
            batch.AddItem(statement, SqlParams());
        sqlHelper::ExecuteTrans(batch);
        rows = sqlHelper::ExecuteSql("select * from temp_rpt_stock order by goodsCode").RecordCount();
    }
    state.counters["goods"] = rows;
    state.SetLabel(state.range(0) ? "line by line" : "running balance");
}
BENCHMARK(BM_StockRefillAndList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MonthOfStockInBills(benchmark::State& state) {
    frm_rpt_rkHead form;
    form.dt_createDateFrom->setDate(QDate(2026, 6, 1));
    form.dt_createDateTo->setDate(QDate(2026, 6, 30));
    form.InitReport();
    for (auto _ : state)
        form.btn_search();
    state.counters["bills"] = form.result.recordCount;
}
BENCHMARK(BM_MonthOfStockInBills)->Unit(benchmark::kMillisecond);

// The transfer list searching a month (0: count and first page in the grid),
// against a hand-written count and first page of the same transfers (1).
void BM_MonthOfTransfers(benchmark::State& state) {
    if (state.range(0) == 1) {
        const QString heads =
            "FROM tb_transfer_head WHERE createTime >= '2026-06-01' AND createTime < '2026-07-01' "
            "AND accountId IN (2,10,11) AND ispass IN (0,1)";
        int rows = 0;
        for (auto _ : state) {
            rows = sqlHelper::ExecuteSql("SELECT count(*) " + heads).at(0, 0).toInt();
            benchmark::DoNotOptimize(
                sqlHelper::ExecuteSql(
                    "SELECT TOP 20 h.id, h.billNo, h.createTime, (SELECT count(*) FROM "
                    "tb_transfer_detail WHERE headId = h.id), (SELECT sum(qty * packQty) FROM "
                    "tb_transfer_detail WHERE headId = h.id) FROM tb_transfer_head h WHERE h.id IN "
                    "(SELECT id " +
                    heads + ") ORDER BY h.createTime DESC, h.id")
                    .RecordCount());
        }
        state.counters["transfers"] = rows;
        state.SetLabel("hand-written");
        return;
    }
    frm_rpt_dbHead form;
    form.dt_createDateFrom->setDate(QDate(2026, 6, 1));
    form.dt_createDateTo->setDate(QDate(2026, 6, 30));
    form.InitReport();
    for (auto _ : state)
        form.btn_search();
    state.counters["transfers"] = form.result.recordCount;
    state.SetLabel("window");
}
BENCHMARK(BM_MonthOfTransfers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

long residentKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The line window searching a month (0), against a hand-written count and
// first page of the same lines (1); the window's memory after its first and
// its fifth search.
void BM_MonthOfStockInLines(benchmark::State& state) {
    if (state.range(0) == 1) {
        const QString where =
            "FROM tb_rk_head b JOIN tb_rk_detail a ON a.headId = b.id WHERE b.createTime >= "
            "'2026-06-01' AND b.createTime < '2026-07-01' AND b.accountId IN (2,10,11,0) AND "
            "b.ispass IN (1,0,3)";
        int lines = 0;
        for (auto _ : state) {
            lines = Database::instance().query("SELECT count(*) " + where).at(0, 0).toInt();
            // the window's first page: newest day first, then by bill and place
            benchmark::DoNotOptimize(Database::instance().query(
                "SELECT a.id, d.uname, CASE b.ispass WHEN 0 THEN '未审核' ELSE '已审核' END, b.billNo, "
                "b.supplierName, a.goodsCode, a.goodsName, g.pinyin, a.unit, printf('%.3f', a.inPrice), "
                "a.qty, "
                "printf('%.3f', a.inPrice * a.qty), printf('%.3f', a.packQty * a.qty / u.packQty), "
                "l.locationCode, substr(b.createTime, 1, 10) AS day " +
                QString(where).replace("WHERE",
                                       "LEFT JOIN tb_dictionary d ON d.id = b.accountId LEFT JOIN "
                                       "tb_goods_head g ON g.id = a.goodsId LEFT JOIN (SELECT headId, "
                                       "min(packQty) AS packQty FROM tb_goods_detail WHERE isDefault = "
                                       "1 GROUP BY headId) u ON u.headId = a.goodsId LEFT JOIN "
                                       "tb_location l ON l.id = a.locationId WHERE") +
                " ORDER BY day DESC, a.headId, a.rowNo, a.id LIMIT 20"));
        }
        state.counters["lines"] = lines;
        state.SetLabel("hand-written count and first page");
        return;
    }
    frm_rpt_rkDetail form;
    form.dt_createDateFrom->setDate(QDate(2026, 6, 1));
    form.dt_createDateTo->setDate(QDate(2026, 6, 30));
    form.InitReport();
    const long first = residentKb();
    for (int k = 0; k < 4; ++k)
        form.btn_search();
    state.counters["rssFirstMB"] = first / 1024.0;
    state.counters["rssFifthMB"] = residentKb() / 1024.0;
    for (auto _ : state)
        form.btn_search();
    state.counters["lines"] = form.result.recordCount;
}
BENCHMARK(BM_MonthOfStockInLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A page of the same month away from the first: the last page (0) and the
// page in the middle (1), the farthest from either end.
void BM_MonthOfStockInLinesPage(benchmark::State& state) {
    frm_rpt_rkDetail form;
    form.dt_createDateFrom->setDate(QDate(2026, 6, 1));
    form.dt_createDateTo->setDate(QDate(2026, 6, 30));
    form.InitReport();
    const int pages = (form.result.recordCount + form.pageInfo.int_PageSize - 1) / form.pageInfo.int_PageSize;
    for (auto _ : state) {
        form.pageInfo.int_currentPageIndex = state.range(0) == 0 ? pages : (pages + 1) / 2;
        form.LoadData();
    }
    state.counters["pages"] = pages;
    state.SetLabel(state.range(0) == 0 ? "last page" : "middle page");
}
BENCHMARK(BM_MonthOfStockInLinesPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MonthOfStockInSummary(benchmark::State& state) {
    frm_rpt_rkSum form;
    form.dt_createDateFrom->setDate(QDate(2026, 6, 1));
    form.dt_createDateTo->setDate(QDate(2026, 6, 30));
    form.InitReport();
    for (auto _ : state)
        form.btn_search();
    state.counters["goods"] = form.result.recordCount;
}
BENCHMARK(BM_MonthOfStockInSummary)->Unit(benchmark::kMillisecond);

// The stock-in summary over every date: the window's whole search (0)
// against hand-written grouped queries over the same lines, as a join (1)
// and choosing the bills first (2).
void BM_StockInSummaryAllDates(benchmark::State& state) {
    if (state.range(0) == 0) {
        frm_rpt_rkSum form;
        form.dt_createDateFrom->setDate(QDate(2000, 1, 1));
        form.dt_createDateTo->setDate(QDate(2099, 12, 31));
        form.InitReport();
        for (auto _ : state)
            form.btn_search();
        state.counters["goods"] = form.result.recordCount;
        state.SetLabel("window search");
        return;
    }
    const QString sql =
        state.range(0) == 1
            ? "SELECT d.goodsId, sum(d.qty * d.packQty), sum(d.qty * d.weight) FROM tb_rk_detail d JOIN "
              "tb_rk_head h "
              "ON h.id = d.headId WHERE h.ispass = 1 AND h.accountId IN (2, 10, 11, 0) GROUP BY d.goodsId"
            : "SELECT goodsId, sum(qty * packQty), sum(qty * weight) FROM tb_rk_detail WHERE headId IN "
              "(SELECT id "
              "FROM tb_rk_head WHERE ispass = 1 AND accountId IN (2, 10, 11, 0)) GROUP BY goodsId";
    int rows = 0;
    for (auto _ : state)
        rows = Database::instance().query(sql).RecordCount();
    state.counters["goods"] = rows;
    state.SetLabel(state.range(0) == 1 ? "hand-written join" : "hand-written, bills first");
}
BENCHMARK(BM_StockInSummaryAllDates)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_StockPerLocationSearch(benchmark::State& state) {
    frm_rpt_locStock form;
    form.InitReport();
    for (auto _ : state)
        form.btn_search();
    state.counters["rows"] = form.result.recordCount;
}
BENCHMARK(BM_StockPerLocationSearch)->Unit(benchmark::kMillisecond);

void BM_StockPerLocationLastPage(benchmark::State& state) {
    frm_rpt_locStock form;
    form.InitReport();
    for (auto _ : state)
        form.LastPage();
    state.counters["rows"] = form.result.recordCount;
}
BENCHMARK(BM_StockPerLocationLastPage)->Unit(benchmark::kMillisecond);

// The engine's usual way for comparison: every row read into memory.
void BM_StockPerLocationWholeList(benchmark::State& state) {
    dal_rpt_locStock dal;
    LocStockFilter f;
    f.accountIds = "2,10,11,";
    m_PageInfor page;
    page.str_orderBy = dal_rpt_locStock::DefaultOrder();
    int rows = 0;
    for (auto _ : state)
        rows = dal.GetListForCondition(f, ConditionSet(), page, LocStockSelect()).recordCount;
    state.counters["rows"] = rows;
}
BENCHMARK(BM_StockPerLocationWholeList)->Unit(benchmark::kMillisecond);

// 1,000 goods kept by lot with 50,000 lots over the locations, expiring from a
// month ago to a year ahead, brought in by one approved stock-in bill (the
// triggers fill the balance per lot); the first goods has 20 more lots at one
// location, for the split of a line going out. Made once, at the first use.
int lotGoods() {
    static int first = 0;
    if (first) return first;
    Database& db = Database::instance();
    db.execute(
        "UPDATE tb_goods_head SET lotTracked = 1 WHERE id IN (SELECT id FROM tb_goods_head ORDER BY id "
        "LIMIT 1000)");
    db.execute("INSERT INTO tb_rk_head (id, accountId, billNo, ispass, createTime) VALUES (900000001, 2, "
               "'rk-lots-00001', 1, '2026-12-01')");
    db.execute(
        "INSERT INTO tb_rk_detail (id, headId, goodsId, qty, packQty, weight, locationId, lotNo, expiryDate) "
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 49999), g AS (SELECT id, "
        "row_number() OVER (ORDER BY id) - 1 AS k FROM tb_goods_head WHERE lotTracked = 1), l AS (SELECT id, "
        "row_number() OVER (ORDER BY id) - 1 AS k FROM tb_location), c AS (SELECT count(*) AS m FROM "
        "tb_location) SELECT 900000000 + i, 900000001, g.id, 1 + i % 7, 1, 0.1, l.id, 'L' || i, date('now', "
        "((i * 37) % 395 - 30) || ' days') FROM n JOIN g ON g.k = i % 1000 JOIN c JOIN l ON l.k = (i / 1000) "
        "% c.m");
    first = db.query("SELECT min(id) FROM tb_goods_head WHERE lotTracked = 1").at(0, 0).toInt();
    db.execute(
        QStringLiteral("INSERT INTO tb_rk_detail (id, headId, goodsId, qty, packQty, weight, "
                       "locationId, lotNo, expiryDate) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT "
                       "i + 1 FROM n WHERE i < 19) SELECT 900100000 + i, 900000001, %1, 2, 1, 0.1, (SELECT "
                       "min(id) FROM tb_location), 'F' || i, date('now', (i * 9 - 20) || ' days') FROM n")
            .arg(first));
    return first;
}

// The near-expiry report's search (count and first page) over the balance
// per lot (0), and the same rows grouped from the approved lines by hand (1).
void BM_NearExpiryReport(benchmark::State& state) {
    lotGoods();
    ExpiryFilter f;
    f.accountIds = "2,10,11,";
    f.days = 30;
    dal_rpt_expiry dal;
    m_PageInfor page;
    page.str_orderBy = dal_rpt_expiry::DefaultOrder();
    const QString last = QDate::currentDate().addDays(30).toString("yyyy-MM-dd");
    int rows = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            rows = dal.CountForCondition(f, ConditionSet()).recordCount;
            benchmark::DoNotOptimize(dal.GetPage(page, 1, 20, ExpirySelect()).RecordCount());
            continue;
        }
        const QString lines =
            "SELECT d.goodsId, d.locationId, d.lotNo, d.expiryDate, d.qty * d.packQty AS q FROM tb_rk_detail "
            "d "
            "JOIN tb_rk_head h ON h.id = d.headId WHERE h.ispass = 1 AND h.accountId IN (2, 10, 11) UNION "
            "ALL "
            "SELECT d.goodsId, d.locationId, d.lotNo, Null, -d.qty * d.packQty FROM tb_ck_detail d JOIN "
            "tb_ck_head h ON h.id = d.headId WHERE h.ispass = 1 AND h.accountId IN (2, 10, 11)";
        const RecordSet rs = Database::instance().query(
            "SELECT count(*) FROM (SELECT goodsId FROM (" + lines +
            ") GROUP BY goodsId, ifnull(locationId, 0), ifnull(lotNo, '') HAVING sum(q) > 0.000001 AND "
            "min(nullif(expiryDate, '')) <= '" +
            last + "')");
        rows = rs.at(0, 0).toInt();
    }
    state.counters["lots"] = rows;
    state.SetLabel(state.range(0) ? "grouped from the lines" : "balance per lot");
}
BENCHMARK(BM_NearExpiryReport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A line going out split over the 20 lots of a goods at a location: the lots
// read and shared out.
void BM_FirstExpiryFirstOutSplit(benchmark::State& state) {
    const int goods = lotGoods();
    const int place = Database::instance().query("SELECT min(id) FROM tb_location").at(0, 0).toInt();
    size_t shares = 0, lots = 0;
    for (auto _ : state) {
        const std::vector<LotBalance> found = GoodsLots(goods, "2", place);
        const LotSplit split =
            SplitByExpiry(found, {}, 35, 1, QDate::currentDate(), [](const LotBalance&) { return true; });
        lots = found.size();
        shares = split.takes.size();
    }
    state.counters["lots"] = static_cast<double>(lots);
    state.counters["shares"] = static_cast<double>(shares);
}
BENCHMARK(BM_FirstExpiryFirstOutSplit)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    WmsApplication app(argc, argv);
    QTemporaryDir dir;
    OpenLargeShop(dir.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
