#include "sheets/sheetfile.h"

#include "data/accesstext.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QStringDecoder>
#include <QTime>
#include <QXmlStreamReader>
#include <cmath>
#include <cstring>
#include <functional>
#include <iconv.h>
#include <zip.h>

SheetFileError::SheetFileError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

namespace {

constexpr int kMaxCellChars = 32767;
constexpr zip_uint64_t kMaxEntryBytes = 200ull * 1024 * 1024;
const char kOleMagic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

[[noreturn]] void fail(const QString& message) {
    throw SheetFileError(message);
}

QString corruptMessage(const QString& name) {
    return QStringLiteral("文件已损坏或不是 Excel 工作簿: %1").arg(name);
}

// What the reading of one file shares: its name for the messages, the rows so far and their limit.
struct Reading {
    QString name;
    int maxDataRows = 0;
    SheetData data;

    void addRow(SheetRow&& row) {
        if (row.cells.isEmpty() && row.cellErrors.empty()) return;
        if (static_cast<qint64>(data.rows.size()) > static_cast<qint64>(maxDataRows))
            fail(QStringLiteral("文件行数过多: %1 (标题行以下最多 %2 行, 请分成几个文件导入)")
                     .arg(name)
                     .arg(maxDataRows));
        data.rows.push_back(std::move(row));
    }
};

// Places a cell's text; an empty text only keeps its place when a later cell needs it.
void putCell(SheetRow& row, int col, QString text) {
    if (text.size() > kMaxCellChars) {
        int keep = kMaxCellChars;
        if (text.at(keep - 1).isHighSurrogate()) --keep;
        text.truncate(keep);
        row.cellErrors[col] = QStringLiteral("单元格超过 32767 个字符");
    }
    if (text.isEmpty()) return;
    while (row.cells.size() < col)
        row.cells.append(QString());
    if (row.cells.size() == col)
        row.cells.append(std::move(text));
    else
        row.cells[col] = std::move(text);
}

// ---- xlsx ----

// Excel writes characters XML cannot hold as _xHHHH_ (and a literal "_x" as _x005F_x).
QString decodeEscapes(const QString& s) {
    if (!s.contains(QLatin1String("_x"))) return s;
    QString out;
    out.reserve(s.size());
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < n;) {
        if (s[i] == u'_' && i + 6 < n && s[i + 1] == u'x' && s[i + 6] == u'_') {
            bool ok = false;
            const uint code = QStringView(s).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(static_cast<char16_t>(code));
                i += 7;
                continue;
            }
        }
        out += s[i++];
    }
    return out;
}

// An entry of the archive read as it is parsed.
class ZipEntryDevice : public QIODevice {
public:
    explicit ZipEntryDevice(zip_file_t* file) : m_file(file) { open(QIODevice::ReadOnly); }
    ~ZipEntryDevice() override {
        close();
        zip_fclose(m_file);
    }
    bool isSequential() const override { return true; }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const zip_int64_t n = zip_fread(m_file, data, static_cast<zip_uint64_t>(maxSize));
        if (n < 0) m_failed = true;
        return n < 0 ? -1 : n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file;
    bool m_failed = false;
};

class Workbook {
public:
    Workbook(const QString& path, const QString& name) : m_name(name) {
        int err = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
        if (!m_zip) {
            if (err == ZIP_ER_OPEN || err == ZIP_ER_READ || err == ZIP_ER_MEMORY)
                fail(QStringLiteral("无法打开文件: %1").arg(name));
            fail(corruptMessage(name));
        }
    }
    ~Workbook() { zip_discard(m_zip); }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    bool has(const QString& entry) const { return index(entry) >= 0; }

