#include "print/FieldValues.h"
#include "PrintTestSupport.h"
#include "net/BaseData.h"
#include "print/ServerRecord.h"
#include "storage/PreInputRecord.h"

#include <gtest/gtest.h>

using namespace quarvel;
using V = FieldVocabulary;

namespace {

PreInputRecord sample()
{
    PreInputRecord r{};
    r.iid = 7;
    r.ddate = {2024, 3, 5};
    r.nitemtype = 1;
    r.npayway = 1;
    r.npieces = 3;
    r.fweight = 2.5;
    r.fweighed = 2.4567;
    r.ffee = 45.5;
    r.ideclare = 12345;
    r.iinsure = 0;
    Gbk::setField(r.cnum, QStringLiteral("DE90123000042"));
    Gbk::setField(r.cdes, QStringLiteral("北京"));
    Gbk::setField(r.cfrom, QStringLiteral("深圳"));
    Gbk::setField(r.csender, QStringLiteral("张三"));
    Gbk::setField(r.csenderphone, QStringLiteral("0755-8888 6666"));
    Gbk::setField(r.csenderzip, QStringLiteral("518000"));
    Gbk::setField(r.creceiver, QStringLiteral("李四"));
    Gbk::setField(r.cphone, QStringLiteral("010-66668888"));
    Gbk::setField(r.creceiveraddr, QStringLiteral("北京市朝阳区建国路88号 现代城A座 1201室 前台代收"));
    Gbk::setField(r.ccurrency, QStringLiteral("CNY"));
    Gbk::setField(r.cgoods, QStringLiteral("茶叶"));
    return r;
}

BaseData destinations()
{
    BaseData data;
    data.parse(Gbk::fromUnicode(QStringLiteral(
        "xx\nEMB\nEMS\tems\nIE1\t国际快递\n\nEME\n\nGPB\n0,4\tBJ\tBEIJING\t100000\t北京\t中国\n\nGPE\n")));
    return data;
}

} // namespace

TEST(FieldValues, NumericTextKeepsDigitsAsText)
{
    EXPECT_EQ(FieldValues::NumericText(QStringLiteral("0755-88886666")), QStringLiteral("'0755-88886666"));
    EXPECT_EQ(FieldValues::NumericText(QStringLiteral("+86.10")), QStringLiteral("'+86.10"));
    EXPECT_EQ(FieldValues::NumericText(QStringLiteral("0755 8888")), QStringLiteral("0755 8888"));
    EXPECT_EQ(FieldValues::NumericText(QStringLiteral("１２３")), QStringLiteral("１２３")) << "full-width digits";
    EXPECT_EQ(FieldValues::NumericText(QString()), QString());
}

TEST(FieldValues, ALocalRecordFillsItsColumnOfTheVocabulary)
{
    const FieldValues v = FieldValues::FromRecord(sample(), QStringLiteral("demo"), destinations());
    EXPECT_EQ(v.at(V::Sender), QStringLiteral("张三"));
    EXPECT_EQ(v.at(V::SenderPhone), QStringLiteral("0755-8888 6666")) << "a blank keeps it from the numeric rule";
    EXPECT_EQ(v.at(V::SenderZip), QStringLiteral("'518000"));
    EXPECT_EQ(v.at(V::ReceiverPhone), QStringLiteral("'010-66668888"));
    EXPECT_EQ(v.at(V::Weight), QStringLiteral("2.500kg"));
    EXPECT_EQ(v.at(V::Weighed), QStringLiteral("2.457kg"));
    EXPECT_EQ(v.at(V::Date), QStringLiteral("'2024-03-05"));
    EXPECT_EQ(v.at(V::Declared), QStringLiteral("'123.45"));
    EXPECT_EQ(v.at(V::Insured), QStringLiteral("'0.00"));
    EXPECT_EQ(v.at(V::Pieces), QStringLiteral("3"));
    EXPECT_EQ(v.at(V::Account), QStringLiteral("demo"));
    EXPECT_EQ(v.at(V::Number), QStringLiteral("DE90123000042"));
    EXPECT_EQ(v.number(), QStringLiteral("DE90123000042"));
    EXPECT_EQ(v.at(V::ItemType), QStringLiteral("包裹"));
    EXPECT_EQ(v.at(V::ParcelMark), QStringLiteral("√"));
    EXPECT_TRUE(v.at(V::DocumentMark).isEmpty() && v.at(V::BagMark).isEmpty());
    EXPECT_EQ(v.at(V::CashMark), QStringLiteral("√")) << "npayway 1";
    EXPECT_TRUE(v.at(V::MonthlyMark).isEmpty() && v.at(V::CollectMark).isEmpty());
    EXPECT_TRUE(v.at(V::CollectFreight).isEmpty()) << "only for 到付";
    EXPECT_EQ(v.at(V::DestinationCode), QStringLiteral("BJ"));
    EXPECT_EQ(v.at(V::DestinationEnglish), QStringLiteral("BEIJING"));
    EXPECT_EQ(v.at(V::ReceiverLine1), QStringLiteral("北京市朝阳区建国路88号"));
    EXPECT_EQ(v.at(V::ReceiverLine1 + 1), QStringLiteral("现代城A座 1201室 前台代收"));
    for (int unused : {20, 21, 35, 43, 56, 63, 83, 97})
        EXPECT_TRUE(v.at(unused).isEmpty()) << unused;
}

