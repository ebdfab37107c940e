// Every function code that guards a command, one test each: a user whose
// department lacks the code is refused and nothing opens or changes; with
// the code the command goes through the check.
#include "guifixture.h"

#include "access/frm_department_fun.h"
#include "access/frm_user.h"
#include "access/sysvars.h"
#include "app/frm_main.h"
#include "bills/frmbillentry.h"
#include "bills/frmstocktake.h"
#include "calendar/frmcalendar.h"
#include "master/frm_customer.h"
#include "master/frm_dictionary.h"
#include "master/frmgoods.h"
#include "master/frmlocation.h"
#include "output/printout.h"
#include "reports/frm_rpt_billlist.h"
#include "reports/frm_rpt_lines.h"
#include "reports/frm_rpt_locstock.h"
#include "reports/frm_rpt_stock.h"
#include "reports/frm_rpt_sum.h"
#include "reports/frm_rpt_transfer.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"
#include "ui/windowregistry.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QRegularExpression>
#include <QSet>
#include <QTableWidget>

namespace {

const QString kRefused = QStringLiteral("功能受限,请与系统管理联系!");

struct Guard {
    const char* code;
    std::function<void()> act;  // runs the command in a state where it reaches its check
    const char* door = nullptr; // another way to the same command, tested with the same code
};

void trigger(QWidget* form, const char* key) {
    for (QAction* a : form->findChildren<QAction*>())
        if (a->objectName() == key) return a->trigger();
    ADD_FAILURE() << "no key " << key;
}

// The bill of a kind in an approval state, from the demo data.
int billOf(const char* kind, int approved) {
    const RecordSet rs =
        sqlHelper::ExecuteSql(QString("select top 1 h.id from tb_%1_head h where h.ispass=%2 and "
                                      "exists (select 1 from tb_%1_detail d where d.headId=h.id) "
                                      "order by h.id")
                                  .arg(kind)
                                  .arg(approved));
    return rs.RecordCount() ? rs.at(0, 0).toInt() : 0;
}

// A partner's row of the partner window from which the bill of this kind can start.
void onPartner(bool isImport, const std::function<void(frm_customer&)>& act) {
    frm_customer f;
    for (int r = 0; r < f.vsCustomerList->rowCount(); ++r)
        if (f.CanStartBill(r, isImport)) {
            f.vsCustomerList->setCurrentCell(r, frm_customer::colName);
            return act(f);
        }
    ADD_FAILURE() << "no partner";
}

// A drop-down item of the calendar's home window.
void homeItem(const char* key) {
    frmMain home;
    trigger(&home, key);
}

// The windows the last main-window command left open.
int g_opened = 0;

// Runs a main-window command.
void command(const char* key) {
    frm_Main main;
    main.RunCommand(key);
    g_opened = main.mdiArea()->subWindowList().size();
}

template <class Form> void entry(int bill, void (BillEntryForm::*slot)()) {
    Form f;
    if (bill > 0)
        f.LoadBill(bill);
    else
        f.NewBill();
    (f.*slot)();
}

template <class Form> void onBillRow(const char* kind, int approved, const std::function<void(Form&)>& act) {
    Form f;
    f.dt_createDateFrom->setDate(QDate(2020, 1, 1));
    f.InitReport();
    f.dt_createDateFrom->setDate(QDate(2020, 1, 1));
    f.Search();
    const int bill = billOf(kind, approved);
    for (int r = 0; r < f.dg_List->rowCount(); ++r) {
        // the id of the row's bill: the bill lists show it in column 2, the line reports in column 4
        const int column =
            std::is_same_v<Form, frm_rpt_rkHead> || std::is_same_v<Form, frm_rpt_ckHead> ? 2 : 4;
        if (f.dg_List->item(r, column) && f.dg_List->item(r, column)->text().toInt() == bill) {
            f.dg_List->setCurrentCell(r, 5);
            return act(f);
        }
    }
    ADD_FAILURE() << "bill " << bill << " not listed";
}

// The row of the demo's transfer in an approval state in a transfer report
// (the transfer's id in column 2 of the list, 4 of the lines).
template <class Form> void onTransferRow(int approved, const std::function<void(TransferReport&)>& act) {
    Form f;
    f.dt_createDateFrom->setDate(QDate(2020, 1, 1));
    f.InitReport();
    f.dt_createDateFrom->setDate(QDate(2020, 1, 1));
    f.Search();
    const int bill = billOf("transfer", approved);
    const int column = std::is_same_v<Form, frm_rpt_dbHead> ? 2 : 4;
    for (int r = 0; r < f.dg_List->rowCount(); ++r)
        if (f.dg_List->item(r, column) && f.dg_List->item(r, column)->text().toInt() == bill) {
            f.dg_List->setCurrentCell(r, 5);
            return act(f);
        }
    ADD_FAILURE() << "transfer " << bill << " not listed";
}

// A command run on a fresh window of its kind.
template <class Form> std::function<void()> on(std::function<void(Form&)> act) {
    return [act] {
        Form f;
        act(f);
    };
}

// A report's key, pressed once the report has been made.
template <class Form> std::function<void()> reportKey(const char* key) {
    return on<Form>([key](Form& f) {
        f.InitReport();
        trigger(&f, key);
    });
}

std::vector<Guard> guards() {
    // clang-format off
    std::vector<Guard> g = {
        {"customer", [] { command("menu_MyCustomer"); }},
        {"rcmg", [] { command("menu_Calendar"); }},
        {"import", [] { command("menu_rk"); }},
        {"export", [] { command("menu_ck"); }},
        {"rpt_kczz", [] { command("menu_kcbill"); }},
        {"rpt_locstock", [] { command("menu_locstock"); }},
        {"rpt_locstock_export", reportKey<frm_rpt_locStock>("export")},
        {"stocktake", [] { command("menu_stocktake"); }},
        {"stocktake_post", [] {
             sqlHelper::ExecuteNonQuery("update tb_stocktake_head set state=2");
             frmStockTake f;
             ASSERT_TRUE(f.StartCount(2, 0, 0));
             f.PostCount();
         }},
        {"rpt_rkbill", [] { command("menu_rk_bill"); }},
        {"rpt_rk_detail_bill", [] { command("menu_rk_detail_bill"); }},
        {"rpt_rksum", [] { command("menu_rksum"); }},
        {"rpt_ckbill", [] { command("menu_ck_bill"); }},
        {"rpt_ck_detail_bill", [] { command("menu_ck_detail_bill"); }},
        {"rpt_cksum", [] { command("menu_cksum"); }},
        {"goodsInfor", [] { command("menu_goods"); }},
        {"locationInfor", [] { command("menu_location"); }},
        {"dictionary", [] { command("menu_dictionary"); }},
        {"limited", [] { command("menu_fun"); }},
        {"optionset", [] { command("menu_opt"); }},
        {"user", [] { command("menu_user"); }},
        {"modifyPW", [] { command("menu_modiflypw"); }},
        // the other doors to these commands
        {"user", [] { command("user_infor"); }, "toolbar"},
        {"goodsInfor", [] { command("item_goods"); }, "toolbar"},
        {"import", [] { homeItem("item_import"); }, "home"},
        {"user", [] { homeItem("user_infor"); }, "home"},
        {"goodsInfor", [] { homeItem("item_goods"); }, "home"},
        {"import", [] { onPartner(true, [](frm_customer& f) { f.StartBill(true); }); }, "partner"},
        {"export", [] { onPartner(false, [](frm_customer& f) { f.StartBill(false); }); }, "partner"},
        {"dictionary", on<frmGoods>([](frmGoods& f) { f.btn_goodsTypeMg(); }), "goods"},
        {"dictionary", on<frm_customer>([](frm_customer& f) { f.ManageCategories(); }), "partner"},
        {"customer_save", on<frm_customer>([](frm_customer& f) {
             f.ShowCustomerById(1);
             f.CopyCustomer();
             f.txt_Name->setText("新的往来单位");
             f.SaveCustomer();
         })},
        {"customer_update", on<frm_customer>([](frm_customer& f) { f.ShowCustomerById(1); f.SaveCustomer(); })},
        {"customer_delete", on<frm_customer>([](frm_customer& f) { f.ShowCustomerById(1); f.DeleteCustomer(); })},
        {"customer_export", on<frm_customer>([](frm_customer& f) { trigger(&f, "export"); })},
        {"import_save", [] { entry<frmImport>(0, &BillEntryForm::SaveBill); }},
        {"import_update", [] { entry<frmImport>(billOf("rk", 0), &BillEntryForm::SaveBill); }},
        {"import_delete", [] { entry<frmImport>(billOf("rk", 0), &BillEntryForm::DeleteBill); }},
        {"import_pass", [] { entry<frmImport>(billOf("rk", 0), &BillEntryForm::PassBill); }},
        {"import_nopass", [] { entry<frmImport>(billOf("rk", 1), &BillEntryForm::PassBill); }},
        {"import_print", [] { entry<frmImport>(billOf("rk", 1), &BillEntryForm::PrintBill); }},
        {"export_save", [] { entry<frmExport>(0, &BillEntryForm::SaveBill); }},
        {"export_update", [] { entry<frmExport>(billOf("ck", 0), &BillEntryForm::SaveBill); }},
        {"export_delete", [] { entry<frmExport>(billOf("ck", 0), &BillEntryForm::DeleteBill); }},
        {"export_pass", [] { entry<frmExport>(billOf("ck", 0), &BillEntryForm::PassBill); }},
        {"export_nopass", [] { entry<frmExport>(billOf("ck", 1), &BillEntryForm::PassBill); }},
        {"export_print", [] { entry<frmExport>(billOf("ck", 1), &BillEntryForm::PrintBill); }},
        {"export_searchBill", [] { entry<frmExport>(0, &BillEntryForm::SearchBill); }},
        {"transfer", [] { command("menu_transfer"); }},
        {"transfer", [] { command("item_transfer"); }, "toolbar"},
        {"transfer_save", [] { entry<frmTransfer>(0, &BillEntryForm::SaveBill); }},
        {"transfer_update", [] { entry<frmTransfer>(billOf("transfer", 0), &BillEntryForm::SaveBill); }},
        {"transfer_delete", [] { entry<frmTransfer>(billOf("transfer", 0), &BillEntryForm::DeleteBill); }},
        {"transfer_pass", [] { entry<frmTransfer>(billOf("transfer", 0), &BillEntryForm::PassBill); }},
        {"transfer_nopass", [] { entry<frmTransfer>(billOf("transfer", 1), &BillEntryForm::PassBill); }},
        {"transfer_print", [] { entry<frmTransfer>(billOf("transfer", 1), &BillEntryForm::PrintBill); }},
        {"transfer_searchBill", [] { entry<frmTransfer>(0, &BillEntryForm::SearchBill); }},
        {"rpt_dbbill", [] { command("menu_db_bill"); }},
        {"rpt_db_detail_bill", [] { command("menu_db_detail_bill"); }},
        {"rpt_dbbill_print", [] { onTransferRow<frm_rpt_dbHead>(1, [](TransferReport& f) { f.PrintCurrent(); }); }},
        {"rpt_dbbill_export", [] { onTransferRow<frm_rpt_dbHead>(0, [](TransferReport& f) { trigger(&f, "export"); }); }},
        {"rpt_dbbill_browse", [] { onTransferRow<frm_rpt_dbHead>(0, [](TransferReport& f) { f.OpenBill(); }); }},
        {"rpt_dbbill_delete", [] { onTransferRow<frm_rpt_dbHead>(0, [](TransferReport& f) { f.menu_DeleteBill(); }); }},
        {"rpt_dbbill_pass", [] { onTransferRow<frm_rpt_dbHead>(0, [](TransferReport& f) { f.menu_pass(); }); }},
        {"rpt_dbbill_nopass", [] { onTransferRow<frm_rpt_dbHead>(1, [](TransferReport& f) { f.menu_nopass(); }); }},
        {"rpt_dbbill_add", [] { onTransferRow<frm_rpt_dbHead>(0, [](TransferReport& f) { f.AddNew(); }); }},
        {"rpt_db_detail_bill_print", [] { onTransferRow<frm_rpt_dbDetail>(1, [](TransferReport& f) { f.PrintCurrent(); }); }},
        {"rpt_db_detail_bill_export", [] { onTransferRow<frm_rpt_dbDetail>(0, [](TransferReport& f) { trigger(&f, "export"); }); }},
        {"rpt_db_detail_bill_browse", [] { onTransferRow<frm_rpt_dbDetail>(0, [](TransferReport& f) { f.OpenBill(); }); }},
        {"rpt_db_detail_bill_delete", [] { onTransferRow<frm_rpt_dbDetail>(0, [](TransferReport& f) { f.menu_DeleteBill(); }); }},
        {"goodsInfor_save", on<frmGoods>([](frmGoods& f) {
             f.ShowGoodsById(1);
             f.btn_GoodsCopy();
             f.txt_goodsCode->setText("ZZ-NEW-1");
             f.txt_goodsDetailCode->clear();
             f.btn_GoodsSave();
         })},
        {"goodsInfor_update", on<frmGoods>([](frmGoods& f) { f.ShowGoodsById(1); f.btn_GoodsSave(); })},
        {"goodsInfor_delete", on<frmGoods>([](frmGoods& f) { f.ShowGoodsById(30); f.btn_GoodsDelete(); })},
        {"goodsInfor_export", on<frmGoods>([](frmGoods& f) { f.btn_search(); trigger(&f, "export"); })},
        {"locationInfor_save", on<frmLocation>([](frmLocation& f) { f.ClearForm(); f.SaveLocation(); })},
        {"locationInfor_update", on<frmLocation>([](frmLocation& f) { f.show_LocationInfor(2); f.SaveLocation(); })},
        {"locationInfor_delete", on<frmLocation>([](frmLocation& f) { f.show_LocationInfor(9); f.DeleteLocation(); })},
        {"dictionary_save", on<frm_dictionary>([](frm_dictionary& f) { f.ClearForm(); f.SaveEntry(); })},
        {"dictionary_update", on<frm_dictionary>([](frm_dictionary& f) { f.show_DictionaryInfor(136); f.SaveEntry(); })},
        {"dictionary_delete", on<frm_dictionary>([](frm_dictionary& f) { f.show_DictionaryInfor(136); f.DeleteEntry(); })},
        {"user_save", on<frm_user>([](frm_user& f) { f.add_user(); f.save_user(); })},
        {"user_update", on<frm_user>([](frm_user& f) { f.ShowUser(4); f.save_user(); })},
        {"user_delete", on<frm_user>([](frm_user& f) { f.ShowUser(4); f.delete_user(); })},
        {"rpt_kczz_print", reportKey<frm_rpt_stock>("print")},
        {"rpt_kczz_export", reportKey<frm_rpt_stock>("export")},
        {"rpt_rksum_export", reportKey<frm_rpt_rkSum>("export")},
        {"rpt_cksum_export", reportKey<frm_rpt_ckSum>("export")},
    };
    // clang-format on
    // the bill lists and line reports of both sides
    for (const bool out : {false, true}) {
        const char* kind = out ? "ck" : "rk";
        auto code = [out](const char* rest) {
            return qstrdup(QByteArray(out ? "rpt_ckbill_" : "rpt_rkbill_").append(rest).constData());
        };
        auto lineCode = [out](const char* rest) {
            return qstrdup(
                QByteArray(out ? "rpt_ck_detail_bill_" : "rpt_rk_detail_bill_").append(rest).constData());
        };
        auto list = [out, kind](int approved, std::function<void(BillListReport&)> act) {
            if (out)
                onBillRow<frm_rpt_ckHead>(kind, approved, [act](frm_rpt_ckHead& f) { act(f); });
            else
                onBillRow<frm_rpt_rkHead>(kind, approved, [act](frm_rpt_rkHead& f) { act(f); });
        };
        auto lines = [out, kind](std::function<void(LineListReport&)> act) {
            if (out)
                onBillRow<frm_rpt_ckDetail>(kind, 0, [act](frm_rpt_ckDetail& f) { act(f); });
            else
                onBillRow<frm_rpt_rkDetail>(kind, 0, [act](frm_rpt_rkDetail& f) { act(f); });
        };
        g.push_back({code("export"), [list] { list(0, [](BillListReport& f) { trigger(&f, "export"); }); }});
        g.push_back({code("browse"), [list] { list(0, [](BillListReport& f) { f.OpenBill(); }); }});
        g.push_back({code("delete"), [list] { list(0, [](BillListReport& f) { f.menu_DeleteBill(); }); }});
        g.push_back({code("pass"), [list] { list(0, [](BillListReport& f) { f.menu_pass(); }); }});
        g.push_back({code("nopass"), [list] { list(1, [](BillListReport& f) { f.menu_nopass(); }); }});
        g.push_back({code("add"), [list] { list(0, [](BillListReport& f) { f.AddNew(); }); }});
        g.push_back(
            {lineCode("export"), [lines] { lines([](LineListReport& f) { trigger(&f, "export"); }); }});
        g.push_back({lineCode("browse"), [lines] { lines([](LineListReport& f) { f.OpenBill(); }); }});
        g.push_back({lineCode("delete"), [lines] { lines([](LineListReport& f) { f.menu_DeleteBill(); }); }});
    }
    return g;
}

class PermissionTable : public GuiDemoTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        PrintOut::ToolLauncher() = [](const QString&, const QStringList&) {};
        // 张伟 of the store department; his department's grants are set per run
        loginAs("张伟");
        exec("insert into tb_account_fun (accountId, departmentId) select accountId, 101 from tb_account_fun "
             "where "
             "departmentId=1 and accountId not in (select accountId from tb_account_fun where "
             "departmentId=101)");
        exec("insert into tb_location_fun (locationId, departmentId) select id, 101 from tb_location where "
             "id not in "
             "(select locationId from tb_location_fun where departmentId=101)");
    }
    void TearDown() override {
        PrintOut::ToolLauncher() = nullptr;
        GuiDemoTest::TearDown();
    }
    // Every code but the one left out (nothing left out: every code).
    void grantAllBut(const QString& code) {
        exec("delete from tb_user_group_fun where departmentId=101");
        exec(
            "insert into tb_user_group_fun (funCode, departmentId) select funCode, 101 from tb_sys_fun where "
            "funCode<>'" +
            code + "'");
        InitSysVar();
    }
    // What a refused command must leave as it was.
    QString fingerprint() {
        QStringList parts;
        for (const char* q :
             {"select count(*), sum(ispass), max(updateLastTime) from tb_rk_head",
              "select count(*), sum(ispass), max(updateLastTime) from tb_transfer_head",
              "select count(*) from tb_transfer_detail",
              "select count(*), sum(ispass), max(updateLastTime) from tb_ck_head",
              "select count(*) from tb_rk_detail", "select count(*) from tb_ck_detail",
              "select count(*), max(updateLastTime) from tb_goods_head",
              "select count(*) from tb_goods_detail", "select count(*), max(updateLastTime) from tb_customer",
              "select count(*), max(uname) from tb_location",
              "select count(*), max(uname) from tb_dictionary",
              "select count(*), max(dictionaryId) from tb_user", "select count(*) from tb_user_group_fun"}) {
            const RecordSet rs = query(q);
            for (int c = 0; c < rs.fieldCount(); ++c)
                parts << acc::valueText(rs.at(0, c));
        }
        const QDir xls(folder() + "kxPrint/generateXls");
        parts << QString::number(xls.exists() ? xls.entryList(QDir::Files).size() : 0);
        return parts.join('|');
    }
};

} // namespace

