#include "bills/bill.h"
#include "bills/billcheck.h"
#include "bills/billstore.h"
#include "bills/transfer.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "fixture.h"
#include "schema/stockbalance.h"

namespace {

class BillTest : public DbTest {
protected:
    m_rk_head head(const QString& date = "2012-08-15") {
        m_rk_head h;
        h.accountId = 2;
        h.utypeId = 3;
        h.supplierId = 9;
        h.supplierName = "供应商甲";
        h.creator = "admin";
        h.createTime = date;
        h.updateLastUser = "admin";
        h.updateLastTime = "2012-08-15 10:00:00";
        h.userId = 1;
        return h;
    }
    m_rk_detail line(int goodsId, double qty, double price, const QString& code = "G1") {
        m_rk_detail d;
        d.goodsId = goodsId;
        d.goodsTypeId = 4;
        d.goodsCode = code;
        d.goodsName = "货品" + code;
        d.unit = "箱";
        d.packQty = 12;
        d.weight = 0.5;
        d.qty = qty;
        d.inPrice = price;
        d.locationId = 1;
        return d;
    }
    rk_LineSet lines(std::initializer_list<m_rk_detail> ls) {
        rk_LineSet set;
        int k = 0;
        for (const m_rk_detail& d : ls)
            set.AddItem(LineKey(kStockIn, ++k), d); // the save renumbers them
        return set;
    }
    dal_rk_head m_head;
    dal_rk_detail m_detail;
};

} // namespace

TEST_F(BillTest, AddNumbersTheBillAndItsLinesInsideTheSave) {
    m_rk_head h = head();
    rk_LineSet ls = lines({line(7, 3, 2.5), line(8, 1, 10, "G2")});
    exec("insert into tb_rk_detail (id, headId) values (41, 999)"); // line ids continue after the highest
    const m_DBresult r = m_head.Add(h, ls);
    ASSERT_TRUE(r.isResult) << qPrintable(r.str_MsgBox);
    EXPECT_EQ(h.id, 1);
    EXPECT_EQ(h.billNo, "rk-1208-00001");
    ASSERT_EQ(ls.size(), 2u);
    EXPECT_EQ(ls.Items()[0].first, LineKey(kStockIn, 42));
    EXPECT_EQ(ls.Items()[1].second.id, 43);
    EXPECT_EQ(ls.Items()[1].second.headId, 1);
    const m_rk_head stored = m_head.GetModel(1);
    EXPECT_EQ(stored.billNo, "rk-1208-00001");
    EXPECT_EQ(stored.supplierName, "供应商甲");
    EXPECT_EQ(stored.totalItemRow, "1单2项");
    EXPECT_EQ(stored.rowsCount, 2);
    EXPECT_EQ(stored.totalQty, 4);
    EXPECT_EQ(stored.totalAmount, 17.5);
    EXPECT_EQ(stored.ispass, 0);
    const m_rk_detail d = m_detail.GetModel(43);
    EXPECT_EQ(d.goodsCode, "G2");
    EXPECT_EQ(d.supplierId, 9);
    EXPECT_EQ(d.billNo, "rk-1208-00001");
    EXPECT_EQ(d.totalQty, 12);
    EXPECT_EQ(d.passName, "未审核");
    // a second bill of the month, and one of another month
    m_rk_head h2 = head(), h3 = head("2012-09-01");
    rk_LineSet none;
    ASSERT_TRUE(m_head.Add(h2, none).isResult);
    ASSERT_TRUE(m_head.Add(h3, none).isResult);
    EXPECT_EQ(h2.billNo, "rk-1208-00002");
    EXPECT_EQ(h3.billNo, "rk-1209-00001");
    EXPECT_EQ(m_head.GetModel(h2.id).totalItemRow, "1单0项");
    EXPECT_EQ(m_head.GetModel(h2.id).rowsCount, 0);
    EXPECT_EQ(m_head.GetModel(404).id, 0);
    EXPECT_EQ(m_head.GetSqlSearch("x"), "");
}

