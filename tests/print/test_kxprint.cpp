#include "printfixture.h"

#include "barcode.h"
#include "bills/billprint.h"
#include "bills/billstore.h"
#include "bills/stocktake.h"
#include "master/goodslabelprint.h"
#include "master/goodslabels.h"
#include "printdoc.h"
#include "reports/reportprint.h"
#include "reports/rpt_filters.h"
#include "reports/rpt_stock.h"
#include "wms_version.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <algorithm>

namespace {

class KxPrint : public PrintTest {
protected:
    QString pdf(const QString& name) const { return folder() + name + ".pdf"; }
    // Renders the first page as a picture beside the screenshots, to look at.
    void keepPicture(const QString& pdfFile, const QString& name) {
        QDir().mkpath(WMS_SCREENSHOT_DIR);
        QFile::remove(QString(WMS_SCREENSHOT_DIR) + "/" + name + ".pdf");
        QFile::copy(pdfFile, QString(WMS_SCREENSHOT_DIR) + "/" + name + ".pdf");
        QProcess::execute("pdftoppm", {"-png", "-r", "60", "-f", "1", "-l", "2", pdfFile,
                                       QString(WMS_SCREENSHOT_DIR) + "/" + name});
    }
};

} // namespace

TEST(KxPrintCommand, ParsesTheCommandAndRefusesPathsAndOtherText) {
    QString error;
    const auto c = kx::ParseCommand("orkPrint:TypeId=1003&BillCode=kx_import_bill&FileName=a.xml", &error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->typeId, "1003");
    EXPECT_EQ(c->billCode, "kx_import_bill");
    EXPECT_EQ(c->fileName, "a.xml");
    EXPECT_FALSE(kx::ParseCommand("print a.xml", &error));
    EXPECT_FALSE(kx::ParseCommand("orkPrint:TypeId=1003&BillCode=kx_import_bill", &error));
    EXPECT_FALSE(kx::ParseCommand("orkPrint:BillCode=kx_import_bill&FileName=../../etc/passwd", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(kx::FormatValue("37.5", "0.00"), "37.50");
    EXPECT_EQ(kx::FormatValue("2026-12-05 10:30:00", "yyyy-MM-dd"), "2026-12-05");
    EXPECT_EQ(kx::FormatValue("abc", "0.00"), "abc");
}

TEST_F(KxPrint, AStockInBillOf45LinesPrintsOnTwoPages) {
    const int id = makeStockInBill(45);
    ASSERT_TRUE(PrintBill(false, id, "入库"));
    int pages = 0;
    const QString text = printToPdf(pdf("bill"), &pages);
    EXPECT_EQ(pages, 2);
    EXPECT_TRUE(text.contains("入库单"));
    EXPECT_TRUE(text.contains(QString("rk-2612-%1").arg(id, 5, 10, QChar('0'))));
    EXPECT_TRUE(text.contains("上海清风日化有限公司"));
    for (int k = 1; k <= 45; ++k)
        EXPECT_TRUE(text.contains(QString("测试货品%1号").arg(k))) << k;
    // pdftotext leaves out the blanks between Chinese characters
    const QString joined = QString(text).remove(' ');
    EXPECT_TRUE(joined.contains("第1页共2页"));
    EXPECT_TRUE(joined.contains("第2页共2页"));
    // 2.5 × (1 + … + 45) = 2587.5
    EXPECT_TRUE(text.contains("贰仟伍佰捌拾柒元伍角整")) << text.toStdString();
    EXPECT_TRUE(text.contains("2587.50"));
    keepPicture(pdf("bill"), "print_stock_in_bill");
}

TEST_F(KxPrint, TheStockReportAndASummaryPrintEveryGoods) {
    makeStockInBill(30);
    exec("update tb_rk_head set ispass=1");
    dal_rpt_stock stock;
    m_PageInfor page;
    page.str_orderBy = "goodsCode";
    const m_recordSet found = stock.GetListForCondition(ConditionSet(), "2,0", page, StockSelect());
    ASSERT_EQ(found.recordCount, 30);
    ASSERT_TRUE(PrintReport(stock, found.str_condition, page, "kx_stock_bill",
                            "orkPrint:TypeId=1002&BillCode=kx_stock_bill&FileName=", "", "库存总账"));
    int pages = 0;
    QString text = printToPdf(pdf("stock"), &pages);
    EXPECT_TRUE(text.contains("库存总账"));
    for (int k = 1; k <= 30; ++k)
        EXPECT_TRUE(text.contains(QString("测试货品%1号").arg(k))) << k;
    EXPECT_TRUE(QString(text).remove(' ').contains(QString("第%1页共%1页").arg(pages)));
    keepPicture(pdf("stock"), "print_stock_report");

    dal_rpt_rkSum sum;
    SumFilter f;
    ConditionSet list, sums;
    SumConditions(f, list, sums);
    const m_recordSet summed = sum.GetListForCondition(list, sums, "2,0", page, SumSelect(false));
    ASSERT_EQ(summed.recordCount, 30);
    ASSERT_TRUE(PrintReport(sum, summed.str_condition, page, "kx_rpt_rkSum",
                            "orkPrint:TypeId=1002&BillCode=kx_rpt_rkSum&FileName=", "", "入库汇总"));
    text = printToPdf(pdf("sum"));
    EXPECT_TRUE(text.contains("入库汇总"));
    EXPECT_TRUE(text.contains("测试货品1号"));
    // 12 pieces × (1 + … + 30) in the totals row
    EXPECT_TRUE(text.contains("5580")) << text.toStdString();
}

TEST_F(KxPrint, BadCommandsAndMissingFilesFailWithAMessage) {
    QProcess tool;
    tool.start(KXPRINT_EXE, {"--dir", printFolder(), "--pdf", pdf("x"),
                             "orkPrint:TypeId=1002&BillCode=kx_stock_bill&FileName=missing.xml"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(tool.readAllStandardError()).contains("missing.xml"));
    tool.start(KXPRINT_EXE, {"--dir", printFolder(), "--pdf", pdf("x"), "nonsense"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_FALSE(QFile::exists(pdf("x")));
}

// --help and --version need no window (manual pages are made from them) and
// say the project's one version; wms takes nothing else.
TEST(ProgramCommandLines, HelpAndVersionWithoutAWindow) {
    QProcessEnvironment noScreen = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        noScreen.remove(name);
    const std::pair<const char*, const char*> programs[] = {
        {WMS_EXE, "wms"}, {WMS_ADMIN_EXE, "wms-admin"}, {KXPRINT_EXE, "kxPrint"}};
    for (const auto& [exe, name] : programs) {
        SCOPED_TRACE(name);
        QProcess p;
        p.setProcessEnvironment(noScreen);
        p.start(exe, {"--version"});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), QString("%1 %2\n").arg(name, WMS_VERSION));
        p.start(exe, {"--help"});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).startsWith(QString("Usage: %1 ").arg(name)));
    }
    QProcess wms;
    wms.setProcessEnvironment(noScreen);
    wms.start(WMS_EXE, {"--shop", "x"});
    ASSERT_TRUE(wms.waitForFinished(30000));
    EXPECT_EQ(wms.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(wms.readAllStandardError()).contains("shop"));
}

TEST_F(KxPrint, AnInstalledProgramNamesTheDataAndTheTemplateFoldersTheUsersFirst) {
    ASSERT_TRUE(PrintBill(false, makeStockInBill(2), "入库"));
    const QString name = QFileInfo(lastDataFile()).fileName();
    const QString cache = folder() + "cache/", user = folder() + "user/",
                  share = printFolder() + "templeteXml/";
    ASSERT_TRUE(QDir().mkpath(cache) && QDir().mkpath(user));
    ASSERT_TRUE(QFile::rename(lastDataFile(), cache + name));
    auto print = [&](const QStringList& templates, bool prints = true) {
        QStringList args{"--data", cache, "--log", folder() + "log/kxPrint.log"};
        for (const QString& t : templates)
            args << "--templates" << t;
        QProcess tool;
        tool.start(KXPRINT_EXE, args << "--pdf" << pdf("x") << m_commands.back());
        EXPECT_EQ(tool.waitForFinished(60000) && tool.exitCode() == 0, prints)
            << tool.readAllStandardError().toStdString();
        QProcess text;
        text.start("pdftotext", {"-layout", pdf("x"), "-"});
        text.waitForFinished(30000);
        return QString::fromUtf8(text.readAllStandardOutput());
    };
    EXPECT_TRUE(print({user, share}).contains("入库单")); // no copy of the user's: the installed one
    QFile source(share + "kx_import_bill.xml");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QFile own(user + "kx_import_bill.xml");
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write(QString::fromUtf8(source.readAll()).replace("入库单", "本店收货单").toUtf8());
    own.close();
    const QString text = print({user, share});
    EXPECT_TRUE(text.contains("本店收货单")) << text.toStdString();
    EXPECT_FALSE(text.contains("入库单"));
    // what it printed, and a failure, in its log
    print({user + "missing/"}, false);
    QFile log(folder() + "log/kxPrint.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(logged.contains("info kxPrint: print " + m_commands.back() + " to " + pdf("x")))
        << logged.toStdString();
    EXPECT_TRUE(logged.contains("warning kxPrint: kxPrint: ") &&
                logged.contains("missing/kx_import_bill.xml"))
        << logged.toStdString();
}

TEST_F(KxPrint, GoodsLabelsCarryScannableBarcodes) {
    EXPECT_TRUE(kx::IsEan13("6901234567892"));
    EXPECT_FALSE(kx::IsEan13("6901234567891"));
    EXPECT_FALSE(kx::IsEan13("690123456789"));
    exec("insert into tb_goods_head (id, goodsCode, goodsName, goodsDesc, status) values (1, 'SP-A', "
         "'矿泉水', '550ml', "
         "'启用'), (2, 'SP-B01', '毛巾', '纯棉', '启用'), (3, 'SP-C', '饼干', '', '启用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty, "
         "salePrice) values "
         "(1, 1, 1, 1, '6901234567892', '瓶', 1, 2), (2, 1, 0, 2, 'ABC-123', '箱', 24, 45), "
         "(3, 2, 1, 1, '', '条', 1, 12.5), (4, 3, 1, 1, '6901234567891', '包', 1, 6.8)");
    const RecordSet rows = GoodsLabelRows({1, 2, 3});
    ASSERT_EQ(rows.RecordCount(), 4); // one a packaging unit with a barcode, the goods code for goods without
    ASSERT_TRUE(PrintGoodsLabels({1, 2, 3}, "货品信息"));
    EXPECT_TRUE(m_commands.back().startsWith("orkPrint:TypeId=1101&BillCode=kx_goods_label&FileName="));
    const QString text = printToPdf(pdf("labels"));
    EXPECT_TRUE(text.contains("矿泉水"));
    EXPECT_TRUE(text.contains("45.00"));
    keepPicture(pdf("labels"), "print_goods_labels");
    QProcess raster;
    raster.start("pdftoppm", {"-png", "-r", "300", "-f", "1", "-l", "1", pdf("labels"), folder() + "labels"});
    ASSERT_TRUE(raster.waitForFinished(60000));
    QProcess scan;
    scan.start("zbarimg", {"--quiet", folder() + "labels-1.png"});
    ASSERT_TRUE(scan.waitForFinished(60000));
    QStringList found = QString::fromUtf8(scan.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    found.sort();
    EXPECT_EQ(found, (QStringList{"CODE-128:6901234567891", "CODE-128:ABC-123", "CODE-128:SP-B01",
                                  "EAN-13:6901234567892"}));
    // nothing to label
    EXPECT_FALSE(PrintGoodsLabels({99}, "货品信息"));
    EXPECT_EQ(m_msg.texts().back(), "所选货品没有可打印的标签!");
}

TEST_F(KxPrint, LargeFiguresLongNamesAndTheCapitalsPrintWhole) {
    const QString supplier = QStringLiteral("上海市浦东新区张江高科技园区清风日化用品批发有限责任公司");
    const int id = makeStockInBill(2, supplier);
    exec(QString("update tb_rk_detail set inPrice=123456.78, qty=10000, goodsCode='6900820005600' where "
                 "headId=%1 and "
                 "rowNo=1")
             .arg(id));
    ASSERT_TRUE(PrintBill(false, id, "入库"));
    const QString text = printToPdf(pdf("large"));
    const QString joined = QString(text).remove(' ').remove('\n');
    EXPECT_TRUE(text.contains("123456.78")) << text.toStdString();
    EXPECT_TRUE(text.contains("1234567800.00")); // 123456.78 × 10000 on one line
    EXPECT_TRUE(text.contains("10000"));
    EXPECT_TRUE(text.contains("6900820005600"));
    EXPECT_TRUE(joined.contains(supplier)) << joined.toStdString();
    // 1,234,567,805.00: the capitals in full
    EXPECT_TRUE(joined.contains("壹拾贰亿叁仟肆佰伍拾陆万柒仟捌佰零伍元整")) << joined.toStdString();
    keepPicture(pdf("large"), "print_large_figures");
}

TEST_F(KxPrint, AnApprovedBillOfMixedUnitsNamesItsCheckerAndTotalsOnlyTheAmount) {
    const int id = makeStockInBill(3);
    exec(QString("update tb_rk_detail set unit='箱', qty=10 where headId=%1 and rowNo=1").arg(id));
    exec(QString("update tb_rk_detail set unit='瓶', qty=36 where headId=%1 and rowNo=2").arg(id));
    exec(QString("update tb_rk_detail set unit='罐', qty=48 where headId=%1 and rowNo=3").arg(id));
    exec(QString("update tb_rk_head set ispass=1, updateLastUser='赵审' where id=%1").arg(id));
    // barcodes, lot numbers and large amounts take their room from the other columns
    exec(QString("update tb_rk_detail set goodsCode='69008200056' & rowNo, lotNo='LOT-20261205-' & rowNo, "
                 "inPrice=1234.5 where headId=%1")
             .arg(id));
    ASSERT_TRUE(PrintBill(false, id, "入库"));
    QString text = printToPdf(pdf("mixed"));
    keepPicture(pdf("mixed"), "print_mixed_units");
    const QString joined = QString(text).remove(' ');
    EXPECT_TRUE(joined.contains("审核人:赵审")) << text.toStdString();
    // 1234.5 × 94: the amount's total stays, the quantities of three units add up to nothing
    EXPECT_TRUE(QRegularExpression("合计\\s+116043\\.00").match(text).hasMatch()) << text.toStdString();
    // the narrow columns keep their captions, units and the totals' caption on one line
    const QStringList lines = text.split('\n');
    auto lineWith = [&](const QRegularExpression& re) {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const QString& l) { return re.match(l).hasMatch(); });
    };
    EXPECT_TRUE(lineWith(QRegularExpression("序号.*单位.*数量"))) << text.toStdString();
    EXPECT_TRUE(lineWith(QRegularExpression("合计(?!金额)")));
    EXPECT_TRUE(lineWith(QRegularExpression("测试货品2号.*瓶\\s+36")));
    // one unit: the quantities add up
    exec(QString("update tb_rk_detail set unit='瓶' where headId=%1").arg(id));
    ASSERT_TRUE(PrintBill(false, id, "入库"));
    text = printToPdf(pdf("one_unit"));
    EXPECT_TRUE(QRegularExpression("合计\\s+94\\s+116043\\.00").match(text).hasMatch()) << text.toStdString();
}

TEST_F(KxPrint, ATransferPrintsEachLineWithBothLocations) {
    makeStockInBill(3);
    exec("insert into tb_location (id, locationCode, uname, parentId, state, isLock) values (1, 'A-01', "
         "'一号架', 0, 1, "
         "0), (2, 'B-01', '二号架', 0, 1, 0)");
    BillEntryHead h;
    h.accountId = 2;
    h.remark = "补货上架";
    h.creator = "王芳";
    h.createTime = "2026-12-05";
    std::vector<BillEntryLine> lines;
    const RecordSet goods =
        query("select goodsId, goodsCode, goodsName, rowNo from tb_rk_detail order by rowNo");
    for (int r = 0; r < goods.RecordCount(); ++r) {
        BillEntryLine l;
        l.goodsId = goods.at(r, 0).toInt();
        l.goodsCode = goods.at(r, 1).toString();
        l.goodsName = goods.at(r, 2).toString();
        l.unit = "箱";
        l.packQty = 12;
        l.qty = goods.at(r, 3).toInt() * 5;
        l.locationId = 1 + r % 2;
        l.toLocationId = 2 - r % 2;
        lines.push_back(l);
    }
    const auto store = NewTransferStore();
    ASSERT_TRUE(store->Save(h, lines).isResult);
    exec(QString("update tb_transfer_head set ispass=1, updateLastUser='赵审' where id=%1").arg(h.id));
    EXPECT_FALSE(PrintTransfer(h.id + 1, "调拨业务")); // no such transfer
    ASSERT_TRUE(PrintTransfer(h.id, "调拨业务"));
    EXPECT_TRUE(m_commands.back().startsWith("orkPrint:TypeId=1003&BillCode=kx_transfer_bill&FileName="));
    const QString text = printToPdf(pdf("transfer"));
    keepPicture(pdf("transfer"), "print_transfer");
    const QString joined = QString(text).remove(' ');
    EXPECT_TRUE(joined.contains("调拨单")) << text.toStdString();
    EXPECT_TRUE(text.contains("db-2612-00001"));
    EXPECT_TRUE(joined.contains("调出库位") && joined.contains("调入库位"));
    EXPECT_TRUE(joined.contains("审核人:赵审"));
    EXPECT_TRUE(QRegularExpression("测试货品1号.*A-01\\s+B-01").match(text).hasMatch()) << text.toStdString();
    EXPECT_TRUE(QRegularExpression("测试货品2号.*B-01\\s+A-01").match(text).hasMatch());
    EXPECT_TRUE(QRegularExpression("合计\\s+30").match(text).hasMatch()); // 5 + 10 + 15 boxes
}

TEST_F(KxPrint, TheCountSheetListsTheLinesWithAColumnToWriteIn) {
    makeStockInBill(40);
    exec("update tb_rk_head set ispass=1");
    StockTakeHead h;
    h.accountId = 2;
    h.creator = "王芳";
    h.createTime = "2026-12-05 09:00:00";
    ASSERT_TRUE(dal_stocktake().Start(h, QString()).isResult);
    EXPECT_FALSE(PrintStockTakeSheet(h.id + 1, false, "库存盘点")); // no such count
    ASSERT_TRUE(PrintStockTakeSheet(h.id, false, "库存盘点"));
    int pages = 0;
    QString text = printToPdf(pdf("count"), &pages);
    EXPECT_GE(pages, 1);
    const QString joined = QString(text).remove(' ');
    EXPECT_TRUE(joined.contains("盘点表"));
    EXPECT_TRUE(text.contains(h.billNo));
    EXPECT_TRUE(joined.contains("账面数量"));
    EXPECT_TRUE(joined.contains("实盘数量"));
    for (int k = 1; k <= 40; ++k)
        EXPECT_TRUE(text.contains(QString("测试货品%1号").arg(k))) << k;
    // 1 + … + 40 boxes in the total
    EXPECT_TRUE(text.contains("820")) << text.toStdString();
    keepPicture(pdf("count"), "print_count_sheet");

    ASSERT_TRUE(PrintStockTakeSheet(h.id, true, "库存盘点"));
    text = printToPdf(pdf("blind"));
    EXPECT_TRUE(QString(text).remove(' ').contains("实盘数量"));
    EXPECT_FALSE(QString(text).remove(' ').contains("账面数量"));
    EXPECT_FALSE(text.contains("820"));
    EXPECT_TRUE(text.contains("测试货品40号"));
    keepPicture(pdf("blind"), "print_count_sheet_blind");
}
