#include "pinyin.h"

#include <QList>
#include <cerrno>
#include <iconv.h>

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

} // namespace

QString GetCharInitial(char32_t c) {
    const QByteArray gbk = toGbk(c);
    if (gbk.size() == 1) {
        const char up = static_cast<char>(QChar::toUpper(static_cast<unsigned char>(gbk[0])));
        return up >= 'A' && up <= 'Z' ? QString(QChar(up)) : QString();
    }
    if (gbk.size() != 2) return {}; // not in the code page: it reads as "?"
    const unsigned v = static_cast<unsigned char>(gbk[0]) * 256u + static_cast<unsigned char>(gbk[1]);
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