TEST(FieldValues, CollectAndCashOnDeliveryFollowPayWayAndAmount)
{
    PreInputRecord r = sample();
    r.npayway = 2;
    r.nitemtype = 7;
    r.fcod = 0.001;
    FieldValues v = FieldValues::FromRecord(r, QString(), BaseData());
    EXPECT_EQ(v.at(V::CollectFreight), QStringLiteral("'45.50"));
    EXPECT_EQ(v.at(V::CollectMark), QStringLiteral("√"));
    EXPECT_EQ(v.at(V::BagMark), QStringLiteral("√")) << "any other item type is a bag";
    EXPECT_EQ(v.at(V::ItemType), QStringLiteral("防水袋"));
    EXPECT_TRUE(v.at(V::CashOnDelivery).isEmpty());
    EXPECT_TRUE(v.at(V::DestinationCode).isEmpty()) << "no base data";
    r.fcod = 0.002;
    v = FieldValues::FromRecord(r, QString(), BaseData());
    EXPECT_EQ(v.at(V::CashOnDelivery), QStringLiteral("CNY0.00"));
    r.npayway = 0;
    v = FieldValues::FromRecord(r, QString(), BaseData());
    EXPECT_EQ(v.at(V::MonthlyMark), QStringLiteral("√"));
}

TEST(FieldValues, AServerRecordFillsTheSameNamesFromItsTags)
{
    const QByteArray reply = Gbk::fromUnicode(QStringLiteral(
        "\a<NUM>D1010000001</NUM>\a\a<SNAME>张三</SNAME>\a\a<RNAME>李四</RNAME>\a\a<RPHONE>010-66668888</RPHONE>\a"
        "\a<WEIGHT>1.200</WEIGHT>\a\a<DATE>2024-03-05</DATE>\a\a<DVALUE>250</DVALUE>\a\a<ITEM>2</ITEM>\a"
        "\a<PAYWAY>2</PAYWAY>\a\a<AMOUNT>23.00</AMOUNT>\a\a<GOODST>99.5</GOODST>\a\a<MONEY>USD</MONEY>\a"
        "\a<ITEMTYPE>0</ITEMTYPE>\a\a<DES>北京</DES>\a\a<RADDR>一号楼\n二单元</RADDR>\a"));
    const FieldValues v = FieldValues::FromServer(ServerRecord::Parse(reply), QStringLiteral("demo"), destinations());
    EXPECT_EQ(v.at(V::Number), QStringLiteral("D1010000001"));
    EXPECT_EQ(v.at(V::Sender), QStringLiteral("张三"));
    EXPECT_EQ(v.at(V::ReceiverPhone), QStringLiteral("'010-66668888"));
    EXPECT_EQ(v.at(V::Weight), QStringLiteral("1.200kg"));
    EXPECT_EQ(v.at(V::Date), QStringLiteral("'2024-03-05"));
    EXPECT_EQ(v.at(V::Declared), QStringLiteral("'2.50"));
    EXPECT_EQ(v.at(V::Pieces), QStringLiteral("2"));
    EXPECT_EQ(v.at(V::CollectFreight), QStringLiteral("'23.00"));
    EXPECT_EQ(v.at(V::CashOnDelivery), QStringLiteral("USD99.50"));
    EXPECT_EQ(v.at(V::DocumentMark), QStringLiteral("√"));
    EXPECT_EQ(v.at(V::DestinationCode), QStringLiteral("BJ"));
    EXPECT_EQ(v.at(V::ReceiverLine1 + 1), QStringLiteral("二单元"));
    EXPECT_EQ(v.at(V::Account), QStringLiteral("demo"));
}

