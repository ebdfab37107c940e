#include "adminrun.h"
#include "bills/stocktake.h"
#include "data/database.h"
#include "data/sqlhelper.h"
#include "fixture.h"
#include "schema/dbsetup.h"
#include "schema/migrations.h"
#include "sheets/sheetfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

class AdminTest : public DbTest, protected AdminRun {};

TEST_F(AdminTest, SqlPrintsRowsWithAHeaderAndNullAsBackslashN) {
    ASSERT_EQ(run({"sql", "select id, remark, 'a' & Null as x from tb_dictionary where id=1"}), 0)
        << qPrintable(err);
    EXPECT_EQ(out, "id\tremark\tx\n1\t拥有全部功能\ta\n");
    ASSERT_EQ(run({"sql", "select Null as n"}), 0);
    EXPECT_EQ(out, "n\n\\N\n");
    ASSERT_EQ(run({"sql", "update tb_dictionary set remark='x' where id<=2"}), 0);
    EXPECT_EQ(out, "2\n");
}

TEST_F(AdminTest, TranslateAndErrors) {
    ASSERT_EQ(run({"translate", "select top 2 a & b from t"}), 0);
    EXPECT_EQ(out, "SELECT acc_cat(a, b) FROM t LIMIT 2\n");
    EXPECT_EQ(run({"sql", "select from"}), 1);
    EXPECT_TRUE(err.contains("错误")) << qPrintable(err);
    EXPECT_EQ(run({"sql", "select nosuch from tb_user"}), 1);
    EXPECT_TRUE(err.contains("nosuch"));
    EXPECT_EQ(run({"frobnicate"}), 2);
    EXPECT_EQ(run({}), 2);
}

TEST_F(AdminTest, SqlRunsOneStatementOnly) {
    ASSERT_EQ(run({"sql", "select 5--3 as x"}), 0) << qPrintable(err);
    EXPECT_EQ(out, "x\n8\n");
    EXPECT_EQ(run({"sql", "create table zz(a int); delete from tb_sys_fun"}), 1);
    EXPECT_TRUE(err.contains("一条")) << qPrintable(err);
    EXPECT_EQ(run({"sql", "select count(*) from zz"}), 1);
    EXPECT_EQ(scalar("select count(*) from tb_sys_fun").toInt(), 128);
}

TEST_F(AdminTest, PinyinRefreshRewritesStaleInitialsInOnePass) {
    exec("insert into tb_goods_head (id, goodsCode, goodsName, pinyin) values (1, 'g1', '鑫达', 'ZD')");
    exec("insert into tb_goods_head (id, goodsCode, goodsName, pinyin) values (2, 'g2', '苹果', 'PG')");
    exec("insert into tb_customer (id, customerCode, uname, pinyin) values (1, 'c1', '琦祺贸易', Null)");
    ASSERT_EQ(run({"pinyin", "--refresh"}), 0) << qPrintable(err);
    EXPECT_TRUE(out.contains(" 2 ")) << qPrintable(out);
    EXPECT_EQ(scalar("select pinyin from tb_goods_head where id=1").toString(), "XD");
    EXPECT_EQ(scalar("select pinyin from tb_customer where id=1").toString(), "QQMY");
    ASSERT_EQ(run({"pinyin", "--refresh"}), 0);
    EXPECT_TRUE(out.contains(" 0 ")) << qPrintable(out);
    EXPECT_EQ(run({"pinyin"}), 2);
}

TEST_F(AdminTest, InitRefusesToOverwriteWithoutForceAndActsOnAnotherFile) {
    EXPECT_EQ(run({"init"}), 1);
    EXPECT_TRUE(err.contains("--force"));
    const QString other = folder() + "other.mdb";
    ASSERT_EQ(run({"--db", other, "init", "--demo"}), 0) << qPrintable(err);
    ASSERT_EQ(run({"--db", other, "sql", "select count(*) as n from tb_goods_head"}), 0);
    EXPECT_EQ(out, "n\n30\n");
    ASSERT_EQ(run({"sql", "select count(*) as n from tb_goods_head"}),
              0); // the program folder's file has no goods
    EXPECT_EQ(out, "n\n0\n");
}