TEST_F(BillTest, ASaveSendsTheSameFewStatementsWhateverItsLines) {
    rk_LineSet ten;
    for (int k = 1; k <= 10; ++k)
        ten.AddItem(LineKey(kStockIn, k), line(k, k, 1.5, "G" + QString::number(k)));
    auto sent = [&](const std::function<m_DBresult()>& save) {
        const quint64 before = Database::instance().statementsSent();
        const m_DBresult r = save();
        EXPECT_TRUE(r.isResult) << qPrintable(r.str_MsgBox);
        return Database::instance().statementsSent() - before;
    };
    m_rk_head h;
    for (int k = 0; k < 2; ++k) { // the server prepares what it meets a second time
        h = head();
        rk_LineSet copy = ten;
        sent([&] { return m_head.Add(h, copy); });
        sent([&] { return m_head.Update_All(h, copy); });
    }
    // begin, the keys, the numbers, the head, the lines, commit
    h = head();
    rk_LineSet added = ten;
    EXPECT_LE(sent([&] { return m_head.Add(h, added); }), 6u);
    EXPECT_EQ(h.billNo, "rk-1208-00003");
    EXPECT_EQ(added.Items()[9].second.id, 50); // after the rewritten lines
    // begin, the stored bill and its count, the head, the key, the ids, the old lines, the new ones, commit
    EXPECT_LE(sent([&] { return m_head.Update_All(h, added); }), 9u);
    EXPECT_EQ(scalar("select count(*) from tb_rk_detail where headId=" + QString::number(h.id)).toInt(), 10);
}

TEST_F(BillTest, AFailedSaveStoresNothingAndLeavesTheModelsAlone) {
    exec("CREATE UNIQUE INDEX zz_one_code ON tb_rk_detail(goodsCode)"); // the second line will fail
    m_rk_head h = head();
    rk_LineSet ls = lines({line(7, 1, 1), line(7, 1, 1)});
    const m_DBresult r = m_head.Add(h, ls);
    EXPECT_FALSE(r.isResult);
    EXPECT_TRUE(r.str_MsgBox.contains("UNIQUE", Qt::CaseInsensitive)) << qPrintable(r.str_MsgBox);
    EXPECT_EQ(h.id, 0);
    EXPECT_EQ(h.billNo, "");
    EXPECT_EQ(ls.Items()[0].second.id, 0);
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt() +
                  scalar("select count(*) from tb_rk_detail").toInt(),
              0);
    m_rk_head undated = head("");
    rk_LineSet none;
    EXPECT_FALSE(m_head.Add(undated, none).isResult);
}

TEST_F(BillTest, RewriteReplacesTheLinesAndKeepsNumberDateCreatorAndApproval) {
    m_rk_head h = head();
    rk_LineSet ls = lines({line(7, 3, 2.5), line(8, 1, 10, "G2"), line(9, 2, 1, "G3")});
    ASSERT_TRUE(m_head.Add(h, ls).isResult);
    m_rk_head changed = h;
    changed.billNo = "rk-9999-99999";
    changed.createTime = "2001-01-01";
    changed.creator = "someone";
    changed.ispass = 1;
    changed.supplierName = "供应商乙";
    changed.remark = "改";
    rk_LineSet fewer = lines({line(8, 5, 10, "G2")});
    ASSERT_TRUE(m_head.Update_All(changed, fewer).isResult);
    const m_rk_head stored = m_head.GetModel(h.id);
    EXPECT_EQ(stored.billNo, h.billNo);
    EXPECT_EQ(stored.createTime, "2012-08-15");
    EXPECT_EQ(stored.creator, "admin");
    EXPECT_EQ(stored.ispass, 0);
    EXPECT_EQ(stored.supplierName, "供应商乙");
    EXPECT_EQ(stored.remark, "改");
    EXPECT_EQ(stored.rowsCount, 1);
    EXPECT_EQ(fewer.Items()[0].second.id, 4); // new lines get new ids
    EXPECT_EQ(scalar("select count(*) from tb_rk_detail where id<=3").toInt(), 0);
    // approval counts the new lines only: 5 cases of 12
    h.ispass = 1;
    m_head.Update_pass(h);
    EXPECT_EQ(scalar("select importQty from tb_stock_balance where goodsId=8").toDouble(), 60);
    EXPECT_EQ(scalar("select count(*) from tb_stock_balance where goodsId=7 and importQty<>0").toInt(), 0);
}

