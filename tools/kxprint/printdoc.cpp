#include "printdoc.h"

#include "barcode.h"

#include <QDateTime>
#include <QDomDocument>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QUrlQuery>
#include <cmath>

namespace kx {

std::optional<Command> ParseCommand(const QString& text, QString* error) {
    const QString prefix = "orkPrint:";
    if (!text.startsWith(prefix, Qt::CaseInsensitive)) {
        *error = QStringLiteral("打印命令应以 orkPrint: 开头: %1").arg(text);
        return std::nullopt;
    }
    Command c;
    for (const QString& part : text.mid(prefix.size()).split('&', Qt::SkipEmptyParts)) {
        const int eq = part.indexOf('=');
        if (eq < 0) continue;
        const QString key = part.left(eq).trimmed().toLower();
        const QString value = part.mid(eq + 1).trimmed();
        if (key == "typeid")
            c.typeId = value;
        else if (key == "billcode")
            c.billCode = value;
        else if (key == "filename")
            c.fileName = value;
    }
    // names only: the files stay in their folders
    auto plainName = [](const QString& s) {
        return !s.isEmpty() && !s.contains('/') && !s.contains('\\') && s != "..";
    };
    if (!plainName(c.billCode) || !plainName(c.fileName)) {
        *error = QStringLiteral("打印命令缺少 BillCode 或 FileName, 或其中含有路径: %1").arg(text);
        return std::nullopt;
    }
    return c;
}

QString FormatValue(const QString& value, const QString& format) {
    if (format.isEmpty() || value.trimmed().isEmpty()) return value;
    if (format.contains('y')) {
        QDateTime t = QDateTime::fromString(value.trimmed(), Qt::ISODate);
        if (!t.isValid()) t = QDateTime::fromString(value.trimmed(), "yyyy-MM-dd HH:mm:ss");
        if (!t.isValid()) t = QDateTime(QDate::fromString(value.trimmed().left(10), "yyyy-MM-dd"), QTime());
        return t.isValid() ? t.toString(format) : value;
    }
    bool ok = false;
    const double v = value.trimmed().toDouble(&ok);
    if (!ok) return value;
    const int point = format.indexOf('.');
    const int decimals = point < 0 ? 0 : int(format.size() - point - 1);
    QString text = QString::number(v, 'f', decimals);
    if (format.contains('#') && text.contains('.')) { // "0.##": the decimals that are not zero
        while (text.endsWith('0'))
            text.chop(1);
        if (text.endsWith('.')) text.chop(1);
    }
    return text;
}

QStringList printFamilies() {
    // Latin from DejaVu, Chinese from Droid Sans Fallback: with these the
    // PDF's text reads back as written (Noto CJK's glyphs shared with the
    // radicals' code points come back as radicals, its digits not at all)
    return {"DejaVu Sans", "Droid Sans Fallback", "Noto Sans CJK SC"};
}

QPageLayout Document::pageLayout() const {
    if (labelColumns > 0)
        return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(6, 8, 6, 8),
                           QPageLayout::Millimeter);
    return QPageLayout(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

namespace {

int alignOf(const QString& s) {
    if (s.compare("Right", Qt::CaseInsensitive) == 0) return Qt::AlignRight;
    if (s.compare("Center", Qt::CaseInsensitive) == 0) return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

int decimalsOf(const QString& s) {
    const int point = s.indexOf('.');
    return point < 0 ? 0 : int(s.size() - point - 1);
}

} // namespace

bool Document::load(const QString& templateFile, const QString& dataFile, QString* error) {
    auto read = [&](const QString& path, QDomDocument& doc, const QString& what) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1不存在: %2").arg(what, path);
            return false;
        }
        if (!doc.setContent(&f) || doc.documentElement().tagName() != "Content") {
            *error = QStringLiteral("%1格式不正确: %2").arg(what, path);
            return false;
        }
        return true;
    };
    QDomDocument tpl, data;
    if (!read(templateFile, tpl, QStringLiteral("打印模板")) ||
        !read(dataFile, data, QStringLiteral("打印数据文件")))
        return false;
    const QDomElement layout = tpl.documentElement().firstChildElement("Layout");
    title = layout.attribute("Title");
    landscape = layout.attribute("Orientation").compare("Landscape", Qt::CaseInsensitive) == 0;
    fontSize = layout.attribute("FontSize", "9").toDouble();
    if (fontSize < 5 || fontSize > 30) fontSize = 9;
    totalCaption = layout.attribute("TotalCaption");
    labelColumns = std::clamp(layout.attribute("LabelColumns", "0").toInt(), 0, 10);
    labelRows = std::clamp(layout.attribute("LabelRows", "0").toInt(), 0, 20);

    // the head: the first record's fields, as the template orders them
    const QDomElement headCols =
        tpl.documentElement().firstChildElement("DataGroupHead").firstChildElement("DataCols");
    const QDomElement headRow = data.documentElement()
                                    .firstChildElement("DataGroupHead")
                                    .firstChildElement("DataRecord")
                                    .firstChildElement("DataRow");
    for (QDomElement c = headCols.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        Field f;
        f.caption = c.attribute("Caption", c.tagName());
        f.value = FormatValue(headRow.firstChildElement(c.tagName()).text(), c.attribute("Format"));
        f.footer = c.attribute("Place").compare("Footer", Qt::CaseInsensitive) == 0;
        f.span = c.attribute("Span", "1").toInt();
        fields.push_back(f);
    }

    const QDomElement cols =
        tpl.documentElement().firstChildElement("DataDetail").firstChildElement("DataCols");
    for (QDomElement c = cols.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        Column col;
        col.name = c.tagName();
        col.caption = c.attribute("Caption", c.tagName());
        col.width = std::max(1.0, c.attribute("Width", "10").toDouble());
        col.align = alignOf(c.attribute("Align"));
        col.sum = c.attribute("Total").compare("Sum", Qt::CaseInsensitive) == 0;
        col.format = c.attribute("Format");
        col.sumWhenSame = c.attribute("SumWhenSame");
        // numbers and codes keep one line
        col.noWrap =
            col.align == Qt::AlignRight || c.attribute("Wrap").compare("No", Qt::CaseInsensitive) == 0;
        columns.push_back(col);
    }
    // a data file may keep fewer columns than its template (a blind count sheet)
    const QDomElement kept =
        data.documentElement().firstChildElement("DataDetail").firstChildElement("DataCols");
    if (!kept.isNull())
        std::erase_if(columns, [&](const Column& c) { return kept.firstChildElement(c.name).isNull(); });
    if (columns.empty()) {
        *error = QStringLiteral("打印模板缺少 Content/DataDetail/DataCols: %1").arg(templateFile);
        return false;
    }
    std::vector<double> sums(columns.size(), 0);
    std::vector<int> decimals(columns.size(), 0);
    const QDomElement record =
        data.documentElement().firstChildElement("DataDetail").firstChildElement("DataRecord");
    for (QDomElement r = record.firstChildElement("DataRow"); !r.isNull();
         r = r.nextSiblingElement("DataRow")) {
        QStringList texts;
        for (size_t k = 0; k < columns.size(); ++k) {
            const QString raw = r.firstChildElement(columns[k].name).text();
            const QString shown = FormatValue(raw, columns[k].format);
            if (columns[k].sum) {
                bool ok = false;
                const double v = raw.trimmed().toDouble(&ok);
                if (ok) {
                    sums[k] += v;
                    decimals[k] = std::max(decimals[k], decimalsOf(shown));
                }
            }
            texts << shown;
        }
        rows.push_back(texts);
    }
    // a total over rows that differ in its condition column stays blank
    auto alike = [&](const QString& name) {
        size_t at = 0;
        while (at < columns.size() && columns[at].name != name)
            ++at;
        if (at == columns.size()) return false;
        for (const QStringList& r : rows)
            if (r.value(int(at)).trimmed() != rows.front().value(int(at)).trimmed()) return false;
        return true;
    };
    for (size_t k = 0; k < columns.size(); ++k) {
        const bool shown =
            columns[k].sum && (columns[k].sumWhenSame.isEmpty() || alike(columns[k].sumWhenSame));
        totals << (shown ? QString::number(sums[k], 'f', std::min(decimals[k], 6)) : QString());
    }
    return true;
}

namespace {

// What one page holds: a range of rows, and on the last page the totals and footer.
struct Page {
    int first = 0;
    int count = 0;
    bool last = false;
};

} // namespace

int Document::print(QPagedPaintDevice* device) const {
    QPainter p(device);
    const QRectF page = QRectF(QPointF(0, 0), QSizeF(device->width(), device->height()));
    const double mm = device->logicalDpiX() / 25.4;
    const double pad = 1.2 * mm;
    QFont body;
    body.setFamilies(printFamilies());
    body.setPointSizeF(fontSize);
    QFont bold = body;
    bold.setBold(true);
    QFont titleFont = body;
    titleFont.setPointSizeF(fontSize * 2);
    titleFont.setBold(true);
    QFont small = body;
    small.setPointSizeF(std::max(6.0, fontSize - 1));
    const QFontMetricsF fm(body, device);
    const QFontMetricsF fmBold(bold, device);
    const double line = fm.height();

    // the column edges: numbers and codes keep their one line, the other
    // columns share the rest as the template weighs them. No column is
    // narrower than its caption (the first one: nor than the total's caption),
    // and short texts such as units stay whole.
    std::vector<double> natural(columns.size(), 0);
    for (size_t k = 0; k < columns.size(); ++k) {
        double w = fmBold.horizontalAdvance(columns[k].caption);
        if (k == 0) w = std::max(w, fmBold.horizontalAdvance(totalCaption));
        w = std::max(w, fmBold.horizontalAdvance(k < size_t(totals.size()) ? totals[k] : QString()));
        for (const QStringList& r : rows)
            if (k < size_t(r.size()) && (columns[k].noWrap || r[k].size() <= 4))
                w = std::max(w, fm.horizontalAdvance(r[k]));
        natural[k] = w + 2 * pad + 1;
    }
    std::vector<double> width(columns.size(), 0);
    std::vector<bool> fixed(columns.size(), false);
    for (int round = 0; round < 3; ++round) {
        double fixedSum = 0, weightSum = 0;
        for (size_t k = 0; k < columns.size(); ++k)
            fixed[k] ? fixedSum += width[k] : weightSum += columns[k].width;
        const double rest = std::max(0.0, page.width() - fixedSum);
        bool changed = false;
        for (size_t k = 0; k < columns.size(); ++k) {
            if (fixed[k]) continue;
            width[k] = weightSum > 0 ? rest * columns[k].width / weightSum : 0;
            if (width[k] < natural[k]) {
                width[k] = natural[k];
                fixed[k] = true;
                changed = true;
            }
        }
        if (!changed) break;
    }
    double total = 0;
    for (double w : width)
        total += w;
    if (total > page.width()) // too much to keep: everything narrower alike
        for (double& w : width)
            w *= page.width() / total;
    std::vector<double> x{page.left()};
    for (double w : width)
        x.push_back(x.back() + w);
    auto cellRect = [&](size_t k, double top, double height) {
        return QRectF(x[k] + pad, top + pad, x[k + 1] - x[k] - 2 * pad, height - 2 * pad);
    };
    const int wrap = Qt::TextWrapAnywhere;
    auto rowHeight = [&](const QStringList& texts, const QFont& font, bool oneLine) {
        const QFontMetricsF m(font, device);
        double h = m.height();
        for (size_t k = 0; k < columns.size() && k < size_t(texts.size()); ++k)
            if (!columns[k].noWrap || !oneLine)
                h = std::max(h, m.boundingRect(cellRect(k, 0, 1000 * mm), wrap, texts[k]).height());
        return h + 2 * pad;
    };

    // the head fields: label and value pairs, three to a row unless a field
    // spans more; long values wrap
    struct Placed {
        const Field* field;
        QRectF rect;
    };
    auto layOutFields = [&](const std::vector<Field>& list, double top, std::vector<Placed>* placed) {
        const double slot = page.width() / 3;
        int used = 0;
        double rowTop = top, rowHeight = 0;
        std::vector<Placed> row;
        auto closeRow = [&] {
            for (Placed& pl : row)
                pl.rect.setHeight(rowHeight);
            if (placed) placed->insert(placed->end(), row.begin(), row.end());
            rowTop += rowHeight;
            row.clear();
            rowHeight = 0;
            used = 0;
        };
        for (const Field& f : list) {
            const int span = std::clamp(f.span, 1, 3);
            if (used + span > 3) closeRow();
            const QRectF r(page.left() + used * slot, rowTop, span * slot - 2 * mm, 0);
            const double labelWidth = fmBold.horizontalAdvance(f.caption + QStringLiteral(": "));
            const double valueHeight =
                fm.boundingRect(QRectF(0, 0, std::max(mm, r.width() - labelWidth), 1000 * mm), wrap, f.value)
                    .height();
            rowHeight = std::max(rowHeight, std::max(line, valueHeight) + pad);
            row.push_back({&f, r});
            used += span;
        }
        if (!row.empty()) closeRow();
        return rowTop - top;
    };
    std::vector<Field> head, footer;
    for (const Field& f : fields)
        (f.footer ? footer : head).push_back(f);
    const double titleH = QFontMetricsF(titleFont, device).height() + 3 * mm;
    const double headH = head.empty() ? line + pad : layOutFields(head, 0, nullptr);
    QStringList captions;
    for (const Column& c : columns)
        captions << c.caption;
    const double captionH = rowHeight(captions, bold, false);
    QStringList totalsRow = totals;
    if (!totalCaption.isEmpty() && !totalsRow.isEmpty() && totalsRow.front().isEmpty())
        totalsRow.front() = totalCaption;
    const double totalsH = std::any_of(columns.begin(), columns.end(), [](const Column& c) { return c.sum; })
                               ? rowHeight(totalsRow, bold, false)
                               : 0;
    const double footerH = footer.empty() ? 0 : layOutFields(footer, 0, nullptr) + 2 * mm;
    const double pageFootH = line + 2 * mm;
    const double body0 = page.top() + titleH + headH + 2 * mm + captionH;
    const double bodyEnd = page.bottom() - pageFootH;

    std::vector<double> heights;
    for (const QStringList& r : rows)
        heights.push_back(rowHeight(r, body, true));
    std::vector<Page> pages;
    Page current;
    double y = body0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (y + heights[i] > bodyEnd && current.count > 0) {
            pages.push_back(current);
            current = Page{int(i), 0, false};
            y = body0;
        }
        y += heights[i];
        ++current.count;
    }
    // the totals and the footer fields stay with the last rows
    if (y + totalsH + footerH > bodyEnd && current.count > 1) {
        double keep = y;
        int moved = 0;
        while (keep + totalsH + footerH > bodyEnd && current.count - moved > 1) {
            keep -= heights[current.first + current.count - 1 - moved];
            ++moved;
        }
        Page rest{current.first + current.count - moved, moved, true};
        current.count -= moved;
        pages.push_back(current);
        current = rest;
    }
    current.last = true;
    pages.push_back(current);

