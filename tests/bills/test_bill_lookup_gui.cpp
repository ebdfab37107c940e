#include "bills/bill.h"
#include "guifixture.h"
#include "ui/frm_select.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

class BillLookup : public GuiDemoTest {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        loginAs("admin");
    }
};

TEST_F(BillLookup, StoredBillsOfTheGrantedAccountsByNumberOrPartner) {
    for (const auto& [mode, table, partner] : {std::tuple{"rk_bill", "v_rk_head", "supplierName"},
                                               std::tuple{"ck_bill", "v_ck_head", "customerName"}}) {
        frm_select dlg;
        dlg.setMode(mode);
        dlg.setSinglePick(true);
        EXPECT_FALSE(dlg.B_AllSelect->isVisibleTo(&dlg)); // nothing to tick
        dlg.RunSearch();
        const int all = scalar(QString("select count(*) from %1").arg(table)).toInt();
        ASSERT_GT(all, 0);
        EXPECT_EQ(dlg.vgInput->rowCount(), all);
        EXPECT_EQ(dlg.vgInput->horizontalHeaderItem(4)->text(), "自定义单号");
        // by the partner's name
        const RecordSet first =
            query(QString("select top 1 id, billNo, %1 from %2 order by id").arg(partner, table));
        dlg.utxtkeyword->setText(first.at(0, 2).toString());
        const int byPartner = scalar(QString("select count(*) from %1 where %2='%3'")
                                         .arg(table, partner, first.at(0, 2).toString()))
                                  .toInt();
        EXPECT_EQ(dlg.vgInput->rowCount(), byPartner);
        // by number, and the pick carries the bill's id
        dlg.utxtkeyword->setText(first.at(0, 1).toString());
        ASSERT_EQ(dlg.vgInput->rowCount(), 1);
        dlg.vgInput->setCurrentCell(0, 3);
        dlg.Pick();
        const int id =
            mode == QString("rk_bill") ? dlg.picked<m_rk_head>().at(0).id : dlg.picked<m_ck_head>().at(0).id;
        EXPECT_EQ(id, first.at(0, 0).toInt());
    }
    // bills of accounts the user may not use are not offered
    exec("update tb_rk_head set accountId=999");
    frm_select dlg;
    dlg.setMode("rk_bill");
    EXPECT_TRUE(dlg.B_AllSelect->isVisibleTo(&dlg));
    dlg.RunSearch();
    EXPECT_EQ(dlg.vgInput->rowCount(), 0);
    EXPECT_EQ(dlg.Lblinfor->text(), "当前找到[ 0 ]条记录");
}

TEST_F(BillLookup, OpensAtASizeThatShowsItsColumnsWithinTheScreenAndKeepsTheUsersSize) {
    exec("update tb_customer set uname='上海清风日化用品有限责任公司' where id=(select min(id) from "
         "tb_customer)");
    frm_select dlg;
    dlg.setMode("supplier");
    dlg.setSinglePick(true);
    dlg.RunSearch();
    ASSERT_GT(dlg.vgInput->rowCount(), 0);
    dlg.show();
    // every name whole
    const QFontMetrics fm(dlg.vgInput->font());
    for (int r = 0; r < dlg.vgInput->rowCount(); ++r)
        EXPECT_GE(dlg.vgInput->columnWidth(3), fm.horizontalAdvance(dlg.vgInput->item(r, 3)->text())) << r;
    // every column in view, as far as the screen allows
    int columns = 0;
    for (int c = 0; c < dlg.vgInput->columnCount(); ++c)
        if (!dlg.vgInput->isColumnHidden(c)) columns += dlg.vgInput->columnWidth(c);
    const QRect area = dlg.screen()->availableGeometry();
    ASSERT_GT(columns, 640 - 40); // more than the old opening size showed
    EXPECT_GE(dlg.vgInput->viewport()->width(), std::min(columns, area.width() - 100));
    EXPECT_LE(dlg.width(), area.width());
    EXPECT_LE(dlg.height(), area.height());
    screenshot(&dlg, "lookup_supplier");
    // the size the user leaves is the next lookup's
    dlg.resize(610, 380);
    dlg.reject();
    frm_select again;
    again.setMode("supplier");
    again.RunSearch();
    again.show();
    EXPECT_EQ(again.size(), QSize(610, 380));
    again.reject();
}
