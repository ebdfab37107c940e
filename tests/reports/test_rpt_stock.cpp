#include "data/sqlhelper.h"
#include "fixture.h"
#include "reports/rpt_filters.h"
#include "reports/rpt_stock.h"

#include <random>

namespace {

class StockReport : public DbTest {
protected:
    // The whole temporary table, one text per row, by goods id.
    QStringList table(const QString& name = "temp_rpt_stock") {
        const RecordSet rs = query("select * from " + name + " order by id");
        QStringList rows;
        for (int r = 0; r < rs.RecordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rs.fieldCount(); ++c)
                cells << rs.fieldName(c) + "=" +
                             (rs.at(r, c).isNull() ? QString("Null") : rs.at(r, c).toString());
            rows << cells.join(' ');
        }
        return rows;
    }
    QStringList run(const QStringList& statements, const QString& name = "temp_rpt_stock") {
        KeyValue batch;
        for (const QString& s : statements)
            batch.AddItem(s, SqlParams());
        EXPECT_TRUE(sqlHelper::ExecuteTrans(batch).isResult);
        return table(name);
    }
    QStringList correlated(const QString& accounts) { return run(CorrelatedStockRefill(accounts)); }

    // 40 goods (every tenth without a default unit), 120 bills of both
    // sides over two accounts, types, partners and three months, with
    // empty figures and now and then a line without its bill.
    void randomBills() {
        std::mt19937 rng(11);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        KeyValue batch; // one transaction: the file is written once
        auto exec = [&batch](const QString& sql) { batch.AddItem(QString::number(batch.size()) + "|" + sql, {}); };
        auto number = [&]() -> QString { return pick(12) == 0 ? "Null" : QString::number(pick(800) / 8.0); };
        exec("insert into tb_dictionary (id, utype, uname, parentId, isstart) values (30, 'accountType', "
             "'二账', 0, 1)");
        for (int g = 1; g <= 40; ++g) {
            exec(QString("insert into tb_goods_head (id, goodsTypeId, goodsCode, goodsName, upqty, downqty, "
                         "status) values "
                         "(%1, 1, 'G%1', '货品%1', 100, 5, '启用')")
                     .arg(g));
            if (g % 10 != 0) // a few goods have no default unit and are not listed
                exec(QString("insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (%1, "
                             "%1, 1, '箱', "
                             "%2)")
                         .arg(g)
                         .arg(1 + pick(4) * 4));
        }
        int line = 1;
        for (int b = 1; b <= 120; ++b) {
            const char* kind = b % 2 ? "rk" : "ck";
            exec(QString("insert into tb_%1_head (id, accountId, billNo, ispass, utypeId, %5, createTime) "
                         "values (%2, %3, "
                         "'%1-%2', %4, %6, %7, '2026-0%8-%9 10:00:00')")
                     .arg(kind)
                     .arg(b)
                     .arg(QStringList{"2", "30", "99", "Null"}[pick(4)])
                     .arg(pick(3) ? 1 : 0)
                     .arg(b % 2 ? "supplierName" : "customerName")
                     .arg(QStringList{"7", "8", "Null"}[pick(3)])
                     .arg(QStringList{"'甲商行'", "'乙公司'", "'甲乙合作社'", "Null"}[pick(4)])
                     .arg(3 + pick(3))
                     .arg(10 + pick(19)));
            for (int k = 0; k < 1 + pick(6); ++k)
                exec(QString("insert into tb_%1_detail (id, headId, goodsId, qty, packQty, weight) values "
                             "(%2, %3, %4, %5, "
                             "%6, %7)")
                         .arg(kind)
                         .arg(line++)
                         .arg(pick(30) ? b : 999) // now and then a line without its bill
                         .arg(1 + pick(40))
                         .arg(number(), number(), number()));
        }
        ASSERT_TRUE(sqlHelper::ExecuteTrans(batch).isResult);
    }
};

} // namespace