TEST_F(BillTest, ApprovalChangesOnlyItsFieldsAndDeleteRemovesTheWholeBill) {
    m_rk_head h = head();
    rk_LineSet ls = lines({line(7, 3, 2.5)});
    ASSERT_TRUE(m_head.Add(h, ls).isResult);
    const QString before =
        scalar("select remark & '|' & supplierName & '|' & billNo from tb_rk_head").toString();
    m_rk_head pass = m_head.GetModel(h.id);
    pass.ispass = 1;
    pass.updateLastUser = "审核人";
    pass.updateLastTime = "2012-08-16 09:00:00";
    pass.remark = "ignored";
    m_head.Update_pass(pass);
    EXPECT_EQ(scalar("select remark & '|' & supplierName & '|' & billNo from tb_rk_head").toString(), before);
    EXPECT_EQ(m_head.GetModel(h.id).updateLastUser, "审核人");
    EXPECT_EQ(m_detail.GetModel(ls.Items()[0].second.id).passName, "已审核");
    EXPECT_EQ(scalar("select importQty from tb_stock_balance where goodsId=7").toDouble(), 36);
    EXPECT_FALSE(m_head.Delete(h.id).isResult); // approved
    pass.ispass = 0;
    m_head.Update_pass(pass);
    ASSERT_TRUE(m_head.Delete(h.id).isResult);
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt() +
                  scalar("select count(*) from tb_rk_detail").toInt(),
              0);
    EXPECT_EQ(scalar("select importQty from tb_stock_balance where goodsId=7").toDouble(), 0);
}

TEST_F(BillTest, StockOutTwinCarriesCustomerAndSalePrice) {
    dal_ck_head ckHead;
    dal_ck_detail ckDetail;
    m_ck_head h;
    h.accountId = 2;
    h.customerId = 5;
    h.customerName = "客户甲";
    h.createTime = "2012-08-02";
    m_ck_detail d;
    d.goodsId = 7;
    d.goodsCode = "G1";
    d.qty = 2;
    d.inPrice = 3;
    d.salePrice = 4.5;
    d.packQty = 6;
    ck_LineSet ls;
    ls.AddItem(LineKey(kStockOut, 1), d);
    ASSERT_TRUE(ckHead.Add(h, ls).isResult);
    EXPECT_EQ(h.billNo, "ck-1208-00001");
    const m_ck_head stored = ckHead.GetModel(h.id);
    EXPECT_EQ(stored.customerName, "客户甲");
    EXPECT_EQ(stored.totalAmount, 9); // sale price times quantity
    m_ck_detail line = ckDetail.GetModel(ls.Items()[0].second.id);
    EXPECT_EQ(line.salePrice, 4.5);
    EXPECT_EQ(line.inPrice, 3);
    EXPECT_EQ(line.customerId, 5);
    line.salePrice = 5;
    line.qty = 3;
    ckDetail.Update(line);
    EXPECT_EQ(ckHead.GetModel(h.id).totalAmount, 15);
    ConditionSet c;
    c.AddItem("1", m_condition("headId", "=", h.id));
    ASSERT_TRUE(ckDetail.insert_Temp_ck_detail(c).isResult);
    ASSERT_TRUE(ckHead.insert_Temp_ck_head(ConditionSet()).isResult);
    EXPECT_EQ(scalar("select salePrice * qty from temp_ck_detail").toDouble(), 15);
    EXPECT_EQ(scalar("select customerName from temp_ck_head").toString(), "客户甲");
    const m_recordSet last =
        ckDetail.GetListForCondition(c, "select top 1 salePrice ", " order by headId Desc,id Desc");
    EXPECT_EQ(last.recordCount, 1);
    ASSERT_TRUE(ckDetail.Delete(line.id).isResult);
    EXPECT_EQ(ckHead.GetModel(h.id).rowsCount, 0);
}

