// The rules a save of goods or partners applies before anything is written.

#include "fixture.h"
#include "master/dictionary.h"
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

namespace {
m_goods_detail unit(const char* name, double packQty, int isDefault) {
    m_goods_detail d;
    d.unit = QString::fromUtf8(name);
    d.packQty = packQty;
    d.isDefault = isDefault;
    return d;
}
} // namespace

TEST(GoodsUnits, ExactlyOneDefaultUnitIsKept) {
    const GoodsUnitsToSave ok = SelectUnitsToSave(
        {unit("瓶", 1, 1), unit("", 6, 0), unit("包", 0, 0), unit(" ", 2, 0), unit("箱", 24, 0)});
    EXPECT_TRUE(ok.refusal.isEmpty());
    ASSERT_EQ(ok.rows.size(), 2u);
    EXPECT_EQ(ok.rows[1].unit, "箱");
    EXPECT_EQ(SelectUnitsToSave({unit("箱", 24, 0)}).refusal,
              "默认包装单位不能删除,请先将其他包装单位设为默认!");
    for (const m_goods_detail& dropped : {unit("", 1, 1), unit("瓶", 0, 1), unit("瓶", -1, 1)})
        EXPECT_EQ(SelectUnitsToSave({dropped, unit("箱", 24, 0)}).refusal,
                  "默认包装单位的单位不能为空,内装数必须大于0!");
    EXPECT_FALSE(SelectUnitsToSave({unit("瓶", 1, 1), unit("箱", 24, 1)}).refusal.isEmpty());
    EXPECT_EQ(CheckStockLimits(5, 4), "库存下限不能大于库存上限!");
    EXPECT_TRUE(CheckStockLimits(4, 4).isEmpty());
    EXPECT_TRUE(CheckStockLimits(4, 0).isEmpty()); // no upper limit set
}

class CategoryChoice : public DbTest {};

TEST_F(CategoryChoice, ADisabledEntryOnlyKeepsWhatIsFiledUnderIt) {
    exec("insert into tb_dictionary (id, utype, uname, parentId, orderBy, isstart, isSystemSet) values "
         "(70, 'goodsType', '饮料', 0, 0, 1, 0), (71, 'goodsType', '停售', 0, 0, 0, 0)");
    EXPECT_EQ(CheckCategoryChoice("goodsType", 70, 0, "货品类别"), "");
    EXPECT_EQ(CheckCategoryChoice("goodsType", 71, 71, "货品类别"), "");
    EXPECT_EQ(CheckCategoryChoice("goodsType", 71, 0, "货品类别"), "货品类别[停售]已禁用,请重新选择!");
    EXPECT_EQ(CheckCategoryChoice("goodsType", 71, 70, "货品类别"), "货品类别[停售]已禁用,请重新选择!");
    EXPECT_EQ(CheckCategoryChoice("goodsType", 99, 99, "货品类别"), "货品类别不存在,请重新选择!");
    EXPECT_EQ(CheckCategoryChoice("customerType", 70, 0, "自定义类别"), "自定义类别不存在,请重新选择!");
    EXPECT_EQ(CheckCategoryChoice("goodsType", 0, 0, "货品类别"), "货品类别不存在,请重新选择!");
}
