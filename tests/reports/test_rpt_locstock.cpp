#include "data/sqlhelper.h"
#include "fixture.h"
#include "master/location.h"
#include "reports/rpt_expiry.h"
#include "reports/rpt_locstock.h"

#include <random>

namespace {

class LocStock : public DbTest {
protected:
    // locations 1 (A) > 2 (A-01) > 3 (A-01-1), and 4 (B); 12 goods and 60 random bills
    void fill() {
        std::mt19937 rng(7);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        // locations 1 (A) > 2 (A-01) > 3 (A-01-1), and 4 (B)
        exec("insert into tb_location (id, locationCode, uname, parentId, isLock, state) values (1, 'A', "
             "'A区', "
             "0, 0, 1), "
             "(2, 'A-01', 'A区1号', 1, 0, 1), (3, 'A-01-1', 'A区1号1层', 2, 0, 1), (4, 'B', 'B区', 0, 0, 1)");
        for (int g = 1; g <= 12; ++g) {
            exec(QString(
                     "insert into tb_goods_head (id, goodsCode, goodsName, goodsTypeId) values (%1, 'G%2', "
                     "'货%1', 5)")
                     .arg(g)
                     .arg(g, 2, 10, QChar('0')));
            exec(QString(
                     "insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (%1, %1, 1, "
                     "'箱', %2)")
                     .arg(g)
                     .arg(g == 12 ? 0 : 6));
        }
        int line = 1;
        for (int b = 1; b <= 60; ++b) {
            const char* kind = b % 3 ? "rk" : "ck";
            exec(
                QString("insert into tb_%1_head (id, accountId, billNo, ispass) values (%2, %3, '%1-%2', %4)")
                    .arg(kind)
                    .arg(b)
                    .arg(pick(4) ? 2 : 30)
                    .arg(pick(4) ? 1 : 0));
            for (int k = 0; k < 1 + pick(4); ++k)
                exec(QString("insert into tb_%1_detail (id, headId, goodsId, qty, packQty, weight, "
                             "locationId) values "
                             "(%2, %3, %4, %5, 6, 0.5, %6)")
                         .arg(kind)
                         .arg(line++)
                         .arg(b)
                         .arg(1 + pick(12))
                         .arg(1 + pick(5))
                         .arg(QStringList{"Null", "1", "2", "3", "4"}[pick(5)]));
        }
        // transfers move stock between the locations at once
        for (int t = 1; t <= 12; ++t) {
            exec(QString("insert into tb_transfer_head (id, accountId, billNo, ispass) values (%1, 2, "
                         "'db-%1', %2)")
                     .arg(t)
                     .arg(pick(3) ? 1 : 0));
            exec(QString("insert into tb_transfer_detail (id, headId, goodsId, qty, packQty, weight, "
                         "fromLocationId, "
                         "toLocationId) values (%1, %1, %2, %3, 6, 0.5, %4, %5)")
                     .arg(t)
                     .arg(1 + pick(12))
                     .arg(1 + pick(5))
                     .arg(1 + pick(4))
                     .arg(QStringList{"Null", "1", "2", "3", "4"}[pick(5)]));
        }
    }
};

} // namespace

