#include "sheets/sheetfile.h"

#include "fixture.h"

#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

namespace {

QStringList cells(const SheetData& d, std::size_t i) {
    return i < d.rows.size() ? d.rows[i].cells : QStringList{"<no row>"};
}

std::vector<int> lines(const SheetData& d) {
    std::vector<int> out;
    for (const SheetRow& r : d.rows)
        out.push_back(r.line);
    return out;
}

// The message a file is refused with, or "" when it is read.
QString refusal(const QString& path, const QString& sheet = {}, int maxDataRows = 100000) {
    try {
        ReadSheetFile(path, sheet, maxDataRows);
    } catch (const SheetFileError& e) {
        return e.message();
    }
    return {};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Runs a python script (openpyxl, zipfile) that writes its files into `dir`.
void runPython(const QString& dir, const char* script) {
    QProcess p;
    p.start("/usr/bin/python3", {"-c", QString::fromUtf8(script), dir});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

// A workbook of `rows` rows with one number each, written in constant memory.
void writeNumberRows(const QString& path, int rows) {
    lxw_workbook_options options = {LXW_TRUE, nullptr, LXW_FALSE};
    lxw_workbook* wb = workbook_new_opt(path.toUtf8().constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    worksheet_write_string(ws, 0, 0, "数量", nullptr);
    for (int r = 1; r <= rows; ++r)
        worksheet_write_number(ws, static_cast<lxw_row_t>(r), 0, r, nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
}

} // namespace

TEST(SheetFile, XlsxCellsReadAsTheSpreadsheetShowsThem) {
    QTemporaryDir dir;
    const QString path = dir.filePath("goods.xlsx");
    const std::string longText(40000, 'x');
    {
        lxw_workbook* wb = workbook_new(path.toUtf8().constData());
        lxw_worksheet* ws = workbook_add_worksheet(wb, "商品");
        lxw_worksheet* second = workbook_add_worksheet(wb, "期初库存");
        lxw_format* dateFmt = workbook_add_format(wb);
        format_set_num_format(dateFmt, "yyyy\\-mm\\-dd");
        lxw_format* dateTimeFmt = workbook_add_format(wb);
        format_set_num_format_index(dateTimeFmt, 22);
        lxw_format* elapsedFmt = workbook_add_format(wb);
        format_set_num_format(elapsedFmt, "[h]:mm");
        lxw_format* plainFmts[] = {workbook_add_format(wb), workbook_add_format(wb), workbook_add_format(wb)};
        format_set_num_format(plainFmts[0], "0.00");
        format_set_num_format(plainFmts[1], "[Red]#,##0.0");
        format_set_num_format(plainFmts[2], "0 \"days\"\\ \\h");
        lxw_format* bold = workbook_add_format(wb);
        format_set_bold(bold);

        const char* head[] = {"编码", "名称", "数量", "日期", "标志"};
        for (int c = 0; c < 5; ++c)
            worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), head[c], nullptr);
        worksheet_write_string(ws, 1, 0, "00123", nullptr);
        char redText[] = "红色", screwText[] = "螺丝 ";
        lxw_rich_string_tuple red = {nullptr, redText}, screw = {bold, screwText};
        lxw_rich_string_tuple* rich[] = {&red, &screw, nullptr};
        worksheet_write_rich_string(ws, 1, 1, rich, nullptr);
        worksheet_write_number(ws, 1, 2, 12, nullptr);
        lxw_datetime day = {2024, 3, 5, 0, 0, 0};
        worksheet_write_datetime(ws, 1, 3, &day, dateFmt);
        worksheet_write_boolean(ws, 1, 4, 1, nullptr);
        // row 3 stays empty; row 4 has no B
        worksheet_write_string(ws, 3, 0, "A-2", nullptr);
        worksheet_write_number(ws, 3, 2, 2.5, plainFmts[0]);
        lxw_datetime moment = {2024, 3, 5, 14, 30, 15};
        worksheet_write_datetime(ws, 3, 3, &moment, dateTimeFmt);
        worksheet_write_boolean(ws, 3, 4, 0, nullptr);
        worksheet_write_number(ws, 4, 0, 0.1, plainFmts[1]);
        worksheet_write_number(ws, 4, 1, 45000, plainFmts[2]);
        worksheet_write_number(ws, 4, 3, 1.5, elapsedFmt);
        worksheet_write_string(ws, 5, 0, "", nullptr); // a row of nothing but an empty cell
        worksheet_write_formula_str(ws, 6, 1, "=REPT(\"x\",40000)", nullptr, longText.c_str());
        worksheet_write_string(second, 0, 0, "仓位", nullptr);
        worksheet_write_string(second, 1, 0, "B-01", nullptr);
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }

    const SheetData d = ReadSheetFile(path);
    EXPECT_EQ(lines(d), (std::vector<int>{1, 2, 4, 5, 7}));
    EXPECT_EQ(cells(d, 0), (QStringList{"编码", "名称", "数量", "日期", "标志"}));
    EXPECT_EQ(cells(d, 1), (QStringList{"00123", "红色螺丝 ", "12", "2024-03-05", "TRUE"}));
    EXPECT_EQ(cells(d, 2), (QStringList{"A-2", "", "2.5", "2024-03-05 14:30:15", "FALSE"}));
    EXPECT_EQ(cells(d, 3), (QStringList{"0.1", "45000", "", "1900-01-01 12:00:00"}));
    ASSERT_EQ(d.rows.size(), 5u);
    EXPECT_EQ(d.rows[4].cells.value(1).size(), 32767);
    EXPECT_EQ(d.rows[4].cellErrors, (std::map<int, QString>{{1, "单元格超过 32767 个字符"}}));
    EXPECT_TRUE(d.rows[1].cellErrors.empty());

    const SheetData stock = ReadSheetFile(path, "期初库存");
    EXPECT_EQ(lines(stock), (std::vector<int>{1, 2}));
    EXPECT_EQ(cells(stock, 1), QStringList{"B-01"});

    // constant memory: inline strings
    const QString streamed = dir.filePath("streamed.xlsx");
    {
        lxw_workbook_options options = {LXW_TRUE, nullptr, LXW_FALSE};
        lxw_workbook* wb = workbook_new_opt(streamed.toUtf8().constData(), &options);
        lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
        worksheet_write_string(ws, 0, 0, "编码", nullptr);
        worksheet_write_string(ws, 0, 2, "名称", nullptr);
        worksheet_write_string(ws, 2, 0, "00123", nullptr);
        worksheet_write_number(ws, 2, 1, 3, nullptr);
        worksheet_write_string(ws, 2, 2, " 螺丝", nullptr);
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }
    const SheetData s = ReadSheetFile(streamed);
    EXPECT_EQ(lines(s), (std::vector<int>{1, 3}));
    EXPECT_EQ(cells(s, 0), (QStringList{"编码", "", "名称"}));
    EXPECT_EQ(cells(s, 1), (QStringList{"00123", "3", " 螺丝"}));
}

TEST(SheetFile, WorkbooksOfOtherProgramsAndTheirXml) {
    QTemporaryDir dir;
    runPython(dir.path(), R"PY(
import sys, os, zipfile, datetime, openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904
d = sys.argv[1]
wb = openpyxl.Workbook()
wb.epoch = CALENDAR_MAC_1904
hidden = wb.active
hidden.title = "隐藏"
hidden.sheet_state = "hidden"
hidden["A1"] = "隐藏的"
ws = wb.create_sheet("数据")
ws["A1"] = datetime.datetime(2024, 3, 5)
ws["A1"].number_format = "yyyy-mm-dd"
ws["A2"] = datetime.datetime(1904, 1, 1, 6, 0, 0)
ws["A2"].number_format = "yyyy-mm-dd hh:mm"
ws["B2"] = "=1+1"
wb.save(os.path.join(d, "mac.xlsx"))

ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
rel = 'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'
def book(name, sheet):
    with zipfile.ZipFile(os.path.join(d, name), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("xl/workbook.xml", '<workbook %s %s><sheets><sheet name="S" sheetId="1" r:id="rId7"/></sheets></workbook>' % (ns, rel))
        z.writestr("xl/_rels/workbook.xml.rels", '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            '<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/sheets/data.xml"/>'
            '<Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="strings.xml"/>'
            '</Relationships>')
        z.writestr("xl/strings.xml", '<sst %s><si><t>東京</t><rPh sb="0" eb="2"><t>トウキョウ</t></rPh></si>'
            '<si><r><t xml:space="preserve">a </t></r><r><t>_x000D_b</t></r></si></sst>' % ns)
        z.writestr("xl/sheets/data.xml", '<worksheet %s><sheetData>%s</sheetData></worksheet>' % (ns, sheet))
book("hand.xlsx", '<row r="2"><c t="s"><v>0</v></c><c t="s"><v>1</v></c><c r="E2" t="e"><f>NA()</f><v>#N/A</v></c></row>'
     '<row><c><v>7</v></c><c t="inlineStr"><is><t xml:space="preserve"> 空格 </t></is></c><c t="str"><f>A3</f><v>7</v></c>'
     '<c><v>0.30000000000000004</v></c><c><v>1.5E+2</v></c><c><v>-0.0000000000012</v></c></row>')
book("broken.xlsx", '<row r="1"><c t="s"><v>0</v></c></row>\n<row r="2"><c><v>1</v></row>')
# a sheet that says it unpacks to 300 MB
book("huge.xlsx", '<row r="1"><c><v>1</v></c></row>')
p = os.path.join(d, "huge.xlsx")
b = bytearray(open(p, "rb").read())
i = b.find(b"PK\x01\x02")
while i >= 0:
    n = int.from_bytes(b[i + 28:i + 30], "little")
    if b[i + 46:i + 46 + n] == b"xl/sheets/data.xml":
        b[i + 24:i + 28] = (300 << 20).to_bytes(4, "little")
    i = b.find(b"PK\x01\x02", i + 4)
open(p, "wb").write(b)
)PY");

    const QString mac = dir.filePath("mac.xlsx");
    const SheetData d = ReadSheetFile(mac);
    EXPECT_EQ(cells(d, 0), QStringList{"2024-03-05"});
    EXPECT_EQ(cells(d, 1), QStringList{"1904-01-01 06:00:00"});
    ASSERT_EQ(d.rows.size(), 2u);
    EXPECT_EQ(d.rows[1].cellErrors, (std::map<int, QString>{{1, "公式没有计算结果"}}));
    EXPECT_EQ(cells(ReadSheetFile(mac, "隐藏"), 0), QStringList{"隐藏的"});
    const QString unknown = refusal(mac, "库存");
    EXPECT_TRUE(unknown.contains("mac.xlsx") && unknown.contains("库存") &&
                unknown.contains("“隐藏”、“数据”"))
        << unknown.toStdString();

    const SheetData h = ReadSheetFile(dir.filePath("hand.xlsx"));
    EXPECT_EQ(lines(h), (std::vector<int>{2, 3}));
    EXPECT_EQ(cells(h, 0), (QStringList{"東京", "a \rb"}));
    EXPECT_EQ(h.rows.at(0).cellErrors, (std::map<int, QString>{{4, "单元格为错误值 #N/A"}}));
    EXPECT_EQ(cells(h, 1), (QStringList{"7", " 空格 ", "7", "0.3", "150", "-1.2E-12"}));

    EXPECT_EQ(refusal(dir.filePath("broken.xlsx")),
              "文件已损坏或不是 Excel 工作簿: broken.xlsx (xl/sheets/data.xml 第 2 行)");
    EXPECT_EQ(refusal(dir.filePath("huge.xlsx")),
              "工作表过大: huge.xlsx (xl/sheets/data.xml 解压后超过 200 MB)");
}

TEST(SheetFile, CsvInUtf8OrGb18030) {
    QTemporaryDir dir;
    const QString text = "编码,名称,数量\r\n"
                         "00123,\"螺丝, M4\",12\r\n"
                         "\r\n"
                         "\"多行\r\n说明\",\"说\"\"明\"\"\"\n"
                         " 空 ,,\r"
                         ",,\r"
                         "末行,";
    const std::vector<int> expectedLines{1, 2, 4, 6, 8};
    const std::vector<QStringList> expected{{"编码", "名称", "数量"},
                                            {"00123", "螺丝, M4", "12"},
                                            {"多行\n说明", "说\"明\""},
                                            {" 空 "},
                                            {"末行"}};
    QStringEncoder gb("GB18030");
    ASSERT_TRUE(gb.isValid());
    const QByteArray gbText = gb(text);
    ASSERT_FALSE(gb.hasError());
    const std::pair<const char*, QByteArray> files[] = {
        {"plain.csv", text.toUtf8()},
        {"marked.csv", "\xEF\xBB\xBF" + text.toUtf8()},
        {"gb.txt", gbText},
        {"wide.csv",
         QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        writeFile(dir.filePath(name), bytes);
        const SheetData d = ReadSheetFile(dir.filePath(name));
        EXPECT_EQ(lines(d), expectedLines);
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(cells(d, i), expected[i]) << i;
    }

    // a stray byte on the second line of a quoted field
    writeFile(dir.filePath("stray.csv"),
              "code,name\n001," + gb(QStringLiteral("螺丝")) + "\n002,\"ok\n\xFF\"\n");
    EXPECT_EQ(refusal(dir.filePath("stray.csv")),
              "stray.csv: 第4行: 无法识别的字符 (文件不是 UTF-8, 也不是 GB18030 编码)");
    // a lead byte cut off by the separator
    writeFile(dir.filePath("cut.csv"), "code,name\n001," + gb(QStringLiteral("螺")) + "\xB5,x\n");
    EXPECT_TRUE(refusal(dir.filePath("cut.csv")).contains("第2行: 无法识别的字符"));
    writeFile(dir.filePath("open.csv"), "code,name\n\"001,x\nmore\n");
    const QString open = refusal(dir.filePath("open.csv"));
    EXPECT_TRUE(open.contains("open.csv") && open.contains("第2行")) << open.toStdString();
}

TEST(SheetFile, FilesThatCannotBeReadAreRefusedWithTheReason) {
    QTemporaryDir dir;
    const QByteArray ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0\0", 12);
    for (const char* name : {"old.xls", "locked.xlsx", "renamed.csv"}) {
        writeFile(dir.filePath(name), ole);
        const QString why = refusal(dir.filePath(name));
        EXPECT_TRUE(why.contains(name) && why.contains("请另存为 .xlsx 或 .csv")) << why.toStdString();
    }
    const QString whole = dir.filePath("whole.xlsx");
    writeNumberRows(whole, 3);
    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    writeFile(dir.filePath("cut.xlsx"), bytes.left(bytes.size() / 2));
    EXPECT_EQ(refusal(dir.filePath("cut.xlsx")), "文件已损坏或不是 Excel 工作簿: cut.xlsx");
    writeFile(dir.filePath("text.xlsx"), "编码,名称\n");
    EXPECT_EQ(refusal(dir.filePath("text.xlsx")), "文件已损坏或不是 Excel 工作簿: text.xlsx");
    writeFile(dir.filePath("book.ods"), bytes); // a zip under another name is read as a workbook
    EXPECT_EQ(ReadSheetFile(dir.filePath("book.ods")).rows.size(), 4u);
    writeFile(dir.filePath("notes.ods"), "编码,名称\n");
    EXPECT_EQ(refusal(dir.filePath("notes.ods")), "不支持的文件类型: notes.ods (请使用 .xlsx 或 .csv)");
    writeFile(dir.filePath("empty.csv"), "");
    EXPECT_EQ(refusal(dir.filePath("empty.csv")), "文件为空: empty.csv");
    EXPECT_EQ(refusal(dir.filePath("missing.xlsx")), "无法打开文件: missing.xlsx");

    // the rows below the header have a limit
    EXPECT_EQ(refusal(whole, {}, 3), "");
    EXPECT_TRUE(refusal(whole, {}, 2).contains("whole.xlsx"));
    const QString many = dir.filePath("many.xlsx");
    writeNumberRows(many, 100001);
    EXPECT_TRUE(refusal(many).contains("100000")) << refusal(many).toStdString();
    QByteArray csv = "数量\n";
    for (int i = 1; i <= 100001; ++i)
        csv += QByteArray::number(i) + '\n';
    writeFile(dir.filePath("many.csv"), csv);
    EXPECT_TRUE(refusal(dir.filePath("many.csv")).contains("100000"));
    EXPECT_EQ(refusal(dir.filePath("many.csv"), {}, 100001), "");
}

TEST(SheetFile, DateSerialsAndDateFormats) {
    EXPECT_EQ(SheetDateText(1, false), "1900-01-01");
    EXPECT_EQ(SheetDateText(59, false), "1900-02-28");
    EXPECT_EQ(SheetDateText(60, false), "1900-02-29");
    EXPECT_EQ(SheetDateText(61, false), "1900-03-01");
    EXPECT_EQ(SheetDateText(45356.25, false), "2024-03-05 06:00:00");
    EXPECT_EQ(SheetDateText(45356.9999999, false), "2024-03-06"); // rounded to the second
    EXPECT_EQ(SheetDateText(0, true), "1904-01-01");
    EXPECT_EQ(SheetDateText(-1, false), "");

    EXPECT_TRUE(IsDateFormat(14, {}));
    EXPECT_TRUE(IsDateFormat(47, {}));
    EXPECT_FALSE(IsDateFormat(49, {}));
    EXPECT_FALSE(IsDateFormat(2, {}));
    EXPECT_TRUE(IsDateFormat(164, "[$-804]yyyy\"年\"m\"月\""));
    EXPECT_TRUE(IsDateFormat(164, "[mm]:ss"));
    EXPECT_FALSE(IsDateFormat(164, "[Red][<=100]0.00;\"days\""));
    EXPECT_FALSE(IsDateFormat(164, "#,##0_);\\(#,##0\\)"));
    EXPECT_FALSE(IsDateFormat(164, "0\\m\\s"));
    EXPECT_FALSE(IsDateFormat(164, "General"));
}
