#include "bills/frmbillentry.h"
#include "guifixture.h"
#include "reports/frm_rpt_billlist.h"
#include "reports/frm_rpt_transfer.h"
#include "ui/windowregistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

class BillListTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        loginAs("admin");
    }
    QString last() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
    // count stock-in bills of today: even ones approved, bill numbers rk-T-00001 ...
    void addBills(int count) {
        const QString today = QDate::currentDate().toString("yyyy-MM-dd");
        for (int i = 1; i <= count; ++i)
            exec(QString("insert into tb_rk_head (id, accountId, billNo, ubillNo, utypeId, supplierId, "
                         "supplierName, "
                         "ispass, creator, createTime) values (%1, 2, 'rk-T-%2', %3, 3, 1, '%4', %5, "
                         "'admin', '%6')")
                     .arg(i)
                     .arg(i, 5, 10, QLatin1Char('0'))
                     .arg(i == 7 ? "'AB7'" : "Null")
                     .arg(i % 3 == 0 ? "清风日化" : "康师傅饮品")
                     .arg(i % 2 == 0 ? 1 : 0)
                     .arg(today));
    }
    static QString at(const ReportForm& f, int row, int column) {
        const QTableWidgetItem* item = f.dg_List->item(row, column);
        return item ? item->text() : QString();
    }
};

} // namespace

TEST_F(BillListTest, PagesOfTwentySortAndKeepTheirButtonsRight) {
    addBills(41);
    frm_rpt_rkHead f;
    f.InitReport();
    EXPECT_EQ(f.lab_recordCount->text(), "记录数:41 条");
    EXPECT_EQ(f.txt_MaxPageIndex->text(), "3");
    EXPECT_EQ(f.dg_List->rowCount(), 20);
    EXPECT_FALSE(f.btn_FirstPage->isEnabled());
    EXPECT_FALSE(f.btn_PrevPage->isEnabled());
    EXPECT_TRUE(f.btn_NextPage->isEnabled());
    // the first sort: by status, then newest date first
    EXPECT_EQ(at(f, 0, BillListReport::colStatus), at(f, 19, BillListReport::colStatus));
    f.LastPage();
    EXPECT_EQ(f.dg_List->rowCount(), 1);
    EXPECT_EQ(at(f, 0, BillListReport::colNo), "41");
    EXPECT_FALSE(f.btn_NextPage->isEnabled());
    EXPECT_FALSE(f.btn_LastPage->isEnabled());
    EXPECT_TRUE(f.btn_PrevPage->isEnabled());
    f.txt_PageIndex->setText("99");
    QTest::keyClick(f.txt_PageIndex, Qt::Key_Return);
    EXPECT_EQ(f.txt_PageIndex->text(), "3");
    f.FirstPage();
    f.txt_PageIndex->setText("3000000000"); // past what a number of pages holds: still the last
    QTest::keyClick(f.txt_PageIndex, Qt::Key_Return);
    EXPECT_EQ(f.txt_PageIndex->text(), "3");
    f.PrevPage();
    EXPECT_EQ(f.txt_PageIndex->text(), "2");
    // another page size: the table is not filled again
    f.comb_pageSize->setCurrentIndex(1);
    f.PageSizeChanged();
    EXPECT_EQ(f.dg_List->rowCount(), 41);
    EXPECT_EQ(f.txt_MaxPageIndex->text(), "1");
    // the header sorts by its field, ascending first, then the other way
    f.SortByColumn(BillListReport::colBillNo);
    EXPECT_EQ(at(f, 0, BillListReport::colBillNo), "rk-T-00001");
    f.SortByColumn(BillListReport::colBillNo);
    EXPECT_EQ(at(f, 0, BillListReport::colBillNo), "rk-T-00041");
    f.SortByColumn(BillListReport::colNo); // no field: nothing happens
    EXPECT_EQ(at(f, 0, BillListReport::colBillNo), "rk-T-00041");
}

