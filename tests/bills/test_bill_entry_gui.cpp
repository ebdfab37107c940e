#include "app/frm_main.h"
#include "bills/frmbillentry.h"
#include "data/accesstext.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "guifixture.h"
#include "ui/formparts.h"
#include "ui/frm_select.h"
#include "ui/uvg.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QMdiArea>

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>

namespace {

class BillEntry : public GuiDemoTest {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        loginAs("admin");
    }
    QString last() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
    static void type(QLineEdit* box, const QString& text) {
        box->setText(text);
        press(box, Qt::Key_Return);
    }
    static QString at(const BillEntryForm& f, int row, LineField field) {
        return row < f.lines->rowCount() ? f.lines->text(row, field) : QString();
    }
    // a cell written as the grid's editor writes it; a code, which is not
    // typed, straight into the line
    static void put(BillEntryForm& f, int row, LineField field, const QString& text) {
        if (field == LineField::GoodsCode) {
            BillEntryRow line = f.lines->row(row);
            line.line.goodsCode = text;
            return f.lines->setRow(row, line);
        }
        ASSERT_TRUE(f.lines->setData(f.lines->index(row, f.lines->column(field)), text, Qt::EditRole));
    }
    static void goTo(BillEntryForm& f, int row, LineField field) {
        f.grid->setCurrentIndex(f.lines->index(row, f.lines->column(field)));
    }
    static LineField currentField(const BillEntryForm& f) {
        return f.lines->field(f.grid->currentIndex().column());
    }
    // rows top to bottom, their first columns
    static void select(BillEntryForm& f, int top, int bottom) {
        f.grid->selectionModel()->select(QItemSelection(f.lines->index(top, 0), f.lines->index(bottom, 3)),
                                         QItemSelectionModel::Select);
    }
    // the form's keys are shortcuts: they need an active window with the focus inside the form
    static void showActive(QWidget& f) {
        f.show();
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    }
    // a key as the user presses it: into the widget with the focus
    static void press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        if (!w->hasFocus()) w->setFocus();
        QTest::keyClick(w, key, modifiers);
    }
    // rows of the grid that hold goods
    static int goodsRows(const BillEntryForm& f) {
        int n = 0;
        for (int r = 0; r < f.lines->rowCount(); ++r)
            n += f.lines->row(r).line.goodsId > 0;
        return n;
    }
    double balance(int goodsId, const char* column) {
        return scalar(
                   QString("select sum(%1) from tb_stock_balance where goodsId=%2").arg(column).arg(goodsId))
            .toDouble();
    }
    QString lastPrice(const char* view, const char* partner, int partnerId, const char* price,
                      const QString& code) {
        const RecordSet rs =
            query(QString("select top 1 %1 from %2 where %3=%4 and goodsCode='%5' order by headId "
                          "desc, id desc")
                      .arg(price, view, partner)
                      .arg(partnerId)
                      .arg(code));
        return rs.RecordCount() ? rs.at(0, 0).toString() : QString();
    }
    // runs what the keys left queued: the editor's commit, the move on, and what they started
    static void settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    // the open editor of the current cell, else the grid: where a key goes
    static QWidget* keyTarget(const BillEntryForm& f) {
        QWidget* editor = f.grid->indexWidget(f.grid->currentIndex());
        return editor ? editor : f.grid;
    }
    // types into a cell through its editor and leaves the editor open
    static void typeInCell(BillEntryForm& f, int row, LineField field, const QString& text) {
        goTo(f, row, field);
        f.grid->edit(f.grid->currentIndex());
        auto* editor = qobject_cast<QLineEdit*>(f.grid->indexWidget(f.grid->currentIndex()));
        ASSERT_TRUE(editor);
        editor->clear();
        QTest::keyClicks(editor, text);
    }
    // the lookup dialog picks its first row, or the first whose first shown column holds text
    void pickRow(const QString& text = {}) {
        m_onModal = [text](QDialog* d) {
            auto* dlg = qobject_cast<frm_select*>(d);
            for (int r = 0; dlg && r < dlg->vgInput->rowCount(); ++r)
                if (text.isEmpty() || dlg->vgInput->item(r, 3)->text() == text) {
                    dlg->vgInput->setCurrentCell(r, 3);
                    dlg->Pick();
                    return int(QDialog::Accepted);
                }
            return int(QDialog::Rejected);
        };
    }
};

} // namespace