TEST_F(LocStock, EachGoodsAndLocationShowsTheBalanceOfItsApprovedLines) {
    fill();
    // what the lines of approved bills and transfers of account 2 leave, by goods and location
    const QString expected =
        "select goodsId, loc, sum(q) as q from (select d.goodsId, iif(d.locationId is "
        "null, 0, d.locationId) as loc, "
        "d.qty*d.packQty as q from tb_rk_detail d inner join tb_rk_head h on "
        "h.id=d.headId where h.ispass=1 and "
        "h.accountId=2 union all select d.goodsId, iif(d.locationId is null, 0, "
        "d.locationId), -d.qty*d.packQty from "
        "tb_ck_detail d inner join tb_ck_head h on h.id=d.headId where h.ispass=1 and "
        "h.accountId=2 union all select d.goodsId, d.fromLocationId, -d.qty*d.packQty "
        "from tb_transfer_detail d inner join tb_transfer_head h on h.id=d.headId where "
        "h.ispass=1 and h.accountId=2 union all select d.goodsId, iif(d.toLocationId is "
        "null, 0, d.toLocationId), d.qty*d.packQty from tb_transfer_detail d inner join "
        "tb_transfer_head h on h.id=d.headId where h.ispass=1 and h.accountId=2) as x group by "
        "goodsId, loc having abs(sum(q)) > 0.000001 order by goodsId, loc";
    dal_rpt_locStock dal;
    LocStockFilter f;
    f.accountIds = "2,";
    m_PageInfor page;
    page.str_orderBy = "id,locationId";
    ConditionSet none;
    const m_recordSet all =
        dal.GetListForCondition(f, none, page, "select id, locationId, totalQty, totalDefaultQty ");
    const RecordSet want = query(expected);
    ASSERT_GT(want.RecordCount(), 10);
    ASSERT_EQ(all.recordCount, want.RecordCount());
    for (int r = 0; r < want.RecordCount(); ++r) {
        EXPECT_EQ(all.recordSet.at(r, 0).toInt(), want.at(r, 0).toInt()) << r;
        EXPECT_EQ(all.recordSet.at(r, 1).toInt(), want.at(r, 1).toInt()) << r;
        EXPECT_DOUBLE_EQ(all.recordSet.at(r, 2).toDouble(), want.at(r, 2).toDouble()) << r;
        // default units: pieces ÷ 6; a default unit of 0 pieces leaves it empty
        if (all.recordSet.at(r, 0).toInt() == 12) {
            EXPECT_TRUE(all.recordSet.at(r, 3).isNull());
        } else {
            EXPECT_NEAR(all.recordSet.at(r, 3).toString().toDouble(), want.at(r, 2).toDouble() / 6, 0.001);
        }
    }

    // a subtree: A takes A-01 and A-01-1; granted only A-01-1, it is that one alone
    EXPECT_EQ(LocationSubtree(1, QString()).split(',').size(), 3);
    EXPECT_EQ(LocationSubtree(1, "0,3,4"), "3");
    EXPECT_EQ(LocationSubtree(4, "0,3"), "-1"); // nothing of it granted: nothing
    f.locationIds = LocationSubtree(2, QString());
    const m_recordSet a01 = dal.GetListForCondition(f, none, page, "select locationId ");
    ASSERT_GT(a01.recordCount, 0);
    for (int r = 0; r < a01.recordCount; ++r)
        EXPECT_TRUE(a01.recordSet.at(r, 0).toInt() == 2 || a01.recordSet.at(r, 0).toInt() == 3);
    // a keyword over goods and location
    f.locationIds.clear();
    LocStockFilter byName;
    byName.keyword = "A区1号1层";
    LocStockConditions(byName, none);
    const m_recordSet named = dal.GetListForCondition(f, none, page, "select locationCode ");
    ASSERT_GT(named.recordCount, 0);
    for (int r = 0; r < named.recordCount; ++r)
        EXPECT_EQ(named.recordSet.at(r, 0).toString(), "A-01-1");
}

