#include "access/datamaintenance.h"
#include "bills/bill.h"
#include "bills/billstore.h"
#include "bills/stocktake.h"
#include "fixture.h"
#include "schema/stockbalance.h"

#include <QDir>
#include <QFile>

namespace {

const QString kTime = "2026-12-05 09:00:00";

class StockTake : public DbTest {
protected:
    // locations 1 (A) > 2, 3 (B); goods 1..4 of category 5 in boxes of 6,
    // goods 5 of category 70 in pieces (its default unit holds 0)
    void SetUp() override {
        DbTest::SetUp();
        exec("insert into tb_location (id, locationCode, uname, parentId, isLock, state) values (1, 'A', "
             "'A区', "
             "0, 0, 1), (2, 'A-01', 'A区1号', 1, 0, 1), (3, 'B', 'B区', 0, 0, 1)");
        exec("insert into tb_dictionary (id, utype, uname, parentId, isstart, isSystemSet) values (70, "
             "'goodsType', '配件', 0, 1, 0)");
        for (int g = 1; g <= 5; ++g) {
            exec(QString(
                     "insert into tb_goods_head (id, goodsCode, goodsName, goodsTypeId, status) values (%1, "
                     "'G%1', '货%1', %2, '启用')")
                     .arg(g)
                     .arg(g == 5 ? 70 : 5));
            exec(
                QString("insert into tb_goods_detail (id, headId, isDefault, goodsDetailCode, unit, packQty, "
                        "weight, inPrice, salePrice) values (%1, %1, 1, '69%1', '箱', %2, 3, %1.5, %1.75), "
                        "(%3, %1, 0, '68%1', '个', 1, 0.5, 0.25, 0.5)")
                    .arg(g)
                    .arg(g == 5 ? 0 : 6)
                    .arg(g + 10));
        }
    }
    // An approved stock-in (pieces > 0) or stock-out line of goods at a location.
    void move(int goods, int location, double pieces, int account = 2) {
        const bool in = pieces > 0;
        const QString kind = in ? "rk" : "ck";
        const int id =
            scalar("select iif(max(id) is null, 0, max(id)) + 1 from tb_" + kind + "_head").toInt();
        exec(QString("insert into tb_%1_head (id, accountId, billNo, ispass) values (%2, %3, '%1-x-%2', 1)")
                 .arg(kind)
                 .arg(id)
                 .arg(account));
        exec(QString("insert into tb_%1_detail (headId, goodsId, qty, packQty, weight, locationId) values "
                     "(%2, %3, "
                     "%4, 1, 0.5, %5)")
                 .arg(kind)
                 .arg(id)
                 .arg(goods)
                 .arg(std::abs(pieces))
                 .arg(location));
    }
    double balance(int goods, int location, int account = 2) {
        return scalar(
                   QString(
                       "select iif(sum(importQty - exportQty) is null, 0, sum(importQty - exportQty)) from "
                       "tb_stock_location where goodsId=%1 and locationId=%2 and accountId=%3")
                       .arg(goods)
                       .arg(location)
                       .arg(account))
            .toDouble();
    }
    StockTakeHead start(int location, int type = 0, int account = 2) {
        StockTakeHead h;
        h.accountId = account;
        h.locationId = location;
        h.goodsTypeId = type;
        h.creator = "admin";
        h.createTime = kTime;
        h.userId = 1;
        last = dal.Start(h, QString());
        return h;
    }
    StockTakeLine goods(int id, int location) {
        StockTakeLine l;
        double pieces = 0;
        EXPECT_EQ(StockTakeGoodsForCode(QString("69%1").arg(id), 0, l, pieces), 1);
        l.locationId = location;
        return l;
    }
    dal_stocktake dal;
    m_DBresult last;
};

} // namespace

