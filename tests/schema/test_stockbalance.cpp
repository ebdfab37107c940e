#include "data/database.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "fixture.h"
#include "reports/rpt_stock.h"
#include "schema/dbsetup.h"
#include "schema/stockbalance.h"

#include <QCryptographicHash>
#include <random>

namespace {

class StockBalanceTest : public DbTest {
protected:
    double balance(int goodsId, const char* column, const QString& account = "2") {
        return scalar(QStringLiteral("select %1 from tb_stock_balance where goodsId=%2 and accountId %3")
                          .arg(column)
                          .arg(goodsId)
                          .arg(account == "Null" ? "is Null" : "=" + account))
            .toDouble();
    }
    // The running balances, per goods, per location and per lot, agree with the lines.
    void expectExact() {
        sqlHelper::OpenConn();
        for (const auto& diffs :
             {CheckStockBalance(), CheckStockLocation(), CheckStockLot(Database::instance())})
            for (const auto& d : diffs)
                ADD_FAILURE() << "goods " << d.goodsId.toString().toStdString() << " account "
                              << d.accountId.toString().toStdString() << " location "
                              << d.locationId.toString().toStdString() << " lot "
                              << d.lotNo.toString().toStdString() << " " << d.column.toStdString() << ": "
                              << d.stored << " instead of " << d.expected;
    }
};

} // namespace

// Shops' files hold the trigger SQL as it was written when they were made or
// migrated: the generator must keep writing it byte for byte.
TEST(StockBalanceSchemaText, StaysAsShopsFilesHoldIt) {
    QByteArray text;
    for (const QString& s : StockBalanceSchema() + StockLocationSchema())
        text += s.toUtf8() + '\n';
    EXPECT_EQ(text.size(), 35256);
    EXPECT_EQ(QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex(),
              "07a0dc2f0f99a7c39e1f45ee4e654956");
}