TEST_F(AdminTest, UserEnableLetsADisabledUserLogInAgain) {
    exec("update tb_user set isStart=0 where id=1");
    ASSERT_EQ(run({"user", "enable", "ADMIN"}), 0) << qPrintable(err);
    EXPECT_NE(scalar("select isStart from tb_user where id=1").toInt(), 0);
    EXPECT_EQ(run({"user", "enable", "nobody"}), 1);
    EXPECT_TRUE(err.contains("nobody")) << qPrintable(err);
    EXPECT_EQ(run({"user", "disable", "admin"}), 2);
}

TEST_F(AdminTest, AFileWithANegativeVersionIsRefused) {
    SKIP_ON_SERVER("the file's version");
    for (const qint64 version : {-1LL, -5LL, -2147483648LL}) {
        SCOPED_TRACE(version);
        // written past the version check, as another program would
        sqlHelper::CloseConn();
        Database::instance().close();
        Database::setOpenHook(nullptr);
        Database::instance().open(dbFile());
        Database::instance().execute(QString("PRAGMA user_version = %1").arg(version));
        Database::instance().close();
        const QString refusal = QString("数据库文件的版本 (%1) 无法识别, 不是本程序的数据库!").arg(version);
        EXPECT_EQ(run({"sql", "select count(*) from tb_user"}), 1);
        EXPECT_TRUE(err.contains(refusal)) << qPrintable(err);
        EXPECT_EQ(run({"copy", "--to", "host=/nonexistent dbname=shop"}), 1);
        EXPECT_TRUE(err.contains(refusal)) << qPrintable(err);
        EXPECT_FALSE(Database::instance().isOpen());
    }
    Database::setOpenHook(nullptr); // left as the fixture found it
    Database::instance().open(dbFile());
    Database::instance().execute(QString("PRAGMA user_version = %1").arg(kSchemaVersion));
    Database::instance().close();
    InstallMigrations();
}

TEST_F(AdminTest, UpgradeBacksAFileUpThenBringsItToThisVersionOnce) {
    SKIP_ON_SERVER("a file's upgrade");
    const QString file = folder() + "old.mdb";
    CreateDatabase(file, false, false, 2);
    Database::instance().close();
    ASSERT_EQ(run({"--db", file, "upgrade"}), 0) << qPrintable(err);
    EXPECT_TRUE(out.contains(QString("已从版本 2 升级到 %1:\n  3: ").arg(kSchemaVersion))) << qPrintable(out);
    // the backup is the file as it was
    const QString backup = out.section('\n', 0, 0).section(' ', 1);
    ASSERT_TRUE(QFileInfo::exists(backup)) << qPrintable(out);
    Database::setOpenHook(nullptr);
    Database::instance().open(backup);
    EXPECT_EQ(Database::instance().query("PRAGMA user_version").at(0, 0).toInt(), 2);
    Database::instance().open(file);
    EXPECT_EQ(Database::instance().query("PRAGMA user_version").at(0, 0).toInt(), kSchemaVersion);
    Database::instance().execute("PRAGMA user_version = 99");
    Database::instance().close();
    InstallMigrations();
    EXPECT_EQ(run({"--db", dbFile(), "upgrade"}), 0);
    EXPECT_EQ(out, QString("数据库已是本程序的版本 (%1), 没有改动\n").arg(kSchemaVersion));
    EXPECT_EQ(run({"--db", file, "upgrade"}), 1);
    EXPECT_TRUE(err.contains("新版")) << qPrintable(err);
}

