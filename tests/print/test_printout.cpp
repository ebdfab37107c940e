#include "printfixture.h"

#include "bills/billprint.h"
#include "output/cmoney.h"
#include "output/printout.h"
#include "reports/reportprint.h"
#include "reports/rpt_filters.h"
#include "reports/rpt_stock.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>

namespace {

class PrintOutTest : public PrintTest {
protected:
    void writeTemplate(const QString& code, const QString& body) {
        QFile f(printFolder() + "templeteXml/" + code + ".xml");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(body.toUtf8());
    }
    QDomDocument readXml(const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        QDomDocument doc;
        EXPECT_TRUE(doc.setContent(&f));
        return doc;
    }
    void touch(const QString& name) {
        QDir().mkpath(PrintOut::DataFolder());
        QFile f(PrintOut::DataFolder() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
};

// The texts of one field over the rows of a DataRecord.
QStringList column(const QDomElement& record, const QString& name) {
    QStringList out;
    for (QDomElement r = record.firstChildElement("DataRow"); !r.isNull();
         r = r.nextSiblingElement("DataRow"))
        out << r.firstChildElement(name).text();
    return out;
}

} // namespace

TEST_F(PrintOutTest, RecordNodesBindColumnsAmountsInCapitalsAndEmptyValues) {
    writeTemplate("t", "<Content><Layout Title='x'/><DataDetail><DataCols><code BindField='goodsCode'/>"
                       "<words BindField='$CMoneyToWord$:amount'/><note BindField='remark'/></DataCols>"
                       "<DataRecord/></DataDetail></Content>");
    exec("insert into tb_goods_head (id, goodsCode, upqty, goodsDesc) values (1, 'A<1&', 1234.5, Null), "
         "(2, 'B2', 12.05, '')");
    const RecordSet rs =
        query("select goodsCode, upqty as amount, goodsDesc as remark from tb_goods_head order by id");
    const QDomElement node = PrintOut::BuildRecordNode(rs, "t", "DataDetail");
    ASSERT_FALSE(node.isNull());
    EXPECT_EQ(node.tagName(), "DataRecord");
    EXPECT_EQ(column(node, "code"), (QStringList{"A<1&", "B2"}));
    EXPECT_EQ(column(node, "words"), (QStringList{CMoney::AmountInCapitals("1234.5"), "壹拾贰元零伍分"}));
    // a null value gives an empty element, not a missing one
    const QDomElement firstRow = node.firstChildElement("DataRow");
    EXPECT_FALSE(firstRow.firstChildElement("note").isNull());
    EXPECT_EQ(firstRow.firstChildElement("note").text(), "");
    EXPECT_EQ(firstRow.childNodes().count(), 3);
    // nothing to print: no node
    EXPECT_TRUE(
        PrintOut::BuildRecordNode(query("select 1 as goodsCode from tb_user where 1=0"), "t", "DataDetail")
            .isNull());
    // a template that is missing or lacks the section is an error, not a crash
    EXPECT_THROW(PrintOut::BuildRecordNode(rs, "none", "DataDetail"), PrintOut::Error);
    EXPECT_THROW(PrintOut::BuildRecordNode(rs, "t", "DataGroupHead"), PrintOut::Error);
}

TEST_F(PrintOutTest, DataFilesReplaceThePlaceholdersAndPurgeOlderDays) {
    const QDate today = QDate::currentDate();
    const QString yesterday = today.addDays(-1).toString("yyyyMMdd") + "-235959ABC.xml";
    const QString lastYear = today.addYears(-1).toString("yyyyMMdd") + "-000000.xml";
    const QString ofToday = today.toString("yyyyMMdd") + "-000001X.xml";
    for (const QString& name : {yesterday, lastYear, ofToday, QString("short.xml"), QString("20000101.txt")})
        touch(name);
    writeTemplate("t", "<Content><Title>标题</Title><DataDetail><DataCols><v BindField='x'/></DataCols>"
                       "<DataRecord/><After/></DataDetail></Content>");
    const QDomElement node = PrintOut::BuildRecordNode(query("select 5 as x"), "t", "DataDetail");
    const QString name = PrintOut::GenerateFile("t", {{"Content/DataDetail/DataRecord", node}});
    EXPECT_TRUE(QRegularExpression("^\\d{8}-\\d{6}[0-9A-F]{32}\\.xml$").match(name).hasMatch())
        << name.toStdString();
    const QStringList left = QDir(PrintOut::DataFolder()).entryList(QDir::Files, QDir::Name);
    EXPECT_FALSE(left.contains(yesterday));
    EXPECT_FALSE(left.contains(lastYear));
    EXPECT_TRUE(left.contains(ofToday));
    EXPECT_TRUE(left.contains("short.xml"));
    EXPECT_TRUE(left.contains("20000101.txt"));
    QFile f(PrintOut::DataFolder() + name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.startsWith("<?xml version='1.0' encoding='utf-8'?>")) << text.toStdString();
    const QDomDocument doc = readXml(PrintOut::DataFolder() + name);
    const QDomElement section = doc.documentElement().firstChildElement("DataDetail");
    EXPECT_EQ(doc.documentElement().firstChildElement("Title").text(), "标题"); // the rest is copied
    // the placeholder is gone; the records are the section's last child
    EXPECT_EQ(section.lastChildElement().tagName(), "DataRecord");
    EXPECT_EQ(section.elementsByTagName("DataRecord").count(), 1);
    EXPECT_EQ(
        section.firstChildElement("DataRecord").firstChildElement("DataRow").firstChildElement("v").text(),
        "5");
    EXPECT_THROW(PrintOut::GenerateFile("t", {{"Content/Nowhere/DataRecord", node}}), PrintOut::Error);
}

TEST_F(PrintOutTest, AReportPrintCoversEveryRowOfTheLastSearchInItsSort) {
    for (int g = 1; g <= 45; ++g) {
        exec(QString(
                 "insert into tb_goods_head (id, goodsCode, goodsName, status) values (%1, 'G%2', '货品%1', "
                 "'启用')")
                 .arg(g)
                 .arg(g, 3, 10, QChar('0')));
        exec(QString("insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (%1, %1, 1, "
                     "'个', 1)")
                 .arg(g));
    }
    dal_rpt_stock dal;
    ConditionSet list;
    StockFilter f;
    f.keyword = "G0"; // G001 to G045 but not the others
    exec("insert into tb_goods_head (id, goodsCode, goodsName, status) values (99, 'X1', '别的', '启用')");
    exec("insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (99, 99, 1, '个', 1)");
    StockConditions(f, list);
    m_PageInfor page;
    page.str_orderBy = "goodsCode";
    page.isDesc = true;
    const m_recordSet found = dal.GetListForCondition(list, "2,0", page, StockSelect());
    ASSERT_EQ(found.recordCount, 45);
    ASSERT_TRUE(PrintReport(dal, found.str_condition, page, "kx_stock_bill",
                            "orkPrint:TypeId=1002&BillCode="
                            "kx_stock_bill&FileName=",
                            QStringLiteral("当前库存表信息不存在!"), "库存总账"));
    ASSERT_EQ(m_commands.size(), 1);
    EXPECT_TRUE(m_commands[0].startsWith("orkPrint:TypeId=1002&BillCode=kx_stock_bill&FileName="));
    const QDomDocument doc = readXml(lastDataFile());
    const QStringList codes = column(
        doc.documentElement().firstChildElement("DataDetail").firstChildElement("DataRecord"), "goodsCode");
    ASSERT_EQ(codes.size(), 45);
    EXPECT_EQ(codes.front(), "G045");
    EXPECT_EQ(codes.back(), "G001");
    // a search with nothing found: the message, no file, no tool
    const int files = QDir(PrintOut::DataFolder()).entryList(QDir::Files).size();
    EXPECT_FALSE(PrintReport(dal, " and (1=0)", page, "kx_stock_bill", "x",
                             QStringLiteral("当前库存表信息不存在!"), "库存总账"));
    EXPECT_EQ(m_msg.texts().back(), "当前库存表信息不存在!");
    EXPECT_EQ(m_msg.shown.back().icon, MsgBox::Exclamation);
    EXPECT_EQ(QDir(PrintOut::DataFolder()).entryList(QDir::Files).size(), files);
    EXPECT_EQ(m_commands.size(), 1);
    // more rows than the stored setting allows ask first: No prints nothing, Yes prints
    exec("insert into tb_setting (id, setKey, setValue) values (9, 'printAskRows', '44')");
    const auto print = [&] {
        return PrintReport(dal, found.str_condition, page, "kx_stock_bill", "x", QStringLiteral("无"),
                           "库存总账");
    };
    m_msg.answers = {MsgBox::No};
    EXPECT_FALSE(print());
    EXPECT_EQ(m_msg.texts().back(), "将打印 45 行, 可能需要较长时间。继续打印吗?");
    EXPECT_EQ(m_msg.shown.back().icon, MsgBox::Question);
    EXPECT_EQ(QDir(PrintOut::DataFolder()).entryList(QDir::Files).size(), files);
    EXPECT_EQ(m_commands.size(), 1);
    m_msg.answers = {MsgBox::Yes};
    EXPECT_TRUE(print());
    EXPECT_EQ(m_commands.size(), 2);
}

TEST_F(PrintOutTest, ABillPrintHandsOverHeadAndLinesOrRefuses) {
    EXPECT_FALSE(PrintBill(false, 0, "入库"));
    EXPECT_EQ(m_msg.texts().back(), "当前记录不存在!");
    exec("insert into tb_rk_head (id, accountId, billNo, ispass) values (7, 2, 'rk-empty', 0)");
    EXPECT_FALSE(PrintBill(false, 7, "入库"));
    EXPECT_EQ(m_msg.texts().back(), "当前入库明细信息不存在!");
    EXPECT_FALSE(PrintBill(true, 7, "出库")); // no stock-out bill of that id
    EXPECT_EQ(m_msg.texts().back(), "当前出库明细信息不存在!");
    EXPECT_TRUE(m_commands.isEmpty());

    const int id = makeStockInBill(3);
    ASSERT_TRUE(PrintBill(false, id, "入库"));
    ASSERT_EQ(m_commands.size(), 1);
    EXPECT_TRUE(m_commands[0].startsWith("orkPrint:TypeId=1003&BillCode=kx_import_bill&FileName="));
    const QDomDocument doc = readXml(lastDataFile());
    const QDomElement head =
        doc.documentElement().firstChildElement("DataGroupHead").firstChildElement("DataRecord");
    EXPECT_EQ(column(head, "billNo"), QStringList{QString("rk-2612-%1").arg(id, 5, 10, QChar('0'))});
    EXPECT_EQ(column(head, "supplierName"), QStringList{"上海清风日化有限公司"});
    EXPECT_EQ(column(head, "amountInWords"), QStringList{"壹拾伍元整"}); // 2.5 × (1 + 2 + 3)
    const QDomElement lines =
        doc.documentElement().firstChildElement("DataDetail").firstChildElement("DataRecord");
    EXPECT_EQ(column(lines, "rowNo"), (QStringList{"1", "2", "3"}));
    // the checker is the approver of an approved bill, nobody before
    auto checker = [&] {
        const QDomDocument printed = readXml(lastDataFile());
        return column(
            printed.documentElement().firstChildElement("DataGroupHead").firstChildElement("DataRecord"),
            "checker");
    };
    exec(QString("update tb_rk_head set updateLastUser='李明' where id=%1").arg(id));
    ASSERT_TRUE(PrintBill(false, id, "入库"));
    EXPECT_EQ(checker(), QStringList{""});
    exec(QString("update tb_rk_head set ispass=1, updateLastUser='赵审' where id=%1").arg(id));
    ASSERT_TRUE(PrintBill(false, id, "入库"));
    EXPECT_EQ(checker(), QStringList{"赵审"});

    // a broken template is shown, and nothing is started
    QFile::remove(printFolder() + "templeteXml/kx_import_bill.xml");
    EXPECT_FALSE(PrintBill(false, id, "入库"));
    EXPECT_EQ(m_msg.shown.back().icon, MsgBox::Critical);
    EXPECT_TRUE(m_msg.texts().back().contains("kx_import_bill.xml"));
    EXPECT_EQ(m_commands.size(), 3);
}