TEST_F(StockTake, StartingRecordsTheBookBalanceOfTheSubtreeAndRefusesOverlappingCounts) {
    move(1, 1, 60);
    move(1, 2, 12);
    move(2, 2, 30);
    move(2, 2, -30); // nothing left: not listed
    move(3, 3, 18);
    move(5, 2, 7);
    move(4, 2, 50, 9); // another account
    const StockTakeHead a = start(1);
    ASSERT_TRUE(last.isResult) << last.str_MsgBox.toStdString();
    EXPECT_EQ(a.billNo, "pd-2612-00001");
    EXPECT_EQ(a.places, "1,2");
    const std::vector<StockTakeLine> lines = dal.Lines(a.id);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].goodsCode, "G1"); // by location code, then goods code
    EXPECT_EQ(lines[0].locationCode, "A");
    EXPECT_DOUBLE_EQ(lines[0].bookQty, 60);
    EXPECT_EQ(lines[0].unit, "箱");
    EXPECT_DOUBLE_EQ(lines[0].packQty, 6);
    EXPECT_EQ(lines[2].goodsCode, "G5");
    EXPECT_DOUBLE_EQ(lines[2].bookQty, 7);
    for (const StockTakeLine& l : lines)
        EXPECT_FALSE(l.countQty);

    // A-01 lies inside A: refused with the open count's number, nothing stored
    start(2);
    EXPECT_FALSE(last.isResult);
    EXPECT_TRUE(last.str_MsgBox.contains("pd-2612-00001")) << last.str_MsgBox.toStdString();
    EXPECT_EQ(scalar("select count(*) from tb_stocktake_head").toInt(), 1);
    // every location overlaps too; B, another account or another category does not
    start(0);
    EXPECT_FALSE(last.isResult);
    EXPECT_EQ(start(3).billNo, "pd-2612-00002");
    EXPECT_TRUE(start(1, 0, 9).id > 0);
    EXPECT_EQ(dal.Lines(scalar("select max(id) from tb_stocktake_head").toInt()).size(), 1u);

    // an abandoned count frees its locations; a category keeps to its goods
    ASSERT_TRUE(dal.Abandon(a.id, "admin", kTime).isResult);
    EXPECT_EQ(dal.GetModel(a.id).state, kAbandoned);
    // a category takes those below it
    exec("insert into tb_dictionary (id, utype, uname, parentId, isstart, isSystemSet) values (80, "
         "'goodsType', "
         "'大类', 0, 1, 0)");
    exec("update tb_dictionary set parentId = 80 where id = 70");
    const StockTakeHead parts = start(1, 80);
    ASSERT_TRUE(last.isResult);
    ASSERT_EQ(dal.Lines(parts.id).size(), 1u);
    EXPECT_EQ(dal.Lines(parts.id)[0].goodsCode, "G5");
    start(2, 5);
    EXPECT_TRUE(last.isResult) << "categories 5 and 70 share no goods";
    start(2, 70);
    EXPECT_FALSE(last.isResult);
}