TEST_F(LocStock, PagesReadOnTheirOwnJoinUpToTheWholeList) {
    fill();
    // more goods with the same code: ties must not move rows between pages
    exec("update tb_goods_head set goodsCode = 'G01' where id in (5, 7)");
    dal_rpt_locStock dal;
    LocStockFilter f;
    f.accountIds = "2,30,";
    const QString select = "select id, locationId, totalQty, goodsCode ";
    struct Case {
        QString order;
        bool desc;
        QString keyword;
        QString places;
    };
    const Case cases[] = {{"goodsCode", false, {}, {}},      {"goodsCode", true, {}, {}},
                          {"goodsCode", false, {}, "1,2,3"}, {"val(totalDefaultQty)", true, {}, {}},
                          {"locationCode", false, "A", {}},  {"goodsCode", false, "货1", {}}};
    for (const Case& c : cases) {
        f.locationIds = c.places;
        f.keyword = c.keyword;
        ConditionSet list;
        LocStockConditions(f, list);
        m_PageInfor page;
        page.str_orderBy = c.order;
        page.isDesc = c.desc;
        const m_recordSet all = dal.GetListForCondition(f, list, page, select);
        const m_recordSet counted = dal.CountForCondition(f, list);
        ASSERT_EQ(counted.recordCount, all.recordCount) << c.order.toStdString();
        ASSERT_GT(all.recordCount, 3);
        EXPECT_EQ(counted.str_condition, all.str_condition);
        for (int size : {1, 3, 7, 1000}) {
            QStringList joined;
            for (int p = 1; p <= GetPageCount(all.recordCount, size); ++p) {
                const RecordSet rs = dal.GetPage(page, p, size, select);
                EXPECT_EQ(rs.RecordCount(), std::min(size, all.recordCount - (p - 1) * size));
                for (int r = 0; r < rs.RecordCount(); ++r)
                    joined << rs.at(r, 0).toString() + "/" + rs.at(r, 1).toString() + "/" +
                                  rs.at(r, 2).toString();
            }
            QStringList whole;
            for (int r = 0; r < all.recordCount; ++r)
                whole << all.recordSet.at(r, 0).toString() + "/" + all.recordSet.at(r, 1).toString() + "/" +
                             all.recordSet.at(r, 2).toString();
            EXPECT_EQ(joined, whole) << c.order.toStdString() << " " << c.desc << " size " << size;
        }
        // the order asked for holds over the whole list
        if (c.order == "goodsCode")
            for (int r = 1; r < all.recordCount; ++r) {
                const QString a = all.recordSet.at(r - 1, 3).toString(),
                              b = all.recordSet.at(r, 3).toString();
                EXPECT_TRUE(c.desc ? a >= b : a <= b) << r;
            }
    }
    // a page past the end is the last page; nothing counted is nothing read
    m_PageInfor page;
    page.str_orderBy = dal_rpt_locStock::DefaultOrder();
    f = LocStockFilter();
    f.accountIds = "2,";
    const int rows = dal.CountForCondition(f, ConditionSet()).recordCount;
    EXPECT_EQ(dal.GetPage(page, 99, 5, select).RecordCount(), rows % 5 ? rows % 5 : 5);
    f.accountIds = "77,";
    EXPECT_EQ(dal.CountForCondition(f, ConditionSet()).recordCount, 0);
    EXPECT_EQ(dal.GetPage(page, 1, 5, select).RecordCount(), 0);
}

