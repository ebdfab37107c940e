#include "bills/frmbillentry.h"
#include "data/accesstext.h"
#include "data/sqlhelper.h"
#include "guifixture.h"
#include "reports/frm_rpt_lines.h"
#include "ui/windowregistry.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QMdiArea>
#include <QRegularExpression>
#include <QSet>
#include <QTableWidget>
#include <map>

namespace {

class LineReport : public GuiDemoTest {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        loginAs("admin");
    }
    QString last() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
    static QString at(const ReportForm& f, int row, int column) {
        const QTableWidgetItem* item = f.dg_List->item(row, column);
        return item ? item->text() : QString();
    }
};

} // namespace

TEST_F(LineReport, LinesOfTheBillsOpenedAndDeletedByTheirBill) {
    QMdiArea area;
    WindowRegistry::SetArea(&area);
    auto* f = WindowRegistry::OpenAs<frm_rpt_rkDetail>("frm_rpt_rkDetail");
    ASSERT_TRUE(f);
    f->dt_createDateFrom->setDate(QDate(2026, 1, 1));
    f->btn_search();
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    EXPECT_EQ(f->result.recordCount,
              scalar("select count(*) from tb_rk_detail d inner join tb_rk_head h on h.id=d.headId where "
                     "h.createTime>='2026-01-01' and h.createTime<='" +
                     today + "'")
                  .toInt());
    // by goods code; the amount is price times quantity
    f->txt_goodsCode->setText("SP0001");
    f->btn_search();
    ASSERT_GT(f->result.recordCount, 0);
    for (int r = 0; r < f->dg_List->rowCount(); ++r)
        EXPECT_TRUE(at(*f, r, 11).contains("SP0001") || at(*f, r, 11).startsWith("69")) << r;
    const int headId = at(*f, 0, f->colHeadId()).toInt();
    // a double click opens the line's bill, not a bill with the line's id
    f->dg_List->setCurrentCell(0, 13);
    f->OpenBill();
    auto* entry = qobject_cast<frmImport*>(WindowRegistry::Find("frmImport"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->txt_id->text().toInt(), headId);
    // deleting from a line report removes the whole bill, once it is not approved
    exec(QString("update tb_rk_head set ispass=0 where id=%1").arg(headId));
    f->txt_goodsCode->clear();
    f->btn_search();
    int row = -1;
    for (int r = 0; r < f->dg_List->rowCount() && row < 0; ++r)
        if (at(*f, r, f->colHeadId()).toInt() == headId) row = r;
    ASSERT_GE(row, 0);
    f->dg_List->setCurrentCell(row, 13);
    EXPECT_EQ(at(*f, row, f->colStatus()), "未审核");
    yesTo([&] { f->menu_DeleteBill(); });
    EXPECT_EQ(scalar(QString("select count(*) from tb_rk_detail where headId=%1").arg(headId)).toInt(), 0);
    for (int r = 0; r < f->dg_List->rowCount(); ++r)
        EXPECT_NE(at(*f, r, f->colHeadId()).toInt(), headId);
    // column 0 sorts by the line number; the lines of one bill show its number once
    EXPECT_EQ(f->GetColName(0), "rowNo");
    f->SortByColumn(f->colBillNo());
    ASSERT_GT(f->dg_List->rowCount(), 1);
    int span = 1;
    while (span < f->dg_List->rowCount() && at(*f, span, f->colBillNo()) == at(*f, 0, f->colBillNo()))
        ++span;
    EXPECT_EQ(f->dg_List->rowSpan(0, f->colBillNo()), span);
    f->resize(1300, 640);
    f->show();
    screenshot(f, "stock_in_lines");
    WindowRegistry::SetArea(nullptr);
}

TEST_F(LineReport, StockOutLinesCarryTheSalePriceAndLinesWithoutADefaultUnit) {
    frm_rpt_ckDetail f;
    f.InitReport();
    f.dt_createDateFrom->setDate(QDate(2026, 1, 1));
    f.btn_search();
    ASSERT_GT(f.result.recordCount, 0);
    EXPECT_EQ(f.dg_List->horizontalHeaderItem(19)->text(), "售价");
    EXPECT_TRUE(f.dg_List->isColumnHidden(18)); // the purchase price
    f.SortByColumn(f.colBillNo()); // listed through the report table
    // the lines of a goods without a default unit are listed with no default pieces (Null, not 0)
    const QString goods = scalar("select min(goodsId) from temp_rpt_ckDetail").toString();
    exec("update tb_goods_detail set isDefault=0 where headId=" + goods);
    f.btn_search();
    ASSERT_GT(scalar("select count(*) from temp_rpt_ckDetail where goodsId=" + goods).toInt(), 0);
    EXPECT_EQ(scalar("select count(*) from temp_rpt_ckDetail where goodsId=" + goods +
                     " and totalDefaultQty is not null")
                  .toInt(),
              0);
    EXPECT_EQ(scalar("select count(*) from temp_rpt_ckDetail where goodsId<>" + goods +
                     " and totalDefaultQty is null")
                  .toInt(),
              0);
    const RecordSet amounts = query("select salePrice, qty, totalAmount from temp_rpt_ckDetail");
    for (int r = 0; r < amounts.RecordCount(); ++r)
        EXPECT_NEAR(acc::val(amounts.at(r, 2).toString()),
                    acc::val(amounts.at(r, 0).toString()) * amounts.at(r, 1).toDouble(), 0.001);
}

TEST_F(LineReport, EachReportTableIsFilledByOneWindowWhichOpensOnce) {
    // a window reads its pages from its table: no other window may refill it
    QMdiArea area;
    WindowRegistry::SetArea(&area);
    std::map<QString, QSet<QString>> fillers;
    QString opening;
    sqlHelper::SetStatementObserver([&](const QString& sql) {
        static const QRegularExpression insert("^\\s*insert into (temp_rpt_\\w+)",
                                               QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = insert.match(sql);
        if (m.hasMatch()) fillers[m.captured(1).toLower()] << opening;
    });
    for (const char* key : {"frm_rpt_rkDetail", "frm_rpt_ckDetail", "frm_rpt_stock", "frm_rpt_rkSum",
                            "frm_rpt_ckSum", "frm_rpt_locStock", "frm_rpt_rkHead", "frm_rpt_ckHead"}) {
        opening = key;
        QWidget* first = WindowRegistry::Open(key);
        ASSERT_TRUE(first) << key;
        EXPECT_EQ(WindowRegistry::Open(key), first) << key;
        // the lines open in their day order, read from their select; a
        // header sort lists them through their table
        if (auto* lines = qobject_cast<LineListReport*>(first)) {
            lines->dt_createDateFrom->setDate(QDate(2000, 1, 1));
            lines->Search();
            ASSERT_GT(lines->result.recordCount, 0) << key;
            lines->SortByColumn(lines->colBillNo());
        }
    }
    sqlHelper::SetStatementObserver(nullptr);
    EXPECT_EQ(fillers.size(), 7u); // every kind but the location report, read from the books
    for (const auto& [table, windows] : fillers)
        EXPECT_EQ(windows.size(), 1) << qPrintable(table);
}