TEST_F(StockReport, TheBalanceRefillWritesWhatTheLineByLineStatementWrites) {
    randomBills();
    for (const QString& accounts : {QString("2,30,0"), QString("30,0"), QString("0")}) {
        dal_rpt_stock dal;
        ASSERT_TRUE(dal.insert_temp_rpt_stock(accounts).isResult);
        const QStringList fast = table();
        ASSERT_EQ(fast.size(), 36);
        const QStringList reference = correlated(accounts);
        ASSERT_EQ(fast.size(), reference.size());
        for (int r = 0; r < fast.size(); ++r)
            EXPECT_EQ(fast[r], reference[r]) << accounts.toStdString();
    }
}

TEST_F(StockReport, TheGroupedSummaryRefillWritesWhatTheLineByLineStatementWrites) {
    randomBills();
    struct Case {
        const char* accounts;
        SumFilter filter;
    };
    std::vector<Case> cases = {{"2,30,0", {}}, {"30,0", {}}};
    SumFilter f;
    f.partner = "甲";
    cases.push_back({"2,30,0", f});
    f.typeId = "7";
    cases.push_back({"2,30,0", f});
    f = SumFilter();
    f.from = QDate(2026, 4, 1);
    f.to = QDate(2026, 4, 30);
    cases.push_back({"2,0", f});
    f.partner = "it's"; // a quote in the user's text
    cases.push_back({"2,30,0", f});
    for (Case c : cases) {
        for (bool out : {false, true}) {
            c.filter.stockOut = out;
            ConditionSet list, sum;
            SumConditions(c.filter, list, sum);
            const QString table = out ? "temp_rpt_ckSum" : "temp_rpt_rkSum";
            std::unique_ptr<SumReportDal> dal;
            if (out)
                dal = std::make_unique<dal_rpt_ckSum>();
            else
                dal = std::make_unique<dal_rpt_rkSum>();
            ASSERT_TRUE(dal->Refill(c.accounts, sum).isResult);
            const QStringList fast = this->table(table);
            ASSERT_EQ(fast.size(), 36);
            const QStringList reference =
                run(CorrelatedSumRefill(out, c.accounts, GetConditionSql(sum)), table);
            ASSERT_EQ(fast.size(), reference.size());
            int nonZero = 0;
            for (int r = 0; r < fast.size(); ++r) {
                EXPECT_EQ(fast[r], reference[r]) << c.accounts << " " << GetConditionSql(sum).toStdString();
                nonZero += !fast[r].contains("Qty=0 ");
            }
            if (c.filter.partner != "it's") {
                EXPECT_GT(nonZero, 0) << GetConditionSql(sum).toStdString();
            }
        }
    }
}