TEST_F(StockBalanceTest, ApprovedLinesCountInAndOut) {
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-1', 0)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, weight) values (1, 1, 7, 3, 12, 0.5)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, weight) values (2, 1, 7, 2, Null, 1)");
    EXPECT_EQ(scalar("select count(*) from tb_stock_balance where goodsId=7").toInt(), 0); // not approved
    exec("update tb_rk_head set ispass=1 where id=1");
    EXPECT_EQ(balance(7, "importQty"), 36); // a Null pack quantity counts as 0
    EXPECT_EQ(balance(7, "importWeight"), 3.5);
    exec("insert into tb_ck_head (id, accountId, billNo, ispass) values (1, 2, 'ck-1', 1)");
    exec("insert into tb_ck_detail (id, headId, goodsId, qty, packQty, weight) values (1, 1, 7, 1, 12, 0.5)");
    EXPECT_EQ(balance(7, "exportQty"), 12);
    exec("update tb_rk_detail set qty=4 where id=1");
    EXPECT_EQ(balance(7, "importQty"), 48);
    exec("update tb_rk_head set accountId=Null where id=1"); // a Null account mark is its own key
    EXPECT_EQ(balance(7, "importQty"), 0);
    EXPECT_EQ(balance(7, "importQty", "Null"), 48);
    exec("update tb_rk_head set ispass=0 where id=1");
    EXPECT_EQ(balance(7, "importQty", "Null"), 0);
    exec("delete from tb_ck_detail");
    EXPECT_EQ(balance(7, "exportQty"), 0);
    expectExact();

    // lots: what comes in registers its expiry with its lot, the earliest staying; what goes out does not
    auto lot = [&](const char* column, int location = 1) {
        return scalar(
            QStringLiteral("select %1 from tb_stock_lot where goodsId=8 and lotNo='L1' and locationId=%2")
                .arg(column)
                .arg(location));
    };
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (2, 2, 'rk-2', 1)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, locationId, lotNo, expiryDate) values "
         "(3, 2, 8, 2, 6, 1, 'L1', '2027-03-01'), (4, 2, 8, 1, 6, 1, 'L1', ''), (5, 2, 8, 1, 6, 1, 'l1', "
         "'2027-05-01')");
    EXPECT_EQ(lot("expiryDate").toString(), "2027-03-01");
    EXPECT_EQ(lot("importQty").toDouble(), 18);
    exec("update tb_rk_detail set expiryDate='2027-01-15' where id=4");
    EXPECT_EQ(lot("expiryDate").toString(), "2027-01-15");
    exec("insert into tb_ck_detail (id, headId, goodsId, qty, packQty, locationId, lotNo, expiryDate) values "
         "(2, 1, 8, 1, 6, 1, 'L1', '2026-01-01')");
    EXPECT_EQ(lot("expiryDate").toString(), "2027-01-15");
    EXPECT_EQ(lot("exportQty").toDouble(), 6);
    exec("insert into tb_transfer_head (id, accountId, billNo, ispass) values (1, 2, 'db-1', 1)");
    exec("insert into tb_transfer_detail (id, headId, goodsId, qty, packQty, fromLocationId, toLocationId, "
         "lotNo, "
         "expiryDate) values (1, 1, 8, 1, 6, 1, 5, 'L1', '2027-01-15')");
    EXPECT_EQ(lot("expiryDate", 5).toString(), "2027-01-15");
    EXPECT_EQ(lot("importQty - exportQty", 1).toDouble(), 6);
    // a lot written in another case is another lot: it keeps its own expiry
    EXPECT_EQ(scalar("select count(*) from tb_stock_lot where goodsId=8 and locationId=1").toInt(), 2);
    EXPECT_EQ(scalar("select max(expiryDate) from tb_stock_lot where goodsId=8 and locationId=1").toString(),
              "2027-05-01");
    expectExact();
    // withdrawn, a stock-in gives its expiry back: corrected and approved again, the lot takes the new one
    exec("update tb_rk_head set ispass=0 where id=2");
    EXPECT_TRUE(lot("expiryDate").isNull());
    EXPECT_EQ(lot("expiryDate", 5).toString(), "2027-01-15"); // brought by the transfer
    exec("update tb_rk_detail set expiryDate='2027-02-01' where id=4");
    exec("update tb_rk_head set ispass=1 where id=2");
    EXPECT_EQ(lot("expiryDate").toString(), "2027-02-01");
    exec("update tb_transfer_head set ispass=0 where id=1");
    EXPECT_TRUE(lot("expiryDate", 5).isNull());
    exec("update tb_transfer_detail set expiryDate='2027-02-01' where id=1");
    exec("update tb_transfer_head set ispass=1 where id=1");
    expectExact();
    // the rebuild finds the same expiries in one pass over the lines
    sqlHelper::OpenConn();
    RebuildStockLot(Database::instance());
    EXPECT_EQ(lot("expiryDate").toString(), "2027-02-01");
    EXPECT_EQ(lot("expiryDate", 5).toString(), "2027-02-01");
    EXPECT_EQ(scalar("select max(expiryDate) from tb_stock_lot where goodsId=8 and locationId=1").toString(),
              "2027-05-01");
    expectExact();
}

TEST_F(StockBalanceTest, LinesWithoutHeadCountNothingUntilTheHeadArrives) {
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty) values (1, 9, 3, 2, 5)");
    EXPECT_EQ(scalar("select count(*) from tb_stock_balance where goodsId=3").toInt(), 0);
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (8, 2, 'rk-8', 1)");
    exec("update tb_rk_head set id=9 where id=8");
    EXPECT_EQ(balance(3, "importQty"), 10);
    exec("update tb_rk_detail set headId=8 where id=1");
    EXPECT_EQ(balance(3, "importQty"), 0);
    exec("update tb_rk_detail set headId=9, goodsId=4 where id=1");
    EXPECT_EQ(balance(4, "importQty"), 10);
    exec("delete from tb_rk_head");
    EXPECT_EQ(balance(4, "importQty"), 0);
    expectExact();
}