    // Parses an entry with `read`, which gets the reader at the document's start.
    // Refuses an entry too large to read.
    void checkSize(const QString& entry) const {
        const zip_int64_t i = index(entry);
        if (i < 0) fail(corruptMessage(m_name) + QStringLiteral(" (缺少 %1)").arg(entry));
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(i), 0, &st) != 0) fail(corruptMessage(m_name));
        if ((st.valid & ZIP_STAT_SIZE) && st.size > kMaxEntryBytes)
            fail(QStringLiteral("工作表过大: %1 (%2 解压后超过 200 MB)").arg(m_name, entry));
    }

    void parse(const QString& entry, const std::function<void(QXmlStreamReader&)>& read) {
        checkSize(entry);
        const zip_int64_t i = index(entry);
        zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(i), 0);
        if (!file) fail(corruptMessage(m_name));
        ZipEntryDevice device(file);
        QXmlStreamReader xml(&device);
        read(xml);
        if (xml.hasError() || device.failed()) {
            QString where;
            if (xml.lineNumber() > 0)
                where = QStringLiteral(" (%1 第 %2 行)").arg(entry).arg(xml.lineNumber());
            fail(corruptMessage(m_name) + where);
        }
    }

    [[noreturn]] void corrupt(const QXmlStreamReader& xml, const QString& entry) const {
        fail(corruptMessage(m_name) + QStringLiteral(" (%1 第 %2 行)").arg(entry).arg(xml.lineNumber()));
    }

private:
    zip_int64_t index(const QString& entry) const {
        return zip_name_locate(m_zip, entry.toUtf8().constData(), ZIP_FL_ENC_GUESS);
    }

    QString m_name;
    zip_t* m_zip = nullptr;
};

// The text of a string item (<si> or <is>): its own <t>, or its runs' <t>s
// one after another; phonetic runs are left out.
QString readRichText(QXmlStreamReader& xml) {
    QString out;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"t") {
            out += xml.readElementText();
        } else if (xml.name() == u"r") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"t")
                    out += xml.readElementText();
                else
                    xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return decodeEscapes(out);
}

// A part's path in the archive from a relationship's target, relative to xl/ or absolute.
QString partPath(const QString& target) {
    QString path = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
    // resolve "." and ".." steps
    QStringList out;
    for (const QString& step : path.split(u'/', Qt::SkipEmptyParts)) {
        if (step == u"..") {
            if (!out.isEmpty()) out.removeLast();
        } else if (step != u".") {
            out.append(step);
        }
    }
    return out.join(u'/');
}

// The column of a reference such as "C7" (A = 0); -1 when it has none.
int columnOf(QStringView ref) {
    int col = 0, letters = 0;
    for (QChar c : ref) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            col = col * 26 + (u - u'A' + 1);
        else if (u >= u'a' && u <= u'z')
            col = col * 26 + (u - u'a' + 1);
        else
            break;
        if (++letters > 3) return -1;
    }
    return letters == 0 ? -1 : col - 1;
}

struct SheetContext {
    Workbook& book;
    Reading& reading;
    QString entry;
    std::vector<QString> strings;
    std::vector<bool> dateStyles;
    bool date1904 = false;
    QString value;
};

// Whether a number's stored text is already the text it is shown as: up to 15
// significant digits, no exponent, no leading or trailing zeros to drop.
bool plainNumber(QStringView v) {
    qsizetype i = v.startsWith(u'-') ? 1 : 0;
    const qsizetype intStart = i;
    while (i < v.size() && v[i].isDigit() && v[i].unicode() < 128)
        ++i;
    const qsizetype intLen = i - intStart;
    if (intLen == 0 || intLen > 15 || (intLen > 1 && v[intStart] == u'0')) return false;
    const bool zeroInt = intLen == 1 && v[intStart] == u'0';
    if (i == v.size()) return !(zeroInt && intStart == 1); // not "-0"
    if (v[i] != u'.') return false;
    const qsizetype fracStart = ++i;
    while (i < v.size() && v[i].isDigit() && v[i].unicode() < 128)
        ++i;
    const qsizetype fracLen = i - fracStart;
    if (i != v.size() || fracLen == 0 || v.back() == u'0') return false;
    if (!zeroInt) return intLen + fracLen <= 15;
    qsizetype zeros = 0;
    while (v[fracStart + zeros] == u'0')
        ++zeros;
    return zeros <= 10 && fracLen - zeros <= 15;
}