TEST_F(BillTest, ABillApprovedOrDeletedMeanwhileIsNeitherRewrittenNorDeleted) {
    m_rk_head h = head();
    rk_LineSet ls = lines({line(7, 3, 2.5)});
    ASSERT_TRUE(m_head.Add(h, ls).isResult);
    // another window approved it after this one read it
    exec(QString("update tb_rk_head set ispass=1 where id=%1").arg(h.id));
    rk_LineSet other = lines({line(8, 1, 1, "G2")});
    m_DBresult r = m_head.Update_All(h, other);
    EXPECT_FALSE(r.isResult);
    EXPECT_EQ(r.str_MsgBox, "当前单据已审核,不能保存!");
    r = m_head.Delete(h.id);
    EXPECT_EQ(r.str_MsgBox, "当前单据已审核,不能删除!");
    EXPECT_EQ(scalar(QString("select goodsId from tb_rk_detail where headId=%1").arg(h.id)).toInt(), 7);
    // ... or deleted it: nothing is left behind for the next bill to take over
    exec("update tb_rk_head set ispass=0");
    ASSERT_TRUE(m_head.Delete(h.id).isResult);
    r = m_head.Update_All(h, other);
    EXPECT_EQ(r.str_MsgBox, "当前单据已被删除!");
    EXPECT_EQ(scalar("select count(*) from tb_rk_detail").toInt(), 0);
    m_rk_head pass = h;
    pass.ispass = 1;
    EXPECT_EQ(m_head.Update_pass(pass), 0);
}

// A transfer is saved, numbered, rewritten and deleted like a bill, and
// moves the balance per location only while approved.
TEST_F(BillTest, ATransferMovesTheBalancePerLocationOnlyWhileApproved) {
    auto stock = [&](int location) {
        return scalar(
                   QString(
                       "select importQty - exportQty from tb_stock_location where goodsId=7 and accountId=2 "
                       "and locationId=%1")
                       .arg(location))
            .toDouble();
    };
    m_rk_head in = head("2026-12-08");
    rk_LineSet ls = lines({line(7, 3, 2.5)}); // 36 pieces at location 1
    ASSERT_TRUE(m_head.Add(in, ls).isResult);
    exec("update tb_rk_head set ispass=1");
    const double perGoods =
        scalar("select importQty - exportQty from tb_stock_balance where goodsId=7").toDouble();
    const auto store = NewTransferStore();
    BillEntryHead h;
    h.accountId = 2;
    h.remark = "补货上架";
    h.creator = "admin";
    h.createTime = "2026-12-08";
    h.userId = 1;
    BillEntryLine l;
    l.goodsId = 7;
    l.goodsCode = "G1";
    l.goodsName = "货品G1";
    l.unit = "箱";
    l.packQty = 12;
    l.weight = 0.5;
    l.qty = 2;
    l.locationId = 1;
    l.toLocationId = 2;
    ASSERT_TRUE(store->Save(h, {l}).isResult);
    EXPECT_EQ(h.billNo, "db-2612-00001");
    BillEntryHead second = h;
    second.id = 0;
    ASSERT_TRUE(store->Save(second, {l, l}).isResult);
    EXPECT_EQ(second.billNo, "db-2612-00002");
    EXPECT_EQ(stock(1), 36); // not approved yet
    // the question at entry counts what the bill's other lines already take out
    EXPECT_EQ(TransferStockQuestion(7, "货品G1", 2, 1, "A-01", 24), "");
    EXPECT_EQ(TransferStockQuestion(7, "货品G1", 2, 1, "A-01", 24, 24),
              "库位[A-01]的货品[货品G1]库存(12)-调出数(24) = -12 出现负数,是否继续调拨?");
    EXPECT_EQ(TransferStockQuestion(8, "货品G2", 2, 1, "A-01", 1),
              "库位[A-01]的货品[货品G2]库存(0)-调出数(1) = -1 出现负数,是否继续调拨?");
    ASSERT_TRUE(store->SetPass(h.id, 1, "admin", "2026-12-08 10:00:00"));
    EXPECT_EQ(stock(1), 12);
    EXPECT_EQ(stock(2), 24);
    EXPECT_EQ(scalar("select importQty - exportQty from tb_stock_balance where goodsId=7").toDouble(),
              perGoods);
    const BillEntryHead loaded = store->Load(h.id);
    EXPECT_EQ(loaded.remark, "补货上架");
    EXPECT_EQ(loaded.ispass, 1);
    const auto rows = store->Lines(h.id);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].line.toLocationId, 2);
    EXPECT_EQ(rows[0].qty, "2");
    EXPECT_EQ(scalar(QString("select totalQty from v_transfer_head where id=%1").arg(h.id)).toDouble(), 24);
    // an approved transfer is neither rewritten nor deleted
    EXPECT_EQ(store->Save(h, {l, l}).str_MsgBox, "当前单据已审核,不能保存!");
    EXPECT_EQ(store->Delete(h.id).str_MsgBox, "当前单据已审核,不能删除!");
    // the goods sold from the to location: withdrawing asks first
    EXPECT_EQ(TransferWithdrawalShortfall(h.id), "");
    exec("insert into tb_ck_head (id, accountId, billNo, ispass) values (1, 2, 'ck-1', 1)");
    exec("insert into tb_ck_detail (id, headId, goodsId, qty, packQty, locationId) values (1, 1, 7, 20, 1, "
         "2)");
    EXPECT_EQ(TransferWithdrawalShortfall(h.id),
              "库位[]的货品[货品G1]库存(4)-调回数(24) = -20\n出现负数,是否继续?");
    ASSERT_TRUE(store->SetPass(h.id, 0, "admin", "2026-12-08 11:00:00"));
    EXPECT_EQ(stock(2), -20);
    EXPECT_EQ(stock(1), 36);
    // rewritten, then deleted; a transfer deleted meanwhile is not written again
    l.qty = 1;
    ASSERT_TRUE(store->Save(h, {l}).isResult);
    EXPECT_EQ(store->Lines(h.id).at(0).qty, "1");
    ASSERT_TRUE(store->Delete(h.id).isResult);
    EXPECT_EQ(store->Save(h, {l}).str_MsgBox, "当前单据已被删除!");
    EXPECT_EQ(scalar(QString("select count(*) from tb_transfer_detail where headId=%1").arg(h.id)).toInt(),
              0);
    sqlHelper::OpenConn();
    EXPECT_TRUE(CheckStockLocation().empty());
}

