#include "data/accesstext.h"
#include "guifixture.h"
#include "master/frmgoods.h"
#include "reports/frm_rpt_expiry.h"
#include "reports/frm_rpt_locstock.h"
#include "reports/frm_rpt_stock.h"
#include "ui/windowregistry.h"

#include <QMdiArea>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

namespace {

class StockWindow : public GuiDemoTest {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        loginAs("admin");
    }
    static QString at(const ReportForm& f, int row, int column) {
        const QTableWidgetItem* item = f.dg_List->item(row, column);
        return item ? item->text() : QString();
    }
    static int rowOf(const ReportForm& f, const QString& code) {
        for (int r = 0; r < f.dg_List->rowCount(); ++r)
            if (at(f, r, 5) == code) return r;
        return -1;
    }
};

} // namespace

TEST_F(StockWindow, BalancesLimitsAndFilters) {
    frm_rpt_stock f;
    f.resize(1300, 640);
    f.InitReport();
    const int goods = scalar("select count(*) from tb_goods_detail where isDefault=1").toInt();
    EXPECT_EQ(f.result.recordCount, goods);
    EXPECT_EQ(f.dg_List->horizontalHeaderItem(13)->text(), "小件汇总\n库存");
    EXPECT_EQ(at(f, 0, 5), scalar("select max(goodsCode) from tb_goods_head").toString()); // code, descending
    // the balance of one goods as the running balance has it
    f.comb_pageSize->setCurrentIndex(4);
    f.PageSizeChanged();
    const int row = rowOf(f, "SP0001");
    ASSERT_GE(row, 0);
    const double pieces =
        scalar("select sum(importQty) - sum(exportQty) from tb_stock_balance where goodsId=1 and "
               "accountId in (select id from tb_dictionary where utype='accountType' and isstart=1)")
            .toDouble();
    EXPECT_EQ(at(f, row, 13).toDouble(), pieces);
    // a lower limit above the balance paints it red; the box keeps only such goods
    exec(QString("update tb_goods_head set downqty=%1, upqty=0 where id=1").arg(pieces + 1));
    exec("update tb_goods_head set downqty=0, upqty=0 where id<>1");
    f.btn_search();
    f.comb_pageSize->setCurrentIndex(4);
    f.PageSizeChanged();
    EXPECT_EQ(f.dg_List->item(rowOf(f, "SP0001"), 13)->foreground().color(), frm_rpt_stock::lowStockColor());
    f.chk_lowStock->setChecked(true);
    f.btn_search();
    // SP0001, and goods gone below zero (under a lower limit of 0)
    EXPECT_EQ(
        f.result.recordCount,
        scalar("select count(*) from temp_rpt_stock where val(totalBlanceDefaultQty) < downqty").toInt());
    EXPECT_GE(rowOf(f, "SP0001"), 0);
    for (int r = 0; r < f.dg_List->rowCount(); ++r)
        EXPECT_EQ(f.dg_List->item(r, 19)->foreground().color(), frm_rpt_stock::lowStockColor());
    f.chk_lowStock->setChecked(false);
    // goods with a zero balance go when the box is cleared; a keyword narrows
    f.Chk_ContainerZero->setChecked(false);
    f.btn_search();
    EXPECT_EQ(f.result.recordCount,
              scalar("select count(*) from (select goodsId from tb_stock_balance where accountId "
                     "in (2,130) group by goodsId having sum(importQty) - sum(exportQty) <> 0) as x")
                  .toInt());
    f.Chk_ContainerZero->setChecked(true);
    f.txt_KeyWord->setText("KSF");
    f.btn_search();
    EXPECT_EQ(f.result.recordCount,
              scalar("select count(*) from tb_goods_head where pinyin like 'KSF%'").toInt());
    f.txt_KeyWord->clear();
    // the in totals are text, yet sort as numbers
    f.SortByColumn(11);
    f.comb_pageSize->setCurrentIndex(4);
    f.PageSizeChanged();
    for (int r = 1; r < f.dg_List->rowCount(); ++r)
        ASSERT_LE(acc::val(at(f, r - 1, 11)), acc::val(at(f, r, 11))) << r;
    // a colour belongs to its goods, not to the grid row of the page before
    exec("update tb_goods_head set downqty=1000000 where id=1");
    f.comb_pageSize->setCurrentIndex(0);
    f.pageInfo.str_orderBy = "goodsCode";
    f.pageInfo.isDesc = false;
    f.btn_search();
    EXPECT_EQ(f.dg_List->item(0, 19)->foreground().color(), frm_rpt_stock::lowStockColor()); // SP0001
    f.NextPage();
    for (int r = 0; r < f.dg_List->rowCount(); ++r) {
        if (acc::val(at(f, r, 19)) >= acc::val(at(f, r, 9))) {
            EXPECT_NE(f.dg_List->item(r, 19)->foreground().color(), frm_rpt_stock::lowStockColor()) << r;
        }
    }
    f.btn_search();
    f.show();
    screenshot(&f, "stock_report");
}