TEST_F(StockTake, PostingMakesTheCountedQuantitiesTheBalance) {
    move(1, 1, 60); // counted 8 boxes: 48, shortage 12
    move(2, 1, 12); // counted by scans: 2 boxes + 3 pieces = 15, surplus 3
    move(3, 2, 30); // uncounted: counts as 0
    move(5, 2, 7);  // in pieces: counted 9
    move(4, 2, 24); // counted 4 boxes = 24, but 6 leave during the count
    StockTakeHead h = start(0);
    ASSERT_TRUE(last.isResult);
    StockTakeSheet sheet;
    sheet.load(dal.GetModel(h.id), dal.Lines(h.id));
    ASSERT_EQ(sheet.lines().size(), 5u);
    QString error;
    auto row = [&](int goodsId, int location) { return sheet.find(goodsId, location); };
    ASSERT_TRUE(sheet.setCounted(row(1, 1), "8", &error));
    EXPECT_FALSE(sheet.setCounted(row(1, 1), "-1", &error));
    EXPECT_EQ(error, "盘点数量不能小于 0!");
    EXPECT_FALSE(sheet.setCounted(row(1, 1), "八", &error));
    EXPECT_DOUBLE_EQ(*sheet.lines()[row(1, 1)].countQty, 48) << "a refused entry changes nothing";
    StockTakeLine scanned;
    double pieces = 0;
    ASSERT_EQ(StockTakeGoodsForCode("692", 0, scanned, pieces), 1);
    EXPECT_DOUBLE_EQ(pieces, 6); // the default unit's barcode: one box
    scanned.locationId = 1;
    EXPECT_EQ(sheet.add(scanned, pieces, &error), row(2, 1));
    EXPECT_EQ(sheet.add(scanned, pieces, &error), row(2, 1));
    ASSERT_EQ(StockTakeGoodsForCode("682", 0, scanned, pieces), 1);
    EXPECT_DOUBLE_EQ(pieces, 1); // the piece's barcode
    scanned.locationId = 1;
    for (int k = 0; k < 3; ++k)
        sheet.add(scanned, pieces, &error);
    EXPECT_DOUBLE_EQ(*sheet.lines()[row(2, 1)].countQty, 15);
    EXPECT_EQ(StockTakeGoodsForCode("no-such-code", 0, scanned, pieces), 0);
    ASSERT_TRUE(sheet.setCounted(row(5, 2), "9", &error)); // counted in pieces
    ASSERT_TRUE(sheet.setCounted(row(4, 2), "4", &error));
    // found where the books have none: added with a book balance of 0
    StockTakeLine found = goods(1, 3);
    const int added = sheet.add(found, 6, &error);
    ASSERT_EQ(added, 5);
    EXPECT_DOUBLE_EQ(sheet.lines()[added].bookQty, 0);
    EXPECT_EQ(sheet.uncounted(), 1);
    ASSERT_TRUE(sheet.dirty());
    ASSERT_TRUE(dal.SaveCounts(h.id, sheet.lines()).isResult);
    EXPECT_FALSE(sheet.dirty());
    EXPECT_GT(sheet.lines()[added].id, 0);
    // saved twice: nothing doubles
    ASSERT_TRUE(dal.SaveCounts(h.id, sheet.lines()).isResult);
    EXPECT_EQ(
        scalar("select count(*) from tb_stocktake_detail where headId=" + QString::number(h.id)).toInt(), 6);

    // moved to A by an approved transfer while the count goes on: it left one place and came
    // to another where the count has no line for it (told, left alone)
    exec("insert into tb_transfer_head (id, accountId, billNo, ispass) values (1, 2, 'db-1', 1)");
    exec("insert into tb_transfer_detail (id, headId, goodsId, qty, packQty, fromLocationId, toLocationId) "
         "values "
         "(1, 1, 4, 6, 1, 2, 1)");
    move(3, 1, 6); // came in
    const std::vector<StockTakeMove> moved = dal.Moved(h.id);
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_EQ(moved[0].goodsCode, "G4");
    EXPECT_DOUBLE_EQ(moved[0].nowQty, 18);
    EXPECT_TRUE(moved[0].listed);
    EXPECT_EQ(moved[1].goodsCode, "G3");
    EXPECT_EQ(moved[1].locationCode, "A");
    EXPECT_FALSE(moved[1].listed);
    EXPECT_EQ(moved[2].goodsCode, "G4");
    EXPECT_EQ(moved[2].locationCode, "A");
    EXPECT_DOUBLE_EQ(moved[2].nowQty, 6);

    const m_DBresult refused = dal.Post(h.id, false, "admin", kTime);
    EXPECT_FALSE(refused.isResult);
    EXPECT_TRUE(refused.str_MsgBox.contains("1 行没有盘点")) << refused.str_MsgBox.toStdString();
    EXPECT_EQ(scalar("select count(*) from tb_rk_head where remark like '%pd-%'").toInt(), 0);
    const m_DBresult posted = dal.Post(h.id, true, "admin", kTime);
    ASSERT_TRUE(posted.isResult) << posted.str_MsgBox.toStdString();

    EXPECT_DOUBLE_EQ(balance(1, 1), 48);
    EXPECT_DOUBLE_EQ(balance(2, 1), 15);
    EXPECT_DOUBLE_EQ(balance(3, 2), 0);
    EXPECT_DOUBLE_EQ(balance(5, 2), 9);
    EXPECT_DOUBLE_EQ(balance(4, 2), 24);
    EXPECT_DOUBLE_EQ(balance(1, 3), 6);
    EXPECT_DOUBLE_EQ(balance(3, 1), 6);
    EXPECT_DOUBLE_EQ(balance(4, 1), 6);
    EXPECT_TRUE(CheckStockLocation().empty());
    EXPECT_TRUE(CheckStockBalance().empty());

    const StockTakeHead done = dal.GetModel(h.id);
    EXPECT_EQ(done.state, kPosted);
    ASSERT_GT(done.rkHeadId, 0);
    ASSERT_GT(done.ckHeadId, 0);
    const RecordSet in =
        query("select h.ispass, t.uname, t.isSystemSet, h.remark, h.supplierId from tb_rk_head h "
              "inner join tb_dictionary t on t.id = h.utypeId where h.id=" +
              QString::number(done.rkHeadId));
    EXPECT_EQ(in.at(0, 0).toInt(), 1);
    EXPECT_EQ(in.at(0, 1).toString(), "盘盈");
    EXPECT_EQ(in.at(0, 2).toInt(), 1);
    EXPECT_TRUE(in.at(0, 3).toString().contains(h.billNo));
    EXPECT_EQ(
        scalar("select t.uname from tb_ck_head h inner join tb_dictionary t on t.id = h.utypeId where h.id=" +
               QString::number(done.ckHeadId))
            .toString(),
        "盘亏");
    // surpluses: G2 half a box, G4 one box (24 counted, 18 booked), G1 at B one box, G5 none (in pieces),
    // valued at the default unit's purchase price
    const RecordSet lines =
        query("select goodsCode, unit, packQty, qty, inPrice, rowNo from tb_rk_detail where "
              "headId=" +
              QString::number(done.rkHeadId) + " order by rowNo");
    ASSERT_EQ(lines.RecordCount(), 4);
    QStringList got;
    for (int r = 0; r < lines.RecordCount(); ++r) {
        got << QString("%1 %2 %3 %4 %5")
                   .arg(lines.at(r, 0).toString(), lines.at(r, 1).toString())
                   .arg(lines.at(r, 2).toDouble())
                   .arg(lines.at(r, 3).toDouble())
                   .arg(lines.at(r, 4).toDouble());
        EXPECT_EQ(lines.at(r, 5).toInt(), r + 1);
    }
    EXPECT_EQ(got, QStringList({"G2 箱 6 0.5 2.5", "G4 箱 6 1 4.5", "G5 箱 1 2 5.5", "G1 箱 6 1 1.5"}));
    EXPECT_EQ(
        scalar("select sum(qty * packQty) from tb_ck_detail where headId=" + QString::number(done.ckHeadId))
            .toDouble(),
        12 + 30);
    // shortages carry both prices of the default unit: G1 two boxes, G3 five
    const QString shortages = " from tb_ck_detail where headId=" + QString::number(done.ckHeadId);
    EXPECT_DOUBLE_EQ(scalar("select sum(qty * inPrice)" + shortages).toDouble(), 2 * 1.5 + 5 * 3.5);
    EXPECT_DOUBLE_EQ(scalar("select sum(qty * salePrice)" + shortages).toDouble(), 2 * 1.75 + 5 * 3.75);
    // a new bill's last price passes over the adjustment bills, with or without a partner
    EXPECT_FALSE(NewStockInStore()->LastPrice(0, "G2"));
    exec("update tb_rk_head set supplierId = 7 where id=" + QString::number(done.rkHeadId));
    EXPECT_FALSE(NewStockInStore()->LastPrice(7, "G2"));
    exec("update tb_ck_head set customerId = 7 where id=" + QString::number(done.ckHeadId));
    EXPECT_FALSE(NewStockOutStore()->LastPrice(7, "G1"));

    // once posted, the lines show the book they were posted against
    const std::vector<StockTakeLine> after = dal.Lines(h.id);
    for (const StockTakeLine& l : after)
        if (l.goodsId == 4) {
            EXPECT_DOUBLE_EQ(l.book(), 18);
            EXPECT_DOUBLE_EQ(l.difference(), 6);
        }

    // the adjustment bills stay: neither withdrawn nor deleted
    EXPECT_EQ(CountOfAdjustmentBill(false, done.rkHeadId), h.billNo);
    m_rk_head back;
    back.id = done.rkHeadId;
    back.ispass = 0;
    EXPECT_EQ(dal_rk_head().Update_pass(back), 0);
    exec("update tb_ck_head set ispass = 0 where id=" + QString::number(done.ckHeadId)); // by hand
    const m_DBresult deleted = dal_ck_head().Delete(done.ckHeadId);
    EXPECT_FALSE(deleted.isResult);
    EXPECT_TRUE(deleted.str_MsgBox.contains(h.billNo));
    // a posted count takes no more counts, no second posting, no abandoning
    sheet.load(done, dal.Lines(h.id));
    EXPECT_EQ(sheet.add(goods(1, 1), 6, &error), -1);
    EXPECT_TRUE(error.contains("已过账"));
    EXPECT_FALSE(sheet.setCounted(0, "1", &error));
    sheet.lines()[0].changed = true;
    EXPECT_FALSE(dal.SaveCounts(h.id, sheet.lines()).isResult);
    EXPECT_FALSE(dal.Post(h.id, true, "admin", kTime).isResult);
    EXPECT_FALSE(dal.Abandon(h.id, "admin", kTime).isResult);
    EXPECT_EQ(scalar("select count(*) from tb_rk_head where remark like '%" + h.billNo + "%'").toInt(), 1);
}