namespace {

BillEntryRow goodsLine(const QString& price, const QString& qty, const QString& location = "A-01") {
    BillEntryRow r;
    r.line.goodsCode = "G1";
    r.line.goodsId = 1;
    r.line.goodsTypeId = 4;
    r.line.goodsName = "货品";
    r.locationCode = location;
    r.price = price;
    r.qty = qty;
    return r;
}

} // namespace

TEST(BillCheck, HeadFirstThenTheLowestBadLineWithTheLinesBelowItDropped) {
    const BillCheckTexts texts{"供应商不能为空!", "请选择入库类型!", "库位!", "进价", "数量"};
    BillHeadInput head{"甲", 1, "账A", "采购", false};
    const std::vector<BillEntryRow> good = {goodsLine("1", "2")};
    // the head, field by field
    BillHeadInput h = head;
    h.partnerId = 0;
    EXPECT_EQ(CheckBill(h, good, texts).where, BillProblem::Partner);
    h = head;
    h.typeName = " ";
    h.accountName = "";
    EXPECT_EQ(CheckBill(h, good, texts).text, "请选择账目标识!");
    h.accountName = "账A";
    EXPECT_EQ(CheckBill(h, good, texts).text, "请选择入库类型!");
    h = head;
    h.approved = true;
    EXPECT_EQ(CheckBill(h, {}, texts).text, "当前单据已审核,不能保存!");
    EXPECT_EQ(CheckBill(head, good, texts).where, BillProblem::None);
    EXPECT_EQ(CheckBill(head, {goodsLine("0", "0")}, texts).where, BillProblem::None);

    // lines from the last up: empty ones go until the first bad one, which is reported
    BillEntryRow empty;
    BillEntryRow codeOnly;
    codeOnly.line.goodsCode = "X";
    std::vector<BillEntryRow> lines = {goodsLine("1", "x"), goodsLine("1", "2", ""), empty, codeOnly};
    BillProblem p = CheckBill(head, lines, texts);
    EXPECT_EQ(p.where, BillProblem::LineLocation);
    EXPECT_EQ(p.text, "库位!");
    EXPECT_EQ(p.row, 1);
    EXPECT_EQ(p.dropped, std::vector<int>({3, 2}));
    lines[1].locationCode = "A-01";
    lines[1].line.goodsName = " ";
    EXPECT_EQ(CheckBill(head, lines, texts).text, "货品名称不能为空!");
    lines[1].line.goodsName = "货品";
    p = CheckBill(head, lines, texts);
    EXPECT_EQ(p.text, "第1行数量不是有效的数字,请重新输入!");
    EXPECT_EQ(p.row, 0);
    lines[0] = goodsLine("-1", "-2"); // the price before the quantity
    EXPECT_EQ(CheckBill(head, lines, texts).text, "第1行价格不能小于0!");
    lines[0] = goodsLine("1.2.3", "1");
    EXPECT_EQ(CheckBill(head, lines, texts).text, "第1行进价不是有效的数字,请重新输入!");
    lines[0] = goodsLine("1", "-2");
    EXPECT_EQ(CheckBill(head, lines, texts).text, "第1行数量不能小于0!");

    // nothing but empty lines: all go, and the bill has no goods
    p = CheckBill(head, {empty, codeOnly}, texts);
    EXPECT_EQ(p.where, BillProblem::NoLines);
    EXPECT_EQ(p.text, "当前单据没有货品明细,不能保存!");
    EXPECT_EQ(p.dropped, std::vector<int>({1, 0}));

    // a transfer: no partner, type or price; a to location other than the from one; more than 0
    const BillCheckTexts transfer{"", "", "调出库位!", "", "数量", "调入库位!"};
    const BillHeadInput plain{"", 0, "账A", "", false};
    BillEntryRow move = goodsLine("", "2");
    EXPECT_EQ(CheckBill(plain, {move}, transfer).text, "调入库位!");
    move.toLocationCode = "a-01";
    EXPECT_EQ(CheckBill(plain, {move}, transfer).text, "第1行调出库位和调入库位不能相同!");
    move.toLocationCode = "B-01";
    EXPECT_EQ(CheckBill(plain, {move}, transfer).where, BillProblem::None);
    BillEntryRow fine = move;
    move.qty = "0";
    p = CheckBill(plain, {move, fine}, transfer);
    EXPECT_EQ(p.text, "第1行数量必须大于0!");
    EXPECT_EQ(p.where, BillProblem::LineQty);
}

