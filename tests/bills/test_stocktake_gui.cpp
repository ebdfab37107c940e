#include "guifixture.h"

#include "admin.h"
#include "app/frm_main.h"
#include "bills/frmbillentry.h"
#include "bills/frmstocktake.h"
#include "bills/stocktakemodel.h"

#include "data/sqlhelper.h"
#include "ui/importdialog.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <map>

namespace {

// 31 goods in boxes of 6 (barcodes 69nn, pieces 68nn); goods 1–15 lie at S1,
// 16–30 at S2, k boxes of goods k; goods 31 has no stock.
class StockTakeWindow : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        exec("insert into tb_location (id, locationCode, uname, parentId, isLock, state) values (11, 'S1', "
             "'一号货架', 0, 0, 1), (12, 'S2', '二号货架', 0, 0, 1)");
        exec("insert into tb_location_fun (locationId, departmentId) values (11, 1), (12, 1)");
        exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-2612-00001', 1)");
        for (int g = 1; g <= 31; ++g) {
            exec(QString(
                     "insert into tb_goods_head (id, goodsCode, goodsName, goodsTypeId, status) values (%1, "
                     "'P%2', '盘点货品%1号', 5, '启用')")
                     .arg(g)
                     .arg(g, 2, 10, QChar('0')));
            exec(
                QString("insert into tb_goods_detail (id, headId, isDefault, goodsDetailCode, unit, packQty, "
                        "weight) values (%1, %1, 1, '69%2', '箱', 6, 3), (%3, %1, 0, '68%2', '个', 1, 0.5)")
                    .arg(g)
                    .arg(g, 2, 10, QChar('0'))
                    .arg(g + 100));
            if (g <= 30)
                exec(QString("insert into tb_rk_detail (headId, rowNo, goodsId, unit, qty, packQty, weight, "
                             "locationId) values (1, %1, %1, '箱', %1, 6, 3, %2)")
                         .arg(g)
                         .arg(g <= 15 ? 11 : 12));
        }
        loginAs("admin");
    }
    int rowOf(const frmStockTake& f, int goodsId, int location) const {
        const int wanted = f.sheet().find(goodsId, location);
        for (int r = 0; r < f.gridRowCount(); ++r)
            if (f.sheetRow(r) == wanted) return r;
        return -1;
    }
    QString cell(const frmStockTake& f, int row, int column) const {
        return f.grid->model()->index(row, column).data().toString();
    }
    void scan(frmStockTake& f, const QString& code, const QString& times = "1") {
        f.txt_Qty->setText(times);
        f.txt_goodsCode->setText(code);
        QTest::keyClick(f.txt_goodsCode, Qt::Key_Return);
    }
    void chooseLocation(frmStockTake& f, const QString& code) {
        const int index = f.cobo_location->findText(code + " ", Qt::MatchStartsWith);
        ASSERT_GE(index, 0) << code.toStdString();
        f.cobo_location->setCurrentIndex(index);
    }
    QString admin(const QStringList& args, int* rc = nullptr) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int code = RunAdmin(args, o, e);
        o.flush();
        if (rc) *rc = code;
        return out;
    }
};

} // namespace