// A goods kept by lot is counted per lot; posting brings each lot to what was found.
TEST_F(StockTake, LotTrackedGoodsAreCountedAndPostedPerLot) {
    exec("update tb_goods_head set lotTracked = 1 where id = 1");
    auto lotIn = [&](const char* lot, const char* expiry, double pieces) {
        move(1, 1, pieces);
        exec(
            QString("update tb_rk_detail set lotNo = '%1', expiryDate = '%2' where id = (select max(id) from "
                    "tb_rk_detail)")
                .arg(lot, expiry));
    };
    lotIn("L1", "2027-01-01", 12);
    lotIn("l1", "2027-02-01", 6); // another lot: lots keep their case
    move(2, 1, 12);
    StockTakeHead h = start(0);
    ASSERT_TRUE(last.isResult);
    StockTakeSheet sheet;
    sheet.load(dal.GetModel(h.id), dal.Lines(h.id));
    ASSERT_EQ(sheet.lines().size(), 3u);
    const int l1 = sheet.findLot(1, 1, "L1"), lower = sheet.findLot(1, 1, "l1");
    ASSERT_GE(l1, 0);
    ASSERT_GE(lower, 0);
    EXPECT_EQ(sheet.find(1, 1), -1) << "no line of the whole location for a goods kept by lot";
    EXPECT_DOUBLE_EQ(sheet.lines()[l1].bookQty, 12);
    EXPECT_EQ(sheet.lotsAt(1, 1), QStringList({"L1", "l1"}));
    EXPECT_GE(sheet.find(2, 1), 0);
    // a scan must name its lot; a lot the books do not know is added
    StockTakeLine scanned = goods(1, 1);
    ASSERT_TRUE(scanned.lotTracked);
    QString error;
    EXPECT_EQ(sheet.add(scanned, 6, &error), -1);
    EXPECT_EQ(error, "货品 G1 按批次管理, 请按批次盘点!");
    scanned.byLot = true;
    scanned.lotNo = "L1";
    EXPECT_EQ(sheet.add(scanned, 6, &error), l1);
    scanned.lotNo = "L9";
    const int found = sheet.add(scanned, 6, &error);
    ASSERT_EQ(found, 3);
    ASSERT_TRUE(sheet.setCounted(lower, "0", &error));
    ASSERT_TRUE(sheet.setCounted(sheet.find(2, 1), "2", &error));
    ASSERT_TRUE(dal.SaveCounts(h.id, sheet.lines()).isResult);
    ASSERT_TRUE(dal.SaveCounts(h.id, sheet.lines()).isResult);
    const std::vector<StockTakeLine> stored = dal.Lines(h.id);
    ASSERT_EQ(stored.size(), 4u);
    // a stock-out of lot L1 during the count: posting takes the lot's balance then
    move(1, 1, -2);
    exec("update tb_ck_detail set lotNo = 'L1' where id = (select max(id) from tb_ck_detail)");
    ASSERT_TRUE(dal.Post(h.id, false, "admin", kTime).isResult) << qPrintable(last.str_MsgBox);
    // each lot as found: L1 counted 6 (10 on the books at posting), l1 found empty, L9 new
    QStringList lots;
    for (const LotBalance& l : GoodsLots(1, "2", 1))
        lots << l.lotNo + "=" + QString::number(l.pieces);
    EXPECT_EQ(lots, QStringList({"L1=6", "L9=6"}));
    EXPECT_DOUBLE_EQ(balance(1, 1), 12);
    EXPECT_DOUBLE_EQ(balance(2, 1), 12);
    // the surplus of the found lot came in with no expiry; the lost L1 went out as L1
    EXPECT_EQ(scalar("select lotNo from tb_rk_detail where remark like '盘点单%'").toString(), "L9");
    EXPECT_EQ(scalar("select count(*) from tb_ck_detail where remark like '盘点单%'").toInt(), 2);
}

