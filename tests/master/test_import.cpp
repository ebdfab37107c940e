// Bringing goods in from a spreadsheet: what is stored, and that a file
// with any wrong row stores nothing.

#include "bills/countimport.h"
#include "bills/openingimport.h"
#include "bills/stocktake.h"
#include "fixture.h"
#include "master/goodsimport.h"
#include "master/partnerimport.h"
#include "sheets/sheetfile.h"

#include "data/accesstext.h"

#include <QDate>

namespace {

const QStringList kCaptions = {"货品编码", "货品名称", "货品类别", "规格",   "单位",
                               "内装数",   "条码",     "进价",     "销售价", "重量",
                               "默认单位", "库存上限", "库存下限", "状态"};

// A sheet of the captions (or others) and rows, numbered as a file numbers them.
SheetData sheetOf(const QStringList& captions, const QList<QStringList>& rows) {
    SheetData d;
    d.rows.push_back({1, captions, {}});
    for (int r = 0; r < rows.size(); ++r)
        d.rows.push_back({r + 2, rows[r], {}});
    return d;
}

QStringList goodsRow(const QString& code, const QString& unit, const QString& barcode = {},
                     const QString& packQty = "1", const QString& isDefault = {}) {
    return {code,  "名称" + code, "默认类别", "",        unit, packQty, barcode,
            "1.5", "2",           "0.5",      isDefault, "",   "",      ""};
}

} // namespace

class GoodsImport : public DbTest {
protected:
    ImportSheet checked(const SheetData& data, ImportMode mode = ImportMode::AddOnly) {
        ImportSheet sheet = MapSheet(data, GoodsImportColumns());
        EXPECT_TRUE(sheet.refusal.isEmpty()) << qPrintable(sheet.refusal);
        CheckGoodsImport(sheet, mode);
        return sheet;
    }
    int goodsCount() { return scalar("select count(*) from tb_goods_head").toInt(); }
};

TEST_F(GoodsImport, NewGoodsAreStoredFieldByFieldWithTheirUnitsAndCategories) {
    ImportSheet sheet = checked(sheetOf(
        // the columns in another order, an alias and a column no import takes
        {"单位", "货品编码", "货品名称", "货品类别", "描述", "内装数", "条码", "进货价", "售价", "重量",
         "默认单位", "库存上限", "库存下限", "状态", "备注"},
        {{"瓶", "00123", "矿泉水 '@\"", "食品/饮料", "550ml", "", "6901234567892", "1.2", "2", "0.55", "",
          "100", "10", ""},
         {"箱", "00123", "", "", "", "24", "16901234567899", "28.8", "45", "13.2", "", "", "", ""},
         {"支", "B2", "铅笔", "饮料", "", "1", "", "", "", "", "否", "", "", "替代"},
         {"盒", "B2", "铅笔", "饮料", "", "10", "", "", "", "", "是", "", "", "替代"}}));
    EXPECT_EQ(sheet.ignoredCaptions, QStringList{"备注"});
    ASSERT_EQ(sheet.errorRows(), 0) << qPrintable(sheet.problems().join('\n'));
    EXPECT_EQ(sheet.rows[0].status, ImportStatus::New);
    const ImportOutcome out = WriteGoodsImport(sheet, ImportMode::AddOnly, "tester");
    ASSERT_TRUE(out.written) << qPrintable(out.message);
    EXPECT_EQ(out.added, 2);
    EXPECT_EQ(out.units, 4);
    // the path made its categories, the bare name found the one made
    const int food = scalar("select id from tb_dictionary where utype='goodsType' and uname='食品'").toInt();
    const RecordSet drink = query("select id, parentId, isstart from tb_dictionary where uname='饮料'");
    ASSERT_EQ(drink.RecordCount(), 1);
    EXPECT_EQ(drink.at(0, 1).toInt(), food);
    EXPECT_EQ(drink.at(0, 2).toInt(), 1);
    const RecordSet g =
        query("select goodsCode, goodsName, goodsDesc, pinyin, upqty, downqty, status, goodsTypeId, "
              "creator from tb_goods_head order by id");
    ASSERT_EQ(g.RecordCount(), 2);
    EXPECT_EQ(g.at(0, 0).toString(), "00123");
    EXPECT_EQ(g.at(0, 1).toString(), "矿泉水 '@\"");
    EXPECT_EQ(g.at(0, 2).toString(), "550ml");
    EXPECT_EQ(g.at(0, 3).toString(), "KQS");
    EXPECT_EQ(g.at(0, 4).toDouble(), 100);
    EXPECT_EQ(g.at(0, 5).toDouble(), 10);
    EXPECT_EQ(g.at(0, 6).toString(), "启用");
    EXPECT_EQ(g.at(0, 7).toInt(), drink.at(0, 0).toInt());
    EXPECT_EQ(g.at(0, 8).toString(), "tester");
    EXPECT_EQ(g.at(1, 6).toString(), "替代");
    const RecordSet u =
        query("select d.unit, d.goodsDetailCode, d.packQty, d.weight, d.inPrice, d.salePrice, "
              "d.isDefault, d.rowNo from tb_goods_detail d join tb_goods_head h on h.id = d.headId "
              "order by h.id, d.rowNo");
    ASSERT_EQ(u.RecordCount(), 4);
    const QStringList first = {"瓶", "6901234567892", "1", "0.55", "1.2", "2", "1", "1"};
    const QStringList second = {"箱", "16901234567899", "24", "13.2", "28.8", "45", "0", "2"};
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(acc::valueText(u.at(0, c)), first[c]) << c;
        EXPECT_EQ(acc::valueText(u.at(1, c)), second[c]) << c;
    }
    // the marked unit is the default, not the first
    EXPECT_EQ(u.at(2, 6).toInt(), 0);
    EXPECT_EQ(u.at(3, 6).toInt(), 1);
}