TEST_F(StockTakeWindow, ACountOfThirtyGoodsOverTwoLocationsIsPostedIntoTheBooks) {
    frmStockTake f;
    f.resize(1100, 640);
    // 新建盘点: every location of the default account
    m_onModal = [](QDialog* d) {
        EXPECT_EQ(d->objectName(), "dlg_newCount");
        return int(QDialog::Accepted);
    };
    f.NewCount();
    ASSERT_EQ(f.gridRowCount(), 30) << m_msg.texts().join(" / ").toStdString();
    const QString number = scalar("select billNo from tb_stocktake_head").toString();
    EXPECT_TRUE(f.lab_head->text().contains(number));
    EXPECT_TRUE(number.startsWith("pd-")) << number.toStdString();
    EXPECT_EQ(cell(f, rowOf(f, 7, 11), StockTakeModel::Book), "7.0"); // 7 boxes booked
    EXPECT_EQ(cell(f, rowOf(f, 7, 11), 5), "箱(6)");
    // scanning starts at the first line's location; choosing a line moves it there
    EXPECT_TRUE(f.cobo_location->currentText().startsWith("S1"));
    f.grid->setCurrentIndex(f.grid->model()->index(rowOf(f, 20, 12), StockTakeModel::Counted));
    EXPECT_TRUE(f.cobo_location->currentText().startsWith("S2"));

    // scans at S1: two boxes and three pieces of P01, five boxes of P02 at once
    chooseLocation(f, "S1");
    scan(f, "6901");
    scan(f, "6901");
    for (int k = 0; k < 3; ++k)
        scan(f, "6801");
    scan(f, "6902", "5");
    EXPECT_EQ(cell(f, rowOf(f, 1, 11), StockTakeModel::Counted), "2.5");
    EXPECT_EQ(cell(f, rowOf(f, 1, 11), StockTakeModel::Difference), "1.5"); // surplus
    EXPECT_EQ(f.grid->model()
                  ->index(rowOf(f, 1, 11), StockTakeModel::Difference)
                  .data(Qt::ForegroundRole)
                  .value<QColor>(),
              QColor(0, 140, 0));
    EXPECT_EQ(cell(f, rowOf(f, 2, 11), StockTakeModel::Counted), "5.0");
    // found on S2 without stock there: a new line with a book balance of 0
    chooseLocation(f, "S2");
    scan(f, "6931");
    ASSERT_EQ(f.gridRowCount(), 31);
    EXPECT_EQ(cell(f, rowOf(f, 31, 12), StockTakeModel::Book), "0.0");
    EXPECT_EQ(cell(f, rowOf(f, 31, 12), StockTakeModel::Counted), "1.0");
    // a wrong scan is taken away again; a line of the start is not
    scan(f, "6901"); // P01 is not on S2
    ASSERT_EQ(f.gridRowCount(), 32);
    m_msg.answers = {MsgBox::Yes};
    ASSERT_TRUE(f.RemoveLine(rowOf(f, 1, 12)));
    EXPECT_EQ(f.gridRowCount(), 31);
    EXPECT_EQ(rowOf(f, 1, 12), -1);
    EXPECT_FALSE(f.RemoveLine(rowOf(f, 30, 12)));
    EXPECT_TRUE(m_msg.texts().back().contains("不能删除")) << m_msg.texts().back().toStdString();
    EXPECT_EQ(f.gridRowCount(), 31);
    // typed: P03–P10 one box short, P16–P20 as booked, P26–P30 two boxes over; P11–P15, P21–P25 left
    for (int g = 3; g <= 10; ++g)
        ASSERT_TRUE(f.SetCounted(rowOf(f, g, 11), QString::number(g - 1)));
    for (int g = 16; g <= 20; ++g)
        ASSERT_TRUE(f.SetCounted(rowOf(f, g, 12), QString::number(g)));
    for (int g = 26; g <= 30; ++g)
        ASSERT_TRUE(f.SetCounted(rowOf(f, g, 12), QString::number(g + 2)));
    EXPECT_EQ(f.grid->model()
                  ->index(rowOf(f, 3, 11), StockTakeModel::Difference)
                  .data(Qt::ForegroundRole)
                  .value<QColor>(),
              QColor(200, 0, 0));

    // wrong input changes nothing
    m_msg.shown.clear();
    EXPECT_FALSE(f.SetCounted(rowOf(f, 3, 11), "-2"));
    EXPECT_FALSE(f.SetCounted(rowOf(f, 3, 11), "两箱"));
    EXPECT_EQ(cell(f, rowOf(f, 3, 11), StockTakeModel::Counted), "2.0");
    scan(f, "no-such-barcode");
    scan(f, "6903", "abc");
    EXPECT_EQ(m_msg.texts(),
              (QStringList{"盘点数量不能小于 0!", "盘点数量必须是数字!",
                           "条码或编码 [no-such-barcode] 没有对应的货品!", "数量必须是大于 0 的数字!"}));
    EXPECT_EQ(cell(f, rowOf(f, 3, 11), StockTakeModel::Counted), "2.0");

    // the filters; a scan of a line the filter hides shows every line
    f.cobo_filter->setCurrentIndex(frmStockTake::Uncounted);
    EXPECT_EQ(f.gridRowCount(), 10);
    scan(f, "6831", "0.5"); // half a piece more of P31
    EXPECT_EQ(f.cobo_filter->currentIndex(), frmStockTake::All);
    EXPECT_EQ(cell(f, f.grid->currentIndex().row(), 2), "P31");
    ASSERT_TRUE(f.SetCounted(rowOf(f, 31, 12), "1"));
    f.cobo_filter->setCurrentIndex(frmStockTake::Uncounted);
    // counted under the filter: the line leaves, the next one is ready for its count
    f.grid->setCurrentIndex(f.grid->model()->index(0, StockTakeModel::Counted));
    const QString next = cell(f, 1, 2);
    ASSERT_TRUE(f.SetCounted(0, "11"));
    QCoreApplication::processEvents();
    EXPECT_EQ(f.gridRowCount(), 9);
    EXPECT_EQ(cell(f, f.grid->currentIndex().row(), 2), next);
    EXPECT_EQ(f.grid->currentIndex().column(), StockTakeModel::Counted);
    f.cobo_filter->setCurrentIndex(frmStockTake::All);
    ASSERT_TRUE(f.SetCounted(rowOf(f, 11, 11), "")); // uncounted again
    f.cobo_filter->setCurrentIndex(frmStockTake::Uncounted);
    f.cobo_filter->setCurrentIndex(frmStockTake::Differing);
    EXPECT_EQ(f.gridRowCount(), 2 + 8 + 5 + 1);
    f.cobo_filter->setCurrentIndex(frmStockTake::All);
    EXPECT_TRUE(f.lab_summary->text().contains("未盘点 10 行")) << f.lab_summary->text().toStdString();
    f.txt_goodsCode->clear();
    f.txt_Qty->setText("1");
    f.show();
    f.grid->scrollToTop();
    screenshot(&f, "stocktake_counting");

    // saved, closed, opened again: the counts are kept
    ASSERT_TRUE(f.SaveCount());
    const int id = scalar("select id from tb_stocktake_head").toInt();
    {
        frmStockTake again;
        // chosen from the list of counts
        m_onModal = [&](QDialog* d) {
            auto* list = d->findChild<QTableWidget*>("list_counts");
            EXPECT_EQ(list->rowCount(), 1);
            const QStringList row = {list->item(0, 0)->text(), list->item(0, 1)->text(),
                                     list->item(0, 3)->text(), list->item(0, 4)->text()};
            EXPECT_EQ(row, (QStringList{number, "盘点中", "全部库位", "全部类别"}));
            EXPECT_EQ(list->item(0, 6)->text().size(), 16); // the start, to the minute
            return int(QDialog::Accepted);
        };
        again.ChooseCount();
        m_onModal = nullptr;
        EXPECT_EQ(again.sheet().head().id, id);
        ASSERT_EQ(again.gridRowCount(), 31);
        EXPECT_EQ(cell(again, rowOf(again, 1, 11), StockTakeModel::Counted), "2.5");
        EXPECT_EQ(cell(again, rowOf(again, 31, 12), StockTakeModel::Counted), "1.0");
        EXPECT_EQ(again.sheet().uncounted(), 10);
    }
    // a second count over the same shelves is refused with this one's number
    m_msg.shown.clear();
    frmStockTake other;
    EXPECT_FALSE(other.StartCount(2, 11, 0));
    ASSERT_FALSE(m_msg.texts().isEmpty());
    EXPECT_TRUE(m_msg.texts().back().contains(number));

    // two boxes of P05 leave S1 during the count
    exec("insert into tb_ck_head (id, accountId, billNo, ispass) values (1, 2, 'ck-2612-00001', 0)");
    exec("insert into tb_ck_detail (headId, rowNo, goodsId, unit, qty, packQty, weight, locationId) values "
         "(1, 1, "
         "5, '箱', 2, 6, 3, 11)");
    exec("update tb_ck_head set ispass=1 where id=1");

    m_msg.shown.clear();
    yesTo([&] { f.PostCount(); });
    ASSERT_GE(m_msg.texts().size(), 1);
    const QString question = m_msg.texts().front();
    EXPECT_TRUE(question.contains("还有 10 行没有盘点")) << question.toStdString();
    EXPECT_TRUE(question.contains("P05")) << question.toStdString();
    EXPECT_TRUE(m_msg.texts().back().startsWith("过账成功")) << m_msg.texts().back().toStdString();
    EXPECT_TRUE(f.lab_head->text().contains("已过账"));
    EXPECT_FALSE(f.txt_goodsCode->isEnabled());
    EXPECT_FALSE(f.postAction->isEnabled());
    // the grid now shows the book the count was posted against: P05 had 3 boxes left, 4 were found
    EXPECT_EQ(cell(f, rowOf(f, 5, 11), StockTakeModel::Book), "3.0");
    EXPECT_EQ(cell(f, rowOf(f, 5, 11), StockTakeModel::Difference), "1.0");

    // the location stock is what was counted, to the piece
    std::map<QString, double> counted; // "code@location" -> pieces
    counted["P01@S1"] = 15;
    counted["P02@S1"] = 30;
    for (int g = 3; g <= 10; ++g)
        counted[QString("P%1@S1").arg(g, 2, 10, QChar('0'))] = (g - 1) * 6;
    for (int g = 16; g <= 20; ++g)
        counted[QString("P%1@S2").arg(g, 2, 10, QChar('0'))] = g * 6;
    for (int g = 26; g <= 30; ++g)
        counted[QString("P%1@S2").arg(g, 2, 10, QChar('0'))] = (g + 2) * 6;
    counted["P31@S2"] = 6;
    int rc = -1;
    const QStringList report = admin({"report", "locStock"}, &rc).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rc, 0);
    std::map<QString, double> listed;
    for (int k = 1; k < report.size(); ++k) {
        const QStringList cells = report[k].split('\t');
        listed[cells.value(0) + "@" + cells.value(4)] = cells.value(7).toDouble();
    }
    EXPECT_EQ(listed, counted);
    EXPECT_EQ(admin({"check"}, &rc).count('\n'), 1); // no difference, one closing line
    EXPECT_EQ(rc, 0);

    // the two adjustment bills: approved, of their types, in default units
    const int rk = scalar("select rkHeadId from tb_stocktake_head").toInt();
    const int ck = scalar("select ckHeadId from tb_stocktake_head").toInt();
    EXPECT_EQ(
        scalar(
            "select t.uname & ':' & h.ispass & ':' & h.remark from tb_rk_head h inner join tb_dictionary t "
            "on t.id = h.utypeId where h.id=" +
            QString::number(rk))
            .toString(),
        "盘盈:1:盘点单 " + number + " 盘盈");
    EXPECT_EQ(scalar("select t.uname & ':' & h.ispass from tb_ck_head h inner join tb_dictionary t on t.id = "
                     "h.utypeId where h.id=" +
                     QString::number(ck))
                  .toString(),
              "盘亏:1");
    // surpluses: P01 1.5, P02 3, P05 1 (counted 4 where 3 were left), P26–P30 2 each, P31 1
    EXPECT_EQ(scalar("select count(*) & ':' & sum(qty) from tb_rk_detail where unit='箱' and packQty=6 and "
                     "headId=" +
                     QString::number(rk))
                  .toString(),
              "9:16.5");
    // shortages: P03–P10 but P05 one box each, P11–P15 and P21–P25 wholly
    EXPECT_EQ(scalar("select count(*) & ':' & sum(qty) from tb_ck_detail where headId=" + QString::number(ck))
                  .toString(),
              QString("17:%1").arg(7 + (11 + 12 + 13 + 14 + 15) + (21 + 22 + 23 + 24 + 25)));

    // the adjustment bill stays approved
    frmImport bill;
    bill.LoadBill(rk);
    m_msg.shown.clear();
    yesTo([&] { bill.PassBill(); });
    ASSERT_FALSE(m_msg.texts().isEmpty());
    EXPECT_EQ(m_msg.texts().back(), "该单据是盘点单 " + number + " 的调整单据, 不能反审!");
    EXPECT_EQ(scalar("select ispass from tb_rk_head where id=" + QString::number(rk)).toInt(), 1);
    // and a posted count takes no more scans
    m_msg.shown.clear();
    f.txt_goodsCode->setEnabled(true);
    scan(f, "6901");
    EXPECT_TRUE(m_msg.texts().value(0).contains("已过账"));
}