TEST_F(StockReport, TheSetRefillsOfBillsAndLinesWriteWhatTheStatementsAsFirstWrittenWrite) {
    randomBills();
    // prices below, at and above 0, places with and without a row, names, and
    // bills on the edges of April: a bill without lines, one whose amounts sum to 0
    for (const char* k : {"rk", "ck"}) {
        exec(QString("update tb_%1_detail set inPrice = (id mod 7) * 1.25 - 2.5, locationId = id mod 4, rowNo = id "
                     "mod 5, lotNo = 'L' & (id mod 3)")
                 .arg(k));
        exec(QString("update tb_%1_head set utypeId = 77 where id mod 3 = 0").arg(k));
    }
    exec("update tb_ck_detail set salePrice = (id mod 5) * 0.7 - 1.4");
    exec("insert into tb_location (id, locationCode) values (1, 'A-1'), (2, 'B-2')");
    exec("insert into tb_dictionary (id, utype, uname, parentId, isstart) values (77, 'importType', '采购', 0, 1)");
    const QStringList edges = {"2026-04-01", "2026-04-30 23:59:59", "2026-05-01", "2026-03-31 23:00:00"};
    for (int e = 0; e < edges.size(); ++e)
        for (const char* k : {"rk", "ck"}) {
            const int head = 500 + e;
            exec(QString("insert into tb_%1_head (id, accountId, billNo, ispass, createTime) values (%2, 2, "
                         "'%1-%2', 1, '%3')")
                     .arg(k)
                     .arg(head)
                     .arg(edges[e]));
            if (e == 0) continue; // no lines
            exec(QString("insert into tb_%1_detail (id, headId, goodsId, qty, packQty, weight, inPrice%5) "
                         "values (%2, %3, 3, 2, 6, 0.5, 1.5%6), (%4, %3, 4, -2, 6, 0.5, 1.5%6)")
                     .arg(k)
                     .arg(9000 + e * 2)
                     .arg(head)
                     .arg(9001 + e * 2)
                     .arg(k[0] == 'c' ? ", salePrice" : "", k[0] == 'c' ? ", 2.25" : ""));
        }
    struct Case {
        BillListFilter filter;
        QString dates; // the span as first written, on the formatted day
    };
    std::vector<Case> cases;
    BillListFilter f;
    f.accountIds = "2,30,99,";
    cases.push_back({f, ""});
    f.from = QDate(2026, 4, 1);
    f.to = QDate(2026, 4, 30);
    cases.push_back({f, " and format(createTime,'yyyy-MM-dd') >= '2026-04-01' and format(createTime,'yyyy-MM-dd') "
                        "<= '2026-04-30'"});
    f.approved = false; // the unapproved bills of April
    cases.push_back({f, " and format(createTime,'yyyy-MM-dd') >= '2026-04-01' and format(createTime,'yyyy-MM-dd') "
                        "<= '2026-04-30'"});
    for (const Case& c : cases)
        for (bool out : {false, true})
            for (bool lines : {false, true}) {
                ConditionSet source, list, undated, ignored;
                BillListConditions(c.filter, source, list);
                BillListFilter noDates = c.filter;
                noDates.from = noDates.to = QDate();
                BillListConditions(noDates, undated, ignored);
                std::unique_ptr<ReportDal> dal;
                if (lines)
                    dal = out ? std::unique_ptr<ReportDal>(new dal_rpt_ckDetail) : std::make_unique<dal_rpt_rkDetail>();
                else
                    dal = out ? std::unique_ptr<ReportDal>(new dal_rpt_ckHead) : std::make_unique<dal_rpt_rkHead>();
                ASSERT_TRUE(dal->Refill(source).isResult);
                const QStringList set = table(dal->kind().table);
                const QString written = GetConditionSql(undated) + c.dates;
                const QStringList reference =
                    run(lines ? CorrelatedBillLinesRefill(out, written) : CorrelatedBillListRefill(out, written),
                        dal->kind().table);
                EXPECT_GT(set.size(), 1);
                EXPECT_EQ(set, reference) << out << lines << qPrintable(written);
            }
}