TEST_F(BillListTest, FiltersAccountsApprovalPartnerAndKeyword) {
    addBills(12);
    frm_rpt_rkHead f;
    f.InitReport();
    ASSERT_EQ(f.result.recordCount, 12);
    EXPECT_TRUE(f.txt_accountType->text().endsWith(","));
    f.check_pass->setChecked(false);
    f.btn_search();
    EXPECT_EQ(f.lab_recordCount->text(), "记录数:6 条");
    f.check_nopass->setChecked(false);
    f.btn_search(); // the list 3 alone: nothing
    EXPECT_EQ(f.lab_recordCount->text(), "记录数: 0 条");
    EXPECT_EQ(f.dg_List->rowCount(), 0);
    f.txt_PageIndex->setText("3"); // a page typed with nothing to show
    f.GoToTypedPage();
    EXPECT_EQ(f.txt_PageIndex->text(), "0");
    EXPECT_EQ(f.txt_MaxPageIndex->text(), "0");
    f.check_pass->setChecked(true);
    f.check_nopass->setChecked(true);
    f.txt_partnerName->setText("清风");
    f.btn_search();
    EXPECT_EQ(f.result.recordCount, 4);
    f.txt_partnerName->clear();
    f.txt_KeyWord->setText("00007AB7康"); // across the bill number, own number and supplier
    QTest::keyClick(f.txt_KeyWord, Qt::Key_Return);
    ASSERT_EQ(f.result.recordCount, 1);
    EXPECT_EQ(at(f, 0, BillListReport::colUBillNo), "AB7");
    EXPECT_EQ(at(f, 0, BillListReport::colItems), "1单0项");
    EXPECT_EQ(at(f, 0, BillListReport::colAmount), "0");
    // a date range outside today's
    f.txt_KeyWord->clear();
    f.dt_createDateFrom->setDate(QDate(2001, 1, 1));
    f.dt_createDateTo->setDate(QDate(2001, 1, 31));
    f.btn_search();
    EXPECT_EQ(f.lab_recordCount->text(), "记录数: 0 条");
    // no account chosen
    f.SelectNoAccounts();
    f.ConfirmAccounts();
    f.btn_search();
    EXPECT_EQ(last(), "请选中账目标识!");
    EXPECT_FALSE(f.pic_Box->isHidden());
}