TEST_F(StockWindow, TheStockPerLocationOfAGoodsOpensFromTheGoodsWindow) {
    QMdiArea area;
    WindowRegistry::SetArea(&area);
    frmGoods goods;
    goods.ShowGoodsById(1);
    goods.ShowLocationStock();
    auto* f = qobject_cast<frm_rpt_locStock*>(WindowRegistry::Find("frm_rpt_locStock"));
    ASSERT_TRUE(f);
    const QString code = scalar("select goodsCode from tb_goods_head where id=1").toString();
    EXPECT_EQ(f->txt_KeyWord->text(), code);
    const int places =
        scalar("select count(*) from (select locationId from tb_stock_location where goodsId=1 and "
               "accountId in (select id from tb_dictionary where utype='accountType' and isstart=1) "
               "group by locationId having abs(sum(importQty-exportQty)) > 0.000001) as x")
            .toInt();
    ASSERT_GT(places, 0);
    EXPECT_EQ(f->result.recordCount, places);
    for (int r = 0; r < f->dg_List->rowCount(); ++r)
        EXPECT_EQ(at(*f, r, 4), code) << r;
    // one location's subtree
    f->txt_KeyWord->clear();
    const int index = f->cobo_location->findText("A ", Qt::MatchStartsWith);
    ASSERT_GT(index, 0);
    f->cobo_location->setCurrentIndex(index);
    f->Search();
    ASSERT_GT(f->result.recordCount, 0);
    for (int r = 0; r < f->dg_List->rowCount(); ++r)
        EXPECT_TRUE(at(*f, r, 8).startsWith("A")) << at(*f, r, 8).toStdString();
    area.resize(1240, 660);
    area.show();
    f->parentWidget()->resize(1200, 600); // the window's frame in the workspace
    screenshot(f, "stock_per_location");
    WindowRegistry::SetArea(nullptr);
}

// The demonstration shop's milk: one lot expired three days ago, one in ten
// days, one in 90 and one in 120 days.
TEST_F(StockWindow, NearExpiryColoursExpiredLotsAndKeepsItsWarningDays) {
    frm_rpt_expiry f;
    f.resize(1300, 400);
    f.InitReport();
    EXPECT_EQ(f.txt_warnDays->text(), "30");
    ASSERT_EQ(f.result.recordCount, 2);
    EXPECT_EQ(at(f, 0, 10), "M2605X");
    EXPECT_EQ(at(f, 0, 12), "-3");
    EXPECT_EQ(at(f, 1, 10), "M2606A");
    EXPECT_EQ(at(f, 1, 11), QDate::currentDate().addDays(10).toString("yyyy-MM-dd"));
    EXPECT_EQ(at(f, 1, 12), "10");
    EXPECT_EQ(f.dg_List->item(0, 5)->background().color(), QColor(255, 205, 205));
    EXPECT_EQ(f.dg_List->item(1, 5)->background().color(), QColor(255, 236, 179));
    screenshot(&f, "near_expiry");
    // a negative number is refused and changes nothing
    for (const char* wrong : {"-1", "abc", ""}) {
        f.txt_warnDays->setText(wrong);
        f.Search();
        ASSERT_FALSE(m_msg.shown.empty());
        EXPECT_EQ(m_msg.shown.back().text, "预警天数必须是0到36500之间的整数!");
        EXPECT_EQ(f.dg_List->rowCount(), 2);
        EXPECT_EQ(ExpiryWarnDays(), 30);
    }
    // the days typed are kept for the next opening and the status bar
    f.txt_warnDays->setText(" 200");
    f.Search();
    EXPECT_EQ(f.result.recordCount, 4);
    EXPECT_EQ(ExpiryWarnDays(), 200);
    EXPECT_EQ(frm_rpt_expiry().txt_warnDays->text(), "200");
}

TEST_F(StockWindow, TheLotsOfARowOfTheStockPerLocation) {
    frm_rpt_locStock f;
    f.InitReport();
    f.ShowGoods("SP0008");
    int row = -1;
    for (int r = 0; r < f.dg_List->rowCount(); ++r)
        if (at(f, r, 8) == "C-01") row = r;
    ASSERT_GE(row, 0);
    f.dg_List->setCurrentCell(row, 5);
    QStringList shown;
    m_onModal = [&](QDialog* d) {
        auto* table = d->findChild<QTableWidget*>("dg_lots");
        for (int r = 0; table && r < table->rowCount(); ++r)
            shown << table->item(r, 0)->text() + "|" + table->item(r, 2)->text() + "|" +
                         table->item(r, 3)->text();
        return 0;
    };
    f.ShowRowLots();
    EXPECT_EQ(shown, QStringList({"M2605X|-3|6", "M2606A|10|24", "M2610B|120|48"}));
    // what came in without a lot is the lot (无批次)
    f.ShowGoods("SP0001");
    ASSERT_GT(f.dg_List->rowCount(), 0);
    f.dg_List->setCurrentCell(0, 5);
    shown.clear();
    f.ShowRowLots();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], "(无批次)||" + at(f, 0, 11));
}