enum class CellType { Number, Shared, Inline, FormulaText, Boolean, Error, Date };

CellType cellType(QStringView t) {
    if (t.isEmpty() || t == u"n") return CellType::Number;
    if (t == u"s") return CellType::Shared;
    if (t == u"inlineStr") return CellType::Inline;
    if (t == u"str") return CellType::FormulaText;
    if (t == u"b") return CellType::Boolean;
    if (t == u"e") return CellType::Error;
    if (t == u"d") return CellType::Date;
    return CellType::Number;
}

void readCell(QXmlStreamReader& xml, SheetContext& ctx, SheetRow& row, int& prevCol) {
    int col = prevCol + 1;
    CellType type;
    int style;
    {
        // (the reader's own attributes: valid until it reads on)
        const QXmlStreamAttributes& attrs = xml.attributes();
        const QStringView ref = attrs.value(QLatin1String("r"));
        if (!ref.isEmpty()) {
            col = columnOf(ref);
            if (col < 0) ctx.book.corrupt(xml, ctx.entry);
        }
        type = cellType(attrs.value(QLatin1String("t")));
        style = attrs.value(QLatin1String("s")).toInt();
    }
    prevCol = col;

    QString& v = ctx.value; // one buffer for every cell
    v.resize(0);
    QString inlineText;
    bool hasV = false, hasF = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"v") {
            hasV = true;
            QXmlStreamReader::TokenType token;
            while ((token = xml.readNext()) == QXmlStreamReader::Characters ||
                   token == QXmlStreamReader::Comment)
                if (token == QXmlStreamReader::Characters) v.append(xml.text());
            if (token != QXmlStreamReader::EndElement && !xml.hasError()) xml.raiseError();
        } else if (xml.name() == u"f") {
            hasF = true;
            xml.skipCurrentElement();
        } else if (xml.name() == u"is") {
            inlineText = readRichText(xml);
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) return;

    const bool textType = type == CellType::FormulaText || type == CellType::Inline;
    if (hasF && (!hasV || (v.isEmpty() && !textType))) {
        row.cellErrors[col] = QStringLiteral("公式没有计算结果");
        return;
    }
    QString text;
    switch (type) {
    case CellType::Shared: {
        bool ok = false;
        const qsizetype i = QStringView(v).trimmed().toLongLong(&ok);
        if (!ok || i < 0 || i >= static_cast<qsizetype>(ctx.strings.size())) ctx.book.corrupt(xml, ctx.entry);
        text = ctx.strings[static_cast<std::size_t>(i)];
        break;
    }
    case CellType::Inline:
        text = hasV ? decodeEscapes(v) : inlineText;
        break;
    case CellType::FormulaText:
        text = decodeEscapes(v);
        break;
    case CellType::Boolean: {
        const QStringView b = QStringView(v).trimmed();
        if (!b.isEmpty()) text = b == u"1" || b.compare(u"true", Qt::CaseInsensitive) == 0 ? "TRUE" : "FALSE";
        break;
    }
    case CellType::Error:
        row.cellErrors[col] = QStringLiteral("单元格为错误值 %1").arg(v.trimmed());
        return;
    case CellType::Date: {
        const QDateTime dt = QDateTime::fromString(v.trimmed(), Qt::ISODateWithMs);
        if (!dt.isValid())
            text = v;
        else
            text = dt.time() == QTime(0, 0) ? dt.toString("yyyy-MM-dd") : dt.toString("yyyy-MM-dd HH:mm:ss");
        break;
    }
    case CellType::Number: {
        if (v.isEmpty()) break;
        const bool dateStyle = style > 0 && static_cast<std::size_t>(style) < ctx.dateStyles.size() &&
                               ctx.dateStyles[static_cast<std::size_t>(style)];
        if (!dateStyle && plainNumber(v)) {
            text = QString(v.constData(), v.size());
            break;
        }
        bool ok = false;
        const double d = QStringView(v).trimmed().toDouble(&ok);
        if (!ok) {
            text = QString(v.constData(), v.size());
        } else {
            if (dateStyle) text = SheetDateText(d, ctx.date1904);
            if (text.isEmpty()) text = acc::numberQText(d);
        }
        break;
    }
    }
    putCell(row, col, std::move(text));
}

