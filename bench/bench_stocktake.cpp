// Stock-taking on a large file (5,000 goods, 100,000 bills of 10 lines; the
// count can be set with WMS_BENCH_BILLS): starting a count of every goods at
// three locations, a scan in the counting window, and posting the count.
#include "datagen.h"

#include "bills/frmstocktake.h"
#include "bills/stocktake.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "ui/application.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

const QString kTime = "2026-12-06 10:00:00";

class YesToAll : public MsgBox::Handler {
public:
    void show(const QString&, MsgBox::Icon, const QString&) override {}
    MsgBox::Answer ask(const QString&, MsgBox::Buttons, MsgBox::Icon, const QString&,
                       MsgBox::Answer) override {
        return MsgBox::Yes;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
} g_answers;

// A count of every goods at L-01 and the two locations below it.
StockTakeHead startCount() {
    StockTakeHead h;
    h.accountId = 2;
    h.locationId = 1;
    h.creator = "admin";
    h.userId = 1;
    h.createTime = kTime;
    const m_DBresult r = dal_stocktake().Start(h, SysVar().Sys_locationJoinId);
    if (!r.isResult) std::fprintf(stderr, "start: %s\n", qPrintable(r.str_MsgBox));
    return h;
}

void abandonOpenCounts() {
    sqlHelper::ExecuteNonQuery("update tb_stocktake_head set state=2 where state=0");
}

void BM_StartCount(benchmark::State& state) {
    int lines = 0;
    for (auto _ : state) {
        const StockTakeHead h = startCount();
        state.PauseTiming();
        lines = sqlHelper::ExecuteSql("select count(*) from tb_stocktake_detail where headId=" +
                                      QString::number(h.id))
                    .at(0, 0)
                    .toInt();
        abandonOpenCounts();
        state.ResumeTiming();
    }
    state.counters["lines"] = lines;
}
BENCHMARK(BM_StartCount)->Unit(benchmark::kMillisecond);

// A barcode typed into the counting window: lookup, count, grid row.
void BM_ScanInTheWindow(benchmark::State& state) {
    const StockTakeHead h = startCount();
    frmStockTake form;
    form.OpenCount(h.id);
    std::mt19937 rng(3);
    for (auto _ : state) {
        const int g = 1 + static_cast<int>(rng() % 5000);
        form.txt_goodsCode->setText(QStringLiteral("69%1").arg(g, 11, 10, QLatin1Char('0')));
        form.GoodsCodeEntered();
    }
    state.counters["lines"] = static_cast<double>(form.sheet().lines().size());
    abandonOpenCounts();
}
BENCHMARK(BM_ScanInTheWindow)->Unit(benchmark::kMillisecond);

// Posting a count whose every line was counted, most of them differing.
void BM_PostCount(benchmark::State& state) {
    int lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const StockTakeHead h = startCount();
        sqlHelper::ExecuteNonQuery("update tb_stocktake_detail set countQty = bookQty + (id mod 7) - 3 where "
                                   "headId=" +
                                   QString::number(h.id));
        state.ResumeTiming();
        const m_DBresult r = dal_stocktake().Post(h.id, true, "admin", kTime);
        if (!r.isResult) state.SkipWithError(qPrintable(r.str_MsgBox));
        state.PauseTiming();
        lines =
            sqlHelper::ExecuteSql("select count(*) from tb_rk_detail where remark='盘点单 " + h.billNo + "'")
                .at(0, 0)
                .toInt() +
            sqlHelper::ExecuteSql("select count(*) from tb_ck_detail where remark='盘点单 " + h.billNo + "'")
                .at(0, 0)
                .toInt();
        state.ResumeTiming();
    }
    state.counters["bill_lines"] = lines;
}
BENCHMARK(BM_PostCount)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    WmsApplication app(argc, argv);
    MsgBox::setHandler(&g_answers);
    QTemporaryDir dir;
    OpenLargeShop(dir.path());
    // L-02 and L-03 lie below L-01
    sqlHelper::ExecuteNonQuery("update tb_location set parentId=1 where id in (2, 3)");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
