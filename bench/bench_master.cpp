// Keyword search of the goods list over 5,000 generated goods: the query
// alone, and the goods window's search that also fills its list.
#include "datagen.h"

#include "access/sysvars.h"
#include "access/user.h"
#include "data/appenv.h"
#include "data/conditions.h"
#include "master/frmgoods.h"
#include "master/goods.h"
#include "ui/application.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const char* const kSelect =
    "select 0,id,status,goodsCode,goodsName,goodsDesc,goodsTypeName,upqty,downqty,creator,"
    "format(createTime,'yyyy-MM-dd') ";

void BM_GoodsKeywordQuery(benchmark::State& state) {
    dal_goods_head dal;
    int rows = 0;
    for (auto _ : state) {
        ConditionSet c;
        c.AddItem("2", m_condition("goodsCode&goodsName&pinyin", "like", QStringLiteral("货品12")));
        rows = dal.GetListForCondition(c, kSelect).recordCount;
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_GoodsKeywordQuery)->Unit(benchmark::kMillisecond);

void BM_GoodsWindowSearch(benchmark::State& state) {
    frmGoods form;
    form.txt_KeyWord->setText(state.range(0) ? QStringLiteral("货品12") : QString());
    for (auto _ : state)
        form.btn_search();
    state.counters["rows"] = form.vsGoodsList->rowCount();
    state.SetLabel(state.range(0) ? "keyword" : "all goods");
}
BENCHMARK(BM_GoodsWindowSearch)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    WmsApplication app(argc, argv);
    QTemporaryDir dir;
    GenSize size;
    size.goods = 5000;
    size.bills = 1000;
    size.lines = 5;
    GenerateData(dir.path() + "/wms.mdb", size);
    SetAppPath(dir.path());
    CurrentUser() = dal_user().GetModelForPw("admin", "888");
    InitSysVar();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