TEST_F(GoodsImport, OneWrongRowAmongFiveHundredWritesNothingAndIsNamed) {
    QList<QStringList> rows;
    for (int k = 0; k < 500; ++k)
        rows << goodsRow(QString("G%1").arg(k), "件", QString("69%1").arg(k, 8, 10, QChar('0')));
    rows[321][5] = "0";
    ImportSheet sheet = checked(sheetOf(kCaptions, rows));
    EXPECT_EQ(sheet.errorRows(), 1);
    EXPECT_EQ(sheet.problems(), QStringList{"第323行 内装数: 内装数不能小于1!"});
    const int before = goodsCount();
    const ImportOutcome out = WriteGoodsImport(sheet, ImportMode::AddOnly, "tester");
    EXPECT_FALSE(out.written);
    EXPECT_EQ(goodsCount(), before);
    // mended, the whole file goes in; a cancel on the way rolls it all back
    sheet = checked(sheetOf(kCaptions, (rows[321][5] = "1", rows)));
    const ImportOutcome cancelled =
        WriteGoodsImport(sheet, ImportMode::AddOnly, "tester", [](int done, int) { return done < 400; });
    EXPECT_FALSE(cancelled.written);
    EXPECT_EQ(cancelled.message, "导入已取消, 没有写入任何数据");
    EXPECT_EQ(goodsCount(), before);
    int calls = 0;
    const ImportOutcome out2 = WriteGoodsImport(sheet, ImportMode::AddOnly, "tester", [&](int, int total) {
        EXPECT_EQ(total, 500);
        return ++calls > 0;
    });
    ASSERT_TRUE(out2.written) << qPrintable(out2.message);
    EXPECT_EQ(goodsCount(), before + 500);
    EXPECT_GT(calls, 1);
}