    const QString printed =
        QStringLiteral("打印时间: ") + QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm");
    auto drawFields = [&](const std::vector<Field>& list, double top) {
        std::vector<Placed> placed;
        layOutFields(list, top, &placed);
        for (const Placed& pl : placed) {
            const QString label = pl.field->caption + QStringLiteral(": ");
            const double lw = fmBold.horizontalAdvance(label);
            p.setFont(bold);
            p.drawText(QRectF(pl.rect.left(), pl.rect.top(), lw, line), Qt::AlignLeft | Qt::AlignVCenter,
                       label);
            p.setFont(body);
            const QRectF v = pl.rect.adjusted(lw, 0, 0, -pad);
            p.drawText(v, Qt::AlignLeft | Qt::AlignTop | wrap, pl.field->value);
            p.drawLine(QPointF(v.left(), pl.rect.bottom() - pad / 2),
                       QPointF(pl.rect.right(), pl.rect.bottom() - pad / 2));
        }
    };
    // body rows keep numbers and codes on one line; the caption and totals rows wrap
    auto drawRow = [&](const QStringList& texts, double top, double height, const QFont& font, bool shaded,
                       bool oneLine) {
        if (shaded) p.fillRect(QRectF(x.front(), top, x.back() - x.front(), height), QColor(235, 235, 235));
        p.setFont(font);
        const QFontMetricsF m(font, device);
        for (size_t k = 0; k < columns.size(); ++k) {
            p.drawRect(QRectF(x[k], top, x[k + 1] - x[k], height));
            if (k >= size_t(texts.size())) continue;
            const QRectF r = cellRect(k, top, height);
            if (columns[k].noWrap && oneLine)
                p.drawText(r, Qt::TextSingleLine | columns[k].align | Qt::AlignVCenter,
                           m.elidedText(texts[k], Qt::ElideRight, r.width()));
            else
                p.drawText(r, wrap | columns[k].align | Qt::AlignVCenter, texts[k]);
        }
    };