TEST_F(AdminTest, ReportsPrintTheExportColumnsOfTheWindowsSearch) {
    exec("insert into tb_goods_head (id, goodsCode, goodsName, status) values (1, 'G1', '一', '启用'), "
         "(2, 'G2', '二', '启用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (1, 1, 1, '箱', 6), "
         "(2, 2, 1, '瓶', 1)");
    exec("insert into tb_rk_head (id, accountId, billNo, ubillNo, utypeId, supplierName, ispass, createTime) "
         "values "
         "(1, 2, 'rk-2603-00001', 'A1', 3, '甲', 1, '2026-03-09'), (2, 2, 'rk-2603-00002', Null, 3, '乙', 0, "
         "'2026-03-10')");
    exec("insert into tb_rk_detail (id, headId, goodsId, goodsCode, goodsName, qty, packQty, weight, "
         "inPrice) values "
         "(1, 1, 1, 'G1', '一', 2, 12, 1.5, 3)");
    ASSERT_EQ(run({"report", "rkHead", "--from", "2026-03-01", "--to", "2026-03-31", "--approved"}), 0)
        << qPrintable(err);
    QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("账目标识\t状态\t单据号码"));
    EXPECT_TRUE(lines[1].contains("rk-2603-00001\tA1")) << qPrintable(lines[1]);
    ASSERT_EQ(run({"report", "stock", "--no-zero"}), 0) << qPrintable(err);
    lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2); // G2 has no stock
    EXPECT_TRUE(lines[1].contains("G1\t一")) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[1].contains("\t24.0\t0\t24\t")) << qPrintable(lines[1]);
    EXPECT_EQ(run({"report", "stock", "--from", "2026-01-01"}), 2); // the stock report has no dates
    EXPECT_EQ(run({"report", "rkHead", "--to", "31.3.2026"}), 2);
    EXPECT_EQ(run({"report", "rkSum", "--approved"}), 2); // the summaries count approved bills only
    EXPECT_EQ(run({"report", "ckLines"}), 2);

    // lines: the goods filters; a line of goods 1 on bill 1
    ASSERT_EQ(run({"report", "rkDetail", "--from", "2026-03-01", "--to", "2026-03-31", "--goods-code", "g1"}),
              0)
        << qPrintable(err);
    lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("账目标识\t状态\t单据号码\t自定义单号\t入库类别\t供应商名称\t货品类别"));
    EXPECT_TRUE(lines[1].contains("rk-2603-00001\tA1\t采购入库\t甲")) << qPrintable(lines[1]);
    ASSERT_EQ(run({"report", "rkDetail", "--from", "2026-03-01", "--to", "2026-03-31", "--goods-code", "G2"}),
              0);
    EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts).size(), 1);
    // a goods without a default unit has no default pieces (not 0); the lines
    // of a bill come in the window's order, by their place in the bill
    exec("insert into tb_goods_head (id, goodsCode, goodsName, status) values (3, 'G3', '三', '启用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (3, 3, 0, '罐', 4)");
    exec("insert into tb_rk_head (id, accountId, billNo, utypeId, supplierName, ispass, createTime) values "
         "(3, 2, 'rk-2603-00003', 3, '甲', 1, '2026-03-11')");
    exec("insert into tb_rk_detail (id, headId, rowNo, goodsId, goodsCode, goodsName, qty, packQty, inPrice, "
         "remark) values (4, 3, 1, 3, 'G3', '三', 1, 4, 1, 'r1'), (5, 3, 2, 3, 'G3', '三', 1, 4, 1, 'r2'), "
         "(6, 3, 3, 3, 'G3', '三', 1, 4, 1, 'r3\tx\\y\nz'), (7, 3, 4, 3, 'G3', '三', 1, 4, 1, 'r4')");
    ASSERT_EQ(run({"report", "rkDetail", "--from", "2026-03-01", "--to", "2026-03-31", "--goods-code", "G3"}),
              0)
        << qPrintable(err);
    lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    QStringList remarks;
    for (int r = 1; r < lines.size(); ++r) {
        const QStringList cells = lines[r].split('\t');
        ASSERT_EQ(cells.size(), 26) << qPrintable(lines[r]); // the dates come last
        EXPECT_EQ(cells[16], "4") << qPrintable(lines[r]);   // small pieces
        EXPECT_EQ(cells[17], "\\N") << qPrintable(lines[r]); // default pieces
        remarks << cells[21];
    }
    // a tab, backslash or line break inside a cell is written escaped
    EXPECT_EQ(remarks, QStringList({"r1", "r2", "r3\\tx\\\\y\\nz", "r4"}));
    // a date range that ends before it starts is refused, not an empty report
    EXPECT_EQ(run({"report", "rkDetail", "--from", "2026-03-31", "--to", "2026-03-01"}), 2);
    EXPECT_TRUE(err.contains("--from") && err.contains("2026-03-31")) << qPrintable(err);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(run({"report", "ckSum", "--from", "2099-01-01"}), 2); // --to defaults to today
    ASSERT_EQ(run({"report", "rkHead", "--from", "2026-03-10", "--to", "2026-03-10"}), 0) << qPrintable(err);

    // summaries: the type by name, the partner and dates inside the sums
    ASSERT_EQ(run({"report", "rkSum", "--from", "2026-03-01", "--to", "2026-03-31", "--type", "采购入库"}), 0)
        << qPrintable(err);
    lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0],
              "状态\t货品类别\t货品编码\t货品名称\t规格\t上限\t下库\t单位\t小件汇总\t重量汇总\t默认件数");
    EXPECT_TRUE(lines[2].contains("G1\t一")) << qPrintable(lines[2]); // goodsCode descending
    EXPECT_TRUE(lines[2].endsWith("\t24.0\t3.0\t4.0")) << qPrintable(lines[2]);
    EXPECT_TRUE(lines[1].endsWith("\t0\t0\t0")) << qPrintable(lines[1]);
    ASSERT_EQ(run({"report", "rkSum", "--from", "2026-03-01", "--partner", "乙", "--no-zero"}), 0);
    EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts).size(), 1); // bill 2 of 乙 is not approved
    EXPECT_EQ(run({"report", "rkSum", "--type", "销售出库"}), 2);
    EXPECT_TRUE(err.contains("--type")) << qPrintable(err);
    ASSERT_EQ(run({"report", "ckSum", "--type", "销售出库", "--no-zero"}), 0) << qPrintable(err);
    EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts).size(), 1);
    // the workbook of the window's export
    const QString book = folder() + "stock.xlsx";
    ASSERT_EQ(run({"report", "stock", "--xlsx", book}), 0) << qPrintable(err);
    EXPECT_TRUE(QFileInfo(book).size() > 0);
    EXPECT_TRUE(out.contains(" 2 ")) << qPrintable(out);
    EXPECT_EQ(run({"report", "stock", "--xlsx", folder() + "no/such/folder/x.xlsx"}), 1);

    // transfers: by their locations, each with those below it
    exec("insert into tb_location (id, locationCode, uname, parentId, state, isLock) values (1, 'A', 'A区', "
         "0, 1, 0), "
         "(2, 'A-01', 'A区1号', 1, 1, 0), (3, 'B', 'B区', 0, 1, 0)");
    exec("insert into tb_transfer_head (id, accountId, billNo, remark, ispass, createTime) values (1, 2, "
         "'db-2603-00001', '上架', 1, '2026-03-12'), (2, 2, 'db-2603-00002', Null, 0, '2026-03-13')");
    exec("insert into tb_transfer_detail (id, headId, rowNo, goodsId, goodsCode, goodsName, unit, qty, "
         "packQty, "
         "fromLocationId, toLocationId) values (1, 1, 1, 1, 'G1', '一', '箱', 2, 6, 3, 2), (2, 2, 1, 2, "
         "'G2', '二', "
         "'瓶', 5, 1, 2, 3)");
    ASSERT_EQ(run({"report", "dbHead", "--from", "2026-03-01", "--to", "2026-03-31"}), 0) << qPrintable(err);
    lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "账目标识\t状态\t单据号码\t单据项目\t小件数量\t备注\t建单人\t建单日期");
    EXPECT_TRUE(lines[1].contains("db-2603-00002\t1单1项\t5\t")) << qPrintable(lines[1]); // the newest first
    EXPECT_TRUE(lines[2].contains("db-2603-00001\t1单1项\t12\t上架")) << qPrintable(lines[2]);
    ASSERT_EQ(run({"report", "dbHead", "--from", "2026-03-01", "--to-location", "A", "--approved"}), 0);
    EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts).size(), 2); // into A-01, below A
    ASSERT_EQ(run({"report", "dbDetail", "--from", "2026-03-01", "--from-location", "A-01"}), 0)
        << qPrintable(err);
    lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].contains("\tA-01\tA区1号\tB\tB区\t")) << qPrintable(lines[1]);
    EXPECT_EQ(run({"report", "dbDetail", "--from-location", "Z-99"}), 2);
    EXPECT_EQ(run({"report", "dbHead", "--partner", "甲"}), 2); // transfers have no partner
}

