// Keyword search of the goods list over 5,000 generated goods: the query
// alone, and the goods window's search that also fills its list. Goods
// brought in from a workbook of 10,000 goods of two units each: the preview
// (read and checked) and the whole import (read, checked and written).
#include "datagen.h"

#include "access/sysvars.h"
#include "access/user.h"
#include "data/appenv.h"
#include "data/conditions.h"
#include "master/frmgoods.h"
#include "data/sqlhelper.h"
#include "master/goods.h"
#include "master/goodsimport.h"
#include "sheets/sheetfile.h"
#include "ui/application.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

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

// A workbook as a shop's clerk fills the template: 10,000 goods, a bottle
// and a carton each, in new categories.
QString importWorkbook(const QString& folder) {
    const QString path = folder + "/goods-import.xlsx";
    lxw_workbook* book = workbook_new(path.toUtf8().constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "货品");
    const QStringList captions = {"货品编码", "货品名称", "货品类别", "规格", "单位", "内装数", "条码",
                                  "进价", "销售价", "重量", "默认单位", "库存上限", "库存下限", "状态"};
    for (int c = 0; c < captions.size(); ++c)
        worksheet_write_string(sheet, 0, c, captions[c].toUtf8().constData(), nullptr);
    int row = 1;
    for (int g = 0; g < 10000; ++g)
        for (int u = 0; u < 2; ++u, ++row) {
            const QByteArray code = QStringLiteral("IMP%1").arg(g, 6, 10, QChar('0')).toUtf8();
            const QByteArray name = QStringLiteral("导入货品%1").arg(g).toUtf8();
            const QByteArray type = QStringLiteral("导入类别/导入子类%1").arg(g % 50).toUtf8();
            const QByteArray barcode = QStringLiteral("77%1%2").arg(g, 8, 10, QChar('0')).arg(u).toUtf8();
            worksheet_write_string(sheet, row, 0, code.constData(), nullptr);
            worksheet_write_string(sheet, row, 1, name.constData(), nullptr);
            worksheet_write_string(sheet, row, 2, type.constData(), nullptr);
            worksheet_write_string(sheet, row, 3, "500ml", nullptr);
            worksheet_write_string(sheet, row, 4, u == 0 ? "瓶" : "箱", nullptr);
            worksheet_write_number(sheet, row, 5, u == 0 ? 1 : 24, nullptr);
            worksheet_write_string(sheet, row, 6, barcode.constData(), nullptr);
            worksheet_write_number(sheet, row, 7, 1.5 * (u ? 24 : 1), nullptr);
            worksheet_write_number(sheet, row, 8, 2.5 * (u ? 24 : 1), nullptr);
            worksheet_write_number(sheet, row, 9, 0.5 * (u ? 24 : 1), nullptr);
            worksheet_write_string(sheet, row, 10, u == 0 ? "是" : "否", nullptr);
            worksheet_write_number(sheet, row, 11, 100, nullptr);
            worksheet_write_number(sheet, row, 12, 10, nullptr);
            worksheet_write_string(sheet, row, 13, "启用", nullptr);
        }
    workbook_close(book);
    return path;
}

// Takes the imported goods and their categories out again.
void dropImported() {
    sqlHelper::ExecuteSql("delete from tb_goods_detail where headId in (select id from tb_goods_head where goodsCode "
                          "like 'IMP%')");
    sqlHelper::ExecuteSql("delete from tb_goods_head where goodsCode like 'IMP%'");
    sqlHelper::ExecuteSql("delete from tb_dictionary where utype='goodsType' and uname like '导入%'");
}

void BM_GoodsImport(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = importWorkbook(dir.path());
    dropImported();
    int rows = 0;
    for (auto _ : state) {
        ImportSheet sheet = MapSheet(ReadSheetFile(file), GoodsImportColumns());
        CheckGoodsImport(sheet, ImportMode::AddOnly);
        rows = int(sheet.rows.size());
        if (sheet.errorRows() > 0) state.SkipWithError(qPrintable(sheet.problems(1).join("")));
        if (state.range(0) == 0) continue;
        const ImportOutcome out = WriteGoodsImport(sheet, ImportMode::AddOnly, "bench");
        if (!out.written) state.SkipWithError(qPrintable(out.message));
        state.PauseTiming();
        dropImported();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.SetLabel(state.range(0) ? "read, checked and written" : "preview: read and checked");
}
BENCHMARK(BM_GoodsImport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    WmsApplication app(argc, argv);
    QTemporaryDir dir;
    if (qEnvironmentVariableIsSet("WMS_BENCH_DB")) { // a large shop made before
        OpenLargeShop(dir.path());
    } else {
        GenSize size;
        size.goods = 5000;
        size.bills = 1000;
        size.lines = 5;
        GenerateData(dir.path() + "/wms.mdb", size);
        SetAppPath(dir.path());
        CurrentUser() = dal_user().GetModelForPw("admin", "888");
        InitSysVar();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