TEST_F(StockTake, ScansKeepToTheCountsLocationsAndCategory) {
    move(1, 2, 6);
    move(5, 2, 3);
    StockTakeHead h = start(2, 5);
    ASSERT_TRUE(last.isResult) << qPrintable(last.str_MsgBox);
    StockTakeSheet sheet;
    sheet.load(dal.GetModel(h.id), dal.Lines(h.id));
    ASSERT_EQ(sheet.lines().size(), 1u);
    QString error;
    StockTakeLine elsewhere = goods(1, 3);
    elsewhere.locationCode = "B";
    EXPECT_EQ(sheet.add(elsewhere, 6, &error), -1);
    EXPECT_EQ(error, "库位 B 不在本次盘点的范围内!");
    EXPECT_EQ(sheet.add(goods(5, 2), 1, &error), -1);
    EXPECT_TRUE(error.contains("货品类别"));
    EXPECT_EQ(sheet.add(goods(1, 2), 0, &error), -1);
    EXPECT_EQ(sheet.lines().size(), 1u);
    EXPECT_FALSE(sheet.dirty());
    // the dictionary entries of the adjustments are there before any posting
    EXPECT_EQ(scalar("select count(*) from tb_dictionary where isSystemSet=1 and ((utype='importType' and "
                     "uname='盘盈') or (utype='exportType' and uname='盘亏'))")
                  .toInt(),
              2);
}