TEST_F(AdminTest, CheckComparesBothBalancesWithTheLinesAndRepairRebuildsThem) {
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (1, 2, 'rk-1', 1)");
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, packQty, locationId) values (1, 1, 7, 3, 12, "
         "4)");
    ASSERT_EQ(run({"check"}), 0) << qPrintable(out);
    EXPECT_TRUE(out.contains("一致"));
    exec("update tb_stock_location set importQty = 1");
    exec("update tb_stock_balance set exportQty = 2");
    EXPECT_EQ(run({"check"}), 1);
    EXPECT_TRUE(out.contains("库位 4 importQty")) << qPrintable(out);
    EXPECT_TRUE(out.contains("账目 2 exportQty")) << qPrintable(out);
    ASSERT_EQ(run({"check", "--repair"}), 0) << qPrintable(err);
    EXPECT_EQ(run({"check"}), 0) << qPrintable(out);
    // an approved transfer counts at both its locations; the repair keeps it
    exec("insert into tb_transfer_head (id, accountId, billNo, ispass) values (1, 2, 'db-1', 1)");
    exec("insert into tb_transfer_detail (id, headId, goodsId, qty, packQty, fromLocationId, toLocationId) "
         "values "
         "(1, 1, 7, 1, 12, 4, 5)");
    exec("update tb_stock_location set importQty = 0 where locationId = 5");
    EXPECT_EQ(run({"check"}), 1);
    EXPECT_TRUE(out.contains("库位 5 importQty")) << qPrintable(out);
    ASSERT_EQ(run({"check", "--repair"}), 0) << qPrintable(err);
    EXPECT_EQ(scalar("select importQty - exportQty from tb_stock_location where goodsId=7 and locationId=4")
                  .toDouble(),
              24);
    EXPECT_EQ(scalar("select importQty from tb_stock_location where goodsId=7 and locationId=5").toDouble(),
              12);
    EXPECT_EQ(scalar("select importQty - exportQty from tb_stock_balance where goodsId=7").toDouble(), 36);
}