TEST_F(GoodsImport, EveryRuleOfTheGoodsWindowHoldsForEachRow) {
    exec("insert into tb_dictionary (id, utype, uname, parentId, isstart) values (90, 'goodsType', '停用类', "
         "0, 0), "
         "(91, 'goodsType', '甲', 0, 1), (92, 'goodsType', '乙', 91, 1)");
    exec("insert into tb_goods_head (id, goodsTypeId, goodsCode, goodsName, status) values (1, 5, 'OLD', "
         "'旧', '启用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty) values "
         "(1, 1, 1, 1, '690OLD', '个', 1)");
    QList<QStringList> rows = {
        goodsRow("A1", "瓶", "690OLD"),       // 2: a stored barcode
        goodsRow("A2", "瓶", "OLD"),          // 3: a stored goods code
        goodsRow("A3", "瓶", "A4"),           // 4: the code of a later row
        goodsRow("A4", "瓶"),                 // 5: its code taken by row 4
        goodsRow("A5", "瓶", "", "1", "是"),  // 6
        goodsRow("A5", "箱", "", "12", "是"), // 7: a second default
        goodsRow("A6", "瓶"),                 // 8
        goodsRow("A6", "瓶"),                 // 9: the same unit twice
        goodsRow("A7", "瓶"),                 // 10
        goodsRow("A8", "瓶", "", "abc"),      // 11: not a number
        goodsRow("old", "瓶"),                // 12: an existing code, whatever its case
        goodsRow(QString(51, 'X'), "瓶"),     // 13: too long
        goodsRow("A9", ""),                   // 14: no unit
    };
    rows[7][1] = "不同名称"; // 9: disagrees with row 8
    rows << goodsRow("B1", "瓶") << goodsRow("B2", "瓶") << goodsRow("B3", "瓶") << goodsRow("B4", "瓶")
         << goodsRow("B5", "瓶") << goodsRow("B6", "瓶", "", "1", "也许");
    rows[13][2] = "停用类"; // 15: a disabled category
    rows[14][2] = "a//b";   // 16: an empty part
    rows[15][2] = "丙/乙";  // 17: 乙 stands under 甲
    rows[16][13] = "停售";  // 18: no such state
    rows[17][11] = "5";     // 19: a lower limit above the upper
    rows[17][12] = "6";
    ImportSheet sheet = checked(sheetOf(kCaptions, rows));
    const QStringList expected = {
        "第2行 条码: 690OLD 已被货品 OLD 使用",
        "第3行 条码: OLD 已被货品 OLD 使用",
        "第5行 货品编码: A4 与第4行的编码或条码重复",
        "第7行 默认单位: 一个货品只能有一个默认单位",
        "第9行 货品名称: 与同一货品的第8行不一致 (名称A6)",
        "第9行 单位: 单位[瓶]在同一货品中重复",
        "第11行 内装数: [abc]不是有效的数字",
        "第12行 货品编码: [old]已存在, 选 新增或更新 时更新该货品",
        "第13行 货品编码: 超过 50 个字符",
        "第14行 单位: 单位不能为空",
        "第15行 货品类别: [停用类]已禁用",
        "第16行 货品类别: [a//b]中有空的类别名称",
        "第17行 货品类别: [乙]已在其他类别下存在, 类别名称不能重复",
        "第18行 状态: [停售]应为 启用、替代 或 禁用",
        "第19行 库存下限: 库存下限不能大于库存上限!",
        "第20行 默认单位: [也许]应为 是 或 否",
    };
    EXPECT_EQ(sheet.problems(), expected);
    EXPECT_EQ(sheet.rows[8].status, ImportStatus::New); // row 10 has nothing wrong
    const ImportOutcome out = WriteGoodsImport(sheet, ImportMode::AddOnly, "tester");
    EXPECT_FALSE(out.written);
    EXPECT_EQ(goodsCount(), 1);
}