TEST_F(StockBalanceTest, RandomisedWritesKeepTheBalanceExact) {
    std::mt19937 rng(20261206);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto number = [&]() -> QString {
        if (pick(15) == 0) return "Null";
        return QString::number(pick(2000) / 8.0);
    };
    auto account = [&]() -> QString { return QStringList{"2", "130", "Null", "2"}[pick(4)]; };
    int nextHead = 1, nextLine = 1;
    sqlHelper::OpenConn();
    if (!onServer()) Database::instance().execute("PRAGMA synchronous = OFF"); // thousands of small commits
    // stock-in, stock-out and transfers (which move the balance per location only)
    const char* sides[] = {"rk", "ck", "transfer"};
    int approvedTransferLines = 0;
    auto place = [&] { return QStringList{"Null", "0", "1", "2", "3"}[pick(5)]; };
    // lots told apart by case, and expiry dates that come and go
    auto lot = [&] {
        return QStringList{"Null", "''", "'L1'", "'l1'", "'L2'"}[pick(5)] + ", " +
               QStringList{"Null", "''", "'2027-03-01'", "'2027-01-15'"}[pick(4)];
    };
    auto addLines = [&](const QString& side, int head, int n) {
        for (int k = 0; k < n; ++k)
            exec(QStringLiteral(
                     "insert into tb_%1_detail (id, headId, goodsId, qty, packQty, weight, %9, lotNo, "
                     "expiryDate) values (%2, %3, %4, %5, %6, %7, %8, %10)")
                     .arg(side)
                     .arg(nextLine++)
                     .arg(head)
                     .arg(pick(20) == 0 ? "Null" : QString::number(1 + pick(12)))
                     .arg(number(), number(), number())
                     .arg(side == "transfer" ? place() + ", " + place() : place(),
                          side == "transfer" ? "fromLocationId, toLocationId" : "locationId")
                     .arg(lot()));
    };
    auto someHead = [&](const QString& side) {
        return scalar(QStringLiteral("select top 1 id from tb_%1_head order by random()").arg(side)).toInt();
    };
    for (int op = 0; op < 2000; ++op) {
        const QString side = sides[pick(3)];
        const int head = someHead(side);
        Database& db = Database::instance();
        switch (pick(head ? 10 : 1)) {
        case 0: { // a new bill, saved in one transaction
            sqlHelper::OpenConn();
            db.execute("BEGIN");
            const int id = nextHead++;
            exec(QStringLiteral(
                     "insert into tb_%1_head (id, accountId, billNo, ispass) values (%2, %3, '%1-%2', %4)")
                     .arg(side)
                     .arg(id)
                     .arg(account())
                     .arg(pick(3) == 0 ? 1 : 0));
            addLines(side, id, pick(11));
            db.execute("COMMIT");
            break;
        }
        case 1: // rewritten with other lines
            exec(QStringLiteral("delete from tb_%1_detail where headId=%2").arg(side).arg(head));
            addLines(side, head, pick(6));
            break;
        case 2:
        case 3: // approved or withdrawn
            exec(QStringLiteral("update tb_%1_head set ispass=%2 where id=%3")
                     .arg(side)
                     .arg(pick(2))
                     .arg(head));
            break;
        case 4: // deleted, lines first or head first
            if (pick(2)) exec(QStringLiteral("delete from tb_%1_detail where headId=%2").arg(side).arg(head));
            exec(QStringLiteral("delete from tb_%1_head where id=%2").arg(side).arg(head));
            break;
        case 5: // another account mark
            exec(QStringLiteral("update tb_%1_head set accountId=%2 where id=%3")
                     .arg(side, account())
                     .arg(head));
            break;
        case 6: // one line changed in place, perhaps moved to another bill or location
            exec(QStringLiteral("update tb_%1_detail set qty=%2, packQty=%3, goodsId=%4, headId=%5, %6 "
                                "where id in (select top 1 id from tb_%1_detail order by random())")
                     .arg(side, number(), number())
                     .arg(1 + pick(12))
                     .arg(pick(4) == 0 ? someHead(side) + pick(3) : head)
                     .arg(side == "transfer"
                              ? QStringList{"fromLocationId=" + place(), "toLocationId=" + place(),
                                            "fromLocationId=toLocationId", "lotNo='L2'"}[pick(4)]
                              : QStringList{"locationId=Null", "locationId=1", "locationId=2", "lotNo='l1'",
                                            "expiryDate='2026-12-31'"}[pick(5)]));
            break;
        case 7: // a head takes a new id
            exec(QStringLiteral("update tb_%1_head set id=%2 where id=%3")
                     .arg(side)
                     .arg(nextHead++)
                     .arg(head));
            break;
        case 8: // a failed save leaves nothing behind
            sqlHelper::OpenConn();
            db.execute("BEGIN");
            exec(QStringLiteral("update tb_%1_head set ispass=1 where id=%2").arg(side).arg(head));
            addLines(side, head, 2);
            db.execute("ROLLBACK");
            break;
        default:
            if (pick(40) == 0)
                exec(QStringLiteral("delete from tb_%1_%2").arg(side, pick(2) ? "detail" : "head"));
            else
                addLines(side, head, 1);
        }
        if (op % 250 == 0) {
            expectExact();
            approvedTransferLines =
                std::max(approvedTransferLines,
                         scalar("select count(*) from tb_transfer_detail d where exists "
                                "(select 1 from tb_transfer_head where id=d.headId and ispass=1)")
                             .toInt());
        }
    }
    expectExact();
    EXPECT_GT(scalar("select count(*) from tb_stock_balance").toInt(), 10);
    // approved transfers were there to move the balance per location (the recomputation of the
    // balance per goods, which leaves them out, found it untouched)
    EXPECT_GT(approvedTransferLines, 5);
    // the lots of a goods at a location add up to its balance there
    EXPECT_EQ(
        scalar("select count(*) from tb_stock_location l where l.goodsId is not null and l.accountId is not "
               "null and abs(l.importQty - l.exportQty - (select sum(t.importQty - t.exportQty) from "
               "tb_stock_lot t where t.goodsId = l.goodsId and t.accountId = l.accountId and t.locationId = "
               "l.locationId)) > 0.000001")
            .toInt(),
        0);
    EXPECT_GT(scalar("select count(*) from tb_stock_lot where lotNo <> ''").toInt(), 10);
}