TEST_F(AdminTest, GoodsComeInFromAFileWholeOrNotAtAll) {
    // the template's example row is a goods the shop can take as it stands
    const QString book = folder() + "goods.xlsx";
    ASSERT_EQ(run({"template", "goods", book}), 0) << qPrintable(err);
    ASSERT_EQ(run({"import", "goods", book, "--dry-run"}), 0) << qPrintable(err);
    EXPECT_EQ(out, "检查通过: 1 行新增, 0 行更新 (未写入)\n");
    EXPECT_EQ(run({"import", "goods", book, "--sheet", "说明", "--dry-run"}),
              1); // the explanations are no goods
    EXPECT_TRUE(err.contains("缺少必需的列")) << qPrintable(err);
    EXPECT_EQ(scalar("select count(*) from tb_goods_head").toInt(), 0);
    // a csv as spreadsheet programs in China save it: GB18030, a second goods' row in error
    const QString csv = folder() + "goods.csv";
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QStringEncoder gb("GB18030");
    f.write(gb.encode(QStringLiteral("货品编码,货品名称,货品类别,单位,内装数,条码,颜色\n"
                                     "007,\"水, 大瓶\",默认类别,瓶,1,6901,蓝\n"
                                     "008,茶,默认类别,盒,0,6901,红\n")));
    f.close();
    const QString problems = folder() + "problems.xlsx";
    EXPECT_EQ(run({"import", "goods", csv, "--errors", problems}), 1);
    EXPECT_EQ(out, "row 3: 内装数: 内装数不能小于1!\nrow 3: 条码: 6901 与第2行的编码或条码重复\n");
    EXPECT_TRUE(err.contains("不导入的列: 颜色")) << qPrintable(err);
    // the rows in error come back as the file gave them, their problems in a last column
    const SheetData back = ReadSheetFile(problems);
    ASSERT_EQ(back.rows.size(), 2u);
    EXPECT_EQ(back.rows[0].cells.last(), "错误");
    EXPECT_EQ(back.rows[1].cells.mid(0, 3), QStringList({"008", "茶", "默认类别"}));
    EXPECT_EQ(back.rows[1].cells.last(),
              "第3行 内装数: 内装数不能小于1!; 第3行 条码: 6901 与第2行的编码或条码重复");
    EXPECT_EQ(scalar("select count(*) from tb_goods_head").toInt(), 0);
    // mended, it goes in; a second time only with --update
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(gb.encode(QStringLiteral("货品编码,货品名称,货品类别,单位,内装数,条码\n"
                                     "007,\"水, 大瓶\",默认类别,瓶,1,6901\n008,茶,默认类别,盒,10,6902\n")));
    f.close();
    ASSERT_EQ(run({"import", "goods", csv}), 0) << qPrintable(err) << qPrintable(out);
    EXPECT_EQ(out, "已导入: 新增 2 个货品, 更新 0 个货品, 共 2 个包装单位\n");
    EXPECT_EQ(scalar("select goodsName from tb_goods_head where goodsCode='007'").toString(), "水, 大瓶");
    EXPECT_EQ(run({"import", "goods", csv}), 1);
    ASSERT_EQ(run({"import", "goods", csv, "--update"}), 0) << qPrintable(out);
    EXPECT_EQ(out, "已导入: 新增 0 个货品, 更新 2 个货品, 共 2 个包装单位\n");
    // the opening stock of an account, once unless asked again
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QStringLiteral("条码,数量\n6901,5\n6902,2\n").toUtf8());
    f.close();
    exec("insert into tb_location (id, locationCode, isLock, state) values (1, 'A', 0, 1)");
    EXPECT_EQ(run({"import", "opening", csv, "--account", "默认账目"}), 1); // no location
    EXPECT_EQ(err, "文件第一行缺少必需的列: 库位\n");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QStringLiteral("条码,数量,库位\n6901,5,A\n6902,2,A\n").toUtf8());
    f.close();
    ASSERT_EQ(run({"import", "opening", csv, "--account", "默认账目", "--date", "2026-01-01"}), 0)
        << qPrintable(err);
    EXPECT_EQ(out, "已导入: 期初入库单 rk-2601-00001, 2 行\n");
    EXPECT_EQ(run({"import", "opening", csv, "--account", "默认账目"}), 1);
    EXPECT_TRUE(err.contains("已有期初入库单 rk-2601-00001")) << qPrintable(err);
    EXPECT_EQ(run({"import", "opening", csv, "--account", "无此账目"}), 2);
    // counts of an open count, summed per goods and location
    StockTakeHead count;
    count.accountId = 2;
    count.createTime = "2026-12-08";
    ASSERT_TRUE(dal_stocktake().Start(count, "").isResult);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QStringLiteral("条码,数量,库位\n6901,3,A\n007,2,A\n").toUtf8());
    f.close();
    EXPECT_EQ(run({"import", "count", csv}), 2);
    ASSERT_EQ(run({"import", "count", csv, "--count", count.billNo}), 0)
        << qPrintable(err) << qPrintable(out);
    EXPECT_EQ(out, "已导入: 设定 1 行的盘点数量, 新增 0 行\n");
    EXPECT_EQ(dal_stocktake().Lines(count.id).at(0).countQty.value_or(-1), 5);
    EXPECT_EQ(run({"import", "goods", folder() + "none.xlsx"}), 1);
    EXPECT_EQ(run({"import", "nosuch", csv}), 2);
}
