#include "printfixture.h"

#include "output/xlsxexport.h"
#include "reports/rpt_engine.h"
#include "reports/rpt_filters.h"
#include "ui/spreadsheetexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

// What openpyxl reads back from a workbook: A1, row 2, the size, the frozen
// panes, and the type and value of the cells asked for.
QJsonObject readBack(const QString& path, const QStringList& cells) {
    const char* script = R"(
import json, sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(json.dumps({"A1": ws["A1"].value, "A1bold": ws["A1"].font.b, "row2": [c.value for c in ws[2]],
                  "rows": ws.max_row, "columns": ws.max_column, "freeze": ws.freeze_panes,
                  "size": ws["A3"].font.sz,
                  "cells": {k: [type(ws[k].value).__name__, str(ws[k].value)] for k in sys.argv[2:]}}))
)";
    QProcess py;
    // Debian's interpreter, which has the package python3-openpyxl
    py.start(QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3",
             QStringList{"-c", script, path} + cells);
    py.waitForFinished(60000);
    const QByteArray out = py.readAllStandardOutput();
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(out).object();
}

// Every cell of a workbook (type, value, format, boldness) and its column widths.
QJsonObject everyCell(const QString& path) {
    const char* script = R"(
import json, sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(json.dumps({"cells": [[[type(c.value).__name__, str(c.value), c.number_format, bool(c.font.b)]
                             for c in row] for row in ws.iter_rows()],
                  "widths": {k: d.width for k, d in ws.column_dimensions.items()}}))
)";
    QProcess py;
    py.start(QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3",
             QStringList{"-c", script, path});
    py.waitForFinished(60000);
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(py.readAllStandardOutput()).object();
}

class ExportTest : public PrintTest {};

} // namespace

TEST_F(ExportTest, AReportOf41RowsFillsTitleCaptionsAndRowsWithNumbersAsNumbers) {
    for (int b = 1; b <= 41; ++b)
        exec(QString("insert into tb_rk_head (id, accountId, billNo, ubillNo, utypeId, supplierName, ispass, "
                     "creator, "
                     "createTime) values (%1, 2, 'rk-2612-%2', '%3', 3, '甲', 1, '王芳', '2026-12-0%4')")
                 .arg(b)
                 .arg(b, 5, 10, QChar('0'))
                 .arg(b == 1 ? "00123" : "12345678901234567890")
                 .arg(1 + b % 5));
    exec("insert into tb_rk_detail (id, headId, goodsId, qty, inPrice) values (1, 1, 1, 3, 2.5)");
    dal_rpt_rkHead dal;
    BillListFilter f;
    f.from = QDate(2026, 12, 1);
    f.to = QDate(2026, 12, 31);
    f.accountIds = "2,";
    ConditionSet source, list;
    BillListConditions(f, source, list);
    m_PageInfor page;
    page.str_orderBy = "billNo";
    const m_recordSet found = dal.GetListForCondition(source, list, page, BillListSelect(false));
    ASSERT_EQ(found.recordCount, 41);
    const RecordSet rs = dal.GetDataTable(found.str_condition, " order by billNo asc", true);
    const QString path =
        Export::ExportToSpreadsheet(rs, "入库单据", BillListCaptions(false), BillListKinds());
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(path.startsWith(printFolder() + "generateXls/"));
    EXPECT_TRUE(path.endsWith(".xlsx"));
    // where the workbook is, on the second line
    EXPECT_EQ(m_msg.texts().back(), "导出完成！\n" + QDir::toNativeSeparators(path));
    const QJsonObject book = readBack(path, {"C3", "D3", "D4", "H3", "H4", "K3"});
    EXPECT_EQ(book["A1"].toString(), "入库单据");
    EXPECT_TRUE(book["A1bold"].toBool());
    QStringList row2;
    for (const auto& v : book["row2"].toArray())
        row2 << v.toString();
    EXPECT_EQ(row2, BillListCaptions(false).split(','));
    EXPECT_EQ(book["rows"].toInt(), 43); // A3:K43
    EXPECT_EQ(book["columns"].toInt(), 11);
    EXPECT_EQ(book["freeze"].toString(), "A3");
    EXPECT_EQ(book["size"].toDouble(), 10);
    const QJsonObject cells = book["cells"].toObject();
    EXPECT_EQ(cells["C3"].toArray()[1].toString(), "rk-2612-00001");
    EXPECT_EQ(cells["D3"].toArray()[0].toString(), "str"); // a code keeps its leading zeros
    EXPECT_EQ(cells["D3"].toArray()[1].toString(), "00123");
    EXPECT_EQ(cells["D4"].toArray()[1].toString(), "12345678901234567890");
    EXPECT_EQ(cells["H3"].toArray()[0].toString(), "float"); // the amount, stored as text in the list
    EXPECT_EQ(cells["H3"].toArray()[1].toString(), "7.5");
    EXPECT_EQ(cells["H4"].toArray()[1].toString(), "0"); // a bill without lines: 0
    EXPECT_EQ(cells["K3"].toArray()[0].toString(), "datetime");

    // the rows read through a cursor give the same workbook, cell for cell
    const QString streamed = printFolder() + "streamed.xlsx";
    QList<qint64> told;
    auto rows = dal.OpenDataCursor(found.str_condition, " order by billNo asc", true);
    EXPECT_EQ(Export::WriteWorkbook(streamed, *rows, "入库单据", BillListCaptions(false).split(','),
                                    BillListKinds(), [&](qint64 n) { return told << n, true; }),
              41);
    rows.reset();
    EXPECT_EQ(told, QList<qint64>{41});
    const QJsonObject whole = everyCell(path);
    EXPECT_EQ(whole["cells"].toArray().size(), 43);
    EXPECT_GT(whole["widths"].toObject()["C"].toDouble(), 14); // as wide as "rk-2612-00001"
    EXPECT_EQ(everyCell(streamed), whole);
    // a cancelled export leaves no file
    const QString cancelled = printFolder() + "cancelled.xlsx";
    rows = dal.OpenDataCursor(found.str_condition, " order by billNo asc", true);
    EXPECT_EQ(Export::WriteWorkbook(cancelled, *rows, "入库单据", BillListCaptions(false).split(','),
                                    BillListKinds(), [](qint64) { return false; }),
              -1);
    rows.reset();
    EXPECT_FALSE(QFile::exists(cancelled));
}

