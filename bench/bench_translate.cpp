// Translation cost of the report statements, cold and cached, and its share
// of a report refill on generated data.
#include "datagen.h"

#include "data/appenv.h"
#include "data/conditions.h"
#include "data/database.h"
#include "data/sqlhelper.h"
#include "data/translator.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const char* const kRkHeadRefill =
    "insert into temp_rpt_rkHead( "
    "id,accountId,accountName,billNo,ubillNo,utypeId,utype,supplierId,ispass,passName,"
    "supplierName,remark,creator,createTime,updateLastUser,updateLastTime,userId,totalItemRow,rowsCount,"
    "totalQty,"
    "totalAmount) SELECT a.id, a.accountId, (SELECT uname FROM tb_dictionary WHERE id = a.accountId) AS "
    "accountName, "
    "a.billNo, a.ubillNo, a.utypeId, (SELECT uname FROM tb_dictionary WHERE id = a.utypeId) AS utype, "
    "a.supplierId, "
    "a.ispass, Iif(a.ispass = 0, '未审核', '已审核') AS passName, a.supplierName, a.remark, a.creator, "
    "format(a.createTime,'yyyy-MM-dd') as createTime, a.updateLastUser, a.updateLastTime, a.userId, "
    "(SELECT '1单'&COUNT(*)&'项' FROM tb_rk_detail WHERE headid = a.id) AS totalItemRow, "
    "(SELECT COUNT(*) FROM tb_rk_detail WHERE headid = a.id) AS rowsCount, "
    "(SELECT SUM(qty) FROM tb_rk_detail WHERE headid = a.id) AS totalQty, "
    "FORMAT((SELECT SUM(qty * inPrice) FROM tb_rk_detail WHERE headid = a.id), '#0.0#') AS totalAmount "
    "FROM   tb_rk_head AS a where 1=1  and (format(createTime,'yyyy-MM-dd') >= '2026-01-01') "
    "and (format(createTime,'yyyy-MM-dd') <= '2026-12-31') and (accountId in (2,10,11,0)) and (ispass in "
    "(1,0,3))";
const char* const kRkHeadZero =
    "UPDATE temp_rpt_rkHead SET   totalAmount =iif(val(totalAmount)=0,0,totalAmount)";

QString stockSum(const char* kind, const char* measure, const char* pattern) {
    return QString("FORMAT((SELECT SUM(%2) FROM tb_%1_detail LEFT JOIN tb_%1_head ON tb_%1_detail.headid = "
                   "tb_%1_head.id WHERE tb_%1_detail.goodsId = b.id AND tb_%1_head.ispass = 1 AND "
                   "tb_%1_head.accountId IN ( 2,10,11,0 )), '%3')")
        .arg(kind, QString(measure).replace("@", QString("tb_%1_detail").arg(kind)), pattern);
}

QString stockRefill() {
    QString sql =
        "insert into temp_rpt_stock( id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,"
        "downqty,status,isDefault,unit,totalImportQty,totalImportDefaultQty,totalImportWeight,totalExportQty,"
        "totalExportDefaultQty,totalExportWeight,totalBlanceQty,totalBlanceDefaultQty,totalBlanceWeight) "
        "SELECT b.id, b.goodsTypeId, (SELECT uname FROM tb_dictionary WHERE id = b.goodsTypeId) AS "
        "goodsTypeName, b.goodsCode, b.goodsName, b.goodsDesc, b.pinyin, b.upqty, b.downqty, b.status, "
        "a.isDefault, a.unit, ";
    for (const char* k : {"rk", "ck"})
        sql += stockSum(k, "( @.qty * @.packQty )", "#0.0##") + ", " +
               stockSum(k, "( @.qty * @.packQty ) / a.packQty", "#0.0##") + ", " +
               stockSum(k, "( @.qty * @.weight )", "#0.0#") + ", ";
    sql += "'0', '0', '0' FROM   tb_goods_detail AS a       LEFT JOIN tb_goods_head AS b         ON a.headId "
           "= b.id "
           " WHERE  a.isDefault = 1 ";
    return sql;
}

QString pageStatement() {
    int page = 3;
    // GetPageSql counts through the database; build the same text by hand here
    Q_UNUSED(page);
    return "SELECT * FROM   (SELECT top 20 * FROM  ( SELECT top 60 * FROM (select "
           "0,id,passName,accountName,billNo,"
           "ubillNo,utype,supplierName,totalItemRow,totalAmount,remark,creator,createTime  from "
           "temp_rpt_rkHead  where "
           "1=1  and (utype = '采购入库') and (billNo & iif(ubillNo is null,'',ubillNo) & supplierName like "
           "'%单位1%')) a "
           " order by passName asc,createTime& '~'&CStr(id)&'^' desc ) b  order by passName asc,createTime& "
           "'~'&CStr(id)&'^' asc  ) c  order by passName asc,createTime& '~'&CStr(id)&'^' desc ";
}