TEST_F(StockBalanceTest, CheckFindsADriftAndRepairRebuilds) {
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-1', 1)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, weight) values (1, 1, 7, 3, 12, 0.5)");
    sqlHelper::OpenConn();
    EXPECT_TRUE(CheckStockBalance().empty());
    exec("update tb_stock_balance set importQty = importQty + 1e-9"); // drift within the tolerance
    EXPECT_TRUE(CheckStockBalance().empty());
    exec("update tb_stock_balance set importQty = 35");
    const auto diffs = CheckStockBalance();
    ASSERT_EQ(diffs.size(), 1u);
    EXPECT_EQ(diffs[0].column, "importQty");
    EXPECT_EQ(diffs[0].expected, 36);
    RebuildStockBalance();
    EXPECT_TRUE(CheckStockBalance().empty());
    // the same for the balance per location
    exec("update tb_stock_location set exportQty = 5");
    const auto byPlace = CheckStockLocation();
    ASSERT_EQ(byPlace.size(), 1u);
    EXPECT_EQ(byPlace[0].locationId.toInt(), 0);
    RebuildStockLocation();
    EXPECT_TRUE(CheckStockLocation().empty());
    // Null keys, keys on one side only (the other counts 0) and a key stored twice (summed)
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (2, Null, 'rk-2', 1)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, weight) values (2, 2, Null, 1, 2, 0)");
    exec("delete from tb_stock_balance where goodsId = 7");
    exec("insert into tb_stock_balance (goodsId, accountId, exportQty) values (5, Null, 4)");
    if (onServer()) // the server's index keeps one row per Null key
        exec("update tb_stock_balance set importQty = 3 where goodsId is Null");
    else
        exec("insert into tb_stock_balance (goodsId, accountId, importQty) values (Null, Null, 1)");
    QStringList found;
    const auto text = [](const QVariant& v) { return v.isNull() ? QStringLiteral("Null") : v.toString(); };
    for (const auto& d : CheckStockBalance())
        found << text(d.goodsId) + ' ' + text(d.accountId) + ' ' + d.column + ' ' +
                     QString::number(d.stored) + ' ' + QString::number(d.expected);
    found.sort();
    EXPECT_EQ(found, QStringList({"5 Null exportQty 4 0", "7 2 importQty 0 36", "7 2 importWeight 0 1.5",
                                  "Null Null importQty 3 2"}));
}