TEST_F(ExportTest, EmptyListsAndExportsOfTheSameSecond) {
    const RecordSet none = query("select billNo from tb_rk_head where 1=0");
    EXPECT_TRUE(Export::ExportToSpreadsheet(none, "入库单据", "单据号码", "t").isEmpty());
    EXPECT_EQ(m_msg.texts().back(), "无记录导出!");
    EXPECT_EQ(m_msg.shown.back().caption, "System");
    EXPECT_FALSE(QDir(printFolder() + "generateXls").exists() &&
                 !QDir(printFolder() + "generateXls").entryList(QDir::Files).isEmpty());
    // a second export in the same second does not replace the first
    const RecordSet rs = query("select uname from tb_dictionary where id=2");
    QString first, second;
    do { // both within one second
        for (const QString& f : QDir(printFolder() + "generateXls").entryList(QDir::Files))
            QFile::remove(printFolder() + "generateXls/" + f);
        first = Export::ExportToSpreadsheet(rs, "一", "名称", "t");
        second = Export::ExportToSpreadsheet(rs, "二", "名称", "t");
    } while (QFileInfo(first).baseName().left(15) != QFileInfo(second).baseName().left(15));
    EXPECT_NE(first, second);
    EXPECT_TRUE(second.endsWith("-2.xlsx")) << second.toStdString();
    EXPECT_EQ(readBack(first, {})["A1"].toString(), "一");
    EXPECT_EQ(readBack(second, {})["A1"].toString(), "二");
    // a workbook the desktop cannot open is named, not left without a word
    QStringList opened;
    Export::WorkbookOpener() = [&](const QString& path) {
        opened << path;
        return false;
    };
    const QString third = Export::ExportToSpreadsheet(rs, "三", "名称", "t");
    Export::WorkbookOpener() = nullptr;
    EXPECT_EQ(opened, QStringList{third});
    ASSERT_GE(m_msg.shown.size(), 2u);
    EXPECT_EQ(m_msg.shown[m_msg.shown.size() - 2].text, "导出完成！\n" + QDir::toNativeSeparators(third));
    EXPECT_EQ(m_msg.shown.back().icon, MsgBox::Exclamation);
    EXPECT_TRUE(m_msg.texts().back().endsWith("\n" + QDir::toNativeSeparators(third)))
        << qPrintable(m_msg.texts().back());
}
