#include "guifixture.h"

#include "bills/frmbillentry.h"
#include "master/frmgoods.h"
#include "master/goodslabels.h"
#include "output/printout.h"
#include "output/xlsxexport.h"
#include "preview.h"
#include "printdoc.h"
#include "reports/frm_rpt_stock.h"
#include "reports/frm_rpt_sum.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>

namespace {

// The windows' print and export keys against the demo data: the print tool's
// starts are recorded, the workbooks written under the program folder.
class PrintKeys : public GuiDemoTest {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        loginAs("admin");
        QDir().mkpath(folder() + "kxPrint/templeteXml");
        const QDir source(WMS_TEMPLATE_DIR);
        for (const QString& name : source.entryList({"*.xml"}, QDir::Files))
            QFile::copy(source.filePath(name), folder() + "kxPrint/templeteXml/" + name);
        PrintOut::ToolLauncher() = [this](const QString&, const QStringList& args) {
            m_commands << args.value(0);
        };
    }
    void TearDown() override {
        PrintOut::ToolLauncher() = nullptr;
        GuiDemoTest::TearDown();
    }
    static void trigger(QWidget* form, const char* key) {
        for (QAction* a : form->findChildren<QAction*>())
            if (a->objectName() == key) return a->trigger();
        ADD_FAILURE() << "no key " << key;
    }
    // The rows of the last data file, one field each.
    QStringList printed(const QString& field) {
        QFile f(folder() + "kxPrint/generateXml/" + m_commands.back().section("FileName=", 1));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QDomDocument doc;
        doc.setContent(&f);
        QStringList out;
        const QDomNodeList rows = doc.elementsByTagName("DataRow");
        for (int i = 0; i < rows.size(); ++i)
            if (!rows.at(i).firstChildElement(field).isNull())
                out << rows.at(i).firstChildElement(field).text();
        return out;
    }
    QStringList workbooks() const {
        return QDir(folder() + "kxPrint/generateXls").entryList({"*.xlsx"}, QDir::Files);
    }
    QStringList m_commands;
};

} // namespace

TEST_F(PrintKeys, AStoredBillPrintsAndAnEditedOneAsksToBeSavedFirst) {
    frmImport f;
    f.NewBill();
    trigger(&f, "print");
    EXPECT_EQ(m_msg.texts().back(), "当前记录不存在!");
    f.LoadBill(1);
    trigger(&f, "print");
    ASSERT_EQ(m_commands.size(), 1);
    EXPECT_TRUE(m_commands[0].startsWith("orkPrint:TypeId=1003&BillCode=kx_import_bill&FileName="));
    EXPECT_EQ(printed("billNo"), QStringList{scalar("select billNo from tb_rk_head where id=1").toString()});
    EXPECT_EQ(printed("goodsCode").size(),
              scalar("select count(*) from tb_rk_detail where headId=1").toInt());
    // the print tool's preview stays within the screen and saves the pages as a PDF
    kx::Document doc;
    QString error;
    ASSERT_TRUE(doc.load(folder() + "kxPrint/templeteXml/kx_import_bill.xml",
                         folder() + "kxPrint/generateXml/" + m_commands[0].section("FileName=", 1), &error))
        << qPrintable(error);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(doc.pageLayout());
    std::unique_ptr<QPrintPreviewDialog> preview(kx::CreatePreview(doc, &printer));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_LT(area.height(), 800 + 48); // the usual preview with its title bar does not fit
    EXPECT_TRUE(area.contains(QRect(preview->pos(), preview->size() + QSize(16, 48)))) << area.height();
    const QString pdf = folder() + "vorschau.pdf";
    QString suggested;
    const auto chooser = kx::PdfFileChooser();
    kx::PdfFileChooser() = [&](QWidget*, const QString& name) {
        suggested = name;
        return pdf.chopped(4); // the extension is added
    };
    preview->show();
    screenshot(preview.get(), "print_preview");
    QAction* toPdf = preview->findChild<QAction*>("exportPdf");
    ASSERT_TRUE(toPdf);
    auto* bar = preview->findChild<QToolBar*>();
    ASSERT_TRUE(bar && bar->actions().contains(toPdf));
    toPdf->trigger();
    EXPECT_TRUE(suggested.endsWith("入库单.pdf")) << qPrintable(suggested);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    kx::PdfFileChooser() = chooser;

    f.txt_remark->setText("改过");
    emit f.txt_remark->textEdited("改过");
    trigger(&f, "print");
    EXPECT_EQ(m_msg.texts().back(), "当前单据已修改,请先保存再打印!");
    EXPECT_EQ(m_commands.size(), 1);
}