// The near-expiry report counts days from the local date: a lot expiring
// today has 0 days left, yesterday's -1; the last listed day is today + N.
TEST_F(LocStock, NearExpiryListsLotsInStockUpToTheWarningDaysExpiredFirst) {
    exec("insert into tb_location (id, locationCode, uname, parentId, isLock, state) values (1, 'A', 'A区', "
         "0, "
         "0, 1), (2, 'B', 'B区', 0, 0, 1)");
    exec("insert into tb_goods_head (id, goodsCode, goodsName, lotTracked) values (1, 'M1', '牛奶', 1), (2, "
         "'M2', '酸奶', 1)");
    exec("insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (1, 1, 1, '箱', 12), (2, "
         "2, "
         "1, '盒', 1)");
    const QDate today = QDate::currentDate();
    const int days = 5;
    auto day = [&](int offset) { return today.addDays(offset).toString("yyyy-MM-dd"); };
    // lot, goods, location, pieces in, expiry offset; all in account 2
    struct Lot {
        const char* lot;
        int goods, place, qty, offset;
    };
    const Lot lots[] = {{"T0", 1, 1, 24, 0}, {"TN", 1, 1, 5, days}, {"TN1", 1, 1, 5, days + 1},
                        {"Y1", 2, 2, 3, -1}, {"Y1", 2, 1, 4, -1},   {"OUT", 2, 1, 6, 1},
                        {"t0", 1, 1, 1, 2}};
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-1', 0)");
    int line = 0;
    for (const Lot& l : lots)
        exec(
            QString("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, weight, locationId, lotNo, "
                    "expiryDate) values (%1, 1, %2, %3, 1, 0, %4, '%5', '%6')")
                .arg(++line)
                .arg(l.goods)
                .arg(l.qty)
                .arg(l.place)
                .arg(l.lot, day(l.offset)));
    // a lot without an expiry, and a lot in another account
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, weight, locationId, lotNo) values "
         "(20, 1, "
         "1, 9, 1, 0, 1, 'NONE')");
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (2, 30, 'rk-2', 1)");
    exec(QString("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, weight, locationId, lotNo, "
                 "expiryDate) values (21, 2, 1, 7, 1, 0, 1, 'OTHER', '%1')")
             .arg(day(0)));
    dal_rpt_expiry dal;
    ExpiryFilter f;
    f.accountIds = "2,";
    f.days = days;
    const QString select = "select lotNo, locationCode, expiryDate, daysLeft, totalQty, totalDefaultQty ";
    auto rows = [&](const ExpiryFilter& filter, const ConditionSet& list = {}) {
        const int n = dal.CountForCondition(filter, list).recordCount;
        m_PageInfor page;
        page.str_orderBy = dal_rpt_expiry::DefaultOrder();
        QStringList out;
        for (int p = 1; p <= GetPageCount(n, 2); ++p) { // pages of two join up
            const RecordSet rs = dal.GetPage(page, p, 2, select);
            for (int r = 0; r < rs.RecordCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < rs.fieldCount(); ++c)
                    cells << rs.at(r, c).toString();
                out << cells.join('|');
            }
        }
        return out;
    };
    EXPECT_EQ(rows(f), QStringList()) << "unapproved lines hold nothing";
    exec("update tb_rk_head set ispass = 1 where id = 1");
    // the lot sold out is not listed; the lot's case counts
    exec("insert into tb_ck_head (id, accountId, billNo, ispass) values (1, 2, 'ck-1', 1)");
    exec("insert into tb_ck_detail (id, headId, goodsId, qty, packQty, weight, locationId, lotNo) values (1, "
         "1, "
         "2, 6, 1, 0, 1, 'OUT'), (2, 1, 1, 4, 1, 0, 1, 'T0')");
    const QStringList want = {"Y1|A|" + day(-1) + "|-1|4|4.0", "Y1|B|" + day(-1) + "|-1|3|3.0",
                              "T0|A|" + day(0) + "|0|20|1.667", "t0|A|" + day(2) + "|2|1|0.083",
                              "TN|A|" + day(days) + "|" + QString::number(days) + "|5|0.417"};
    EXPECT_EQ(rows(f), want);
    // N = 0 keeps today and what has expired; another account adds its own lot
    f.days = 0;
    EXPECT_EQ(rows(f), want.mid(0, 3));
    f.accountIds = "2,30,";
    EXPECT_EQ(rows(f).size(), 4);
    // a location, and a keyword over the lot
    f = ExpiryFilter();
    f.accountIds = "2,";
    f.days = days;
    f.locationIds = "2";
    EXPECT_EQ(rows(f), want.mid(1, 1));
    f.locationIds.clear();
    f.keyword = "TN";
    ConditionSet list;
    ExpiryConditions(f, list);
    EXPECT_EQ(rows(f, list), want.mid(4, 1));

    // the kept warning days: a negative number is refused and changes nothing
    EXPECT_EQ(ExpiryWarnDays(), 30);
    EXPECT_FALSE(SetExpiryWarnDays(-1));
    EXPECT_TRUE(SetExpiryWarnDays(days));
    EXPECT_EQ(ExpiryWarnDays(), days);
    EXPECT_EQ(ExpiringLotCount("2,", "1,2", days), 5);
    EXPECT_EQ(ExpiringLotCount("2,30,", "2", days), 1);
}
