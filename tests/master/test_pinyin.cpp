#include "master/pinyin.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace {

// The character of a code page 936 code, or 0 when the code holds none.
char32_t fromGbk(unsigned code) {
    static iconv_t cd = iconv_open("UTF-32LE", "GBK");
    char in[2] = {char(code >> 8), char(code & 0xFF)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || outp - out != 4) return 0;
    return static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
           static_cast<unsigned char>(out[2]) << 16;
}

char expectedLetter(unsigned code) {
    const std::pair<char, unsigned> table[] = {
        {'A', 0xB0A1}, {'B', 0xB0C5}, {'C', 0xB2C1}, {'D', 0xB4EE}, {'E', 0xB6EA}, {'F', 0xB7A2},
        {'G', 0xB8C1}, {'H', 0xB9FE}, {'J', 0xBBF7}, {'K', 0xBFA6}, {'L', 0xC0AC}, {'M', 0xC2E8},
        {'N', 0xC4C3}, {'O', 0xC5B6}, {'P', 0xC5BE}, {'Q', 0xC6DA}, {'R', 0xC8BB}, {'S', 0xC8F6},
        {'T', 0xCBFA}, {'W', 0xCDDA}, {'X', 0xCEF4}, {'Y', 0xD1B9}, {'Z', 0xD4D1}};
    char letter = 0;
    for (const auto& [l, c] : table)
        if (code >= c) letter = l;
    return letter;
}

QString text(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

} // namespace

TEST(Pinyin, EveryLevelOneCharacterAgreesWithTheBoundaryTable) {
    int checked = 0;
    for (unsigned lead = 0xB0; lead <= 0xD7; ++lead)
        for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
            const unsigned code = lead * 256 + trail;
            const char32_t c = fromGbk(code);
            if (!c) continue;
            ASSERT_EQ(GetPinyinInitials(text(c)), QString(QChar(expectedLetter(code)))) << std::hex << code;
            ++checked;
        }
    EXPECT_EQ(checked, 3755); // the level-1 characters of GB2312
}

TEST(Pinyin, WorkedExampleAndEdgeCases) {
    EXPECT_EQ(GetPinyinInitials("苹果A1"), "PGA");
    EXPECT_EQ(GetPinyinInitials("ab-12"), "AB");
    EXPECT_EQ(GetPinyinInitials("康师傅 冰红茶"), "KSFBHC");
    EXPECT_EQ(GetPinyinInitials("１２３（）！"), ""); // full-width digits and symbols
    EXPECT_EQ(GetPinyinInitials(""), "");
    EXPECT_EQ(GetPinyinInitials("亍"), "C"); // level 2 (D8A1): its reading, chù
    EXPECT_EQ(GetPinyinInitials("啊"), "A");
    EXPECT_EQ(GetPinyinInitials("芭"), "B");
    EXPECT_EQ(GetPinyinInitials("澳"), "A"); // B0C4, just before 芭
    EXPECT_EQ(GetPinyinInitials("😀x"), "X"); // not in the code page
    EXPECT_EQ(GetCharInitial(U'。'), "   ");
    EXPECT_EQ(GetCharInitial(U'z'), "Z");
    EXPECT_EQ(GetCharInitial(U'5'), "");
}

TEST(Pinyin, CharactersOutsideLevelOneTakeTheirReading) {
    // level 2 and the GBK extension are not ordered by pinyin
    EXPECT_EQ(GetPinyinInitials("鑫达贸易"), "XDMY");
    EXPECT_EQ(GetPinyinInitials("鑫昊琦祺钰皓"), "XHQQYH");
    EXPECT_EQ(GetPinyinInitials("丂"), "K"); // GBK extension (8140), kǎo
    EXPECT_EQ(GetPinyinInitials("㐀"), "Q"); // extension A, not in GBK: qiū
    // level-1 characters and everything that is not a Chinese character keep their letters
    EXPECT_EQ(GetPinyinInitials("行长"), "XC");
    EXPECT_EQ(GetPinyinInitials("ｘ。A"), "A");
}
