#include "accesstext.h"

#include "sqlvalue.h"

#include <QHash>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace acc {

namespace {

// The 15 significant digits of a positive finite number and the decimal
// exponent of the first one (value = d.ddd... x 10^exp).
void significantDigits(double a, std::string& digits, int& exp) {
    char buf[40];
    // as printf's "%.14e" writes it, correctly rounded, without its cost
    const auto end = std::to_chars(buf, buf + sizeof buf - 1, a, std::chars_format::scientific, 14).ptr;
    *end = '\0';
    digits.assign(1, buf[0]);
    digits.append(buf + 2, 14);
    exp = std::atoi(std::strchr(buf, 'e') + 1);
}

// |value| rounded to `decimals` places, half away from zero on its
// 15-digit decimal form. intDigits has no leading zeros (empty for 0).
void roundDecimal(double a, int decimals, std::string& intDigits, std::string& fracDigits) {
    std::string all;
    int pointPos = 0;
    if (a != 0 && std::isfinite(a)) {
        std::string digits;
        int exp = 0;
        significantDigits(a, digits, exp);
        pointPos = exp + 1;
        if (pointPos <= 0) {
            all.assign(static_cast<std::size_t>(-pointPos), '0');
            pointPos = 0;
        }
        all += digits;
        if (static_cast<int>(all.size()) < pointPos) all.append(pointPos - all.size(), '0');
    }
    const int keep = pointPos + decimals;
    if (static_cast<int>(all.size()) > keep) {
        const bool up = all[keep] >= '5';
        all.resize(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && all[i] == '9')
                all[i--] = '0';
            if (i < 0) {
                all.insert(all.begin(), '1');
                ++pointPos;
            } else {
                ++all[i];
            }
        }
    } else {
        all.append(keep - all.size(), '0');
    }
    intDigits = all.substr(0, pointPos);
    fracDigits = all.substr(pointPos);
    const auto nz = intDigits.find_first_not_of('0');
    intDigits = nz == std::string::npos ? std::string() : intDigits.substr(nz);
}

bool hasNonZeroDigit(const std::string& s) {
    return s.find_first_of("123456789") != std::string::npos;
}

QDateTime serialToDate(double serial) {
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    return base.addSecs(static_cast<qint64>(std::llround(serial * 86400.0)));
}

double dateToSerial(const QDateTime& dt) {
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    return static_cast<double>(base.secsTo(dt)) / 86400.0;
}

bool isNumberPattern(const QString& p) {
    bool quoted = false;
    for (int i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\\')
            ++i;
        else if (c == '0' || c == '#')
            return true;
    }
    return false;
}

QStringList splitSections(const QString& p) {
    QStringList out;
    QString cur;
    bool quoted = false;
    for (int i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '\\' && i + 1 < p.size()) {
            cur += c;
            cur += p[++i];
            continue;
        }
        if (!quoted && c == ';') {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

struct NumTok {
    enum Kind { Zero, Hash, Point, Comma, Percent, Lit } kind;
    QString lit;
    bool isDigit() const { return kind == Zero || kind == Hash; }
};

std::vector<NumTok> tokenizeNumberSection(const QString& s) {
    std::vector<NumTok> out;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == '\\' && i + 1 < s.size()) {
            out.push_back({NumTok::Lit, QString(s[++i])});
        } else if (c == '"') {
            const int end = s.indexOf('"', i + 1);
            const int stop = end < 0 ? s.size() : end;
            out.push_back({NumTok::Lit, s.mid(i + 1, stop - i - 1)});
            i = stop;
        } else if (c == '0') {
            out.push_back({NumTok::Zero, {}});
        } else if (c == '#') {
            out.push_back({NumTok::Hash, {}});
        } else if (c == '.') {
            out.push_back({NumTok::Point, {}});
        } else if (c == ',') {
            out.push_back({NumTok::Comma, {}});
        } else if (c == '%') {
            out.push_back({NumTok::Percent, QStringLiteral("%")});
        } else {
            out.push_back({NumTok::Lit, QString(c)});
        }
    }
    return out;
}