TEST(FieldValues, VocabularyNamesAreFixedAndFitTheirSlots)
{
    EXPECT_EQ(FieldVocabulary::Name(0), QStringLiteral("发件人"));
    EXPECT_EQ(FieldVocabulary::Name(42), QStringLiteral("内部单号"));
    EXPECT_EQ(FieldVocabulary::Name(80), QStringLiteral("月结√"));
    EXPECT_EQ(FieldVocabulary::Name(100), QStringLiteral("发件短信"));
    EXPECT_EQ(FieldVocabulary::Name(101), QString());
    EXPECT_EQ(FieldVocabulary::IndexOf(QStringLiteral("目的地英文")), 99);
    QSet<QByteArray> names;
    for (int i = 0; i < FieldVocabulary::kCount; ++i) {
        EXPECT_LE(FieldVocabulary::NameGbk(i).size(), 15) << i;
        names.insert(FieldVocabulary::NameGbk(i));
    }
    EXPECT_EQ(names.size(), FieldVocabulary::kCount);
}

TEST(FieldValues, AWaybillCarriesTheNumberAsABarcodeTheExpressKindAndTheFreight)
{
    PreInputRecord r = sample();
    Gbk::setField(r.cnum, QStringLiteral("de9012300004_2"));
    Gbk::setField(r.cemskind, QStringLiteral("国际快递"));
    FieldValues v = FieldValues::FromRecord(r, QString(), destinations());
    EXPECT_EQ(v.named(FieldVocabulary::BarcodeName()), QStringLiteral("*DE90123000042*"));
    EXPECT_EQ(v.named(FieldVocabulary::ExpressKindName()), QStringLiteral("国际快递"));
    EXPECT_EQ(v.at(V::CustomerFee), QStringLiteral("'45.50")) << "the freight of any pay way";
    EXPECT_TRUE(v.at(V::CollectFreight).isEmpty()) << "paid in cash: nothing to collect";
    r.ffee = 0;
    v = FieldValues::FromRecord(r, QString(), destinations());
    EXPECT_TRUE(v.at(V::CustomerFee).isEmpty()) << "no price yet: the box stays free";

    const QByteArray reply = Gbk::fromUnicode(QStringLiteral(
        "\a<NUM>D1010000001</NUM>\a\a<EMSKIND>IE1</EMSKIND>\a\a<AMOUNT>23.5</AMOUNT>\a\a<PAYWAY>0</PAYWAY>\a"));
    v = FieldValues::FromServer(ServerRecord::Parse(reply), QString(), destinations());
    EXPECT_EQ(v.named(FieldVocabulary::BarcodeName()), QStringLiteral("*D1010000001*"));
    EXPECT_EQ(v.named(FieldVocabulary::ExpressKindName()), QStringLiteral("国际快递"))
        << "the kind's name, not its code";
    EXPECT_EQ(v.at(V::CustomerFee), QStringLiteral("'23.50"));
    const QByteArray unknownKind = Gbk::fromUnicode(QStringLiteral("\a<NUM>单号</NUM>\a\a<EMSKIND>XX9</EMSKIND>\a"));
    v = FieldValues::FromServer(ServerRecord::Parse(unknownKind), QString(), destinations());
    EXPECT_EQ(v.named(FieldVocabulary::ExpressKindName()), QStringLiteral("XX9")) << "a code the base data lacks";
    EXPECT_TRUE(v.named(FieldVocabulary::BarcodeName()).isEmpty()) << "nothing Code 39 can encode";
}

TEST(FieldValues, Code39KeepsOnlyWhatTheSymbologyEncodesBetweenItsAsterisks)
{
    EXPECT_EQ(FieldValues::Code39(QStringLiteral("DE90123000042")), QStringLiteral("*DE90123000042*"));
    EXPECT_EQ(FieldValues::Code39(QStringLiteral("de-9012.3/4+5%$ 6")), QStringLiteral("*DE-9012.3/4+5%$ 6*"));
    EXPECT_EQ(FieldValues::Code39(QStringLiteral("AB_12#中*3")), QStringLiteral("*AB123*"))
        << "underscore, hash, Chinese and the stop character are left out";
    EXPECT_EQ(FieldValues::Code39(QStringLiteral("单号")), QString());
    EXPECT_EQ(FieldValues::Code39(QString()), QString());
    EXPECT_EQ(FieldValues::Code39(QStringLiteral("ＡＢ１")), QString()) << "full-width letters are not Code 39";
}
