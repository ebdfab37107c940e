#include "data/accesstext.h"

#include <gtest/gtest.h>

using namespace acc;

TEST(AccessText, NumbersAreWrittenAsAccessWritesThem) {
    EXPECT_EQ(numberText(3.0), "3");
    EXPECT_EQ(numberText(1.5), "1.5");
    EXPECT_EQ(numberText(-2.25), "-2.25");
    EXPECT_EQ(numberText(0.0000001), "0.0000001");
    EXPECT_EQ(numberText(1e-11), "0.00000000001");
    EXPECT_EQ(numberText(5.6789e-12), "5.6789E-12");
    EXPECT_EQ(numberText(1e15), "1E+15");
    EXPECT_EQ(numberText(999999999999999.0), "999999999999999");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3"); // 15 significant digits hide the binary noise
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(123456789012345.6), "123456789012346");
}

TEST(AccessText, ValReadsTheLeadingNumber) {
    EXPECT_EQ(val(" 2 45 7"), 2457);
    EXPECT_EQ(val("12abc"), 12);
    EXPECT_EQ(val("1,234"), 1);
    EXPECT_EQ(val(""), 0);
    EXPECT_EQ(val("&H10"), 16);
    EXPECT_EQ(val("&O17"), 15);
    EXPECT_EQ(val("-3.5kg"), -3.5);
    EXPECT_EQ(val("1e3x"), 1000);
    EXPECT_EQ(val("1e"), 1);
    EXPECT_EQ(val(".5"), 0.5);
    EXPECT_EQ(val("\t\n7"), 7);
    EXPECT_EQ(val("abc"), 0);
}

TEST(AccessText, NumberPatternsRoundHalfAwayFromZeroOnTheDecimalForm) {
    EXPECT_EQ(formatNumber(0.075, "#.##"), ".08");
    EXPECT_EQ(formatNumber(125.245, "#0.0#"), "125.25");
    EXPECT_EQ(formatNumber(2.555, "#0.0#"), "2.56");
    EXPECT_EQ(formatNumber(-2.555, "#0.0#"), "-2.56");
    EXPECT_EQ(formatNumber(0.5, "0"), "1");
    EXPECT_EQ(formatNumber(9.995, "#0.0#"), "10.0");
}

TEST(AccessText, NumberPatternPlaceholdersAndLiterals) {
    EXPECT_EQ(formatNumber(0, "#0.0#"), "0.0");
    EXPECT_EQ(formatNumber(2, "#0.0#"), "2.0");
    EXPECT_EQ(formatNumber(2.5, "#0.0#"), "2.5");
    EXPECT_EQ(formatNumber(1234567.891, "#0.0#"), "1234567.89");
    EXPECT_EQ(formatNumber(2, "#0.0##"), "2.0");
    EXPECT_EQ(formatNumber(0.1234, "#0.0##"), "0.123");
    EXPECT_EQ(formatNumber(42, "00000"), "00042");
    EXPECT_EQ(formatNumber(12.5, "00000"), "00013");
    EXPECT_EQ(formatNumber(123456, "00000"), "123456");
    EXPECT_EQ(formatNumber(1234.5, "￥#,##0.0#"), "￥1,234.5");
    EXPECT_EQ(formatNumber(1234567, "#,##0"), "1,234,567");
    EXPECT_EQ(formatNumber(0.5, "#.##"), ".5");
    EXPECT_EQ(formatNumber(5, "#.##"), "5.");
    EXPECT_EQ(formatNumber(0.256, "0.0%"), "25.6%");
    EXPECT_EQ(formatNumber(5551234, "000-0000"), "555-1234");
    EXPECT_EQ(formatNumber(-5, "0;(0)"), "(5)");
    EXPECT_EQ(formatNumber(0, "0;(0);零"), "零");
}

TEST(AccessText, NegativeValueRoundingToZeroHasNoSign) {
    EXPECT_EQ(formatNumber(-0.001, "#0.0#"), "0.0");
    EXPECT_EQ(formatNumber(-0.4, "0"), "0");
}

TEST(AccessText, FormatConvertsTextBeforeFormatting) {
    EXPECT_EQ(format(QString("1234"), "#,##0"), "1,234");
    EXPECT_EQ(format(QString(" 12.5 "), "#0.0#"), "12.5");
    EXPECT_EQ(format(QString("abc"), "#0.0#"), "abc");
    EXPECT_EQ(format(QString("2012-08-01"), "yyyy-MM-dd"), "2012-08-01");
    EXPECT_EQ(format(QString("2012-08-01 13:05"), "yyyy-MM"), "2012-08");
    EXPECT_EQ(format(QString("not a date"), "yyyy-MM-dd"), "not a date");
    EXPECT_EQ(format(QVariant(), "#0.0#"), "");
    EXPECT_EQ(format(QVariant(41122.5), "yyyy-MM-dd hh:nn"), "2012-08-01 12:00"); // a date serial
}

TEST(AccessText, DatePatterns) {
    const QDateTime dt(QDate(2012, 8, 1), QTime(13, 5, 0));
    EXPECT_EQ(formatDate(dt, "yyyy-MM-dd hh:mm:ss"), "2012-08-01 13:05:00");
    EXPECT_EQ(formatDate(dt, "yyyymmddhhmmss"), "20120801130500");
    EXPECT_EQ(formatDate(dt, "YYMM"), "1208");
    EXPECT_EQ(formatDate(dt, "yyyy-MM"), "2012-08");
    EXPECT_EQ(formatDate(dt, "yyyy-m-d h:n"), "2012-8-1 13:5");
    EXPECT_EQ(formatDate(dt, "hh:nn AM/PM"), "01:05 PM");
    EXPECT_EQ(formatDate(dt, "h:nn am/pm"), "1:05 pm");
    EXPECT_EQ(formatDate(dt, "yyyy\"年\"m\"月\""), "2012年8月");
    EXPECT_EQ(formatDate(dt, "yyyy年m月d日"), "2012年8月1日");
}

TEST(AccessText, DateTextParsing) {
    EXPECT_TRUE(parseDateText("2012-08-01"));
    EXPECT_TRUE(parseDateText("2012/8/1 13:05:00"));
    EXPECT_FALSE(parseDateText("2012-13-01"));
    EXPECT_FALSE(parseDateText("2012-02-30"));
    EXPECT_FALSE(parseDateText("12-08-01"));
    EXPECT_FALSE(parseDateText("2012-08-01 25:00"));
    EXPECT_FALSE(parseDateText("2012-08-01x"));
}