TEST_F(BillListTest, ApproveWithdrawDeleteFromTheMenuAndOpenTheBill) {
    addBills(2); // bill 1 not approved, bill 2 approved
    exec("insert into tb_rk_detail (id, headId, goodsId, goodsCode, qty, packQty, inPrice) values (1, 1, 7, "
         "'G7', 3, "
         "12, 2)");
    QMdiArea area;
    WindowRegistry::SetArea(&area);
    auto* f = WindowRegistry::OpenAs<frm_rpt_rkHead>("frm_rpt_rkHead"); // opening runs the search
    ASSERT_TRUE(f);
    ASSERT_EQ(f->result.recordCount, 2);
    const int row = at(*f, 0, BillListReport::colId) == "1" ? 0 : 1;
    f->dg_List->setCurrentCell(row, BillListReport::colBillNo);
    ASSERT_EQ(at(*f, row, BillListReport::colId), "1");
    EXPECT_EQ(at(*f, row, BillListReport::colAmount), "6.0");
    f->menu_nopass();
    EXPECT_EQ(last(), "当前单据未审核,不能再反审!");
    yesTo([&] { f->menu_pass(); });
    EXPECT_EQ(last(), "审核成功!");
    EXPECT_EQ(at(*f, row, BillListReport::colStatus), "已审核");
    EXPECT_EQ(scalar("select ispass from tb_rk_head where id=1").toInt(), 1);
    EXPECT_EQ(scalar("select importQty from tb_stock_balance where goodsId=7").toDouble(), 36);
    f->menu_pass();
    EXPECT_EQ(last(), "当前单据已经审核,不能再审核!");
    f->menu_DeleteBill();
    EXPECT_EQ(last(), "当前单据已审核,不能删除!");
    // double click opens the bill in the entry window
    f->OpenBill();
    auto* entry = qobject_cast<frmImport*>(WindowRegistry::Find("frmImport"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->txt_id->text(), "1");
    EXPECT_TRUE(entry->isApproved());
    // withdraw, then delete: the list is searched again
    yesTo([&] { f->menu_nopass(); });
    EXPECT_EQ(last(), "反审成功!");
    const std::size_t shown = m_msg.shown.size();
    yesTo([&] { f->menu_DeleteBill(); });
    EXPECT_EQ(m_msg.shown.size(), shown + 1); // the question, no message after
    EXPECT_EQ(f->result.recordCount, 1);
    EXPECT_EQ(scalar("select count(*) from tb_rk_detail").toInt(), 0);
    WindowRegistry::SetArea(nullptr);
}

class BillListDemo : public GuiDemoTest {
protected:
    QString last() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
};

TEST_F(BillListDemo, DemoBillsOfAllDates) {
    loginAs("admin");
    frm_rpt_rkHead f;
    f.resize(1180, 620);
    f.dt_createDateFrom->setDate(QDate(2026, 1, 1));
    f.InitReport();
    EXPECT_EQ(f.result.recordCount,
              scalar("select count(*) from tb_rk_head where createTime>='2026-01-01' and "
                     "createTime<='" +
                     QDate::currentDate().toString("yyyy-MM-dd") + "'")
                  .toInt());
    f.show();
    screenshot(&f, "stock_in_bill_list");
}

// The demo's transfers: db-2611-00001 (approved; to B-01) and
// db-2611-00002 (not approved; B-02 to B-01).
TEST_F(BillListDemo, TransfersAreListedByLocationAndApprovedWithdrawnAndDeletedFromTheList) {
    loginAs("admin");
    QMdiArea area;
    WindowRegistry::SetArea(&area);
    auto* f = WindowRegistry::OpenAs<frm_rpt_dbHead>("frm_rpt_dbHead");
    ASSERT_TRUE(f);
    auto search = [&](const QString& from, const QString& to, const QString& keyword = {}) {
        f->dt_createDateFrom->setDate(QDate(2026, 1, 1));
        f->cobo_fromLocation->setCurrentIndex(
            from.isEmpty() ? 0 : f->cobo_fromLocation->findText(from, Qt::MatchStartsWith));
        f->cobo_toLocation->setCurrentIndex(
            to.isEmpty() ? 0 : f->cobo_toLocation->findText(to, Qt::MatchStartsWith));
        f->txt_KeyWord->setText(keyword);
        f->Search();
        QStringList numbers;
        for (int r = 0; r < f->dg_List->rowCount(); ++r)
            numbers << f->dg_List->item(r, 5)->text();
        return numbers;
    };
    EXPECT_EQ(search("", ""), (QStringList{"db-2611-00002", "db-2611-00001"})); // the newest first
    EXPECT_EQ(search("A ", ""), QStringList{"db-2611-00001"}); // out of A and the locations below it
    EXPECT_EQ(search("", "B "), (QStringList{"db-2611-00002", "db-2611-00001"}));
    EXPECT_EQ(search("B-02", "B-01"), QStringList{"db-2611-00002"});
    EXPECT_EQ(search("", "", "00001"), QStringList{"db-2611-00001"});
    f->resize(1180, 620);
    f->show();
    screenshot(f, "transfer_list");
    // approve the second, withdraw and delete the first
    EXPECT_EQ(search("", ""), (QStringList{"db-2611-00002", "db-2611-00001"}));
    f->dg_List->setCurrentCell(0, 5);
    yesTo([&] { f->menu_pass(); });
    EXPECT_EQ(m_msg.texts().back(), "审核成功!");
    EXPECT_EQ(scalar("select ispass from tb_transfer_head where billNo='db-2611-00002'").toInt(), 1);
    f->dg_List->setCurrentCell(1, 5);
    f->menu_DeleteBill();
    EXPECT_EQ(m_msg.texts().back(), "当前单据已审核,不能删除!");
    yesTo([&] { f->menu_nopass(); });
    EXPECT_EQ(m_msg.texts().back(), "反审成功!");
    yesTo([&] { f->menu_DeleteBill(); });
    EXPECT_EQ(search("", ""), QStringList{"db-2611-00002"});
    EXPECT_EQ(scalar("select count(*) from tb_transfer_detail where headId=1").toInt(), 0);
    // opened in the entry window by a double click
    f->dg_List->setCurrentCell(0, 5);
    f->OpenBill();
    auto* entry = qobject_cast<frmTransfer*>(WindowRegistry::Find("frmTransfer"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->txt_billNo->text(), "db-2611-00002");
    EXPECT_TRUE(entry->isApproved());

    // the lines: one row per line with both locations; printed by their transfer
    auto* lines = WindowRegistry::OpenAs<frm_rpt_dbDetail>("frm_rpt_dbDetail");
    ASSERT_TRUE(lines);
    lines->dt_createDateFrom->setDate(QDate(2026, 1, 1));
    lines->txt_KeyWord->setText("B-02");
    lines->Search();
    ASSERT_EQ(lines->dg_List->rowCount(), 1);
    EXPECT_EQ(lines->dg_List->item(0, 9)->text(), "清风卷纸");
    EXPECT_EQ(lines->dg_List->item(0, 18)->text(), "B-02");
    EXPECT_EQ(lines->dg_List->item(0, 19)->text(), "B-01");
    WindowRegistry::SetArea(nullptr);
}