// Lots and dates: goods 1 is lot-tracked with a shelf life of 180 days, goods 2 is not; lot L1 of
// goods 1 is registered to expire on 2027-06-30.
TEST(BillCheck, LotsNeedTheirNumberAndExpiryWhichFollowTheProductionDateAndTheRegisteredOne) {
    LotFacts facts;
    facts.goods = [](int goodsId) { return goodsId == 1 ? std::pair(true, 180) : std::pair(false, 0); };
    facts.registeredExpiry = [](int goodsId, const QString& lot) {
        return goodsId == 1 && lot == "L1" ? QStringLiteral("2027-06-30") : QString();
    };
    const QDate today(2026, 12, 9);
    auto line = [](int goods, const QString& lot, const QString& made, const QString& expires) {
        BillEntryRow r = goodsLine("1", "2");
        r.line.goodsId = goods;
        r.line.goodsName = goods == 1 ? "鲜牛奶" : "纸巾";
        r.line.lotNo = lot;
        r.line.productionDate = made;
        r.line.expiryDate = expires;
        return r;
    };
    std::vector<std::pair<int, QString>> fills;
    auto check = [&](std::vector<BillEntryRow> rows, bool in = true) {
        fills.clear();
        return CheckLots(rows, in, today, facts, &fills);
    };
    EXPECT_EQ(check({line(1, "", "", "2027-01-01")}).text, "第1行货品[鲜牛奶]按批次管理,批次号不能为空!");
    EXPECT_EQ(check({line(1, "L2", "", "")}).text, "第1行货品[鲜牛奶]按批次管理,有效期至不能为空!");
    // the expiry from the production date and the shelf life
    BillProblem p = check({line(2, "", "", ""), line(1, "L2", "2026-12-01", "")});
    EXPECT_EQ(p.where, BillProblem::None);
    EXPECT_EQ(fills, (std::vector<std::pair<int, QString>>{{1, "2027-05-30"}}));
    EXPECT_EQ(check({line(1, "L2", "2026-12-10", "2027-01-01")}).text, "第1行生产日期不能晚于今天!");
    EXPECT_EQ(check({line(1, "L2", "2026-12-01", "2026-11-30")}).text, "第1行有效期至不能早于生产日期!");
    EXPECT_EQ(check({line(2, "", "2026-13-01", "")}).where, BillProblem::LineProductionDate);
    EXPECT_EQ(check({line(2, "", "", "30.06.2027")}).text, "第1行有效期至不是有效的日期(yyyy-MM-dd)!");
    // a lot keeps the expiry it was registered with, or the one an earlier line of the bill gave it
    EXPECT_EQ(check({line(1, "L1", "", "2027-07-01")}).text, "批次[L1]的有效期已登记为 2027-06-30");
    EXPECT_EQ(check({line(1, "L1", "", "2027-06-30")}).where, BillProblem::None);
    p = check({line(1, "L3", "", "2027-03-01"), line(1, "L3", "", "2027-03-02")});
    EXPECT_EQ(p.text, "批次[L3]的有效期已登记为 2027-03-01");
    EXPECT_EQ(p.row, 1);
    // a goods without lot rules may carry a lot and dates, or none
    EXPECT_EQ(check({line(2, "", "", ""), line(2, "X", "2026-01-01", "")}).where, BillProblem::None);
    // going out: a line takes its lot's registered expiry, and needs no lot
    p = check({line(1, "L1", "", ""), line(1, "", "", "")}, false);
    EXPECT_EQ(p.where, BillProblem::None);
    EXPECT_EQ(fills, (std::vector<std::pair<int, QString>>{{0, "2027-06-30"}}));
}

