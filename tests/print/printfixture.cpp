#include "printfixture.h"

#include "output/printout.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

void PrintTest::SetUp() {
    DbTest::SetUp();
    ASSERT_TRUE(QDir().mkpath(printFolder() + "templeteXml"));
    const QDir source(WMS_TEMPLATE_DIR);
    for (const QString& name : source.entryList({"*.xml"}, QDir::Files))
        ASSERT_TRUE(QFile::copy(source.filePath(name), printFolder() + "templeteXml/" + name));
    PrintOut::ToolLauncher() = [this](const QString& program, const QStringList& args) {
        EXPECT_EQ(program, printFolder() + "kxPrint");
        m_commands << args.value(0);
    };
}

void PrintTest::TearDown() {
    PrintOut::ToolLauncher() = nullptr;
    DbTest::TearDown();
}

QString PrintTest::lastDataFile() const {
    if (m_commands.isEmpty()) return {};
    return printFolder() + "generateXml/" + m_commands.back().section("FileName=", 1);
}

QString PrintTest::printToPdf(const QString& pdf, int* pages) {
    if (m_commands.isEmpty()) return {};
    QProcess tool;
    tool.start(KXPRINT_EXE, {"--dir", printFolder(), "--pdf", pdf, m_commands.back()});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        ADD_FAILURE() << "kxPrint: " << tool.readAllStandardError().toStdString();
        return {};
    }
    if (pages) {
        QProcess info;
        info.start("pdfinfo", {pdf});
        info.waitForFinished(30000);
        const auto m =
            QRegularExpression("Pages:\\s+(\\d+)").match(QString::fromUtf8(info.readAllStandardOutput()));
        *pages = m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    text.waitForFinished(30000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

int PrintTest::makeStockInBill(int lines, const QString& supplier) {
    const int id = scalar("select iif(max(id) is null, 0, max(id)) + 1 from tb_rk_head").toInt();
    exec(
        QString(
            "insert into tb_rk_head (id, accountId, billNo, ubillNo, utypeId, supplierName, ispass, creator, "
            "createTime) values (%1, 2, 'rk-2612-%2', 'PO-7', 3, '%3', 0, '王芳', '2026-12-05')")
            .arg(id)
            .arg(id, 5, 10, QChar('0'))
            .arg(supplier));
    for (int k = 1; k <= lines; ++k) {
        const int goods = 1000 + id * 100 + k;
        exec(QString("insert into tb_goods_head (id, goodsCode, goodsName, status) values (%1, 'P%1', "
                     "'测试货品%2号', "
                     "'启用')")
                 .arg(goods)
                 .arg(k));
        exec(QString("insert into tb_goods_detail (id, headId, isDefault, unit, packQty) values (%1, %1, 1, "
                     "'箱', 12)")
                 .arg(goods));
        exec(QString("insert into tb_rk_detail (id, headId, rowNo, goodsId, goodsCode, goodsName, goodsDesc, "
                     "unit, "
                     "packQty, qty, inPrice, weight) values (%1, %2, %3, %1, 'P%1', '测试货品%3号', '500ml', "
                     "'箱', 12, "
                     "%3, 2.5, 1)")
                 .arg(goods)
                 .arg(id)
                 .arg(k));
    }
    return id;
}
