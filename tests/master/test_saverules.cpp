// One number per number field: what the key filter cannot stop.

#include "fixture.h"
#include "master/goods.h"
#include "master/numbertext.h"

TEST(NumberField, OneNumberOrNothing) {
    for (const auto& [text, value] :
         {std::pair{"", 0.0}, std::pair{"   ", 0.0}, std::pair{"12", 12.0}, std::pair{" 2.5 ", 2.5},
          std::pair{".5", 0.5}, std::pair{"3.", 3.0}, std::pair{"007", 7.0}}) {
        const std::optional<double> v = NumberFieldValue(QString::fromUtf8(text));
        ASSERT_TRUE(v.has_value()) << text;
        EXPECT_EQ(*v, value) << text;
    }
    for (const char* text : {"1.2.3", "2..5", ".", "12a", "1 2", "-1", "1e5", "1,000", "１２", "1000000000001"})
        EXPECT_FALSE(NumberFieldValue(QString::fromUtf8(text)).has_value()) << text;
    EXPECT_FALSE(NumberFieldValue(QString(400, '9')).has_value()); // no infinite quantities
    EXPECT_EQ(NumberValue("-2.5", true), -2.5);
    EXPECT_FALSE(NumberValue("--2", true).has_value());
    EXPECT_EQ(NotANumberMessage("重量"), "重量不是有效的数字,请重新输入!");
}

TEST(StockLimits, ALowerLimitAboveTheUpperIsRefusedUnlessNoUpperIsSet) {
    EXPECT_EQ(CheckStockLimits(5, 4), "库存下限不能大于库存上限!");
    EXPECT_TRUE(CheckStockLimits(4, 0).isEmpty());
}