// First expiry, first out over three dated lots (one expired) and one without an expiry.
TEST(BillCheck, LinesGoingOutAreSharedOverTheLotsFirstExpiryFirstAndExpiredLast) {
    const QDate today(2026, 12, 9);
    const std::vector<LotBalance> lots = {
        {1, "A", "2026-12-19", 5}, {1, "X", "2026-12-08", 6}, {1, "U", "", 2}, {1, "B", "2026-12-09", 4}};
    const QHash<QString, double> taken = {{"B", 1}}; // another line of the bill takes one piece of B
    QStringList asked;
    auto split = [&](double qty, bool yes) {
        asked.clear();
        return SplitByExpiry(lots, taken, qty, 6, today, [&](const LotBalance& l) {
            asked << l.lotNo;
            return yes;
        });
    };
    auto shares = [](const LotSplit& s) {
        QStringList out;
        for (const LotTake& t : s.takes)
            out << QStringLiteral("%1:%2:%3").arg(t.lotNo, t.expiryDate).arg(t.qty);
        return out;
    };
    // two cartons of six: B expiring today first, then A, then the undated lot, then the expired one
    LotSplit s = split(2, true);
    EXPECT_EQ(shares(s),
              QStringList({"B:2026-12-09:0.5", "A:2026-12-19:0.8333", "U::0.3333", "X:2026-12-08:0.3334"}));
    EXPECT_EQ(asked, QStringList({"X"}));
    EXPECT_EQ(s.shortfall, 0);
    // the expired lot refused: what is missing is the shortfall
    s = split(2, false);
    EXPECT_EQ(shares(s).size(), 3);
    EXPECT_NEAR(s.shortfall, 2 - 0.5 - 0.8333 - 0.3333, 1e-9);
    EXPECT_DOUBLE_EQ(s.available, 10);
    // a small quantity takes the first lot only and asks nothing
    s = split(0.25, true);
    EXPECT_EQ(shares(s), QStringList({"B:2026-12-09:0.25"}));
    EXPECT_TRUE(asked.isEmpty());
    // more than every lot holds, expired included
    s = split(5, true);
    EXPECT_EQ(shares(s).size(), 4);
    EXPECT_NEAR(s.shortfall, 5 - 16.0 / 6, 1e-4);
    // no lots at all
    s = SplitByExpiry({}, {}, 3, 1, today, [](const LotBalance&) { return true; });
    EXPECT_TRUE(s.takes.empty());
    EXPECT_EQ(s.shortfall, 3);
}
