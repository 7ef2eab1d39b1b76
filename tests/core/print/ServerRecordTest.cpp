#include "PrintTestSupport.h"
#include "print/ServerRecordQuery.h"

#include <gtest/gtest.h>

using namespace quarvel;
using printtest::gbk;

TEST(ServerRecord, FieldsStandBetweenTaggedBels)
{
    const ServerRecord r = ServerRecord::Parse("\a<NUM>D1</NUM>\a\a<WEIGHT>1.250</WEIGHT>\a\a<ITEM>3</ITEM>\a" +
                                               gbk("\a<RNAME>李四</RNAME>\a") + "\a<EMPTY></EMPTY>\a");
    EXPECT_EQ(r.text("NUM"), QStringLiteral("D1"));
    EXPECT_DOUBLE_EQ(r.real("WEIGHT"), 1.25);
    EXPECT_EQ(r.integer("ITEM"), 3);
    EXPECT_EQ(r.text("RNAME"), QStringLiteral("李四"));
    EXPECT_TRUE(r.has("EMPTY"));
    EXPECT_FALSE(r.has("SNAME"));
    EXPECT_EQ(r.integer("SNAME"), 0);
}

TEST(ServerRecord, BrokenFieldsAreSkippedNotOverrun)
{
    const ServerRecord r =
        ServerRecord::Parse("\a<NUM>D1</NUMX>\a\a<lower>x</lower>\a\a<RNAME>open\a<SNAME>ok</SNAME>\a"
                            "\a<" +
                            QByteArray(40, 'A') + ">x</" + QByteArray(40, 'A') + ">\a\a<ITEM>5");
    EXPECT_FALSE(r.has("NUM"));
    EXPECT_FALSE(r.has("lower"));
    EXPECT_FALSE(r.has("RNAME"));
    EXPECT_EQ(r.text("SNAME"), QStringLiteral("ok"));
    EXPECT_FALSE(r.has("ITEM"));
    EXPECT_EQ(r.fieldCount(), 1);
}

TEST(ServerRecord, TheReplyStatusDecides)
{
    EXPECT_EQ(ServerRecordQuery::Read("1\n\a<NUM>D1</NUM>\a").outcome, ServerRecordQuery::Outcome::Found);
    EXPECT_EQ(ServerRecordQuery::Read("1\n\a<NUM>D1</NUM>\a").record.text("NUM"), QStringLiteral("D1"));
    for (const QByteArray &none : {QByteArray("0\n"), QByteArray("1"), QByteArray("1\nno bels"),
                                   QByteArray("0\n\a<NUM>D1</NUM>\a"), QByteArray("1\n\a\a"), QByteArray()}) {
        const ServerRecordQuery::Result r = ServerRecordQuery::Read(none);
        EXPECT_EQ(r.outcome, ServerRecordQuery::Outcome::NotFound) << none.constData();
        EXPECT_EQ(r.message, QStringLiteral("没有符合条件的记录。"));
    }
    const ServerRecordQuery::Result refused = ServerRecordQuery::Read("-15\n");
    EXPECT_EQ(refused.outcome, ServerRecordQuery::Outcome::Refused);
    EXPECT_EQ(refused.message, QStringLiteral("查询失败。返回值：-15"));
}