TEST_P(PermissionTable, WithoutTheCodeNothingHappensWithItTheCommandGoesOn) {
    const Guard guard = guards().at(GetParam());
    SCOPED_TRACE(guard.code);
    QMdiArea area;
    WindowRegistry::SetArea(&area);
    grantAllBut(guard.code);
    const QString before = fingerprint();
    m_msg.shown.clear();
    m_msg.answers = {MsgBox::Yes, MsgBox::Yes, MsgBox::Yes, MsgBox::Yes, MsgBox::Yes};
    g_opened = 0;
    guard.act();
    // refused before any question, but where the goods and partner windows ask before their check
    const bool asksFirst =
        QString(guard.code).contains(QRegularExpression("^(goodsInfor|customer)_(save|update)$"));
    EXPECT_EQ(m_msg.texts().value(asksFirst ? 1 : 0), kRefused) << m_msg.texts().join(" / ").toStdString();
    EXPECT_EQ(fingerprint(), before);
    EXPECT_TRUE(m_modalShown.empty()) << m_modalShown.front().toStdString();
    EXPECT_EQ(g_opened, 0);
    EXPECT_TRUE(area.subWindowList().isEmpty());
    WindowRegistry::SetArea(&area);

    grantAllBut(QString());
    m_msg.shown.clear();
    m_msg.answers = {MsgBox::Yes, MsgBox::Yes, MsgBox::Yes, MsgBox::Yes, MsgBox::Yes};
    guard.act();
    EXPECT_FALSE(m_msg.texts().contains(kRefused)) << m_msg.texts().join(" / ").toStdString();
    WindowRegistry::SetArea(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Codes, PermissionTable, ::testing::Range(0, int(guards().size())),
                         [](const ::testing::TestParamInfo<int>& info) {
                             const Guard g = guards().at(info.param);
                             return std::string(g.code) +
                                    (g.door ? std::string("_") + g.door : std::string());
                         });

TEST(PermissionTableList, CoversEveryGuardingCode) {
    // the 70 of the catalogue, the location report's and the count's two, the transfers' 21,
    // and ten other doors
    EXPECT_EQ(guards().size(), 105u);
    QSet<QString> codes;
    for (const Guard& g : guards())
        codes.insert(g.code);
    EXPECT_EQ(codes.size(), 95);
}