QString withGrouping(const std::string& digits) {
    QString out;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += QChar(digits[i]);
    }
    return out;
}

QString pad(int v, int width) {
    return QString::number(v).rightJustified(width, '0');
}

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday"};

} // namespace

std::string numberText(double v) {
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v < 0 ? "-Inf" : "Inf";
    if (v == 0) return "0";
    std::string digits;
    int exp = 0;
    significantDigits(std::fabs(v), digits, exp);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out;
    if (v < 0) out += '-';
    if (exp >= 15 || exp < -11) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1, std::string::npos);
        }
        out += 'E';
        out += exp >= 0 ? '+' : '-';
        out += std::to_string(std::abs(exp));
    } else if (exp >= 0) {
        const std::size_t intLen = static_cast<std::size_t>(exp) + 1;
        if (digits.size() <= intLen) {
            out += digits;
            out.append(intLen - digits.size(), '0');
        } else {
            out.append(digits, 0, intLen);
            out += '.';
            out.append(digits, intLen, std::string::npos);
        }
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-exp - 1), '0');
        out += digits;
    }
    return out;
}

QString numberQText(double value) {
    return QString::fromLatin1(numberText(value));
}

bool isIntegerType(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

QString valueText(const QVariant& v) {
    if (v.isNull()) return {};
    if (isIntegerType(v.typeId())) return QString::number(v.toLongLong());
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return numberQText(v.toDouble());
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString("yyyy-MM-dd") : dt.toString("yyyy-MM-dd hh:mm:ss");
    }
    case QMetaType::QDate:
        return v.toDate().toString("yyyy-MM-dd");
    default:
        break;
    }
    if (v.userType() == qMetaTypeId<SqlRaw>()) return v.value<SqlRaw>().text;
    if (v.userType() == qMetaTypeId<SqlContains>()) return v.value<SqlContains>().text;
    return v.toString();
}

double val(const char* text, std::size_t length) {
    std::string s;
    s.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c != ' ' && c != '\t' && c != '\n') s += c;
    }
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        double v = 0;
        for (std::size_t i = 2; i < s.size(); ++i) {
            const char c = s[i];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                break;
            if (d >= base) break;
            v = v * base + d;
        }
        return v;
    }
    std::size_t i = 0;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        num += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        num += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            num += s[i++];
            digits = true;
        }
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string e = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) e += s[j++];
        if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
                e += s[j++];
            num += e;
        }
    }
    return std::strtod(num.c_str(), nullptr);
}

double val(const QString& text) {
    const QByteArray b = text.toUtf8();
    return val(b.constData(), static_cast<std::size_t>(b.size()));
}

std::optional<double> numericValue(const QString& text) {
    QString t = text.trimmed();
    t.remove(',');
    if (t.isEmpty()) return std::nullopt;
    bool digit = false;
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit() && c.unicode() < 128)
            digit = true;
        else if (c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-')
            return std::nullopt;
    }
    if (!digit) return std::nullopt;
    const QByteArray b = t.toLatin1();
    char* end = nullptr;
    const double v = std::strtod(b.constData(), &end);
    if (end != b.constData() + b.size()) return std::nullopt;
    return v;
}