TEST_F(GoodsImport, UpdatingMatchesUnitsByNameAndKeepsWhatTheFileLeavesOut) {
    exec("insert into tb_goods_head (id, goodsTypeId, goodsCode, goodsName, goodsDesc, upqty, status) values "
         "(7, 5, 'G7', '旧名', '旧规格', 50, '启用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty, "
         "inPrice) values "
         "(70, 7, 1, 1, 'B70', '瓶', 1, 1), (71, 7, 0, 2, 'B71', '箱', 12, 10)");
    // no 规格, 库存上限 or 状态 column: those stay; the carton's old barcode goes to the new box
    const SheetData data =
        sheetOf({"货品编码", "货品名称", "货品类别", "单位", "内装数", "条码", "进价", "默认单位"},
                {{"g7", "新名", "默认类别", "箱", "24", "B72", "20", "是"},
                 {"G7", "新名", "默认类别", "盒", "6", "B71", "5", ""},
                 {"N1", "新货", "默认类别", "件", "", "", "", ""}});
    ImportSheet addOnly = checked(data);
    EXPECT_EQ(addOnly.problems(), QStringList({"第2行 货品编码: [g7]已存在, 选 新增或更新 时更新该货品",
                                               "第3行 货品编码: [G7]已存在, 选 新增或更新 时更新该货品"}));
    ImportSheet sheet = checked(data, ImportMode::AddOrUpdate);
    ASSERT_EQ(sheet.errorRows(), 0) << qPrintable(sheet.problems().join('\n'));
    EXPECT_EQ(sheet.rows[0].status, ImportStatus::Update);
    EXPECT_EQ(sheet.rows[2].status, ImportStatus::New);
    const ImportOutcome out = WriteGoodsImport(sheet, ImportMode::AddOrUpdate, "tester");
    ASSERT_TRUE(out.written) << qPrintable(out.message);
    EXPECT_EQ(out.added, 1);
    EXPECT_EQ(out.updated, 1);
    const RecordSet h =
        query("select goodsCode, goodsName, pinyin, goodsDesc, upqty, status from tb_goods_head where id=7");
    EXPECT_EQ(h.at(0, 0).toString(), "G7");
    EXPECT_EQ(h.at(0, 1).toString(), "新名");
    EXPECT_EQ(h.at(0, 2).toString(), "XM");
    EXPECT_EQ(h.at(0, 3).toString(), "旧规格");
    EXPECT_EQ(h.at(0, 4).toDouble(), 50);
    const RecordSet u =
        query("select id, unit, goodsDetailCode, packQty, inPrice, isDefault, rowNo from tb_goods_detail "
              "where headId=7 order by rowNo");
    ASSERT_EQ(u.RecordCount(), 3);
    const QList<QStringList> expected = {{"70", "瓶", "B70", "1", "1", "0", "1"},
                                         {"71", "箱", "B72", "24", "20", "1", "2"},
                                         {"72", "盒", "B71", "6", "5", "0", "3"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 7; ++c)
            EXPECT_EQ(acc::valueText(u.at(r, c)), expected[r][c]) << r << "," << c;
}

TEST(ImportColumns, CaptionsAreFoundInAnyOrderAndAMissingRequiredColumnRefusesTheFile) {
    const SheetData noUnit = sheetOf({"货品编码", "货品名称", "货品类别", "条码"}, {{"A", "B", "C", "D"}});
    EXPECT_EQ(MapSheet(noUnit, GoodsImportColumns()).refusal, "文件第一行缺少必需的列: 单位");
    EXPECT_EQ(MapSheet(sheetOf(kCaptions, {}), GoodsImportColumns()).refusal, "文件中只有标题行, 没有数据");
    EXPECT_EQ(MapSheet(SheetData(), GoodsImportColumns()).refusal, "文件中没有内容");
    // a cell the file could not read is an error of its row, under its column
    SheetData data = sheetOf({"单位", "* 货品编码", "货品名称", "货品类别"}, {{"瓶", "A", "B", "C"}});
    data.rows[1].cellErrors[1] = "公式没有计算结果";
    const ImportSheet sheet = MapSheet(data, GoodsImportColumns());
    ASSERT_TRUE(sheet.refusal.isEmpty());
    EXPECT_EQ(sheet.rows[0].cell(0), "A");
    EXPECT_EQ(sheet.problems(), QStringList{"第2行 货品编码: 公式没有计算结果"});
}

TEST_F(GoodsImport, PartnersAreNumberedAsTheWindowNumbersThemAndUpdatedByTheirCode) {
    const QString ym = QDate::currentDate().toString("yyMM");
    exec("insert into tb_dictionary (id, utype, uname, parentId, isstart) values (80, 'customerType', "
         "'批发', 0, 1), "
         "(81, 'customerType', '停用分类', 0, 0)");
    exec("insert into tb_customer (id, utype, customType, customerCode, uname, status) values (1, 0, 80, "
         "'ct-" +
         ym + "-00004', '老客户', 1), (2, 1, 80, 'OLD-9', '乙公司', 1)");
    const QStringList captions = {"固定类别", "自定义分类", "编码", "往来单位名称", "联系人", "电话", "状态"};
    const SheetData data = sheetOf(captions, {{"客户", "批发", "", "甲公司", "张三", "010-1", ""},
                                              {"两者都是", "批发", "OLD-9", "乙公司新名", "", "", "禁用"},
                                              {"供应商", "批发", "", "老客户", "", "", ""},
                                              {"客商", "停用分类", "X1", "", "", "", "暂停"}});
    ImportSheet sheet = MapSheet(data, PartnerImportColumns());
    CheckPartnerImport(sheet, ImportMode::AddOnly);
    EXPECT_EQ(sheet.problems(),
              QStringList({"第3行 编码: [OLD-9]已存在, 选 新增或更新 时更新该往来单位",
                           "第5行 固定类别: [客商]应为 供应商、客户 或 两者都是",
                           "第5行 自定义类别: [停用分类]已禁用", "第5行 往来单位名称: 往来单位名称不能为空",
                           "第5行 状态: [暂停]应为 启用 或 禁用",
                           "第4行 往来单位名称: [老客户]已存在 (编码 ct-" + ym + "-00004)"}));
    sheet = MapSheet(sheetOf(captions, {data.rows[1].cells, data.rows[2].cells, data.rows[3].cells}),
                     PartnerImportColumns());
    CheckPartnerImport(sheet, ImportMode::AddOrUpdate);
    ASSERT_EQ(sheet.errorRows(), 0) << qPrintable(sheet.problems().join('\n'));
    EXPECT_EQ(sheet.rows[1].status, ImportStatus::Update);
    EXPECT_EQ(sheet.rows[2].status, ImportStatus::Warning); // accepted by importing
    const ImportOutcome out = WritePartnerImport(sheet, ImportMode::AddOrUpdate, "tester", 1);
    ASSERT_TRUE(out.written) << qPrintable(out.message);
    EXPECT_EQ(out.added, 2);
    EXPECT_EQ(out.updated, 1);
    const RecordSet rs =
        query("select customerCode, utype, customType, uname, pinyin, contact, tel, status, userId "
              "from tb_customer order by id");
    ASSERT_EQ(rs.RecordCount(), 4);
    EXPECT_EQ(rs.at(1, 0).toString(), "OLD-9"); // the code never changes
    EXPECT_EQ(rs.at(1, 1).toInt(), 2);
    EXPECT_EQ(rs.at(1, 3).toString(), "乙公司新名");
    EXPECT_EQ(rs.at(1, 7).toInt(), 0);
    EXPECT_EQ(rs.at(2, 0).toString(), "ct-" + ym + "-00005"); // after the month's last
    EXPECT_EQ(rs.at(2, 1).toInt(), 1);
    EXPECT_EQ(rs.at(2, 2).toInt(), 80);
    EXPECT_EQ(rs.at(2, 4).toString(), "JGS");
    EXPECT_EQ(rs.at(2, 5).toString(), "张三");
    EXPECT_EQ(rs.at(2, 6).toString(), "010-1");
    EXPECT_EQ(rs.at(2, 7).toInt(), 1);
    EXPECT_EQ(rs.at(2, 8).toInt(), 1);
    EXPECT_EQ(rs.at(3, 0).toString(), "ct-" + ym + "-00006");
    EXPECT_EQ(rs.at(3, 3).toString(), "老客户");
}

TEST_F(GoodsImport, RecordsExportedInTheTemplatesFormUpdateTheShopWhenImportedAgain) {
    exec("insert into tb_goods_head (id, goodsTypeId, goodsCode, goodsName, goodsDesc, upqty, downqty, "
         "status, lotTracked, shelfLifeDays) "
         "values (7, 5, '0007', '旧名', '规格', 50, 5, '替代', 1, 180)");
    exec("insert into tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty, weight, "
         "inPrice, "
         "salePrice) values (70, 7, 0, 1, '0690', '瓶', 1, 0.5, 1.25, 2), (71, 7, 1, 2, '', '箱', 12, 6, 15, "
         "24)");
    exec("insert into tb_customer (id, utype, customType, customerCode, uname, tel, status) values "
         "(1, 2, 6, '007', '甲', '010-1', 0)");
    const std::vector<QStringList> goods = GoodsImportRows(ConditionSet());
    ASSERT_EQ(goods.size(), 2u);
    EXPECT_EQ(goods[0], QStringList({"0007", "旧名", "默认类别", "规格", "瓶", "1", "0690", "1.25", "2",
                                     "0.5", "否", "50", "5", "替代", "是", "180"}));
    const QString file = folder() + "goods.xlsx";
    WriteImportRows(file, "货品", GoodsImportColumns(), goods);
    SheetData back = ReadSheetFile(file);
    ASSERT_EQ(back.rows.size(), 3u);
    back.rows[1].cells[1] = back.rows[2].cells[1] = "新名"; // edited in a spreadsheet
    back.rows[1].cells[15] = back.rows[2].cells[15] = "365";
    ImportSheet sheet = MapSheet(back, GoodsImportColumns());
    CheckGoodsImport(sheet, ImportMode::AddOrUpdate);
    ASSERT_EQ(sheet.errorRows(), 0) << qPrintable(sheet.problems().join('\n'));
    ASSERT_TRUE(WriteGoodsImport(sheet, ImportMode::AddOrUpdate, "tester").written);
    EXPECT_EQ(GoodsImportRows(ConditionSet())[1],
              QStringList({"0007", "新名", "默认类别", "规格", "箱", "12", "", "15", "24", "6", "是", "50",
                           "5", "替代", "是", "365"}));
    // a lot setting that is no yes or no, and a shelf life that is no whole number of days, are refused
    back.rows[1].cells[14] = back.rows[2].cells[14] = "也许";
    back.rows[1].cells[15] = back.rows[2].cells[15] = "-1";
    ImportSheet wrong = MapSheet(back, GoodsImportColumns());
    CheckGoodsImport(wrong, ImportMode::AddOrUpdate);
    EXPECT_EQ(wrong.errorRows(), 1);
    EXPECT_TRUE(wrong.problems().join('\n').contains("[也许]应为 是 或 否"))
        << qPrintable(wrong.problems().join('\n'));
    EXPECT_TRUE(wrong.problems().join('\n').contains("[-1]应为不小于0的整数天数"));
    // the partners likewise
    const std::vector<QStringList> partners = PartnerImportRows(ConditionSet());
    WriteImportRows(file, "往来单位", PartnerImportColumns(), partners);
    ImportSheet again = MapSheet(ReadSheetFile(file), PartnerImportColumns());
    CheckPartnerImport(again, ImportMode::AddOrUpdate);
    ASSERT_EQ(again.errorRows(), 0) << qPrintable(again.problems().join('\n'));
    ASSERT_TRUE(WritePartnerImport(again, ImportMode::AddOrUpdate, "tester", 1).written);
    EXPECT_EQ(PartnerImportRows(ConditionSet()), partners);
    EXPECT_EQ(partners[0].mid(0, 4), QStringList({"两者都是", "默认分类", "007", "甲"}));
}

TEST_F(GoodsImport, OpeningStockIsOneApprovedBillWhoseLinesBookTheBalances) {
    exec("insert into tb_goods_head (id, goodsTypeId, goodsCode, goodsName, status) values (1, 5, 'G1', "
         "'水', '启用'), "
         "(2, 5, 'G2', '旧货', '禁用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty, weight, "
         "inPrice) "
         "values (10, 1, 1, 1, '6901', '瓶', 1, 0.5, 2), (11, 1, 0, 2, '6902', '箱', 12, 6, 20), "
         "(20, 2, 1, 1, '', '件', 1, 0, 1)");
    exec("insert into tb_location (id, locationCode, uname, parentId, isLock, state) values (1, 'A', '甲', "
         "0, 0, 1), "
         "(2, 'B', '乙', 0, 1, 1), (3, 'C', '丙', 0, 0, 1)");
    OpeningOptions o{2, "2026-01-01", "tester", 1, "1,2"};
    const QStringList captions = {"条码", "单位", "数量", "进价", "库位", "批次号"};
    ImportSheet sheet = MapSheet(sheetOf(captions, {{"G1", "", "10", "", "A", "L1"},
                                                    {"6902", "", "2", "19.5", "A", ""},
                                                    {"6902", "瓶", "1", "", "A", ""},
                                                    {"G2", "", "1", "", "B", ""},
                                                    {"G9", "", "-1", "x", "C", ""}}),
                                 OpeningImportColumns());
    CheckOpeningImport(sheet, o);
    EXPECT_EQ(sheet.problems(),
              QStringList({"第4行 单位: 条码[6902]是单位[箱]的条码",
                           "第5行 货品编码: 货品[G2]的状态是禁用, 不能入库",
                           "第5行 库位: 库位[B]不存在、已锁定或没有权限",
                           "第6行 货品编码: [G9]不是货品编码, 也不是条码", "第6行 数量: 数量必须大于0",
                           "第6行 进价: [x]不是有效的数字", "第6行 库位: 库位[C]不存在、已锁定或没有权限"}));
    EXPECT_FALSE(WriteOpeningImport(sheet, o).written);
    EXPECT_EQ(OpeningBillOf(2), "");
    sheet.rows.resize(2);
    for (ImportRow& r : sheet.rows)
        r.issues.clear(), r.status = ImportStatus::New;
    const ImportOutcome out = WriteOpeningImport(sheet, o);
    ASSERT_TRUE(out.written) << qPrintable(out.message);
    const RecordSet head =
        query("select billNo, ispass, supplierId, supplierName, createTime, accountId, utypeId from "
              "tb_rk_head where id=" +
              QString::number(out.ids.front()));
    EXPECT_EQ(head.at(0, 1).toInt(), 1);
    EXPECT_EQ(head.at(0, 2).toInt(), 0);
    EXPECT_EQ(head.at(0, 3).toString(), "期初库存");
    EXPECT_EQ(head.at(0, 4).toString(), "2026-01-01");
    EXPECT_EQ(head.at(0, 6).toInt(), scalar("select id from tb_dictionary where uname='期初入库'").toInt());
    EXPECT_EQ(OpeningBillOf(2), head.at(0, 0).toString());
    EXPECT_TRUE(head.at(0, 0).toString().startsWith("rk-2601-"));
    const RecordSet lines =
        query("select unit, qty, inPrice, packQty, locationId, lotNo from tb_rk_detail order by rowNo");
    ASSERT_EQ(lines.RecordCount(), 2);
    EXPECT_EQ(acc::valueText(lines.at(0, 2)), "2"); // the unit's own price
    EXPECT_EQ(lines.at(0, 5).toString(), "L1");
    EXPECT_EQ(lines.at(1, 0).toString(), "箱");
    EXPECT_EQ(acc::valueText(lines.at(1, 2)), "19.5");
    // 10 bottles and 2 cartons of 12 stand on A
    EXPECT_EQ(
        scalar("select importQty from tb_stock_location where goodsId=1 and accountId=2 and locationId=1")
            .toDouble(),
        34);
    EXPECT_EQ(scalar("select importQty from tb_stock_balance where goodsId=1 and accountId=2").toDouble(),
              34);
}

TEST_F(GoodsImport, CountsOfAHandheldScannerAreSummedPerGoodsAndLocationAndSetOnTheCount) {
    exec("insert into tb_goods_head (id, goodsTypeId, goodsCode, goodsName, status) values (1, 5, 'G1', "
         "'水', '启用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty) values "
         "(10, 1, 1, 1, '6901', '瓶', 1), (11, 1, 0, 2, '6902', '箱', 12)");
    exec("insert into tb_location (id, locationCode, uname, parentId, isLock, state) values (1, 'A', '甲', "
         "0, 0, 1), "
         "(2, 'B', '乙', 0, 0, 1)");
    StockTakeHead head;
    head.accountId = 2;
    head.locationId = 1; // A alone
    head.creator = "tester";
    head.createTime = "2026-12-08";
    ASSERT_TRUE(dal_stocktake().Start(head, "1,2").isResult);
    const QStringList captions = {"条码", "单位", "数量", "库位"};
    ImportSheet sheet = MapSheet(sheetOf(captions, {{"6901", "", "3", "A"},
                                                    {"6902", "", "1", "A"},
                                                    {"G1", "箱", "1", "A"},
                                                    {"6901", "", "-2", "A"},
                                                    {"6901", "", "1", "B"}}),
                                 CountImportColumns());
    CheckCountImport(sheet, head.id);
    EXPECT_EQ(sheet.problems(),
              QStringList({"第5行 数量: 盘点数量不能为负数", "第6行 库位: 库位 B 不在本次盘点的范围内!"}));
    EXPECT_FALSE(WriteCountImport(sheet, head.id).written);
    sheet.rows.resize(3);
    ImportOutcome out = WriteCountImport(sheet, head.id);
    ASSERT_TRUE(out.written) << qPrintable(out.message);
    EXPECT_EQ(out.added, 1);
    EXPECT_EQ(sheet.rows[0].status, ImportStatus::New);
    // 3 bottles and 2 cartons of 12, on a line of book 0
    std::vector<StockTakeLine> lines = dal_stocktake().Lines(head.id);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].countQty.value_or(-1), 27);
    EXPECT_EQ(lines[0].bookQty, 0);
    // a second file sets the count again
    sheet = MapSheet(sheetOf(captions, {{"G1", "", "5", "A"}}), CountImportColumns());
    CheckCountImport(sheet, head.id);
    EXPECT_EQ(sheet.rows[0].status, ImportStatus::Update);
    ASSERT_TRUE(WriteCountImport(sheet, head.id).written);
    EXPECT_EQ(dal_stocktake().Lines(head.id)[0].countQty.value_or(-1), 5);
    // a posted count takes no more
    ASSERT_TRUE(dal_stocktake().Post(head.id, true, "tester", "2026-12-08").isResult);
    CheckCountImport(sheet, head.id);
    EXPECT_TRUE(sheet.refusal.contains("已过账")) << qPrintable(sheet.refusal);
}