QStringList statements() {
    return {kRkHeadRefill, stockRefill(), pageStatement(),
            "select strMsg,fkCount from (select '当前货品在入库表已经建账,不能删除!' as strMsg,Count(*) as "
            "fkCount  "
            "from tb_rk_detail where goodsId=5 union select '当前货品在出库表已经建账,不能删除!' as "
            "strMsg,Count(*) as "
            "fkCount  from tb_ck_detail where goodsId=5) as tbTemp where tbTemp.fkCount>0"};
}

void BM_TranslateCold(benchmark::State& state) {
    const QString sql = statements()[static_cast<int>(state.range(0))];
    for (auto _ : state)
        benchmark::DoNotOptimize(AccessSql::translateUncached(sql));
    state.SetLabel(QString("%1 chars").arg(sql.size()).toStdString());
}
BENCHMARK(BM_TranslateCold)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

void BM_TranslateCached(benchmark::State& state) {
    const QString sql = statements()[static_cast<int>(state.range(0))];
    AccessSql::translate(sql);
    for (auto _ : state)
        benchmark::DoNotOptimize(AccessSql::translate(sql));
}
BENCHMARK(BM_TranslateCached)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// A statement of state.range(0) bytes of "or" terms: translation time must
// grow in proportion to the length (1 MB well under a second).
void BM_TranslateLongOrChain(benchmark::State& state) {
    QString sql = "select id from tb_goods_head where 1=0";
    for (int i = 0; sql.size() < state.range(0); ++i)
        sql += QStringLiteral(" or goodsCode='G%1' and upqty-%2>=0").arg(i).arg(i % 97);
    for (auto _ : state)
        benchmark::DoNotOptimize(AccessSql::translateUncached(sql));
    state.SetLabel(QString("%1 chars").arg(sql.size()).toStdString());
}
BENCHMARK(BM_TranslateLongOrChain)->Arg(1 << 17)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// A generated database of 20,000 bills of 10 lines, made once.
struct BenchDb {
    QTemporaryDir dir;
    BenchDb() {
        GenSize size;
        size.goods = 2000;
        size.bills = 20000;
        size.lines = 10;
        GenerateData(dir.path() + "/wms.mdb", size);
        SetAppPath(dir.path());
        sqlHelper::CloseConn();
    }
};

BenchDb& benchDb() {
    static BenchDb db;
    return db;
}

// The refill as the report runs it: translated (from the cache after the first run) and executed.
void BM_RkHeadRefill(benchmark::State& state) {
    benchDb();
    const bool cold = state.range(0) == 1;
    for (auto _ : state) {
        if (cold) AccessSql::clearCache();
        KeyValue batch;
        batch.AddItem("delete from temp_rpt_rkHead", {});
        batch.AddItem(kRkHeadRefill, {});
        batch.AddItem(kRkHeadZero, {});
        if (!sqlHelper::ExecuteTrans(batch).isResult) state.SkipWithError("refill failed");
    }
    state.SetLabel(cold ? "translated every time" : "cached translation");
}
BENCHMARK(BM_RkHeadRefill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same statements translated once beforehand and run on the engine directly.
void BM_RkHeadRefillEngineOnly(benchmark::State& state) {
    benchDb();
    sqlHelper::OpenConn();
    const QString del = AccessSql::translateUncached("delete from temp_rpt_rkHead");
    const QString ins = AccessSql::translateUncached(kRkHeadRefill);
    const QString zero = AccessSql::translateUncached(kRkHeadZero);
    Database& db = Database::instance();
    for (auto _ : state) {
        db.execute("BEGIN IMMEDIATE");
        db.execute(del);
        db.execute(ins);
        db.execute(zero);
        db.execute("COMMIT");
    }
}
BENCHMARK(BM_RkHeadRefillEngineOnly)->Unit(benchmark::kMillisecond);

void BM_StockRefill(benchmark::State& state) {
    benchDb();
    const QString sql = stockRefill();
    for (auto _ : state) {
        KeyValue batch;
        batch.AddItem("delete from temp_rpt_stock", {});
        batch.AddItem(sql, {});
        if (!sqlHelper::ExecuteTrans(batch).isResult) state.SkipWithError("refill failed");
    }
}
BENCHMARK(BM_StockRefill)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