void readSheetData(QXmlStreamReader& xml, SheetContext& ctx) {
    int prevRow = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"sheetData") return;
        if (token != QXmlStreamReader::StartElement || xml.name() != u"row") continue;
        const int r = xml.attributes().value(QLatin1String("r")).toInt();
        SheetRow row;
        row.line = r > 0 ? r : prevRow + 1;
        prevRow = row.line;
        int prevCol = -1;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"c")
                readCell(xml, ctx, row, prevCol);
            else
                xml.skipCurrentElement();
        }
        if (xml.hasError()) return;
        ctx.reading.addRow(std::move(row));
    }
}

struct SheetEntry {
    QString name;
    bool hidden = false;
    QString relId;
};

void readXlsx(const QString& path, const QString& sheetName, Reading& reading) {
    Workbook book(path, reading.name);
    const QString workbookEntry = QStringLiteral("xl/workbook.xml");
    if (!book.has(workbookEntry)) fail(corruptMessage(reading.name));

    std::vector<SheetEntry> sheets;
    bool date1904 = false;
    book.parse(workbookEntry, [&](QXmlStreamReader& xml) {
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            const QXmlStreamAttributes attrs = xml.attributes();
            if (xml.name() == u"workbookPr") {
                const QStringView v = attrs.value(QLatin1String("date1904"));
                date1904 = v == u"1" || v == u"true";
            } else if (xml.name() == u"sheet") {
                SheetEntry s;
                s.name = attrs.value(QLatin1String("name")).toString();
                const QStringView state = attrs.value(QLatin1String("state"));
                s.hidden = state == u"hidden" || state == u"veryHidden";
                for (const QXmlStreamAttribute& a : attrs)
                    if (a.name() == u"id" && !a.namespaceUri().isEmpty()) s.relId = a.value().toString();
                sheets.push_back(s);
            }
        }
    });

    // relationship id -> part, and the parts found by their type
    QHash<QString, QString> parts;
    QString sharedStringsEntry = QStringLiteral("xl/sharedStrings.xml");
    QString stylesEntry = QStringLiteral("xl/styles.xml");
    const QString relsEntry = QStringLiteral("xl/_rels/workbook.xml.rels");
    if (!book.has(relsEntry))
        fail(corruptMessage(reading.name) + QStringLiteral(" (缺少 %1)").arg(relsEntry));
    book.parse(relsEntry, [&](QXmlStreamReader& xml) {
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship") continue;
            const QXmlStreamAttributes attrs = xml.attributes();
            if (attrs.value(QLatin1String("TargetMode")) == u"External") continue;
            const QString part = partPath(attrs.value(QLatin1String("Target")).toString());
            parts.insert(attrs.value(QLatin1String("Id")).toString(), part);
            const QStringView type = attrs.value(QLatin1String("Type"));
            if (type.endsWith(u"/sharedStrings"))
                sharedStringsEntry = part;
            else if (type.endsWith(u"/styles"))
                stylesEntry = part;
        }
    });

    const SheetEntry* chosen = nullptr;
    if (!sheetName.isEmpty()) {
        for (const SheetEntry& s : sheets)
            if (s.name == sheetName) chosen = &s;
        for (const SheetEntry& s : sheets)
            if (!chosen && s.name.compare(sheetName, Qt::CaseInsensitive) == 0) chosen = &s;
        if (!chosen) {
            QStringList names;
            for (const SheetEntry& s : sheets)
                names.append(QStringLiteral("“%1”").arg(s.name));
            fail(QStringLiteral("工作簿 %1 中没有工作表“%2”; 其中的工作表: %3")
                     .arg(reading.name, sheetName, names.join(QStringLiteral("、"))));
        }
    } else {
        for (const SheetEntry& s : sheets)
            if (!chosen && !s.hidden) chosen = &s;
        if (!chosen) fail(QStringLiteral("工作簿 %1 中没有可见的工作表").arg(reading.name));
    }
    const QString sheetEntry = parts.value(chosen->relId);
    if (sheetEntry.isEmpty() || !book.has(sheetEntry))
        fail(corruptMessage(reading.name) + QStringLiteral(" (找不到工作表“%1”)").arg(chosen->name));

    book.checkSize(sheetEntry);
    if (book.has(sharedStringsEntry)) book.checkSize(sharedStringsEntry);
    SheetContext ctx{book, reading, sheetEntry, {}, {}, date1904, {}};

    if (book.has(stylesEntry)) {
        QHash<int, QString> formats;
        std::vector<int> xfFormats;
        book.parse(stylesEntry, [&](QXmlStreamReader& xml) {
            bool inCellXfs = false;
            while (!xml.atEnd()) {
                const auto token = xml.readNext();
                if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs") inCellXfs = false;
                if (token != QXmlStreamReader::StartElement) continue;
                const QXmlStreamAttributes attrs = xml.attributes();
                if (xml.name() == u"numFmt")
                    formats.insert(attrs.value(QLatin1String("numFmtId")).toInt(),
                                   attrs.value(QLatin1String("formatCode")).toString());
                else if (xml.name() == u"cellXfs")
                    inCellXfs = true;
                else if (inCellXfs && xml.name() == u"xf")
                    xfFormats.push_back(attrs.value(QLatin1String("numFmtId")).toInt());
            }
        });
        for (int id : xfFormats)
            ctx.dateStyles.push_back(IsDateFormat(id, formats.value(id)));
    }

    if (book.has(sharedStringsEntry)) {
        book.parse(sharedStringsEntry, [&](QXmlStreamReader& xml) {
            while (!xml.atEnd()) {
                if (xml.readNext() != QXmlStreamReader::StartElement) continue;
                if (xml.name() == u"sst") {
                    const int count = xml.attributes().value(QLatin1String("uniqueCount")).toInt();
                    if (count > 0) ctx.strings.reserve(static_cast<std::size_t>(std::min(count, 1 << 20)));
                } else if (xml.name() == u"si") {
                    ctx.strings.push_back(readRichText(xml));
                }
            }
        });
    }

    book.parse(sheetEntry, [&](QXmlStreamReader& xml) { readSheetData(xml, ctx); });
}