TEST_F(StockTakeWindow, LeavingTheProgramAsksForUnsavedCountsFirst) {
    frm_Main main;
    main.RunCommand("menu_stocktake");
    QPointer<frmStockTake> f = main.findChild<frmStockTake*>();
    ASSERT_TRUE(f);
    ASSERT_TRUE(f->StartCount(2, 0, 0));
    ASSERT_TRUE(f->SetCounted(0, "3"));
    m_msg.shown.clear();
    m_msg.answers = {MsgBox::Yes, MsgBox::No}; // leave the program, but keep the counts
    main.close();
    EXPECT_EQ(m_msg.texts(), (QStringList{"是否退出系统?", "当前盘点单已修改但尚未保存,是否放弃修改?"}));
    EXPECT_TRUE(m_ended.empty());
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->sheet().dirty());
    m_msg.answers = {MsgBox::Yes, MsgBox::Yes};
    main.close();
    EXPECT_EQ(m_ended, std::vector<int>{0});
}

TEST_F(StockTakeWindow, CountsOfAScannerFileAreSavedFirstThenImportedIntoTheOpenCount) {
    frmStockTake f;
    ASSERT_TRUE(f.StartCount(2, 11, 0)); // shelf S1: goods 1 to 15
    ASSERT_TRUE(f.SetCounted(0, "1"));   // typed, not saved yet
    const QString file = folder() + "scans.csv";
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    // a carton and two pieces of goods 1, and goods 31 the count has no line for
    out.write(QStringLiteral("条码,数量,库位\n6901,1,S1\n6801,1,S1\n6801,1,S1\n6931,2,S1\n").toUtf8());
    out.close();
    ImportDialog::FileChooser() = [&](QWidget*) { return file; };
    m_onModal = [&](QDialog* d) {
        auto* dialog = qobject_cast<ImportDialog*>(d);
        if (!dialog) return int(QDialog::Rejected);
        dialog->btn_open->click();
        EXPECT_EQ(dialog->sheet().errorRows(), 0) << qPrintable(dialog->sheet().problems().join('\n'));
        m_msg.answers = {MsgBox::Yes};
        return dialog->importRows() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    m_msg.answers = {MsgBox::Yes}; // save the typed count first
    f.ImportCounts();
    ImportDialog::FileChooser() = nullptr;
    EXPECT_FALSE(f.sheet().dirty());
    const auto& lines = f.sheet().lines();
    const int first = f.sheet().find(1, 11), added = f.sheet().find(31, 11);
    ASSERT_GE(first, 0);
    ASSERT_GE(added, 0);
    EXPECT_EQ(lines[first].countQty.value_or(-1),
              8); // 6 + 1 + 1 pieces: the file's count replaces the typed one
    EXPECT_EQ(lines[added].bookQty, 0);
    EXPECT_EQ(lines[added].countQty.value_or(-1), 12);
    EXPECT_EQ(dal_stocktake().Lines(f.sheet().head().id).size(), lines.size());
}