std::optional<QDateTime> parseDateText(const QString& text) {
    const QString t = text.trimmed();
    int pos = 0;
    auto number = [&](int maxDigits, int& out) {
        int n = 0, v = 0;
        while (pos < t.size() && n < maxDigits && t[pos].isDigit() && t[pos].unicode() < 128) {
            v = v * 10 + t[pos].digitValue();
            ++pos;
            ++n;
        }
        out = v;
        return n > 0;
    };
    auto sep = [&](const char* chars) {
        if (pos < t.size() && std::strchr(chars, t[pos].toLatin1()) && t[pos].unicode() < 128) {
            ++pos;
            return true;
        }
        return false;
    };
    int y, m, d, hh = 0, mm = 0, ss = 0;
    if (!number(4, y) || pos != 4 || !sep("-/") || !number(2, m) || !sep("-/") || !number(2, d))
        return std::nullopt;
    if (pos < t.size()) {
        if (!sep(" T") || !number(2, hh) || !sep(":") || !number(2, mm)) return std::nullopt;
        if (pos < t.size() && t[pos] == ':') {
            if (!sep(":") || !number(2, ss)) return std::nullopt;
            if (pos < t.size() && t[pos] == '.') {
                ++pos;
                int frac;
                number(9, frac);
            }
        }
        // a 12-hour time: 1:00 PM is 13:00, 12:30 AM is 00:30
        const QString marker = t.mid(pos).trimmed().toUpper();
        if (marker == QLatin1String("AM") || marker == QLatin1String("PM")) {
            if (hh < 1 || hh > 12) return std::nullopt;
            hh = hh % 12 + (marker == QLatin1String("PM") ? 12 : 0);
            pos = t.size();
        }
        if (pos != t.size()) return std::nullopt;
    }
    const QDate date(y, m, d);
    const QTime time(hh, mm, ss);
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return QDateTime(date, time);
}

namespace {

// A section of a number pattern, read once.
struct NumberSection {
    std::vector<NumTok> intClean, fracToks;
    bool empty = false, point = false, percent = false, grouping = false, innerLiteral = false;
    int intZeros = 0, fracPh = 0, minDec = 0, first = -1, last = -1;
};

NumberSection parseNumberSection(const QString& sec) {
    NumberSection n;
    n.empty = sec.isEmpty();
    std::vector<NumTok> intToks;
    for (const auto& t : tokenizeNumberSection(sec)) {
        if (t.kind == NumTok::Percent) n.percent = true;
        if (t.kind == NumTok::Point && !n.point) {
            n.point = true;
            continue;
        }
        (n.point ? n.fracToks : intToks).push_back(t);
    }
    // A comma with digit placeholders on both sides asks for thousands separators.
    for (std::size_t i = 0; i < intToks.size(); ++i) {
        if (intToks[i].kind == NumTok::Comma) {
            bool before = false, after = false;
            for (std::size_t j = 0; j < i; ++j)
                before |= intToks[j].isDigit();
            for (std::size_t j = i + 1; j < intToks.size(); ++j)
                after |= intToks[j].isDigit();
            if (before && after) n.grouping = true;
            continue;
        }
        n.intClean.push_back(intToks[i]);
    }
    for (const auto& t : n.intClean)
        n.intZeros += t.kind == NumTok::Zero;
    for (const auto& t : n.fracToks) {
        if (t.isDigit()) ++n.fracPh;
        if (t.kind == NumTok::Zero) n.minDec = n.fracPh;
    }
    for (int i = 0; i < static_cast<int>(n.intClean.size()); ++i)
        if (n.intClean[i].isDigit()) {
            if (n.first < 0) n.first = i;
            n.last = i;
        }
    for (int i = n.first + 1; n.first >= 0 && i < n.last; ++i)
        n.innerLiteral |= !n.intClean[i].isDigit();
    return n;
}

// The sections of a pattern, each read once: reports format every row with the same few.
const std::vector<NumberSection>& numberPattern(const QString& pattern) {
    thread_local QHash<QString, std::vector<NumberSection>> cache;
    auto it = cache.constFind(pattern);
    if (it != cache.cend()) return *it;
    if (cache.size() > 256) cache.clear();
    std::vector<NumberSection> sections;
    for (const QString& sec : splitSections(pattern))
        sections.push_back(parseNumberSection(sec));
    return *cache.insert(pattern, std::move(sections));
}

} // namespace