TEST_F(StockTake, ClearingAndInitialisingKnowTheCounts) {
    // each clearing backs up first, under a name of the second: the earlier ones make way
    auto clear = [this](const QStringList& groups) {
        for (const QString& f : QDir(folder()).entryList({"CompactBackUp_*"}, QDir::Files))
            QFile::remove(folder() + f);
        return ClearDataGroups(groups);
    };
    move(1, 1, 12);
    const StockTakeHead h = start(0);
    ASSERT_TRUE(last.isResult);
    // goods and locations of a count cannot be cleared; the stock-in bills take the counts with them
    ClearOutcome out = clear({"tb_goods"});
    EXPECT_EQ(out.refusal, "货品信息已经在入库表建账,不允许清空!");
    exec("delete from tb_rk_detail");
    exec("delete from tb_rk_head");
    out = clear({"tb_goods"});
    EXPECT_EQ(out.refusal, "货品信息已经在盘点表建账,不允许清空!");
    EXPECT_EQ(clear({"tb_location"}).refusal, "库位信息已经在盘点表建账,不允许清空!");
    out = clear({"tb_import", "tb_goods", "tb_location"});
    EXPECT_TRUE(out.refusal.isEmpty()) << out.refusal.toStdString();
    EXPECT_EQ(out.cleared, 3);
    EXPECT_EQ(scalar("select count(*) from tb_stocktake_head").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from tb_stocktake_detail").toInt(), 0);

    // initialisation keeps the adjustment types (system entries) and drops the counts
    move(1, 1, 6);
    start(0);
    ASSERT_TRUE(last.isResult);
    for (const QString& f : QDir(folder()).entryList({"CompactBackUp_*"}, QDir::Files))
        QFile::remove(folder() + f);
    EXPECT_TRUE(InitialiseData().isEmpty());
    EXPECT_EQ(scalar("select count(*) from tb_stocktake_head").toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from tb_dictionary where uname in ('盘盈', '盘亏')").toInt(), 2);
    EXPECT_EQ(h.billNo, "pd-2612-00001");
}

TEST_F(StockTake, AWrongScanIsTakenAwayAgainTheLinesOfTheStartStay) {
    move(1, 2, 6);
    const StockTakeHead h = start(0);
    ASSERT_TRUE(last.isResult);
    StockTakeSheet sheet;
    sheet.load(dal.GetModel(h.id), dal.Lines(h.id));
    QString error;
    const int wrong = sheet.add(goods(2, 3), 6, &error); // stored once, then found to be wrong
    ASSERT_GE(wrong, 0);
    ASSERT_TRUE(sheet.save(dal).isResult);
    const int unsaved = sheet.add(goods(3, 3), 1, &error);
    ASSERT_GE(unsaved, 0);
    EXPECT_FALSE(sheet.remove(sheet.find(1, 2), &error));
    EXPECT_TRUE(error.contains("不能删除")) << error.toStdString();
    ASSERT_TRUE(sheet.remove(sheet.find(3, 3), &error));
    ASSERT_TRUE(sheet.remove(sheet.find(2, 3), &error));
    EXPECT_EQ(sheet.find(2, 3), -1);
    EXPECT_EQ(sheet.find(1, 2), 0);
    EXPECT_TRUE(sheet.dirty());
    ASSERT_TRUE(sheet.save(dal).isResult);
    EXPECT_FALSE(sheet.dirty());
    EXPECT_EQ(
        scalar("select count(*) from tb_stocktake_detail where headId=" + QString::number(h.id)).toInt(), 1);
    // found again after all: back on the count
    EXPECT_GE(sheet.add(goods(2, 3), 6, &error), 0);
    ASSERT_TRUE(sheet.save(dal).isResult);
    EXPECT_EQ(dal.Lines(h.id).size(), 2u);
}