TEST_F(PrintKeys, ReportsPrintAndExportEveryRowOfTheSearchInItsSort) {
    frm_rpt_stock stock;
    stock.InitReport();
    stock.SortByColumn(5); // the goods code, ascending after the first sort's descending
    const int rows = stock.result.recordCount;
    ASSERT_GT(rows, 20); // more than a page
    trigger(&stock, "print");
    ASSERT_EQ(m_commands.size(), 1);
    const QStringList codes = printed("goodsCode");
    ASSERT_EQ(codes.size(), rows);
    EXPECT_EQ(codes.front(), stock.dg_List->item(0, 5)->text());
    QStringList sorted = codes;
    std::sort(sorted.begin(), sorted.end());
    if (stock.pageInfo.isDesc) std::reverse(sorted.begin(), sorted.end());
    EXPECT_EQ(codes, sorted);
    trigger(&stock, "export");
    EXPECT_TRUE(m_msg.texts().back().startsWith("导出完成！\n")) << qPrintable(m_msg.texts().back());
    EXPECT_EQ(workbooks().size(), 1);
    // the export's progress window cancelled: said so, and no file
    bool cancelled = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::allWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
                progress->cancel();
                cancelled = true;
            }
    });
    trigger(&stock, "export");
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(m_msg.texts().back(), "导出已取消");
    EXPECT_EQ(workbooks().size(), 1);

    // a summary with nothing found says so and starts nothing
    frm_rpt_rkSum sum;
    sum.InitReport();
    sum.txt_KeyWord->setText("没有这样的货品");
    sum.btn_search();
    trigger(&sum, "print");
    EXPECT_EQ(m_msg.texts().back(), "当前入库汇总信息不存在!");
    trigger(&sum, "export");
    EXPECT_EQ(m_msg.texts().back(), "无记录导出!");
    EXPECT_EQ(m_commands.size(), 1);
    sum.txt_KeyWord->clear();
    sum.btn_search();
    trigger(&sum, "print");
    ASSERT_EQ(m_commands.size(), 2);
    EXPECT_TRUE(m_commands[1].startsWith("orkPrint:TypeId=1002&BillCode=kx_rpt_rkSum&FileName="));
    EXPECT_EQ(printed("goodsCode").size(), sum.result.recordCount);
}

TEST_F(PrintKeys, GoodsPrintLabelsOfTheTickedGoodsAndExportTheirList) {
    frmGoods f;
    f.btn_search();
    ASSERT_GT(f.vsGoodsList->rowCount(), 2);
    trigger(&f, "print");
    EXPECT_EQ(m_msg.texts().back(), "请先选中要打印标签的货品!");
    f.vsGoodsList->item(0, frmGoods::lcCheck)->setCheckState(Qt::Checked);
    f.vsGoodsList->item(2, frmGoods::lcCheck)->setCheckState(Qt::Checked);
    trigger(&f, "print");
    ASSERT_EQ(m_commands.size(), 1);
    EXPECT_TRUE(m_commands[0].startsWith("orkPrint:TypeId=1101&BillCode=kx_goods_label&FileName="));
    const QStringList ids{f.vsGoodsList->item(0, frmGoods::lcId)->text(),
                          f.vsGoodsList->item(2, frmGoods::lcId)->text()};
    EXPECT_EQ(printed("barcode").size(), GoodsLabelRows({ids[0].toInt(), ids[1].toInt()}).RecordCount());
    trigger(&f, "export");
    EXPECT_TRUE(m_msg.texts().back().startsWith("导出完成！\n")) << qPrintable(m_msg.texts().back());
    EXPECT_EQ(workbooks().size(), 1);
}