TEST_F(StockReport, ListsAreReadAPageAtATimeInTheirSortFromEitherEnd) {
    randomBills();
    BillListFilter f;
    f.accountIds = "2,30,99,";
    ConditionSet source, list;
    BillListConditions(f, source, list);
    list.AddItem("9", m_condition("goodsId", "<>", 5)); // the list's own conditions hold too
    dal_rpt_ckDetail dal;
    // the bill day either way is read from the select itself, the others from the table
    const std::pair<QString, bool> sorts[] = {
        {"", false}, {"goodsCode", true}, {"qty", false}, {"createTime", true}, {"createTime", false}};
    for (const auto& [sort, desc] : sorts) {
        m_PageInfor page;
        page.str_orderBy = sort;
        page.isDesc = desc;
        const QString order = sort.isEmpty() ? " order by headId, rowNo, id" : dal.OrderClause(page);
        const m_recordSet found = dal.ListAfterRefill(GetConditionSql(source), list, page, "select id ");
        ASSERT_TRUE(found.str_MsgBox.isEmpty()) << qPrintable(found.str_MsgBox);
        // every line of the kind that passes, in the sort, ties by bill and place
        const RecordSet all = query(
            "select id from (" + dal.kind().select(GetConditionSql(source), "") + ") AS r where 1=1 " +
            GetConditionSql(list) + order);
        ASSERT_GT(all.RecordCount(), 20);
        ASSERT_EQ(found.recordCount, all.RecordCount());
        QStringList paged, expected;
        for (int k = 1; k <= (found.recordCount + 6) / 7; ++k) {
            const RecordSet rs = dal.Page(k, 7);
            EXPECT_EQ(rs.RecordCount(), std::min(7, found.recordCount - (k - 1) * 7)) << k;
            for (int r = 0; r < rs.RecordCount(); ++r)
                paged << rs.at(r, 0).toString();
        }
        for (int r = 0; r < all.RecordCount(); ++r)
            expected << all.at(r, 0).toString();
        EXPECT_EQ(paged, expected) << qPrintable(sort);
        EXPECT_EQ(dal.Page(999, 7).at(0, 0), dal.Page((found.recordCount + 6) / 7, 7).at(0, 0));
        // export reads the same rows in the same order, wherever they are kept
        QStringList exported;
        for (auto rows = dal.OpenDataCursor(GetConditionSql(list), dal.OrderClause(page), false); rows->next();)
            exported << rows->value(0).toString();
        EXPECT_EQ(exported, expected) << qPrintable(sort);
        // a list read from its select neither needs nor fills the table
        if (sort == "createTime") EXPECT_EQ(query("select count(*) from temp_rpt_ckDetail").at(0, 0).toInt(), 0);
        exec("delete from temp_rpt_ckDetail");
    }
}

TEST_F(StockReport, ADefaultUnitOfNoPiecesLeavesItsDefaultFiguresEmpty) {
    exec("insert into tb_goods_head (id, goodsCode, goodsName) values (1, 'G1', '一'), (2, 'G2', '二')");
    exec("insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (1, 1, 1, '箱', 0), "
         "(2, 2, 1, '瓶', 6)");
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-1', 1)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, weight) values (1, 1, 1, 2, 12, 1.5), "
         "(2, 1, 2, 2, 12, 1.5)");
    dal_rpt_stock dal;
    ASSERT_TRUE(dal.insert_temp_rpt_stock("2,0").isResult);
    const RecordSet rs = query("select * from temp_rpt_stock order by id");
    ASSERT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.at(0, "totalImportQty").toString(), "24.0");
    EXPECT_TRUE(rs.at(0, "totalImportDefaultQty").isNull());
    EXPECT_TRUE(rs.at(0, "totalBlanceDefaultQty").isNull());
    EXPECT_EQ(rs.at(0, "totalBlanceQty").toDouble(), 24);
    // 2 cartons of 12 pieces, 1.5 a carton, default unit of 6: 24 pieces, 4 units, weight 3
    EXPECT_EQ(rs.at(1, "totalImportDefaultQty").toString(), "4.0");
    EXPECT_EQ(rs.at(1, "totalImportWeight").toString(), "3.0");
    EXPECT_EQ(rs.at(1, "totalExportQty").toString(), "0"); // no stock-out: 0, not empty
    EXPECT_EQ(rs.at(1, "totalBlanceDefaultQty").toDouble(), 4);
    // the stock-in summary likewise
    ASSERT_TRUE(dal_rpt_rkSum().insert_temp_rpt_rkSum("2,0", ConditionSet()).isResult);
    const RecordSet sum = query("select * from temp_rpt_rkSum order by id");
    ASSERT_EQ(sum.RecordCount(), 2);
    EXPECT_EQ(sum.at(0, "totalImportQty").toString(), "24.0");
    EXPECT_TRUE(sum.at(0, "totalImportDefaultQty").isNull());
    EXPECT_EQ(sum.at(1, "totalImportDefaultQty").toString(), "4.0");
}