// ---- csv ----

enum class CsvEncoding { Utf8, Utf8Marked, Gb18030 };

// Lines a stretch of a record spans beyond its first: CRLF, LF and CR each end one.
int lineBreaks(const char* a, const char* b) {
    int n = 0;
    for (const char* p = a; p < b; ++p) {
        if (*p == '\n')
            ++n;
        else if (*p == '\r' && (p + 1 == b || p[1] != '\n'))
            ++n;
    }
    return n;
}

// The offset of the first byte that is not well-formed UTF-8, or -1.
qsizetype invalidUtf8At(const QByteArray& bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return i;
        }
        if (i + len > n) return i;
        if (s[i + 1] < lo || s[i + 1] > hi) return i;
        for (int k = 2; k < len; ++k)
            if (s[i + k] < 0x80 || s[i + k] > 0xBF) return i;
        i += len;
    }
    return -1;
}

bool isAscii(const QByteArray& bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

class Gb18030Decoder {
public:
    Gb18030Decoder() : m_cd(iconv_open("UTF-8", "GB18030")) {}
    ~Gb18030Decoder() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    bool ready() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // The text, or the offset of the first byte that does not decode.
    bool decode(const QByteArray& bytes, QString& text, qsizetype& badAt) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        m_out.resize(bytes.size() * 2 + 4);
        char* in = const_cast<char*>(bytes.constData());
        size_t inLeft = static_cast<size_t>(bytes.size());
        char* out = m_out.data();
        size_t outLeft = static_cast<size_t>(m_out.size());
        if (iconv(m_cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
            badAt = in - bytes.constData();
            return false;
        }
        text = QString::fromUtf8(m_out.constData(), out - m_out.constData());
        return true;
    }

private:
    iconv_t m_cd;
    QByteArray m_out;
};

[[noreturn]] void failCharacter(const Reading& reading, int line) {
    fail(QStringLiteral("%1: 第%2行: 无法识别的字符 (文件不是 UTF-8, 也不是 GB18030 编码)")
             .arg(reading.name)
             .arg(line));
}

// Reads the records; false when the file turns out not to be UTF-8 (read it again as GB18030).
bool readCsvRecords(const char* s, const char* end, CsvEncoding encoding, Reading& reading) {
    reading.data.rows.clear();
    Gb18030Decoder gb;
    if (encoding == CsvEncoding::Gb18030 && !gb.ready())
        fail(QStringLiteral("无法读取 GB18030 编码: %1").arg(reading.name));
    int line = 1;
    QByteArray field;
    while (s < end) {
        SheetRow row;
        row.line = line;
        for (int col = 0;; ++col) {
            field.clear();
            const int fieldLine = line;
            bool quoted = false;
            if (*s == '"') {
                quoted = true;
                ++s;
                for (;;) {
                    const char* q =
                        static_cast<const char*>(std::memchr(s, '"', static_cast<size_t>(end - s)));
                    if (!q)
                        fail(QStringLiteral("%1: 第%2行: 引号没有结束 (缺少与之配对的 \")")
                                 .arg(reading.name)
                                 .arg(fieldLine));
                    field.append(s, q - s);
                    line += lineBreaks(s, q);
                    s = q + 1;
                    if (s < end && *s == '"') {
                        field.append('"');
                        ++s;
                    } else {
                        break;
                    }
                }
            }
            // an unquoted field, or what follows a closing quote, up to the separator or the line's end
            const char* t = s;
            while (t < end && *t != ',' && *t != '\n' && *t != '\r')
                ++t;
            field.append(s, t - s);
            s = t;

            QString text;
            if (isAscii(field)) {
                text = QString::fromLatin1(field);
            } else if (encoding == CsvEncoding::Gb18030) {
                qsizetype badAt = 0;
                // quotes hold no line ends, so the field's own line ends place the byte
                if (!gb.decode(field, text, badAt))
                    failCharacter(reading,
                                  fieldLine + lineBreaks(field.constData(), field.constData() + badAt));
            } else {
                const qsizetype badAt = invalidUtf8At(field);
                if (badAt >= 0) {
                    if (encoding == CsvEncoding::Utf8) return false;
                    failCharacter(reading,
                                  fieldLine + lineBreaks(field.constData(), field.constData() + badAt));
                }
                text = QString::fromUtf8(field);
            }
            if (quoted && text.contains(u'\r')) text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            putCell(row, col, std::move(text));

            if (s >= end) break;
            if (*s == ',') {
                ++s;
                if (s < end) continue;
                break;
            }
            if (*s == '\r' && s + 1 < end && s[1] == '\n') ++s;
            ++s;
            ++line;
            break;
        }
        reading.addRow(std::move(row));
    }
    return true;
}

void readCsv(QFile& file, Reading& reading) {
    const qint64 size = file.size();
    QByteArray buffer;
    const char* begin = reinterpret_cast<const char*>(file.map(0, size));
    if (!begin) {
        buffer = file.readAll();
        if (buffer.size() != size) fail(QStringLiteral("无法打开文件: %1").arg(reading.name));
        begin = buffer.constData();
    }
    const char* end = begin + size;
    const auto starts = [&](const char* bom, int n) { return size >= n && std::memcmp(begin, bom, n) == 0; };

    QByteArray converted;
    CsvEncoding encoding = CsvEncoding::Utf8;
    if (starts("\xEF\xBB\xBF", 3)) {
        begin += 3;
        encoding = CsvEncoding::Utf8Marked;
    } else if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
        // UTF-16 goes over to UTF-8 whole; the separators stay single bytes there
        QStringDecoder decoder(starts("\xFF\xFE", 2) ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        converted = QString(decoder(QByteArrayView(begin + 2, size - 2))).toUtf8();
        begin = converted.constData();
        end = begin + converted.size();
        encoding = CsvEncoding::Utf8Marked;
    }
    if (!readCsvRecords(begin, end, encoding, reading))
        readCsvRecords(begin, end, CsvEncoding::Gb18030, reading);
}

} // namespace

