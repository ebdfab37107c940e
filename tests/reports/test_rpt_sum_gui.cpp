#include "data/accesstext.h"
#include "guifixture.h"
#include "reports/frm_rpt_sum.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>

namespace {

class SumWindow : public GuiDemoTest {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        loginAs("admin");
    }
    static QString at(const ReportForm& f, int row, int column) {
        const QTableWidgetItem* item = f.dg_List->item(row, column);
        return item ? item->text() : QString();
    }
    // The search from the first of the year, every row on one page.
    static void searchAll(SumReport& f) {
        f.dt_createDateFrom->setDate(QDate(2026, 1, 1));
        f.comb_pageSize->setCurrentIndex(4);
        f.btn_search();
    }
    static QString totalOf(const ReportForm& f, const QString& code, int column = 11) {
        for (int r = 0; r < f.dg_List->rowCount(); ++r)
            if (at(f, r, 5) == code) return at(f, r, column);
        return "(none)";
    }
    // What the approved stock-in lines of the year add up to for a goods, in pieces.
    double piecesIn(int goodsId, const QString& headCondition = "1=1") {
        return scalar(
                   QString(
                       "select sum(d.qty*d.packQty) from tb_rk_detail d inner join tb_rk_head h on "
                       "h.id=d.headId where h.ispass=1 and d.goodsId=%1 and h.createTime>='2026-01-01' and "
                       "h.accountId in (select id from tb_dictionary where utype='accountType' and "
                       "isstart=1) "
                       "and %2")
                       .arg(goodsId)
                       .arg(headCondition))
            .toDouble();
    }
};

} // namespace

TEST_F(SumWindow, TotalsPerGoodsUnderTheBillFilters) {
    frm_rpt_rkSum f;
    f.resize(1300, 640);
    f.InitReport();
    const int goods = scalar("select count(*) from tb_goods_detail where isDefault=1").toInt();
    EXPECT_EQ(f.result.recordCount, goods); // goods without bills this month are listed too
    EXPECT_EQ(f.dg_List->horizontalHeaderItem(11)->text(), "入库汇总\n小件汇总");
    EXPECT_EQ(at(f, 0, 5), scalar("select max(goodsCode) from tb_goods_head").toString());
    searchAll(f);
    const QString code1 = scalar("select goodsCode from tb_goods_head where id=1").toString();
    ASSERT_GT(piecesIn(1), 0);
    EXPECT_EQ(acc::val(totalOf(f, code1)), piecesIn(1));

    // the supplier inside the sums: other goods read 0 and go only with the box cleared
    const QString supplier =
        scalar("select top 1 supplierName from tb_rk_head where ispass=1 order by id").toString();
    f.txt_partnerName->setText(supplier.mid(1, 2));
    f.btn_search();
    EXPECT_EQ(f.result.recordCount, goods);
    const double bySupplier = piecesIn(1, "h.supplierName like '%" + supplier.mid(1, 2) + "%'");
    EXPECT_EQ(acc::val(totalOf(f, code1)), bySupplier);
    const int withLines = scalar("select count(*) from temp_rpt_rkSum where val(totalImportQty)<>0").toInt();
    ASSERT_LT(withLines, goods);
    f.Chk_ContainerZero->setChecked(false);
    f.btn_search();
    EXPECT_EQ(f.result.recordCount, withLines);
    for (int r = 0; r < f.dg_List->rowCount(); ++r)
        EXPECT_NE(acc::val(at(f, r, 11)), 0) << r;
    f.Chk_ContainerZero->setChecked(true);
    f.txt_partnerName->clear();

    // the type box: a stock-in type chosen in the tree, then cleared
    f.show();
    f.findChild<QPushButton*>("btn_selectImportType")->click();
    EXPECT_TRUE(f.pic_Box_Type->isVisible());
    EXPECT_EQ(f.pic_Box_Type->objectName(), "pic_Box_ImportType");
    QTreeWidgetItem* returns = nullptr;
    for (int i = 0; i < f.tv_Type->topLevelItemCount(); ++i)
        if (f.tv_Type->topLevelItem(i)->text(0) == "退货入库") returns = f.tv_Type->topLevelItem(i);
    ASSERT_TRUE(returns);
    EXPECT_EQ(f.tv_Type->topLevelItemCount(),
              scalar("select count(*) from tb_dictionary where utype='importType' and isstart=1").toInt());
    f.ChooseType(returns);
    EXPECT_FALSE(f.pic_Box_Type->isVisible());
    EXPECT_EQ(f.txt_type->text(), "退货入库");
    EXPECT_EQ(f.typeTag, "120");
    searchAll(f);
    EXPECT_EQ(acc::val(totalOf(f, code1)), piecesIn(1, "h.utypeId=120"));
    f.ShowTypeBox();
    f.findChild<QPushButton*>("btn_ClearImportType")->click();
    EXPECT_TRUE(f.txt_type->text().isEmpty());
    EXPECT_TRUE(f.typeTag.isEmpty());
    EXPECT_FALSE(f.pic_Box_Type->isVisible());
    searchAll(f);
    EXPECT_EQ(acc::val(totalOf(f, code1)), piecesIn(1));

    // the totals sort as numbers, the second click the other way
    f.SortByColumn(11);
    const bool desc = f.pageInfo.isDesc;
    for (int r = 1; r < f.dg_List->rowCount(); ++r) {
        const double a = acc::val(at(f, r - 1, 11)), b = acc::val(at(f, r, 11));
        EXPECT_TRUE(desc ? a >= b : a <= b) << r;
    }
    f.SortByColumn(11);
    EXPECT_NE(f.pageInfo.isDesc, desc);
    // a keyword and a goods type act on the list
    f.txt_KeyWord->setText(code1);
    f.btn_search();
    EXPECT_EQ(f.result.recordCount, 1);
    f.txt_KeyWord->clear();
    f.btn_search();
    screenshot(&f, "stock_in_summary");

    // no account chosen: the message, and the list is empty
    f.SelectNoAccounts();
    f.ConfirmAccounts();
    f.btn_search();
    ASSERT_FALSE(m_msg.shown.empty());
    EXPECT_EQ(m_msg.shown.back().text, "请选中账目标识!");
    EXPECT_EQ(f.dg_List->rowCount(), 0);
}