QString formatNumber(double v, const QString& pattern) {
    const std::vector<NumberSection>& sections = numberPattern(pattern);
    auto given = [&](std::size_t k) { return sections.size() > k && !sections[k].empty; };
    const NumberSection* sec = &sections[0];
    double a = v;
    bool minus = false;
    if (v < 0 && given(1)) {
        sec = &sections[1];
        a = -v;
    } else if (v == 0 && given(2)) {
        sec = &sections[2];
        a = 0;
    } else if (v < 0) {
        minus = true;
        a = -v;
    }
    const std::vector<NumTok>&intClean = sec->intClean, &fracToks = sec->fracToks;
    const bool point = sec->point, grouping = sec->grouping, innerLiteral = sec->innerLiteral;
    const int intZeros = sec->intZeros, fracPh = sec->fracPh, minDec = sec->minDec, first = sec->first,
              last = sec->last;
    if (sec->percent) a *= 100;

    std::string I, F;
    roundDecimal(a, fracPh, I, F);
    const bool nonZero = hasNonZeroDigit(I) || hasNonZeroDigit(F);
    while (static_cast<int>(F.size()) > minDec && F.back() == '0')
        F.pop_back();
    if (static_cast<int>(I.size()) < intZeros) I.insert(0, intZeros - I.size(), '0');

    QString out;
    if (first < 0) {
        for (const auto& t : intClean)
            out += t.lit;
        out += QString::fromLatin1(I);
    } else if (grouping || !innerLiteral) {
        for (int i = 0; i < first; ++i)
            out += intClean[i].lit;
        out += grouping ? withGrouping(I) : QString::fromLatin1(I);
        for (int i = last + 1; i < static_cast<int>(intClean.size()); ++i)
            out += intClean[i].lit;
    } else {
        // Literals between placeholders ("000-0000"): fill digits from the right.
        QString part;
        std::string rest = I;
        for (int i = static_cast<int>(intClean.size()) - 1; i >= 0; --i) {
            const auto& t = intClean[i];
            if (!t.isDigit()) {
                part.prepend(t.lit);
            } else if (i == first) {
                part.prepend(QString::fromLatin1(rest));
                rest.clear();
            } else if (!rest.empty()) {
                part.prepend(QChar(rest.back()));
                rest.pop_back();
            }
        }
        out += part;
    }
    if (point) out += '.';
    std::size_t j = 0;
    for (const auto& t : fracToks) {
        if (t.isDigit()) {
            if (j < F.size()) out += QChar(F[j++]);
        } else if (t.kind != NumTok::Comma) {
            out += t.lit;
        }
    }
    if (minus && nonZero) out.prepend('-');
    return out;
}

QString formatDate(const QDateTime& dt, const QString& pattern) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    const QString lower = pattern.toLower();
    const bool twelve = lower.contains("am/pm") || lower.contains("a/p") || lower.contains("ampm");
    QString out;
    bool afterHour = false;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        const QChar lc = c.toLower();
        if (c == '\\' && i + 1 < pattern.size()) {
            out += pattern[i + 1];
            i += 2;
            continue;
        }
        if (c == '"') {
            const int end = pattern.indexOf('"', i + 1);
            const int stop = end < 0 ? pattern.size() : end;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (lc == 'a') {
            const bool pm = t.hour() >= 12;
            if (lower.mid(i, 5) == "am/pm") {
                const bool up = pattern[i].isUpper();
                out += pm ? (up ? "PM" : "pm") : (up ? "AM" : "am");
                i += 5;
                continue;
            }
            if (lower.mid(i, 3) == "a/p") {
                const bool up = pattern[i].isUpper();
                out += pm ? (up ? "P" : "p") : (up ? "A" : "a");
                i += 3;
                continue;
            }
            if (lower.mid(i, 4) == "ampm") {
                out += pm ? "PM" : "AM";
                i += 4;
                continue;
            }
        }
        int n = 1;
        while (i + n < pattern.size() && pattern[i + n].toLower() == lc)
            ++n;
        bool token = true;
        switch (lc.toLatin1()) {
        case 'y': {
            int left = n;
            while (left > 0) {
                if (left >= 3) {
                    out += pad(d.year(), 4);
                    left -= left >= 4 ? 4 : 3;
                } else if (left == 2) {
                    out += pad(d.year() % 100, 2);
                    left = 0;
                } else {
                    out += QString::number(d.dayOfYear());
                    left = 0;
                }
            }
            break;
        }
        case 'm':
            if (afterHour)
                out += n >= 2 ? pad(t.minute(), 2) : QString::number(t.minute());
            else if (n >= 4)
                out += kMonthNames[d.month() - 1];
            else if (n == 3)
                out += QString::fromLatin1(kMonthNames[d.month() - 1]).left(3);
            else
                out += n == 2 ? pad(d.month(), 2) : QString::number(d.month());
            break;
        case 'n':
            out += n >= 2 ? pad(t.minute(), 2) : QString::number(t.minute());
            break;
        case 'd':
            if (n >= 5)
                out += d.toString("yyyy-MM-dd");
            else if (n == 4)
                out += kDayNames[d.dayOfWeek() - 1];
            else if (n == 3)
                out += QString::fromLatin1(kDayNames[d.dayOfWeek() - 1]).left(3);
            else
                out += n == 2 ? pad(d.day(), 2) : QString::number(d.day());
            break;
        case 'h': {
            int h = t.hour();
            if (twelve) h = h % 12 == 0 ? 12 : h % 12;
            out += n >= 2 ? pad(h, 2) : QString::number(h);
            break;
        }
        case 's':
            out += n >= 2 ? pad(t.second(), 2) : QString::number(t.second());
            break;
        case 'w':
            if (n >= 2)
                out += QString::number(d.weekNumber());
            else
                out += QString::number(d.dayOfWeek() % 7 + 1);
            break;
        case 'q':
            out += QString::number((d.month() - 1) / 3 + 1);
            break;
        default:
            token = false;
            out += pattern.mid(i, n);
            break;
        }
        if (token) afterHour = lc == 'h';
        i += n;
    }
    return out;
}