TEST_F(BillEntry, StockInFromEntryToDeletion) {
    frmImport f;
    EXPECT_FALSE(f.img_pass->isVisible() || f.img_nopass->isVisible());
    EXPECT_EQ(f.txt_BillAmount->text(), "0");
    f.NewBillForPartner(1, "康师傅饮品有限公司");
    f.cobo_location->setCurrentText("A-01");

    // by barcode: priced from the supplier's last purchase of that code
    const QString expected = lastPrice("v_rk_detail", "supplierId", 1, "inPrice", "6900120000700");
    type(f.txt_goodsCode, "6900120000700");
    ASSERT_EQ(goodsRows(f), 1) << qPrintable(last());
    EXPECT_EQ(at(f, 0, LineField::GoodsName), "康师傅冰红茶");
    EXPECT_EQ(at(f, 0, LineField::Unit), "箱");
    EXPECT_EQ(at(f, 0, LineField::PackQty), "24");
    EXPECT_EQ(at(f, 0, LineField::LocationCode), "A-01");
    EXPECT_EQ(acc::val(at(f, 0, LineField::Price)), acc::val(expected.isEmpty() ? "49.39" : expected));
    EXPECT_TRUE(f.txt_goodsCode->text().isEmpty());
    EXPECT_EQ(f.txt_Qty->text(), "1");

    // by pinyin keyword through the lookup, with a typed quantity and price
    pickRow();
    f.txt_Qty->setText("3");
    f.txt_price->setText("2.5");
    type(f.txt_goodsCode, "KSFLC");
    EXPECT_EQ(m_modalShown.back(), "frm_select");
    ASSERT_EQ(goodsRows(f), 2);
    EXPECT_EQ(at(f, 1, LineField::GoodsName), "康师傅绿茶");
    EXPECT_EQ(at(f, 1, LineField::Qty), "3");
    EXPECT_EQ(at(f, 1, LineField::Amount), "7.5");

    // nothing found
    type(f.txt_goodsCode, "没有这种货");
    EXPECT_FALSE(f.lb_NoGoods->isHidden());
    EXPECT_EQ(goodsRows(f), 2);

    // save: the number the save took shows in the form
    const int before = scalar("select count(*) from tb_rk_head").toInt();
    yesTo([&] { f.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    const int id = f.txt_id->text().toInt();
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt(), before + 1);
    EXPECT_EQ(scalar(QString("select billNo from tb_rk_head where id=%1").arg(id)).toString(),
              f.txt_billNo->text());
    EXPECT_TRUE(f.txt_billNo->text().startsWith("rk-" + QDate::currentDate().toString("yyMM") + "-"));
    EXPECT_FALSE(f.dt_createDate->isEnabled());
    EXPECT_EQ(scalar(QString("select count(*) from tb_rk_detail where headId=%1").arg(id)).toInt(), 2);

    // approve: the balance rises by 24 + 3 pieces
    const double tea = balance(1, "importQty"), green = balance(2, "importQty");
    yesTo([&] { f.PassBill(); });
    EXPECT_EQ(last(), "审核成功!");
    EXPECT_TRUE(f.isApproved());
    EXPECT_EQ(f.passAction->text(), "反审");
    EXPECT_EQ(balance(1, "importQty"), tea + 24);
    EXPECT_EQ(balance(2, "importQty"), green + 3);
    f.SaveBill();
    EXPECT_EQ(last(), "当前单据已审核,不能保存!");
    f.DeleteBill();
    EXPECT_EQ(last(), "当前单据已审核,不能删除!");

    // withdraw, rewrite with one line fewer
    yesTo([&] { f.PassBill(); });
    EXPECT_EQ(last(), "反审成功!");
    EXPECT_EQ(balance(1, "importQty"), tea);
    const QString number = f.txt_billNo->text();
    goTo(f, 1, LineField::GoodsName);
    f.DeleteGridRow();
    yesTo([&] { f.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    EXPECT_EQ(f.txt_billNo->text(), number);
    EXPECT_EQ(scalar(QString("select count(*) from tb_rk_detail where headId=%1").arg(id)).toInt(), 1);

    // reload, then delete
    f.NewBill();
    f.LoadBill(id);
    EXPECT_EQ(goodsRows(f), 1);
    EXPECT_EQ(f.txt_partnerName->text(), "康师傅饮品有限公司");
    yesTo([&] { f.DeleteBill(); });
    EXPECT_EQ(last(), "删除成功!");
    EXPECT_EQ(scalar(QString("select count(*) from tb_rk_head where id=%1").arg(id)).toInt(), 0);
    EXPECT_TRUE(f.txt_id->text().isEmpty());
    // a new bill has nothing to approve, delete or print
    for (auto action : {&BillEntryForm::PassBill, &BillEntryForm::DeleteBill}) {
        (f.*action)();
        EXPECT_EQ(last(), "当前记录不存在!");
    }
}

TEST_F(BillEntry, SavingChecksInOrderAndDropsIncompleteRows) {
    frmImport f;
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(last(), "供应商不能为空!");
    f.NewBillForPartner(1, "康师傅饮品有限公司");
    f.cobo_location->setCurrentText("");
    type(f.txt_goodsCode, "SP0001");
    type(f.txt_goodsCode, "SP0002");
    ASSERT_EQ(goodsRows(f), 2);
    // a row with a code but no goods vanishes; two rows without a location: the lower is reported
    f.rows->AddRow();
    put(f, 2, LineField::GoodsCode, "X");
    f.SaveBill();
    EXPECT_EQ(last(), "存放库位不能为空,可以单击【鼠标右键】去批量预设!");
    EXPECT_EQ(f.lines->rowCount(), 2);
    EXPECT_EQ(f.grid->currentIndex().row(), 1); // the lower of the two
    EXPECT_EQ(scalar("select count(*) from tb_rk_head where supplierId=1 and billNo like 'rk-" +
                     QDate::currentDate().toString("yyMM") + "%'")
                  .toInt(),
              0);
    // the batch location sets the selected rows
    m_onModal = [](QDialog* d) {
        auto* dlg = qobject_cast<frm_select*>(d);
        for (int r = 0; r < dlg->vgInput->rowCount(); ++r)
            if (dlg->vgInput->item(r, 3)->text() == "B-01")
                dlg->vgInput->item(r, 2)->setCheckState(Qt::Checked);
        dlg->Pick();
        return int(QDialog::Accepted);
    };
    select(f, 0, 1);
    f.grid->selectionModel()->setCurrentIndex(f.lines->index(0, f.lines->column(LineField::GoodsName)),
                                              QItemSelectionModel::NoUpdate);
    f.SetLocationForSelection();
    EXPECT_EQ(at(f, 0, LineField::LocationCode), "B-01");
    EXPECT_EQ(at(f, 1, LineField::LocationCode), "B-01");
    // the date chosen for a new bill gives its month; a quantity of 0 is kept
    put(f, 1, LineField::Qty, "0");
    f.dt_createDate->setDate(QDate(2026, 3, 9));
    m_msg.answers = {MsgBox::No};
    f.SaveBill();
    EXPECT_EQ(last(), "确定保存当前单据吗?");
    EXPECT_TRUE(f.txt_id->text().isEmpty());
    yesTo([&] { f.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    EXPECT_EQ(f.txt_billNo->text(), "rk-2603-00001");
    const int id = f.txt_id->text().toInt();
    EXPECT_EQ(
        scalar(QString("select sum(qty) from tb_rk_detail where headId=%1 and goodsCode='SP0002'").arg(id))
            .toDouble(),
        0);
    // a stored bill keeps its number and date whatever the picker shows
    f.dt_createDate->setDate(QDate(2025, 1, 1));
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(
        scalar(QString("select createTime & '|' & billNo from tb_rk_head where id=%1").arg(id)).toString(),
        "2026-03-09|rk-2603-00001");
    // a row whose goods are unknown is dropped; a bill left without goods is not saved
    f.NewBill();
    f.NewBillForPartner(1, "康师傅饮品有限公司");
    put(f, 0, LineField::GoodsCode, "SP0001");
    m_msg.answers = {MsgBox::Yes};
    const int bills = scalar("select count(*) from tb_rk_head").toInt();
    f.SaveBill();
    EXPECT_EQ(last(), "当前单据没有货品明细,不能保存!");
    EXPECT_EQ(scalar("select count(*) from tb_rk_head").toInt(), bills);
    EXPECT_TRUE(f.txt_id->text().isEmpty());
    EXPECT_EQ(f.lines->rowCount(), 1); // a row is left to type into
}

TEST_F(BillEntry, StockOutAsksBeforeGoingBelowZeroAndPricesForTheCustomer) {
    frmExport f;
    EXPECT_EQ(f.lines->caption(LineField::Price), "售价"); // the purchase price is not shown
    f.NewBillForPartner(6, "华联超市(朝阳店)");
    f.cobo_location->setCurrentText("A-01");
    const double stock =
        scalar("select sum(importQty) - sum(exportQty) from tb_stock_balance where goodsId=1 and "
               "accountId in (select id from tb_dictionary where utype='accountType' and isstart=1)")
            .toDouble();
    f.txt_Qty->setText("100000");
    m_msg.answers = {MsgBox::No};
    type(f.txt_goodsCode, "SP0001");
    EXPECT_EQ(last(), QString("货品[康师傅冰红茶]的库存总数(%1)-出库数(100000) = %2 出现负数,是否继续出库?")
                          .arg(acc::numberQText(stock), acc::numberQText(stock - 100000)));
    EXPECT_EQ(goodsRows(f), 0);
    EXPECT_EQ(f.txt_goodsCode->text(), "SP0001"); // the input bar keeps its content
    m_msg.answers = {MsgBox::Yes};
    press(f.txt_goodsCode, Qt::Key_Return);
    ASSERT_EQ(goodsRows(f), 1);
    const QString sale = lastPrice("v_ck_detail", "customerId", 6, "salePrice", "SP0001");
    EXPECT_EQ(acc::val(at(f, 0, LineField::Price)), acc::val(sale.isEmpty() ? "3" : sale));
    // goods never stocked in: no question
    exec("insert into tb_goods_head (id, goodsTypeId, goodsCode, goodsName, status) values "
         "(99, 111, 'NEW1', '新货', '启用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty, "
         "salePrice) "
         "values (999, 99, 1, 1, '', '个', 1, 9)");
    const std::size_t shown = m_msg.shown.size();
    type(f.txt_goodsCode, "NEW1");
    EXPECT_EQ(m_msg.shown.size(), shown);
    EXPECT_EQ(goodsRows(f), 2);
    EXPECT_EQ(at(f, 1, LineField::Price), "9.0");
    // a negative sale price is refused like a negative quantity
    put(f, 1, LineField::Price, "-9");
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(last(), "第2行价格不能小于0!");
    EXPECT_TRUE(f.txt_id->text().isEmpty());
    put(f, 1, LineField::Price, "9");
    // lines in the grid do not count against the stock: saving asks nothing more
    yesTo([&] { f.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    EXPECT_TRUE(f.txt_billNo->text().startsWith("ck-"));
    EXPECT_EQ(scalar(QString("select salePrice from tb_ck_detail where headId=%1 and goodsCode='NEW1'")
                         .arg(f.txt_id->text()))
                  .toDouble(),
              9);
}

TEST_F(BillEntry, KeysActOutsideTheGridAndAddRowsInsideIt) {
    frmImport f;
    showActive(f);
    press(f.txt_remark, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(last(), "供应商不能为空!"); // Ctrl+S saved
    m_msg.shown.clear();
    press(f.findChild<QToolBar*>(), Qt::Key_S, Qt::ControlModifier); // anywhere in the form
    EXPECT_EQ(last(), "供应商不能为空!");
    f.NewBillForPartner(1, "康师傅饮品有限公司");
    const int rows = f.lines->rowCount();
    press(f.grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.lines->rowCount(), rows + 1); // a row, not a new bill
    EXPECT_EQ(f.txt_partnerName->text(), "康师傅饮品有限公司");
    press(f.txt_remark, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(f.txt_partnerName->text().isEmpty()); // a new bill
    EXPECT_EQ(f.lines->rowCount(), 1);
    f.txt_Qty->clear();
    QTest::keyClicks(f.txt_Qty, "1a2.5");
    EXPECT_EQ(f.txt_Qty->text(), "12.5");
    pickRow();
    press(f.txt_remark, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(m_modalShown.back(), "frm_select");
    EXPECT_EQ(goodsRows(f), 1);
    // a new bill over unsaved lines asks first
    m_msg.answers = {MsgBox::No};
    press(f.txt_remark, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(last(), "当前单据已修改但尚未保存,是否放弃修改?");
    EXPECT_EQ(goodsRows(f), 1);
    yesTo([&] { f.NewBill(); });
    EXPECT_EQ(goodsRows(f), 0);
}

TEST_F(BillEntry, GridTakesOneNumberNotBelowZeroAndLocksWhileApproved) {
    frmImport f;
    showActive(f);
    f.NewBillForPartner(1, "康师傅饮品有限公司");
    f.cobo_location->setCurrentText("A-01");
    type(f.txt_goodsCode, "SP0001");
    type(f.txt_goodsCode, "SP0002");
    ASSERT_EQ(goodsRows(f), 2);
    // codes and units are not typed into the grid
    for (LineField c : {LineField::GoodsCode, LineField::Unit, LineField::PackQty})
        EXPECT_FALSE(f.lines->flags(f.lines->index(0, f.lines->column(c))) & Qt::ItemIsEditable);
    put(f, 0, LineField::Qty, "1.2.3");
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(last(), "第1行数量不是有效的数字,请重新输入!");
    EXPECT_TRUE(f.txt_id->text().isEmpty());
    put(f, 0, LineField::Qty, "1");
    // a negative quantity typed into the window; Ctrl+S while its editor is open takes it first
    typeInCell(f, 1, LineField::Qty, "-5");
    press(keyTarget(f), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(last(), "第2行数量不能小于0!");
    EXPECT_EQ(at(f, 1, LineField::Qty), "-5");
    EXPECT_EQ(f.grid->currentIndex().row(), 1);
    EXPECT_EQ(currentField(f), LineField::Qty);
    EXPECT_TRUE(f.txt_id->text().isEmpty());
    // rows are walked from the last up: with the quantity mended, the price above is reported
    put(f, 1, LineField::Qty, "0");
    put(f, 0, LineField::Price, "-1");
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(last(), "第1行价格不能小于0!");
    EXPECT_EQ(currentField(f), LineField::Price);
    EXPECT_TRUE(f.txt_id->text().isEmpty());
    put(f, 0, LineField::Price, "0"); // 0 is a price and a quantity
    yesTo([&] { f.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    const QString id = f.txt_id->text();
    // a stored negative line still loads, and is not saved again until mended
    exec("update tb_rk_detail set qty = -2 where headId=" + id + " and rowNo=2");
    f.LoadBill(id.toInt());
    EXPECT_EQ(at(f, 1, LineField::Qty), "-2");
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(last(), "第2行数量不能小于0!");
    EXPECT_EQ(scalar("select qty from tb_rk_detail where headId=" + id + " and rowNo=2").toDouble(), -2);
    put(f, 1, LineField::Qty, "2");
    yesTo([&] { f.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    // Ctrl+P in an open editor takes the edit first, which the stored bill does not show
    typeInCell(f, 0, LineField::Qty, "7");
    press(keyTarget(f), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(last(), "当前单据已修改,请先保存再打印!");
    EXPECT_EQ(at(f, 0, LineField::Qty), "7");
    put(f, 0, LineField::Qty, "3"); // not saved: approving now would mislead
    f.PassBill();
    EXPECT_EQ(last(), "当前单据已修改,请先保存再审核!");
    yesTo([&] { f.SaveBill(); });
    yesTo([&] { f.PassBill(); });
    EXPECT_EQ(last(), "审核成功!");
    EXPECT_EQ(f.grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(f.txt_goodsCode->isEnabled());
    EXPECT_FALSE(f.txt_remark->isEnabled());
    yesTo([&] { f.PassBill(); });
    EXPECT_NE(f.grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(f.txt_goodsCode->isEnabled());
}

TEST_F(BillEntry, EnterMovesThroughTheEditableCellsAndNewRowsStartEmpty) {
    frmImport f;
    showActive(f);
    f.NewBillForPartner(1, "康师傅饮品有限公司");
    f.cobo_location->setCurrentText("A-01");
    type(f.txt_goodsCode, "SP0001");
    ASSERT_EQ(goodsRows(f), 1);
    using c = LineField;
    // Enter in the goods code goes to the weight; from there on through the editable cells, editing each
    goTo(f, 0, c::GoodsCode);
    press(f.grid, Qt::Key_Return);
    EXPECT_EQ(currentField(f), c::Weight);
    std::vector<LineField> visited;
    for (int k = 0; k < 5; ++k) {
        press(keyTarget(f), Qt::Key_Return);
        settle(); // the cell left is closed first
        visited.push_back(currentField(f));
        EXPECT_TRUE(f.grid->indexWidget(f.grid->currentIndex())) << "editing column " << int(visited.back());
    }
    EXPECT_EQ(visited, std::vector<LineField>({c::Price, c::Qty, c::LocationCode, c::LotNo, c::Remark}));
    QTest::keyClicks(keyTarget(f), "note1");
    // the production and expiry dates come after the remark
    for (LineField dateCell : {c::ProductionDate, c::ExpiryDate}) {
        press(keyTarget(f), Qt::Key_Return);
        settle();
        EXPECT_EQ(currentField(f), dateCell);
    }
    press(keyTarget(f),
          Qt::Key_Return); // from the last cell: a new row, at its first editable cell
    QApplication::processEvents();
    EXPECT_EQ(at(f, 0, c::Remark), "note1");
    ASSERT_EQ(f.lines->rowCount(), 2);
    EXPECT_EQ(f.grid->currentIndex().row(), 1);
    EXPECT_EQ(currentField(f), c::GoodsName);
    // new rows show no price or amount until filled, and their required cells at once
    const QColor required = QColor::fromRgb(SysVar().Sys_NotNullColor);
    auto looksNew = [&](int row) {
        EXPECT_EQ(at(f, row, c::Price), "");
        EXPECT_EQ(at(f, row, c::Amount), "");
        for (LineField col : {c::Price, c::Qty, c::LocationCode})
            EXPECT_EQ(
                f.lines->index(row, f.lines->column(col)).data(Qt::BackgroundRole).value<QBrush>().color(),
                required)
                << "row " << row << " col " << int(col);
    };
    looksNew(1);
    goTo(f, 0, c::GoodsName);
    press(f.grid, Qt::Key_I, Qt::ControlModifier);
    ASSERT_EQ(f.lines->rowCount(), 3);
    looksNew(0);
    EXPECT_EQ(at(f, 1, c::GoodsCode), "SP0001");
    select(f, 0, 2);
    f.DeleteGridRow();
    ASSERT_EQ(f.lines->rowCount(), 1);
    looksNew(0);
}

TEST_F(BillEntry, OnlyALocationTheUserMayUseIsTaken) {
    exec("insert into tb_location (id, locationCode, uname, parentId, orderby, isLock, isVirtual, state) "
         "values (40, 'E-01', '未授权货架', 0, 0, 0, 0, 1)"); // granted to no department
    frmImport f;
    showActive(f);
    f.NewBillForPartner(1, "康师傅饮品有限公司");
    // F6 selects the location box's text: what is typed replaces it
    f.cobo_location->setCurrentText("A-01");
    press(f.txt_goodsCode, Qt::Key_F6);
    EXPECT_EQ(f.cobo_location->lineEdit()->selectedText(), "A-01");
    QTest::keyClicks(f.cobo_location, "B-01");
    EXPECT_EQ(f.cobo_location->currentText(), "B-01");
    type(f.txt_goodsCode, "SP0001");
    ASSERT_EQ(goodsRows(f), 1);
    EXPECT_EQ(at(f, 0, LineField::LocationCode), "B-01");
    // unknown, disabled (D-01), locked, not granted (E-01): refused, no line
    for (const QString code : {"Z-99", "D-01", "A-04", "E-01"}) {
        f.cobo_location->setCurrentText(code);
        type(f.txt_goodsCode, "SP0002");
        EXPECT_EQ(last(), QString("库位[%1]不存在或不可用!").arg(code));
        EXPECT_EQ(goodsRows(f), 1);
    }
    EXPECT_EQ(f.cobo_location->findText("A-04"), -1); // not offered either
    // Enter in the location box checks it at once
    m_msg.shown.clear();
    press(f.cobo_location, Qt::Key_Return);
    EXPECT_EQ(last(), "库位[E-01]不存在或不可用!");
    // typed into the grid's location cell: checked the same way
    typeInCell(f, 0, LineField::LocationCode, "D-01");
    press(keyTarget(f), Qt::Key_Return);
    settle();
    EXPECT_EQ(last(), "库位[D-01]不存在或不可用!");
    EXPECT_EQ(at(f, 0, LineField::LocationCode), "B-01");
    EXPECT_EQ(currentField(f), LineField::LocationCode);
    typeInCell(f, 0, LineField::LocationCode, "A-02");
    press(keyTarget(f), Qt::Key_Return);
    settle();
    EXPECT_EQ(at(f, 0, LineField::LocationCode), "A-02");
    EXPECT_EQ(f.lines->row(0).line.locationId, 3);
}

TEST_F(BillEntry, AutomaticPricesFollowThePartnerTypedAndStoredOnesStay) {
    // an adjustment bill of a posted count (no partner, price 0), then a purchase from 上海清风
    exec("insert into tb_rk_head (id, accountId, billNo, supplierId, supplierName, ispass) values "
         "(900, 2, 'rk-x-900', 0, Null, 1), (901, 2, 'rk-x-901', 2, '上海清风日化有限公司', 1)");
    exec("insert into tb_rk_detail (id, headId, rowNo, goodsId, goodsTypeId, goodsCode, inPrice, packQty, "
         "qty, "
         "locationId) values (9000, 900, 1, 1, 111, 'SP0001', 0, 1, 5, 2), "
         "(9001, 901, 1, 1, 111, 'SP0001', 1.85, 1, 5, 2)");
    exec("insert into tb_stocktake_head (id, billNo, accountId, state, rkHeadId) values (90, 'pd-x', 2, 1, "
         "900)");
    frmImport f;
    f.cobo_location->setCurrentText("A-01");
    // no supplier yet: the unit's own price, not the count's 0
    type(f.txt_goodsCode, "SP0001");
    ASSERT_EQ(goodsRows(f), 1);
    const double own = scalar("select inPrice from tb_goods_detail where headId=1 and unit='" +
                              at(f, 0, LineField::Unit) + "'")
                           .toDouble();
    ASSERT_GT(own, 0);
    EXPECT_EQ(acc::val(at(f, 0, LineField::Price)), own);
    f.txt_price->setText("2.5"); // typed
    type(f.txt_goodsCode, "SP0001");
    type(f.txt_goodsCode, "SP0001");
    ASSERT_EQ(goodsRows(f), 3);
    put(f, 2, LineField::Price, "2"); // typed into the grid
    // choosing the supplier re-prices what was filled in automatically
    pickRow("上海清风日化有限公司");
    f.SearchPartner();
    EXPECT_EQ(f.txt_partnerId->text(), "2");
    EXPECT_EQ(acc::val(at(f, 0, LineField::Price)), 1.85);
    EXPECT_EQ(acc::val(at(f, 0, LineField::Amount)), 1.85);
    EXPECT_EQ(acc::val(at(f, 1, LineField::Price)), 2.5);
    EXPECT_EQ(acc::val(at(f, 2, LineField::Price)), 2);
    EXPECT_EQ(f.txt_BillAmount->text(), "￥6.35");
    // another supplier without a purchase of it: the unit's own price again
    pickRow("晨光文具股份有限公司");
    f.SearchPartner();
    EXPECT_EQ(acc::val(at(f, 0, LineField::Price)), own);
    // a stored bill keeps its prices whatever supplier it is given
    yesTo([&] { f.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    f.LoadBill(901);
    pickRow("康师傅饮品有限公司");
    f.SearchPartner();
    EXPECT_EQ(acc::val(at(f, 0, LineField::Price)), 1.85);
}

TEST_F(BillEntry, ClosingAsksBeforeUnsavedLinesAreLost) {
    QMdiArea area;
    WindowRegistry::SetArea(&area);
    auto* f = WindowRegistry::OpenAs<frmImport>("frmImport");
    ASSERT_TRUE(f);
    type(f->txt_goodsCode, "SP0001");
    m_msg.answers = {MsgBox::No};
    CloseForm(f);
    QApplication::processEvents();
    EXPECT_EQ(last(), "当前单据已修改但尚未保存,是否放弃修改?");
    ASSERT_TRUE(WindowRegistry::Find("frmImport"));
    m_msg.answers = {MsgBox::Yes};
    CloseForm(f);
    QApplication::processEvents();
    EXPECT_FALSE(WindowRegistry::Find("frmImport"));
    WindowRegistry::SetArea(nullptr);
}

TEST_F(BillEntry, StoredBillsShowTheirHeadLinesAndStamp) {
    frmImport in;
    in.resize(1180, 640);
    in.LoadBill(1);
    EXPECT_FALSE(in.txt_billNo->text().isEmpty());
    EXPECT_GT(goodsRows(in), 0);
    EXPECT_EQ(in.isApproved(), scalar("select ispass from tb_rk_head where id=1").toInt() == 1);
    EXPECT_NE(in.txt_BillAmount->text(), "0");
    EXPECT_TRUE(in.txt_BillAmount->text().startsWith("￥"));
    in.show();
    screenshot(&in, "stock_in_bill");
    frmExport out;
    out.resize(1180, 640);
    const int ck = scalar("select top 1 id from tb_ck_head where ispass=0").toInt();
    out.LoadBill(ck);
    EXPECT_FALSE(out.isApproved());
    EXPECT_GT(goodsRows(out), 0);
    out.show();
    screenshot(&out, "stock_out_bill");
    // the program's picture for the software centres (resources/desktop/screenshots)
    frm_Main main;
    main.resize(1024, 640);
    main.show();
    auto* shown = WindowRegistry::OpenAs<frmImport>("frmImport");
    ASSERT_TRUE(shown);
    shown->LoadBill(1);
    shown->parentWidget()->showMaximized();
    QApplication::processEvents();
    screenshot(&main, "main_window_with_bill");
}

TEST_F(BillEntry, TransferMovesGoodsBetweenLocationsAskingBeforeEitherGoesBelowZero) {
    auto atPlace = [&](int goods, int location) {
        return scalar(QString("select sum(importQty - exportQty) from tb_stock_location where goodsId=%1 and "
                              "accountId=2 and locationId=%2")
                          .arg(goods)
                          .arg(location))
            .toDouble();
    };
    frmTransfer f;
    showActive(f);
    // no partner, type or price; a to location beside the from location
    EXPECT_TRUE(f.txt_partnerName->isHidden());
    EXPECT_TRUE(f.cobo_billType->isHidden());
    EXPECT_TRUE(f.txt_price->isHidden());
    EXPECT_EQ(f.lines->column(LineField::Price), -1);
    EXPECT_EQ(f.lines->caption(LineField::LocationCode), "调出库位");
    EXPECT_EQ(f.lines->caption(LineField::ToLocationCode), "调入库位");
    EXPECT_EQ(f.cobo_toLocation->currentText(), "");
    f.cobo_accountType->setCurrentIndex(
        f.cobo_accountType->findText(scalar("select uname from tb_dictionary where id=2").toString()));
    // 奥利奥 (goods 11, boxes of 12) from A-02 (3) to A-01 (2); F7 goes to the to location
    const double before = atPlace(11, 3), perGoods = balance(11, "importQty") - balance(11, "exportQty");
    f.cobo_location->setCurrentText("A-02");
    press(f.txt_goodsCode, Qt::Key_F7);
    QTest::keyClicks(f.cobo_toLocation, "A-02");
    type(f.txt_goodsCode, "6901120007700");
    EXPECT_EQ(last(), "调出库位和调入库位不能相同!");
    f.cobo_toLocation->setCurrentText("A-01");
    f.txt_Qty->setText("1000");
    m_msg.answers = {MsgBox::No};
    type(f.txt_goodsCode, "6901120007700");
    EXPECT_EQ(last(),
              QString("库位[A-02]的货品[奥利奥夹心饼干]库存(%1)-调出数(12000) = %2 出现负数,是否继续调拨?")
                  .arg(acc::numberQText(before), acc::numberQText(before - 12000)));
    EXPECT_EQ(goodsRows(f), 0);
    f.txt_Qty->setText("2");
    const std::size_t shown = m_msg.shown.size();
    type(f.txt_goodsCode, "6901120007700");
    EXPECT_EQ(m_msg.shown.size(), shown) << last().toStdString(); // enough there: no question
    ASSERT_EQ(goodsRows(f), 1);
    EXPECT_EQ(at(f, 0, LineField::LocationCode), "A-02");
    EXPECT_EQ(at(f, 0, LineField::ToLocationCode), "A-01");
    EXPECT_EQ(f.txt_BillAmount->text(), "2");
    // a second line scanned without a to location, given one by the row menu's batch setting
    f.cobo_toLocation->setCurrentIndex(-1);
    m_msg.answers = {MsgBox::Yes};
    type(f.txt_goodsCode, "6902110014700");
    ASSERT_EQ(goodsRows(f), 2);
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(last(), "调入库位不能为空,可以单击【鼠标右键】去批量预设!");
    EXPECT_EQ(currentField(f), LineField::ToLocationCode);
    m_onModal = [](QDialog* d) {
        auto* dlg = qobject_cast<frm_select*>(d);
        for (int r = 0; r < dlg->vgInput->rowCount(); ++r)
            if (dlg->vgInput->item(r, 3)->text() == "B-01")
                dlg->vgInput->item(r, 2)->setCheckState(Qt::Checked);
        dlg->Pick();
        return int(QDialog::Accepted);
    };
    select(f, 1, 1);
    f.grid->selectionModel()->setCurrentIndex(f.lines->index(1, 1), QItemSelectionModel::NoUpdate);
    f.SetToLocationForSelection();
    EXPECT_EQ(at(f, 1, LineField::ToLocationCode), "B-01");
    EXPECT_EQ(at(f, 0, LineField::ToLocationCode), "A-01");
    // hostile and wrong quantities are refused with the row
    put(f, 1, LineField::Qty, "0");
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(last(), "第2行数量必须大于0!");
    put(f, 1, LineField::Qty, "1'); drop table tb_transfer_head; --");
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(last(), "第2行数量不是有效的数字,请重新输入!");
    put(f, 1, LineField::Qty, "3");
    f.txt_remark->setText("补货'上架");
    yesTo([&] { f.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    const QString billNo = f.txt_billNo->text();
    EXPECT_TRUE(billNo.startsWith("db-" + QDate::currentDate().toString("yyMM") + "-"))
        << billNo.toStdString();
    // saved again: the same transfer, rewritten
    put(f, 1, LineField::Qty, "4");
    yesTo([&] { f.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    EXPECT_EQ(f.txt_billNo->text(), billNo);
    EXPECT_EQ(scalar("select count(*) from tb_transfer_head where billNo='" + billNo + "'").toInt(), 1);
    EXPECT_EQ(scalar("select remark from tb_transfer_head where billNo='" + billNo + "'").toString(),
              "补货'上架");
    // a location locked since it was chosen is refused at the save, with its line
    exec("update tb_location set isLock=1 where locationCode='B-01'");
    yesTo([&] { f.SaveBill(); });
    EXPECT_EQ(last(), "第2行库位[B-01]不存在或不可用!");
    EXPECT_EQ(currentField(f), LineField::ToLocationCode);
    exec("update tb_location set isLock=0 where locationCode='B-01'");
    EXPECT_EQ(atPlace(11, 3), before); // nothing moves before the approval
    const double toBefore = atPlace(11, 2);
    yesTo([&] { f.PassBill(); });
    EXPECT_EQ(last(), "审核成功!");
    EXPECT_FALSE(f.img_pass->isHidden());
    EXPECT_EQ(atPlace(11, 3), before - 24);
    EXPECT_EQ(atPlace(11, 2), toBefore + 24);
    EXPECT_EQ(balance(11, "importQty") - balance(11, "exportQty"), perGoods); // the goods' stock stays
    screenshot(&f, "transfer_entry");
    // sold from the to location meanwhile: withdrawing asks, and No keeps the approval
    const double atTo = atPlace(11, 2);
    exec(QString("insert into tb_ck_head (id, accountId, billNo, ispass) values (900, 2, 'ck-x', 1)"));
    exec(QString(
             "insert into tb_ck_detail (id, headId, goodsId, qty, packQty, locationId) values (900, 900, 11, "
             "%1, 1, 2)")
             .arg(atTo));
    m_msg.answers = {MsgBox::No};
    f.PassBill();
    EXPECT_EQ(last(),
              QString("库位[A-01]的货品[奥利奥夹心饼干]库存(0)-调回数(24) = -24\n出现负数,是否继续?"));
    EXPECT_FALSE(f.img_pass->isHidden());
    yesTo([&] { f.PassBill(); });
    EXPECT_EQ(last(), "反审成功!");
    EXPECT_EQ(atPlace(11, 2), -24);
    EXPECT_EQ(atPlace(11, 3), before);
    yesTo([&] { f.DeleteBill(); });
    EXPECT_EQ(last(), "删除成功!");
    EXPECT_EQ(scalar("select count(*) from tb_transfer_head where billNo='" + billNo + "'").toInt(), 0);
}

TEST_F(BillEntry, LotTrackedGoodsComeInWithTheirLotAndExpiryAndGoOutWithIt) {
    // (the demonstration shop has milk at A-01 and C-01; these lots lie at A-02)
    exec("update tb_goods_head set lotTracked=1, shelfLifeDays=7 where goodsCode='SP0008'");
    const QDate today = QDate::currentDate();
    const QString expiry = today.addDays(5).toString(Qt::ISODate);
    frmImport in;
    EXPECT_EQ(in.lines->caption(LineField::ProductionDate), "生产日期");
    EXPECT_EQ(in.lines->column(LineField::ExpiryDate), in.lines->columnCount() - 1); // after the others
    in.NewBillForPartner(1, "康师傅饮品有限公司");
    in.cobo_location->setCurrentText("A-02");
    type(in.txt_goodsCode, "SP0008");
    ASSERT_EQ(goodsRows(in), 1);
    yesTo([&] { in.SaveBill(); });
    EXPECT_EQ(last(), "第1行货品[蒙牛纯牛奶]按批次管理,批次号不能为空!");
    EXPECT_EQ(currentField(in), LineField::LotNo);
    put(in, 0, LineField::LotNo, "M1");
    yesTo([&] { in.SaveBill(); });
    EXPECT_EQ(last(), "第1行货品[蒙牛纯牛奶]按批次管理,有效期至不能为空!");
    EXPECT_EQ(currentField(in), LineField::ExpiryDate);
    put(in, 0, LineField::ProductionDate, today.addDays(1).toString(Qt::ISODate));
    yesTo([&] { in.SaveBill(); });
    EXPECT_EQ(last(), "第1行生产日期不能晚于今天!");
    // the expiry follows from the production date and the shelf life
    put(in, 0, LineField::ProductionDate, today.addDays(-2).toString(Qt::ISODate));
    yesTo([&] { in.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    EXPECT_EQ(at(in, 0, LineField::ExpiryDate), expiry);
    yesTo([&] { in.PassBill(); });
    EXPECT_EQ(scalar("select expiryDate from tb_stock_lot where lotNo='M1'").toString(), expiry);
    in.LoadBill(in.txt_id->text().toInt());
    EXPECT_EQ(at(in, 0, LineField::ExpiryDate), expiry);
    // withdrawn, the bill may correct its own lot's expiry
    yesTo([&] { in.PassBill(); });
    put(in, 0, LineField::ExpiryDate, today.addDays(6).toString(Qt::ISODate));
    yesTo([&] { in.SaveBill(); });
    EXPECT_EQ(last(), "保存成功!");
    put(in, 0, LineField::ExpiryDate, expiry);
    yesTo([&] { in.SaveBill(); });
    yesTo([&] { in.PassBill(); });
    ASSERT_EQ(last(), "审核成功!");
    // another stock-in of the lot must keep its expiry
    in.NewBillForPartner(1, "康师傅饮品有限公司");
    type(in.txt_goodsCode, "SP0008");
    put(in, 0, LineField::LotNo, "M1");
    put(in, 0, LineField::ExpiryDate, today.addDays(9).toString(Qt::ISODate));
    yesTo([&] { in.SaveBill(); });
    EXPECT_EQ(last(), "批次[M1]的有效期已登记为 " + expiry);
    // going out, a line of the lot takes its expiry
    frmExport out;
    out.NewBillForPartner(6, "华联超市(朝阳店)");
    out.cobo_location->setCurrentText("A-02");
    m_msg.answers = {MsgBox::Yes};
    type(out.txt_goodsCode, "SP0008");
    put(out, 0, LineField::LotNo, "M1");
    yesTo([&] { out.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    EXPECT_EQ(scalar("select expiryDate from tb_ck_detail where headId=" + out.txt_id->text()).toString(),
              expiry);

    // a second lot expiring later, and one expired yesterday
    const QString later = today.addDays(20).toString(Qt::ISODate),
                  gone = today.addDays(-1).toString(Qt::ISODate);
    frmImport in2;
    in2.NewBillForPartner(1, "康师傅饮品有限公司");
    in2.cobo_location->setCurrentText("A-02");
    in2.txt_Qty->setText("3");
    type(in2.txt_goodsCode, "SP0008");
    put(in2, 0, LineField::LotNo, "M2");
    put(in2, 0, LineField::ExpiryDate, later);
    in2.txt_Qty->setText("2");
    type(in2.txt_goodsCode, "SP0008");
    put(in2, 1, LineField::LotNo, "M0");
    put(in2, 1, LineField::ExpiryDate, gone);
    yesTo([&] { in2.SaveBill(); });
    ASSERT_EQ(last(), "保存成功!");
    yesTo([&] { in2.PassBill(); });
    // selling more than the first lot holds splits the line, first expiry first
    out.NewBillForPartner(6, "华联超市(朝阳店)");
    out.cobo_location->setCurrentText("A-02");
    out.txt_Qty->setText("3");
    m_msg.shown.clear();
    type(out.txt_goodsCode, "SP0008");
    EXPECT_TRUE(m_msg.shown.empty()) << last().toStdString();
    ASSERT_EQ(goodsRows(out), 2);
    EXPECT_EQ(at(out, 0, LineField::LotNo) + " " + at(out, 0, LineField::Qty) + " " +
                  at(out, 0, LineField::ExpiryDate),
              "M1 1 " + expiry);
    EXPECT_EQ(at(out, 1, LineField::LotNo) + " " + at(out, 1, LineField::Qty), "M2 2");
    screenshot(&out, "stock_out_split_by_lot");
    // the rest of M2 and then the expired lot, after its question
    out.txt_Qty->setText("3");
    yesTo([&] { type(out.txt_goodsCode, "SP0008"); });
    EXPECT_EQ(last(), "批次[M0]已过期(" + gone + "),是否仍然出库?");
    ASSERT_EQ(goodsRows(out), 4);
    EXPECT_EQ(at(out, 2, LineField::LotNo) + " " + at(out, 2, LineField::Qty), "M2 1");
    EXPECT_EQ(at(out, 3, LineField::LotNo) + " " + at(out, 3, LineField::Qty), "M0 2");
    // nothing left: the shortfall question, and No adds nothing
    m_msg.answers.clear();
    type(out.txt_goodsCode, "SP0008");
    EXPECT_EQ(last(), "库位[A-02]的货品[蒙牛纯牛奶]批次库存(0)-出库数(1) = -1 出现负数,是否继续出库?");
    EXPECT_EQ(goodsRows(out), 4);
    // a lot picked from the location's lots instead
    out.grid->setCurrentIndex(out.lines->index(3, out.lines->column(LineField::Qty)));
    m_onModal = [](QDialog* d) {
        auto* table = d->findChild<QTableWidget*>("dg_lots");
        if (!table || table->rowCount() != 3) return 0;
        table->setCurrentCell(2, 0);
        return 1;
    };
    out.PickLotForRow();
    EXPECT_EQ(at(out, 3, LineField::LotNo) + " " + at(out, 3, LineField::ExpiryDate), "M2 " + later);
    yesTo([&] { out.SaveBill(); });
    EXPECT_EQ(last(), "保存成功!");
    // a transfer from the location is split the same way, each line keeping both ends
    frmTransfer move;
    move.cobo_location->setCurrentText("A-02");
    move.cobo_toLocation->setCurrentText("B");
    move.txt_Qty->setText("2");
    type(move.txt_goodsCode, "SP0008");
    ASSERT_EQ(goodsRows(move), 2);
    EXPECT_EQ(at(move, 0, LineField::LotNo) + " " + at(move, 0, LineField::Qty) + " " +
                  at(move, 0, LineField::LocationCode) + " " + at(move, 0, LineField::ToLocationCode),
              "M1 1 A-02 B");
    EXPECT_EQ(at(move, 1, LineField::LotNo) + " " + at(move, 1, LineField::Qty), "M2 1");
}
