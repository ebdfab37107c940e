#include "data/conditions.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "fixture.h"

TEST(Conditions, TermsAreAppendedInOrder) {
    ConditionSet set;
    EXPECT_EQ(GetConditionSql(set), "");
    set.AddItem("1", m_condition("parentId", "=", Raw("5")));
    set.AddItem("2", m_condition("goodsTypeId", "in", Raw("1,2,3")));
    set.AddItem("3", m_condition("locationCode&uname", "like", QString("A1")));
    set.AddItem("4", m_condition("format(createTime,'yyyy-MM-dd')", ">=", QString("2012-08-01")));
    EXPECT_EQ(GetConditionSql(set),
              " and (parentId = 5) and (goodsTypeId in (1,2,3)) and (locationCode&uname like '%A1%')"
              " and (format(createTime,'yyyy-MM-dd') >= '2012-08-01')");
}

TEST(Conditions, ValuesAreQuotedUnlessRaw) {
    EXPECT_EQ(GetConditionItemSql({"uname", "like", QString("O'Neil")}), " and (uname like '%O''Neil%')");
    EXPECT_EQ(GetConditionItemSql({"id", "in", QString("1,2,3")}), " and (id in ('1,2,3'))");
    EXPECT_EQ(GetConditionItemSql({"id", " NOT IN ", Raw("1,2")}), " and (id  NOT IN  (1,2))");
    EXPECT_EQ(GetConditionItemSql({"uname", "=", QString("N:1 or 1=1")}), " and (uname = 'N:1 or 1=1')");
    EXPECT_EQ(GetConditionItemSql({"id", "<>", 7}), " and (id <> 7)");
    EXPECT_EQ(GetConditionItemSql({"remark", "=", QVariant()}), " and (remark = '')");
}

class PagingTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        KeyValue batch;
        for (int i = 1; i <= 25; ++i)
            batch.AddItem(
                QString(
                    "insert into tb_events (id, eventContent, createTime) values (%1, 'e%1', '2012-08-%2')")
                    .arg(i)
                    .arg(i, 2, 10, QChar('0')),
                {});
        ASSERT_TRUE(sqlHelper::ExecuteTrans(batch).isResult);
    }
    static QList<int> ids(const QString& sql) {
        const RecordSet rs = sqlHelper::ExecuteSql(sql);
        QList<int> out;
        for (int r = 0; r < rs.RecordCount(); ++r)
            out << rs.at(r, "id").toInt();
        return out;
    }
    const QString base = "SELECT id,eventContent,createTime FROM tb_events where 1=1 ";
};

TEST_F(PagingTest, LastPageAndPagesBeyondIt) {
    int page = 3;
    const QString sql = GetPageSql(base, page, 10, "createTime", false);
    EXPECT_EQ(page, 3);
    EXPECT_TRUE(sql.contains("SELECT top 5 *"));
    EXPECT_EQ(ids(sql), (QList<int>{21, 22, 23, 24, 25}));
    page = 7;
    EXPECT_EQ(ids(GetPageSql(base, page, 10, "createTime", false)), (QList<int>{21, 22, 23, 24, 25}));
    EXPECT_EQ(page, 3);
    page = 0;
    EXPECT_EQ(ids(GetPageSql(base, page, 10, "createTime", true)),
              (QList<int>{25, 24, 23, 22, 21, 20, 19, 18, 17, 16}));
    EXPECT_EQ(page, 1);
    page = 2;
    EXPECT_EQ(ids(GetPageSql(base, page, 10, "createTime", true)),
              (QList<int>{15, 14, 13, 12, 11, 10, 9, 8, 7, 6}));
}

TEST_F(PagingTest, FullLastPageAndEmptyResult) {
    sqlHelper::ExecuteNonQuery("delete from tb_events where id>20");
    int page = 2;
    const QString sql = GetPageSql(base, page, 10, "createTime", false);
    EXPECT_TRUE(sql.contains("SELECT top 10 *"));
    EXPECT_EQ(ids(sql).size(), 10);
    EXPECT_EQ(page, 2);
    sqlHelper::ExecuteNonQuery("delete from tb_events");
    page = 4;
    const QString empty = GetPageSql(base, page, 10, "createTime", false);
    EXPECT_EQ(page, 0);
    EXPECT_TRUE(empty.contains("SELECT top 1 *"));
    EXPECT_TRUE(ids(empty).isEmpty());
}

TEST_F(PagingTest, TiesAreBrokenByIdAsText) {
    sqlHelper::ExecuteNonQuery("update tb_events set createTime='2012-08-01'");
    int page = 1;
    // the key createTime~id^ is compared as text, and "~10^" sorts before "~1^"
    EXPECT_EQ(ids(GetPageSql(base, page, 4, "createTime", false)), (QList<int>{10, 11, 12, 13}));
}

TEST_F(PagingTest, RecordSetCarriesTheFullCount) {
    int page = 2;
    const m_recordSet r = GetRecordSet(GetPageSql(base, page, 10, "id", false), base);
    EXPECT_EQ(r.recordCount, 25);
    EXPECT_EQ(r.recordSet.RecordCount(), 10);
    EXPECT_EQ(GetRecordCount(base), 25);
    EXPECT_EQ(GetRecordCount("delete from tb_events"), 0);
    EXPECT_EQ(GetRecordCount(base), 25); // not executed
    const m_recordSet none = GetRecordSet(" select 1", base);
    EXPECT_FALSE(none.recordSet.isOpen());
    EXPECT_EQ(none.recordCount, 0);
}

TEST(Paging, PageCount) {
    EXPECT_EQ(GetPageCount(0, 10), 0);
    EXPECT_EQ(GetPageCount(10, 10), 1);
    EXPECT_EQ(GetPageCount(11, 10), 2);
    EXPECT_THROW(GetPageCount(5, 0), DbError);
}
