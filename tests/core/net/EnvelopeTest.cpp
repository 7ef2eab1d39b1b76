#include "net/Envelope.h"
#include "net/LoginReply.h"
#include "net/ServerSession.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

class EnvelopeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.configure("127.0.0.1:8080", QStringLiteral("S01"));
        session.setLocaleId(2052);
        session.applyLogin(LoginReply::parse("0,42,7001,1"), QStringLiteral("a<b>&c"), QStringLiteral("pw"));
    }

    static QByteArray head(int op, int id, int number)
    {
        return "<WER>1</WER><WCID>S01</WCID><AC>a<b>&c</AC><OP>" + QByteArray::number(op) + "</OP><ID>" +
               QByteArray::number(id) + "</ID><NUMBER>" + QByteArray::number(number) +
               "</NUMBER><LCID>2052</LCID><RAND>7001</RAND><DATA>";
    }

    ServerSession session;
};

} // namespace

TEST_F(EnvelopeTest, EveryOperationWithItsTerminators)
{
    EXPECT_EQ(Envelope::balance(session),
              "<WER>1</WER><WCID>S01</WCID><AC>a<b>&c</AC><OP>5</OP><ID>0</ID><NUMBER>1</NUMBER>"
              "<LCID>2052</LCID><RAND>7001</RAND><DATA>\a</DATA>\n");
    EXPECT_EQ(Envelope::recordUpload(session, 17, "{?=CALL tarvo.dbo.cp_x(42,'goods"),
              head(0, 17, 1) + "{?=CALL tarvo.dbo.cp_x(42,'goods')}\a</DATA>\n");
    EXPECT_EQ(Envelope::scanUpload(session, 3, "{?=CALL tarvo.dbo.cp_y(0,1,2"),
              head(4, 3, 1) + "{?=CALL tarvo.dbo.cp_y(0,1,2)}\a</DATA>\n");
    EXPECT_EQ(Envelope::recordList(session, 2, 250, " WHERE icid=42"), head(1, 2, 250) + " WHERE icid=42\a</DATA>\n");
    EXPECT_EQ(Envelope::settlementList(session, 1, 0, "c"), head(6, 1, 0) + "c\a</DATA>\n");
    EXPECT_EQ(Envelope::preInputList(session, 3, 9, "c"), head(8, 3, 9) + "c\a</DATA>\n");
    EXPECT_EQ(Envelope::shipmentInfo(session, 99), head(2, 99, 0) + ".\a</DATA>\n");
    const QByteArray beijing = Gbk::fromUnicode(QStringLiteral("北京"));
    EXPECT_EQ(Envelope::freight(session, 1, 2500, beijing, "EMS"), head(3, 1, 2500) + beijing + "\nEMS\n\a</DATA>\n\a");
    EXPECT_EQ(Envelope::priceQuote(session, 2, 500, beijing), head(9, 2, 500) + beijing + "\n\a</DATA>\n\a");
    EXPECT_EQ(Envelope::waybillPrint(session, 1234),
              head(7, 1234, 1) + " FROM tarvo.dbo.client_rec WHERE irid=1234\a</DATA>\n");
    EXPECT_EQ(Envelope::deletePreInputs(session, 3, "DELETE x WHERE id IN (1,2,3)"),
              head(10, 3, 3) + "DELETE x WHERE id IN (1,2,3)\a</DATA>\n");
    EXPECT_EQ(Envelope::path(), "/cgi-bin/VEdiz.dll?KVTrans");
}

TEST_F(EnvelopeTest, HeaderFollowsTheSession)
{
    ServerSession offline;
    offline.configure("h", QStringLiteral("站点"));
    offline.setLocaleId(1033);
    EXPECT_EQ(Envelope::header(offline, 5, -1, -2), "<WER>1</WER><WCID>\xd5\xbe\xb5\xe3</WCID><AC></AC><OP>5</OP>"
                                                    "<ID>-1</ID><NUMBER>-2</NUMBER><LCID>1033</LCID><RAND>0</RAND>"
                                                    "<DATA>");
}

TEST(EnvelopeWeight, GramsRoundTheWayTheServerExpects)
{
    EXPECT_EQ(Envelope::WeightGrams(2.5), 2500);
    EXPECT_EQ(Envelope::WeightGrams(1.2345), 1234);
    EXPECT_EQ(Envelope::WeightGrams(0.0019), 2) << "1.9 + 0.1";
    EXPECT_EQ(Envelope::WeightGrams(0.0015), 1);
    EXPECT_EQ(Envelope::WeightGrams(0.00999), 10);
    EXPECT_EQ(Envelope::WeightGrams(0.000005), 0) << "below 0.01 g the 0.1 is taken off";
    EXPECT_EQ(Envelope::WeightGrams(0), 0);
    EXPECT_EQ(Envelope::WeightGrams(-1), -1000);
    EXPECT_EQ(Envelope::WeightGrams(1e300), 0) << "out of range is no weight";
}
