#include "pinyin.h"

#include <QList>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <mutex>
#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace {

// The first character of each letter's range among the level-1 characters of
// GB2312, which are ordered by pinyin (no ranges for I, U and V).
struct Boundary {
    char letter;
    unsigned code;
};
constexpr Boundary kBoundaries[] = {
    {'A', 0xB0A1}, {'B', 0xB0C5}, {'C', 0xB2C1}, {'D', 0xB4EE}, {'E', 0xB6EA}, {'F', 0xB7A2},
    {'G', 0xB8C1}, {'H', 0xB9FE}, {'J', 0xBBF7}, {'K', 0xBFA6}, {'L', 0xC0AC}, {'M', 0xC2E8},
    {'N', 0xC4C3}, {'O', 0xC5B6}, {'P', 0xC5BE}, {'Q', 0xC6DA}, {'R', 0xC8BB}, {'S', 0xC8F6},
    {'T', 0xCBFA}, {'W', 0xCDDA}, {'X', 0xCEF4}, {'Y', 0xD1B9}, {'Z', 0xD4D1},
};

// Code page 936 bytes of one code point; empty when it cannot be represented.
QByteArray toGbk(char32_t c) {
    static iconv_t cd = iconv_open("GBK", "UTF-32LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    char in[4] = {char(c & 0xFF), char((c >> 8) & 0xFF), char((c >> 16) & 0xFF), char((c >> 24) & 0xFF)};
    char out[8];
    char* inp = in;
    char* outp = out;
    size_t inLeft = sizeof in, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // reset the state
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1)) return {};
    return QByteArray(out, static_cast<int>(outp - out));
}

bool isUnifiedIdeograph(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x20000 && c <= 0x2A6DF) ||
           (c >= 0x2A700 && c <= 0x2EBEF) || (c >= 0x30000 && c <= 0x323AF);
}

// The level-1 characters of GB2312 (rows B0 to D7), which are ordered by pinyin.
bool isLevelOne(unsigned v) {
    const unsigned lead = v >> 8, trail = v & 0xFF;
    return lead >= 0xB0 && lead <= 0xD7 && trail >= 0xA1 && trail <= 0xFE;
}

// The first letter of a character's reading as ICU transliterates it, for
// the characters the code-page order cannot place; "" when it has none.
QString readingInitial(char32_t c) {
    static std::mutex lock;
    static std::unique_ptr<icu::Transliterator> toLatin;
    static bool tried = false;
    const std::lock_guard<std::mutex> guard(lock);
    if (!tried) {
        tried = true;
        UErrorCode status = U_ZERO_ERROR;
        toLatin.reset(icu::Transliterator::createInstance("Han-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        if (U_FAILURE(status)) toLatin.reset();
    }
    if (!toLatin) return {};
    icu::UnicodeString text(static_cast<UChar32>(c));
    toLatin->transliterate(text);
    for (int32_t i = 0; i < text.length(); ++i) {
        const UChar ch = text.charAt(i);
        if (ch == ' ') continue;
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'))
            return QString(QChar(ch).toUpper());
        return {};
    }
    return {};
}

} // namespace

QString GetCharInitial(char32_t c) {
    const QByteArray gbk = toGbk(c);
    if (gbk.size() == 1) {
        const char up = static_cast<char>(QChar::toUpper(static_cast<unsigned char>(gbk[0])));
        return up >= 'A' && up <= 'Z' ? QString(QChar(up)) : QString();
    }
    if (gbk.size() != 2) // not in the code page
        return isUnifiedIdeograph(c) ? readingInitial(c) : QString();
    const unsigned v = static_cast<unsigned char>(gbk[0]) * 256u + static_cast<unsigned char>(gbk[1]);
    if (!isLevelOne(v) && isUnifiedIdeograph(c)) return readingInitial(c);
    if (v < kBoundaries[0].code) return QStringLiteral("   ");
    char letter = 'A';
    for (const Boundary& b : kBoundaries)
        if (v >= b.code) letter = b.letter;
    return QString(QChar(letter));
}

QString GetPinyinInitials(const QString& text) {
    QString out;
    for (const uint c : text.toUcs4())
        out += GetCharInitial(c);
    out.remove(' ');
    return out;
}