TEST_F(StockBalanceTest, EachLocationKeepsItsOwnBalance) {
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-1', 0)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, locationId) values (1, 1, 7, 3, 12, "
         "5), "
         "(2, 1, 7, 1, 12, 6), (3, 1, 7, 2, 1, 5), (4, 1, 8, 1, 1, Null)");
    exec("update tb_rk_head set ispass=1 where id=1");
    auto at = [&](int goods, int place) {
        return scalar(QString("select importQty - exportQty from tb_stock_location where goodsId=%1 and "
                              "locationId=%2 and accountId=2")
                          .arg(goods)
                          .arg(place))
            .toDouble();
    };
    EXPECT_EQ(at(7, 5), 38);
    EXPECT_EQ(at(7, 6), 12);
    EXPECT_EQ(at(8, 0), 1);                                  // no location: counted under 0
    exec("update tb_rk_detail set locationId=6 where id=3"); // moved shelf
    EXPECT_EQ(at(7, 5), 36);
    EXPECT_EQ(at(7, 6), 14);
    exec("insert into tb_ck_head (id, accountId, billNo, ispass) values (1, 2, 'ck-1', 1)");
    exec("insert into tb_ck_detail (id, headId, goodsId, qty, packQty, locationId) values (1, 1, 7, 1, 12, "
         "6)");
    EXPECT_EQ(at(7, 6), 2);
    exec("update tb_rk_head set ispass=0 where id=1");
    EXPECT_EQ(at(7, 5), 0);
    EXPECT_EQ(at(7, 6), -12);
    // the balance per goods is the sum over its locations
    EXPECT_EQ(scalar("select sum(importQty - exportQty) from tb_stock_location where goodsId=7").toDouble(),
              scalar("select sum(importQty - exportQty) from tb_stock_balance where goodsId=7").toDouble());
    expectExact();
}

TEST_F(StockBalanceTest, OlderFilesAreMigratedAndNewerOnesRefused) {
    SKIP_ON_SERVER("migrations of older files");
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-1', 1)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, weight) values (1, 1, 7, 3, 12, 0.5)");
    // make the file look as the first version left it
    sqlHelper::OpenConn();
    Database& db = Database::instance();
    for (const char* t : {"rk", "ck", "db"})
        for (const char* what :
             {"detail_insert", "detail_delete", "detail_update", "head_insert", "head_delete", "head_update"})
            for (const char* table : {"", "_loc", "_lot"})
                db.execute(QStringLiteral("DROP TRIGGER IF EXISTS tr_%1_%2%3").arg(t, what, table));
    for (const char* column :
         {"tb_goods_head DROP COLUMN lotTracked", "tb_goods_head DROP COLUMN shelfLifeDays",
          "tb_rk_detail DROP COLUMN productionDate", "tb_rk_detail DROP COLUMN expiryDate",
          "tb_ck_detail DROP COLUMN productionDate", "tb_ck_detail DROP COLUMN expiryDate",
          "main.temp_rpt_rkDetail DROP COLUMN productionDate",
          "main.temp_rpt_rkDetail DROP COLUMN expiryDate",
          "main.temp_rpt_ckDetail DROP COLUMN productionDate",
          "main.temp_rpt_ckDetail DROP COLUMN expiryDate"})
        db.execute(QStringLiteral("ALTER TABLE %1").arg(column));
    db.execute("DELETE FROM tb_setting WHERE setKey = 'expiryWarnDays'");
    for (const char* object :
         {"VIEW v_transfer_detail", "VIEW v_transfer_head", "TABLE tb_transfer_detail",
          "TABLE tb_transfer_head", "TABLE main.temp_rpt_dbHead", "TABLE main.temp_rpt_dbDetail"})
        db.execute(QStringLiteral("DROP %1").arg(object));
    db.execute(
        "DELETE FROM tb_sys_fun WHERE funCode LIKE 'transfer%' OR funCode LIKE 'rpt_db%' OR funCode LIKE "
        "'rpt_expiry%'");
    db.execute(
        "DELETE FROM tb_user_group_fun WHERE funCode LIKE 'transfer%' OR funCode LIKE 'rpt_db%' OR funCode "
        "LIKE 'rpt_expiry%'");
    db.execute("DROP TABLE tb_stock_lot");
    db.execute("DROP TABLE tb_stock_balance");
    db.execute("DROP TABLE tb_stock_location");
    db.execute("DROP TABLE tb_stocktake_detail");
    db.execute("DROP TABLE tb_stocktake_head");
    db.execute("DELETE FROM tb_sys_fun WHERE funCode LIKE 'stocktake%'");
    db.execute("DELETE FROM tb_user_group_fun WHERE funCode LIKE 'stocktake%'");
    db.execute("DELETE FROM tb_sys_fun WHERE funCode LIKE 'rpt_locstock%'");
    db.execute("DELETE FROM tb_user_group_fun WHERE funCode LIKE 'rpt_locstock%'");
    db.execute("PRAGMA user_version = 1");
    sqlHelper::CloseConn();
    db.close();
    EXPECT_EQ(balance(7, "importQty"), 36); // reopening migrated and filled it
    EXPECT_EQ(scalar("select importQty from tb_stock_location where goodsId=7 and locationId=0").toDouble(),
              36);
    EXPECT_EQ(scalar("select user_version from pragma_user_version").toInt(), kSchemaVersion);
    exec("update tb_rk_detail set qty=1 where id=1");
    EXPECT_EQ(balance(7, "importQty"), 12);

    sqlHelper::OpenConn();
    Database::instance().execute("PRAGMA user_version = 99");
    sqlHelper::CloseConn();
    Database::instance().close();
    try {
        sqlHelper::OpenConn();
        ADD_FAILURE() << "a newer file was opened";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("新版")) << qPrintable(e.message());
    }
    EXPECT_FALSE(Database::instance().isOpen());
}