namespace {

// The value as a number, for the named number formats: numbers as they are,
// texts holding a number or a date, dates as their day count.
std::optional<double> numberOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString t = value.toString();
        if (auto n = numericValue(t)) return n;
        if (auto dt = parseDateText(t)) return dateToSerial(*dt);
        return std::nullopt;
    }
    case QMetaType::QDateTime:
        return dateToSerial(value.toDateTime());
    case QMetaType::QDate:
        return dateToSerial(QDateTime(value.toDate(), QTime(0, 0)));
    case QMetaType::Bool:
        return value.toBool() ? -1 : 0;
    default: {
        bool ok = false;
        const double n = value.toDouble(&ok);
        return ok ? std::optional<double>(n) : std::nullopt;
    }
    }
}

std::optional<QDateTime> dateOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString:
        return parseDateText(value.toString());
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QDate:
        return QDateTime(value.toDate(), QTime(0, 0));
    default:
        if (auto n = numberOf(value)) return serialToDate(*n);
        return std::nullopt;
    }
}

// The named formats as Chinese (PRC) regional settings give them.
// Named formats are words of letters, blanks and "/"; a pattern with any
// other character (digits, "#", "-", ":") is no name and is rejected at once.
bool mayBeName(const QString& pattern) {
    for (const QChar c : pattern)
        if (!c.isLetter() && c != u' ' && c != u'/') return false;
    return !pattern.isEmpty();
}

