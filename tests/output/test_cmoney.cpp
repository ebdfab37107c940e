#include "output/cmoney.h"

#include <gtest/gtest.h>

using CMoney::AmountInCapitals;

namespace {

std::string capitals(const QVariant& v) {
    return AmountInCapitals(v).toStdString();
}

} // namespace

TEST(CMoney, AmountsAsFinancialDocumentsWriteThem) {
    EXPECT_EQ(capitals(0), " ");
    EXPECT_EQ(capitals(QString()), " ");
    EXPECT_EQ(capitals("abc"), " ");
    EXPECT_EQ(capitals(12), "壹拾贰元整");
    EXPECT_EQ(capitals(12.5), "壹拾贰元伍角整");
    EXPECT_EQ(capitals(12.55), "壹拾贰元伍角伍分");
    EXPECT_EQ(capitals(12.05), "壹拾贰元零伍分");
    EXPECT_EQ(capitals(10), "壹拾元整");
    EXPECT_EQ(capitals(100), "壹佰元整");
    EXPECT_EQ(capitals(1005), "壹仟零伍元整");
    EXPECT_EQ(capitals(10000), "壹万元整");
    EXPECT_EQ(capitals(100000), "壹拾万元整");
    EXPECT_EQ(capitals(10001), "壹万零壹元整");
    EXPECT_EQ(capitals(0.5), "伍角整");
    EXPECT_EQ(capitals(0.05), "零伍分");
    EXPECT_EQ(capitals(1.239), "壹元贰角叁分"); // dropped, not rounded
    EXPECT_EQ(capitals(-12), "负壹拾贰元整");
    EXPECT_EQ(capitals("1234.5"), "壹仟贰佰叁拾肆元伍角整");
    EXPECT_EQ(capitals(" 1234.50 "), "壹仟贰佰叁拾肆元伍角整");
    EXPECT_EQ(capitals(100000000), "壹亿元整");
    EXPECT_EQ(capitals(120030004.07), "壹亿贰仟零叁万零肆元零柒分");
    EXPECT_EQ(capitals(987654321012.0), "玖仟捌佰柒拾陆亿伍仟肆佰叁拾贰万壹仟零壹拾贰元整");
}

TEST(CMoney, AmountsOfATrillionAndMoreKeepTheirLeadingDigits) {
    EXPECT_EQ(capitals(1e12), "壹万亿元整");
    EXPECT_EQ(capitals(12345000000000.0), "壹拾贰万叁仟肆佰伍拾亿元整");
}

TEST(CMoney, DigitWords) {
    EXPECT_EQ(CMoney::DigitWord(0).toStdString(), "零");
    EXPECT_EQ(CMoney::DigitWord(9).toStdString(), "玖");
    EXPECT_EQ(CMoney::DigitWord("7").toStdString(), "柒");
    EXPECT_TRUE(CMoney::DigitWord(10).isEmpty());
    EXPECT_TRUE(CMoney::DigitWord(-1).isEmpty());
    EXPECT_TRUE(CMoney::DigitWord(2.5).isEmpty());
}