bool IsDateFormat(int numFmtId, const QString& formatCode) {
    if (formatCode.isEmpty())
        return (numFmtId >= 14 && numFmtId <= 22) || (numFmtId >= 27 && numFmtId <= 36) ||
               (numFmtId >= 45 && numFmtId <= 47) || (numFmtId >= 50 && numFmtId <= 58);
    const qsizetype n = formatCode.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = formatCode[i];
        if (c == u'"') {
            const qsizetype close = formatCode.indexOf(u'"', i + 1);
            if (close < 0) return false;
            i = close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // an escaped, padding or fill character
        } else if (c == u'[') {
            const qsizetype close = formatCode.indexOf(u']', i + 1);
            if (close < 0) return false;
            const QString inner = formatCode.mid(i + 1, close - i - 1).toLower();
            // [h], [mm], [ss]: elapsed time; anything else (colours, conditions, locales) is not a date
            if (!inner.isEmpty() && std::all_of(inner.begin(), inner.end(),
                                                [](QChar k) { return k == u'h' || k == u'm' || k == u's'; }))
                return true;
            i = close;
        } else {
            switch (c.toLower().unicode()) {
            case u'd':
            case u'm':
            case u'y':
            case u'h':
            case u's':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

QString SheetDateText(double serial, bool date1904) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466) return {};
    const qint64 seconds = std::llround(serial * 86400.0);
    const qint64 days = seconds / 86400;
    const int time = static_cast<int>(seconds % 86400);
    QString text;
    if (date1904) {
        text = QDate(1904, 1, 1).addDays(days).toString("yyyy-MM-dd");
    } else if (days == 60) {
        text = QStringLiteral("1900-02-29"); // the day Lotus counted and Excel keeps
    } else {
        text = (days < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30)).addDays(days).toString("yyyy-MM-dd");
    }
    if (text.size() != 10) return {};
    if (time != 0) text += u' ' + QTime(0, 0).addSecs(time).toString("HH:mm:ss");
    return text;
}

SheetData ReadSheetFile(const QString& path, const QString& sheetName, int maxDataRows) {
    const QFileInfo info(path);
    Reading reading;
    reading.name = info.fileName();
    reading.maxDataRows = maxDataRows;

    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("无法打开文件: %1").arg(reading.name));
    if (file.size() == 0) fail(QStringLiteral("文件为空: %1").arg(reading.name));
    const QByteArray head = file.read(8);
    if (head == QByteArray(kOleMagic, 8))
        fail(
            QStringLiteral(
                "无法读取 %1: 这是旧版 Excel 文件 (.xls) 或设了密码的工作簿, 请另存为 .xlsx 或 .csv 后再导入")
                .arg(reading.name));
    file.seek(0);

    const QString ext = info.suffix().toLower();
    const bool zip = head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06");
    if (ext == u"csv" || ext == u"txt") {
        readCsv(file, reading);
    } else if (ext == u"xlsx" || ext == u"xlsm" || zip) {
        file.close();
        readXlsx(path, sheetName, reading);
    } else {
        fail(QStringLiteral("不支持的文件类型: %1 (请使用 .xlsx 或 .csv)").arg(reading.name));
    }
    return std::move(reading.data);
}