TEST_F(SumWindow, StockOutSummaryListsTheStockOutTypes) {
    frm_rpt_ckSum f;
    f.InitReport();
    EXPECT_EQ(f.tv_Type->objectName(), "tv_ExportType");
    EXPECT_EQ(f.tv_Type->topLevelItemCount(),
              scalar("select count(*) from tb_dictionary where utype='exportType' and isstart=1").toInt());
    ASSERT_GT(f.tv_Type->topLevelItemCount(), 1);
    EXPECT_EQ(f.dg_List->horizontalHeaderItem(13)->text(), "出库汇总\n默认件数");
    f.dt_createDateFrom->setDate(QDate(2026, 1, 1));
    f.comb_pageSize->setCurrentIndex(4);
    f.btn_search();
    const double out =
        scalar("select sum(d.qty*d.packQty) from tb_ck_detail d inner join tb_ck_head h on "
               "h.id=d.headId where h.ispass=1 and d.goodsId=1 and h.createTime>='2026-01-01' and "
               "h.accountId in (select id from tb_dictionary where utype='accountType' and isstart=1)")
            .toDouble();
    const QString code1 = scalar("select goodsCode from tb_goods_head where id=1").toString();
    EXPECT_EQ(acc::val(totalOf(f, code1)), out);
}

TEST_F(SumWindow, ASearchStartsOnPageOneAndAnEmptyOneLeavesNothingToPageTo) {
    frm_rpt_rkSum f;
    f.resize(900, 600);
    f.show();
    f.InitReport();
    ASSERT_GT(f.result.recordCount, 20);
    f.LastPage();
    EXPECT_NE(f.txt_PageIndex->text(), "1");
    f.Search();
    EXPECT_EQ(f.txt_PageIndex->text(), "1");
    EXPECT_EQ(at(f, 0, 0), "1");
    // nothing found: paging afterwards shows nothing of the search before
    f.txt_KeyWord->setText("没有这样的货品");
    f.Search();
    EXPECT_EQ(f.dg_List->rowCount(), 0);
    f.LastPage();
    f.comb_pageSize->setCurrentIndex(1);
    f.PageSizeChanged();
    EXPECT_EQ(f.dg_List->rowCount(), 0);
    EXPECT_EQ(f.txt_MaxPageIndex->text(), "0");
    // the drop-down boxes stay inside the window, whole
    f.ShowTypeBox();
    EXPECT_TRUE(f.rect().contains(f.pic_Box_Type->geometry())) << f.pic_Box_Type->geometry().x();
    f.ShowAccountBox();
    EXPECT_TRUE(f.rect().contains(f.pic_Box->geometry()));
    // cancelling the account box leaves the accounts as they were chosen
    f.SelectNoAccounts();
    f.CancelAccounts();
    f.ConfirmAccounts();
    EXPECT_FALSE(f.accountTag.isEmpty());
    EXPECT_EQ(f.txt_KeyWord->maxLength(), 100);
}