// A text date already in the stored form "yyyy-MM-dd[ ...]": its first ten
// characters are that date formatted "yyyy-MM-dd", the pattern of every list.
std::optional<QString> storedDate(const QVariant& value, const QString& pattern) {
    if (value.typeId() != QMetaType::QString || pattern.size() != 10 ||
        pattern.compare(QLatin1String("yyyy-MM-dd"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QString t = value.toString();
    if (t.size() != 10 && (t.size() < 16 || t[10] != u' ')) return std::nullopt;
    for (int i = 0; i < 10; ++i) {
        const bool dash = i == 4 || i == 7;
        if (dash ? t[i] != u'-' : !(t[i] >= u'0' && t[i] <= u'9')) return std::nullopt;
    }
    if (t.size() > 10 && !parseDateText(t)) return std::nullopt;
    const QStringView v(t);
    if (!QDate(v.mid(0, 4).toInt(), v.mid(5, 2).toInt(), v.mid(8, 2).toInt()).isValid()) return std::nullopt;
    return t.left(10);
}

std::optional<QString> namedFormat(const QVariant& value, const QString& pattern) {
    if (!mayBeName(pattern.trimmed())) return std::nullopt;
    const QString name = pattern.trimmed().toLower();
    static const char* const numberNames[] = {"general number", "currency", "fixed",  "standard", "percent",
                                              "scientific",     "yes/no",   "true/false", "on/off"};
    static const char* const dateNames[] = {"general date", "long date",   "medium date", "short date",
                                            "long time",    "medium time", "short time"};
    auto among = [&](const auto& names) {
        for (const char* n : names)
            if (name == QLatin1String(n)) return true;
        return false;
    };
    if (among(numberNames)) {
        const std::optional<double> n = numberOf(value);
        if (!n) return valueText(value);
        const double v = *n;
        if (name == "general number") return numberQText(v);
        if (name == "currency") {
            const QString body = formatNumber(std::fabs(v), "#,##0.00");
            return (v < 0 && body != "0.00" ? QStringLiteral("\u00a5-") : QStringLiteral("\u00a5")) + body;
        }
        if (name == "fixed") return formatNumber(v, "0.00");
        if (name == "standard") return formatNumber(v, "#,##0.00");
        if (name == "percent") return formatNumber(v, "0.00%");
        if (name == "scientific") {
            char buf[48];
            std::snprintf(buf, sizeof buf, "%.2E", v);
            return QString::fromLatin1(buf);
        }
        const bool on = v != 0;
        if (name == "yes/no") return on ? QStringLiteral("Yes") : QStringLiteral("No");
        if (name == "true/false") return on ? QStringLiteral("True") : QStringLiteral("False");
        return on ? QStringLiteral("On") : QStringLiteral("Off");
    }
    if (!among(dateNames)) return std::nullopt;
    const std::optional<QDateTime> dt = dateOf(value);
    if (!dt) return valueText(value);
    if (name == "general date") {
        // the date alone at midnight, the time alone on day zero
        const bool noTime = dt->time() == QTime(0, 0);
        const bool noDate = dt->date() == QDate(1899, 12, 30);
        if (noDate && !noTime) return formatDate(*dt, "h:nn:ss");
        return formatDate(*dt, noTime ? "yyyy/m/d" : "yyyy/m/d h:nn:ss");
    }
    if (name == "long date") return formatDate(*dt, QStringLiteral("yyyy年m月d日"));
    if (name == "medium date") return formatDate(*dt, "yy-mm-dd");
    if (name == "short date") return formatDate(*dt, "yyyy/m/d");
    if (name == "long time") return formatDate(*dt, "h:nn:ss");
    if (name == "medium time") return formatDate(*dt, "hh:nn AM/PM");
    return formatDate(*dt, "hh:nn");
}

} // namespace

QString format(const QVariant& value, const QString& rawPattern) {
    if (value.isNull()) return {};
    if (auto date = storedDate(value, rawPattern)) return *date;
    if (auto named = namedFormat(value, rawPattern)) return *named;
    const QString& pattern = rawPattern;
    if (pattern.isEmpty()) return valueText(value);
    const bool numeric = isNumberPattern(pattern);
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString s = value.toString();
        if (numeric) {
            if (auto n = numericValue(s)) return formatNumber(*n, pattern);
            if (auto dt = parseDateText(s)) return formatNumber(dateToSerial(*dt), pattern);
            return s;
        }
        if (auto dt = parseDateText(s)) return formatDate(*dt, pattern);
        return s;
    }
    case QMetaType::QDateTime:
        return numeric ? formatNumber(dateToSerial(value.toDateTime()), pattern)
                       : formatDate(value.toDateTime(), pattern);
    case QMetaType::QDate: {
        const QDateTime dt(value.toDate(), QTime(0, 0));
        return numeric ? formatNumber(dateToSerial(dt), pattern) : formatDate(dt, pattern);
    }
    case QMetaType::Bool:
        return numeric ? formatNumber(value.toBool() ? -1 : 0, pattern) : valueText(value);
    default:
        break;
    }
    bool ok = false;
    const double n = value.toDouble(&ok);
    if (!ok) return valueText(value);
    return numeric ? formatNumber(n, pattern) : formatDate(serialToDate(n), pattern);
}

} // namespace acc
