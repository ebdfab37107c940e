// Bill entry on a large file: saving a new 10-line bill (numbers taken in the
// transaction, balance triggers), loading a stored bill, and what typing a
// barcode asks of the database (goods, last purchase price, stock).
// WMS_BENCH_BILLS sets the number of generated bills (default 100,000 of 10 lines).
#include "datagen.h"

#include "access/sysvars.h"
#include "access/user.h"
#include "bills/bill.h"
#include "bills/billstore.h"
#include "data/appenv.h"
#include "data/sqlhelper.h"
#include "master/goods.h"
#include "reports/rpt_stock.h"

#include "bills/frmbillentry.h"
#include "data/msgbox.h"
#include "ui/application.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

namespace {

int g_goods = 5000;

// Answers every question Yes and shows nothing.
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
int g_bills = 100000;

rk_LineSet tenLines(std::mt19937& rng) {
    rk_LineSet lines;
    for (int k = 1; k <= 10; ++k) {
        const int g = 1 + static_cast<int>(rng() % g_goods);
        m_rk_detail d;
        d.rowNo = k;
        d.goodsId = g;
        d.goodsTypeId = 20 + g % 10;
        d.goodsCode = QStringLiteral("G%1").arg(g, 6, 10, QLatin1Char('0'));
        d.goodsName = QStringLiteral("货品%1").arg(g);
        d.unit = "件";
        d.packQty = 1;
        d.weight = 0.5;
        d.inPrice = 2.5;
        d.qty = k;
        d.locationId = 1;
        lines.AddItem(LineKey(kStockIn, k), d);
    }
    return lines;
}

void BM_SaveNewBill(benchmark::State& state) {
    std::mt19937 rng(1);
    dal_rk_head dal;
    for (auto _ : state) {
        state.PauseTiming();
        m_rk_head h;
        h.accountId = 2;
        h.utypeId = 3;
        h.supplierId = 1 + static_cast<int>(rng() % 200);
        h.supplierName = "往来单位";
        h.createTime = "2026-12-06";
        h.ispass = state.range(0); // approved bills run the balance triggers' full path
        rk_LineSet lines = tenLines(rng);
        state.ResumeTiming();
        if (!dal.Add(h, lines).isResult) state.SkipWithError("save failed");
    }
    state.SetLabel(state.range(0) ? "approved" : "new");
}
BENCHMARK(BM_SaveNewBill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A new 10-line transfer saved (0), and saved and approved (1): the approval
// moves both ends of every line in the balance per location.
void BM_SaveNewTransfer(benchmark::State& state) {
    std::mt19937 rng(7);
    const auto store = NewTransferStore();
    for (auto _ : state) {
        state.PauseTiming();
        BillEntryHead h;
        h.accountId = 2;
        h.creator = "admin";
        h.createTime = "2026-12-06";
        h.userId = 1;
        std::vector<BillEntryLine> lines;
        for (const auto& [key, d] : tenLines(rng)) {
            BillEntryLine l;
            l.rowNo = d.rowNo;
            l.goodsId = d.goodsId;
            l.goodsTypeId = d.goodsTypeId;
            l.goodsCode = d.goodsCode;
            l.goodsName = d.goodsName;
            l.unit = d.unit;
            l.packQty = d.packQty;
            l.weight = d.weight;
            l.qty = d.qty;
            l.locationId = 1 + static_cast<int>(rng() % 20);
            l.toLocationId = 1 + l.locationId % 20;
            lines.push_back(l);
        }
        state.ResumeTiming();
        if (!store->Save(h, lines).isResult) state.SkipWithError("save failed");
        if (state.range(0) && !store->SetPass(h.id, 1, "admin", "2026-12-06 12:00:00"))
            state.SkipWithError("approval failed");
    }
    state.SetLabel(state.range(0) ? "saved and approved" : "new");
}
BENCHMARK(BM_SaveNewTransfer)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadStoredBill(benchmark::State& state) {
    std::mt19937 rng(2);
    dal_rk_head head;
    dal_rk_detail detail;
    int rows = 0;
    for (auto _ : state) {
        const int id = 1 + static_cast<int>(rng() % (g_bills / 2));
        const m_rk_head h = head.GetModel(id);
        ConditionSet c;
        c.AddItem("1", m_condition("headId", "=", h.id));
        rows =
            detail
                .GetListForCondition(c, "select 0,id,goodsId,goodsTypeId,goodsCode,goodsDetailCode,goodsName,"
                                        "goodsDesc,goodsTypeName,unit,packQty,weight,inPrice,qty,totalAmount,"
                                        "locationId,locationCode,lotNo,remark  ")
                .recordCount;
    }
    state.counters["lines"] = rows;
}
BENCHMARK(BM_LoadStoredBill)->Unit(benchmark::kMillisecond);

void BM_BarcodeLookups(benchmark::State& state) {
    std::mt19937 rng(3);
    dal_goods_detail goods;
    dal_rk_detail lines;
    dal_rpt_stock stock;
    bool priced = false;
    for (auto _ : state) {
        const int g = 1 + static_cast<int>(rng() % g_goods);
        const QString barcode = QStringLiteral("69%1").arg(g, 11, 10, QLatin1Char('0'));
        const m_goods_detail d = goods.GetModelForInput(barcode, 0);
        ConditionSet c;
        c.AddItem("1", m_condition("supplierId", "=", 1 + static_cast<int>(rng() % 200)));
        c.AddItem("2", m_condition("goodsCode", "=", QStringLiteral("G%1").arg(g, 6, 10, QLatin1Char('0'))));
        priced |= lines.GetListForCondition(c, "select top 1 inPrice ", " order by headId Desc,id Desc")
                      .recordCount > 0;
        benchmark::DoNotOptimize(stock.GetStockQtyForGoodCode(d.headId > 0 ? d.headId : g).RecordCount());
    }
    state.counters["found_price"] = priced;
}
BENCHMARK(BM_BarcodeLookups)->Unit(benchmark::kMillisecond);

// The entry window: a stored bill loaded into the form.
void BM_FormLoadBill(benchmark::State& state) {
    std::mt19937 rng(4);
    frmImport form;
    for (auto _ : state)
        form.LoadBill(1 + static_cast<int>(rng() % (g_bills / 2)));
    state.counters["rows"] = form.lines->rowCount();
}
BENCHMARK(BM_FormLoadBill)->Unit(benchmark::kMillisecond);

// A barcode typed into the input bar until its row stands in the grid
// (goods lookup, last price, location, the row and the total; for stock-out
// also the negative-stock check).
template <class Form> void barcodeToRow(benchmark::State& state, unsigned seed) {
    std::mt19937 rng(seed);
    Form form;
    form.NewBillForPartner(1 + static_cast<int>(rng() % 200), QStringLiteral("往来单位"));
    int added = 0;
    for (auto _ : state) {
        const int g = 1 + static_cast<int>(rng() % g_goods);
        form.txt_goodsCode->setText(QStringLiteral("69%1").arg(g, 11, 10, QLatin1Char('0')));
        form.GoodsCodeEntered();
        if (++added == 50) { // a bill of 50 lines at most, as a user would enter
            state.PauseTiming();
            form.NewBillForPartner(1 + static_cast<int>(rng() % 200), QStringLiteral("往来单位"));
            added = 0;
            state.ResumeTiming();
        }
    }
}

void BM_FormBarcodeToRow(benchmark::State& state) {
    barcodeToRow<frmImport>(state, 5);
}
BENCHMARK(BM_FormBarcodeToRow)->Unit(benchmark::kMillisecond);

void BM_FormBarcodeToRowStockOut(benchmark::State& state) {
    barcodeToRow<frmExport>(state, 6);
}
BENCHMARK(BM_FormBarcodeToRowStockOut)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    WmsApplication app(argc, argv);
    MsgBox::setHandler(&g_answers); // the stock question is answered Yes without a window
    if (qEnvironmentVariableIsSet("WMS_BENCH_BILLS"))
        g_bills = qEnvironmentVariableIntValue("WMS_BENCH_BILLS");
    QTemporaryDir dir;
    OpenLargeShop(dir.path(), g_goods, g_bills);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