    for (size_t n = 0; n < pages.size(); ++n) {
        if (n > 0) device->newPage();
        p.setPen(QPen(Qt::black, 0.2 * mm));
        p.setFont(titleFont);
        p.drawText(QRectF(page.left(), page.top(), page.width(), titleH), Qt::AlignHCenter | Qt::AlignTop,
                   title);
        double top = page.top() + titleH;
        if (head.empty()) {
            p.setFont(body);
            p.drawText(QRectF(page.left(), top, page.width(), line), Qt::AlignLeft,
                       QStringLiteral("共 %1 条").arg(rows.size()));
        } else {
            drawFields(head, top);
        }
        top += headH + 2 * mm;
        drawRow(captions, top, captionH, bold, true, false);
        top += captionH;
        const Page& pg = pages[n];
        for (int i = pg.first; i < pg.first + pg.count; ++i) {
            drawRow(rows[i], top, heights[i], body, false, true);
            top += heights[i];
        }
        if (pg.last) {
            if (totalsH > 0) {
                drawRow(totalsRow, top, totalsH, bold, false, false);
                top += totalsH;
            }
            if (!footer.empty()) drawFields(footer, top + 2 * mm);
        }
        p.setFont(small);
        const QRectF foot(page.left(), page.bottom() - line, page.width(), line);
        p.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, printed);
        p.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter,
                   QStringLiteral("第 %1 页 共 %2 页").arg(n + 1).arg(pages.size()));
    }
    p.end();
    return int(pages.size());
}

