#include "data/appenv.h"
#include "data/dberror.h"
#include "data/results.h"
#include "data/sqlhelper.h"
#include "fixture.h"

#include <QRegularExpression>

TEST(ValueHelpers, BlankAndNullText) {
    EXPECT_TRUE(IsBlank(QString("   ")));
    EXPECT_TRUE(IsBlank(QVariant()));
    EXPECT_TRUE(IsBlank(QString()));
    EXPECT_FALSE(IsBlank(QString("0")));
    EXPECT_FALSE(IsBlank(0));
    EXPECT_FALSE(IsBlank(QDate(2012, 1, 1)));
    EXPECT_EQ(NzText(QVariant(), "-"), "-");
    EXPECT_EQ(NzText(5, "-"), "5");
    EXPECT_EQ(NzText(2.50, "-"), "2.5");
    EXPECT_EQ(NzText(QString(), "-"), "");
}

TEST(ValueHelpers, DatesAndIdentifiers) {
    EXPECT_EQ(FirstDayOfMonth(QDate(2012, 2, 29)), QDate(2012, 2, 1));
    EXPECT_EQ(FirstDayOfMonth(QDateTime(QDate(2012, 3, 31), QTime(13, 5))),
              QDateTime(QDate(2012, 3, 1), QTime(13, 5)));
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}$")
                    .match(FormatNow("yyyy-MM-dd hh:mm:ss"))
                    .hasMatch());
    const QString a = NewGuidText();
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{32}$").match(a).hasMatch()) << qPrintable(a);
    EXPECT_NE(a, NewGuidText());
}

TEST(ValueHelpers, KeyFilters) {
    int beeps = 0;
    SetBeepHandler([&] { ++beeps; });
    for (char c : QByteArray("0123456789."))
        EXPECT_EQ(FilterNumberKey(c), c);
    EXPECT_EQ(FilterNumberKey(8), 8);
    EXPECT_EQ(FilterNumberKey('-'), 0);
    EXPECT_EQ(FilterNumberKey(','), 0);
    EXPECT_EQ(FilterNumberKey('a'), 0);
    for (int c : {int('\''), 0x2019, 0x2018, int('~')})
        EXPECT_EQ(FilterQuoteKey(c), 0);
    EXPECT_EQ(beeps, 4);
    EXPECT_EQ(FilterQuoteKey('a'), 'a');
    EXPECT_EQ(FilterQuoteKey('"'), '"');
    EXPECT_EQ(SwallowEnterKey(13), 0);
    EXPECT_EQ(SwallowEnterKey(9), 9);
    SetBeepHandler(nullptr);
}

TEST(ValueHelpers, TextBuilderAndBatch) {
    StringBulider sb;
    sb.Append("select 1").NewLine().Append("from t");
    EXPECT_EQ(sb.ToString(), "select 1\r\nfrom t");
    sb.Clear();
    EXPECT_EQ(sb.ToString(), "");
    KeyValue kv;
    kv.AddItem("a", {});
    EXPECT_THROW(kv.AddItem("a", {}), std::logic_error);
    kv.AddItem("b", {});
    EXPECT_EQ(kv.Items().front().first, "a");
    kv.Clear();
    EXPECT_TRUE(kv.empty());
}

TEST(RecordSetTest, FieldsCursorAndPages) {
    std::vector<QVariant> cells;
    for (int i = 1; i <= 25; ++i) {
        cells.emplace_back(i);
        cells.emplace_back(QString("n%1").arg(i));
    }
    RecordSet rs(QStringList{"Id", "Name"}, cells);
    EXPECT_EQ(rs.RecordCount(), 25);
    EXPECT_EQ(rs.value("ID").toInt(), 1);
    EXPECT_EQ(rs["name"].toString(), "n1");
    EXPECT_EQ(rs.value(1).toString(), "n1");
    EXPECT_THROW(rs.value("nope"), DbError);
    rs.setPageSize(10);
    EXPECT_EQ(rs.PageCount(), 3);
    rs.setAbsolutePage(3);
    EXPECT_EQ(rs.value("id").toInt(), 21);
    EXPECT_EQ(rs.AbsolutePage(), 3);
    int n = 0;
    while (!rs.eof()) {
        ++n;
        rs.MoveNext();
    }
    EXPECT_EQ(n, 5);
    EXPECT_THROW(rs.value("id"), DbError);
    RecordSet copy = rs; // rows are shared, the cursor is the copy's own
    copy.MoveFirst();
    EXPECT_EQ(copy.value("id").toInt(), 1);
    EXPECT_TRUE(rs.eof());
    rs.Close();
    EXPECT_FALSE(rs.isOpen());
    EXPECT_EQ(copy.RecordCount(), 25);
}

class TreeHelpers : public DbTest {};

TEST_F(TreeHelpers, SubIdsCollectEveryDepthThenTheNodeItself) {
    exec("insert into tb_dictionary (id,utype,uname,parentId) values "
         "(17,'goodsType','a',3),(18,'goodsType','b',3),(19,'goodsType','c',3),(20,'goodsType','d',17),(21,'"
         "goodsType','x',0)");
    EXPECT_EQ(GetSubIds(21, "tb_dictionary", "Id"), "21");
    EXPECT_EQ(GetSubIds(3, "tb_dictionary", "Id"), "17,20,18,19,3");
    // a loop in the stored tree does not recurse for ever
    exec("update tb_dictionary set parentId=20 where id=3");
    EXPECT_EQ(GetSubIds(3, "tb_dictionary", "Id"), "17,20,3,18,19,3");
}

TEST_F(TreeHelpers, RecordSetToArray) {
    const RecordSetTable empty = RecordSetToArray(sqlHelper::ExecuteSql("select id from tb_events"));
    EXPECT_FALSE(empty.isOk);
    EXPECT_EQ(empty.rowCount, 0);
    const RecordSetTable t = RecordSetToArray(sqlHelper::ExecuteSql(
        "select id, uname, remark, Null as n from tb_dictionary where id<=2 order by id"));
    ASSERT_TRUE(t.isOk);
    EXPECT_EQ(t.rowCount, 2);
    EXPECT_EQ(t.at(1, 2), "系统管理员");
    EXPECT_EQ(t.at(2, 1), "2");
    EXPECT_EQ(t.at(2, 4), "");
}