TEST_F(StockBalanceTest, StockOfOneGoodsCountsTheGrantedEnabledAccountsOnly) {
    exec("insert into tb_dictionary (id, utype, uname, parentId, isstart) values (30, 'accountType', '二账', "
         "0, 1), "
         "(31, 'accountType', '停用账', 0, 0)");
    exec("insert into tb_goods_head (id, goodsCode, goodsName) values (7, 'G7', '七')");
    exec("insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (1, 7, 1, '箱', 12)");
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-1', 1), (2, 30, 'rk-2', "
         "1), "
         "(3, 31, 'rk-3', 1), (4, 2, 'rk-4', 0)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty) values (1, 1, 7, 1, 10), (2, 2, 7, 1, "
         "100), "
         "(3, 3, 7, 1, 1000), (4, 4, 7, 1, 10000)");
    exec("insert into tb_ck_head (id, accountId, billNo, ispass) values (1, 2, 'ck-1', 1)");
    exec("insert into tb_ck_detail (id, headId, goodsId, qty, packQty) values (1, 1, 7, 2, 1)");
    SysVar().Sys_accountJoinId = "2,31";
    dal_rpt_stock stock;
    RecordSet rs = stock.GetStockQtyForGoodCode(7);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.at(0, "totalBlanceQty").toDouble(), 8); // 10 in, 2 out; 31 is disabled, 30 not granted
    SysVar().Sys_accountJoinId = "2,30";
    EXPECT_EQ(stock.GetStockQtyForGoodCode(7).at(0, "totalBlanceQty").toDouble(), 108);
    // always current: an approval shows at once
    exec("update tb_rk_head set ispass=1 where id=4");
    EXPECT_EQ(stock.GetStockQtyForGoodCode(7).at(0, "totalBlanceQty").toDouble(), 10108);
    EXPECT_EQ(stock.GetStockQtyForGoodCode(8).RecordCount(), 0); // never stocked
    exec("update tb_goods_detail set isDefault=0");
    EXPECT_EQ(stock.GetStockQtyForGoodCode(7).RecordCount(), 0); // no default unit
    SysVar().Sys_accountJoinId = "0";
}