int Document::printLabels(QPagedPaintDevice* device) const {
    QPainter p(device);
    const double mm = device->logicalDpiX() / 25.4;
    const int across = std::max(1, labelColumns), down = std::max(1, labelRows);
    const double w = device->width() / double(across), h = device->height() / double(down);
    auto field = [&](const QStringList& row, const char* name) {
        for (size_t k = 0; k < columns.size(); ++k)
            if (columns[k].name == QLatin1String(name)) return k < size_t(row.size()) ? row[k] : QString();
        return QString();
    };
    QFont name;
    name.setFamilies(printFamilies());
    name.setPointSizeF(9);
    name.setBold(true);
    QFont small = name;
    small.setBold(false);
    small.setPointSizeF(7.5);
    const int perPage = across * down;
    const int pages = std::max<int>(1, int((rows.size() + perPage - 1) / perPage));
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0 && i % perPage == 0) device->newPage();
        const int slot = int(i % perPage);
        const QRectF cell(slot % across * w, slot / across * h, w, h);
        const QRectF label = cell.adjusted(1.5 * mm, 1.5 * mm, -1.5 * mm, -1.5 * mm);
        p.setPen(QPen(QColor(170, 170, 170), 0.15 * mm, Qt::DashLine)); // where to cut
        p.drawRoundedRect(cell.adjusted(0.5 * mm, 0.5 * mm, -0.5 * mm, -0.5 * mm), 1.5 * mm, 1.5 * mm);
        p.setPen(Qt::black);
        const QStringList& row = rows[i];
        p.setFont(name);
        const double line = QFontMetricsF(name, device).height();
        p.drawText(
            QRectF(label.left(), label.top(), label.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(name, device).elidedText(field(row, "goodsName"), Qt::ElideRight, label.width()));
        p.setFont(small);
        const double smallLine = QFontMetricsF(small, device).height();
        const QString description = field(row, "goodsDesc");
        const QString unit = field(row, "unit");
        const QString price = field(row, "salePrice");
        QString second = description;
        if (!unit.isEmpty()) second += (second.isEmpty() ? "" : "  ") + QStringLiteral("单位: ") + unit;
        p.drawText(QRectF(label.left(), label.top() + line, label.width() * 0.62, smallLine),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetricsF(small, device).elidedText(second, Qt::ElideRight, label.width() * 0.62));
        if (!price.isEmpty()) {
            QFont priceFont = name;
            priceFont.setPointSizeF(10);
            p.setFont(priceFont);
            p.drawText(QRectF(label.left(), label.top() + line, label.width(), smallLine * 1.2),
                       Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("¥") + price);
            p.setFont(small);
        }
        // the symbol over the rest, its data below it
        const QString data = field(row, "barcode").trimmed();
        const double top = label.top() + line + smallLine * 1.3;
        const QRectF bars(label.left() + label.width() * 0.08, top, label.width() * 0.84,
                          label.bottom() - top - smallLine);
        QString error;
        if (data.isEmpty() || !DrawBarcode(p, bars, data, &error))
            p.drawText(bars, Qt::AlignCenter, data.isEmpty() ? QStringLiteral("(无条码)") : error);
        p.drawText(QRectF(label.left(), label.bottom() - smallLine, label.width(), smallLine),
                   Qt::AlignCenter, data);
    }
    p.end();
    return pages;
}

} // namespace kx
