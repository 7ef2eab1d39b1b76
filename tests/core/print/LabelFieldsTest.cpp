#include "print/LabelFields.h"
#include "PrintTestSupport.h"
#include "net/BaseData.h"
#include "print/FieldVocabulary.h"
#include "print/PrintTemplate.h"
#include "storage/PreInputRecord.h"

#include <gtest/gtest.h>

using namespace quarvel;
using printtest::gbk;
using V = FieldVocabulary;

namespace {

PreInputRecord sample()
{
    PreInputRecord r{};
    r.iid = 7;
    r.ddate = {2024, 3, 5};
    r.nitemtype = 1;
    r.npayway = 0;
    r.npieces = 3;
    r.fweight = 2.5;
    r.fweighed = 2.4567;
    r.ffee = 45.5;
    r.fcod = 300;
    r.ideclare = 12345;
    Gbk::setField(r.cnum, QStringLiteral("de90123000042"));
    Gbk::setField(r.cemskind, QStringLiteral("EMS"));
    Gbk::setField(r.cdes, QStringLiteral("北京"));
    Gbk::setField(r.cfrom, QStringLiteral("深圳"));
    Gbk::setField(r.csender, QStringLiteral("Zhang San"));
    Gbk::setField(r.csendercorp, QStringLiteral("Quarvel trading"));
    Gbk::setField(r.csenderaddr, QStringLiteral("88 Shennan road\r\nFutian"));
    Gbk::setField(r.csendercity, QStringLiteral("shenzhen"));
    Gbk::setField(r.csenderphone, QStringLiteral("0755-88886666"));
    Gbk::setField(r.csenderzip, QStringLiteral("sz518000"));
    Gbk::setField(r.creceiver, QStringLiteral("李四"));
    Gbk::setField(r.creceivercorp, QStringLiteral("现代城物业"));
    Gbk::setField(r.creceiveraddr, QStringLiteral("北京市朝阳区建国路88号\n现代城A座1201室"));
    Gbk::setField(r.creceivercity, QStringLiteral("北京"));
    Gbk::setField(r.creceiverprov, QStringLiteral("北京市"));
    Gbk::setField(r.cphone, QStringLiteral("010 6666 8888"));
    Gbk::setField(r.creceiverzip, QStringLiteral("100022"));
    Gbk::setField(r.cgoods, QStringLiteral("茶叶"));
    Gbk::setField(r.cmark, QStringLiteral("易碎"));
    return r;
}

BaseData destinations()
{
    BaseData data;
    data.parse(Gbk::fromUnicode(
        QStringLiteral("xx\nEMB\nEMS\tems\n\nEME\n\nGPB\n0,4\tBJ\tBEIJING\t100000\t北京\t中国\n\nGPE\n")));
    return data;
}

LabelFields::Options options(const char *definition)
{
    PrintTemplate t(TemplateKind::Label, QStringLiteral("标签"));
    t.SetContent(gbk(definition), printtest::workbook());
    return LabelFields::Options::Of(t);
}

LabelFields fill(const PreInputRecord &r, const LabelFields::Options &o = {})
{
    return LabelFields::FromRecord(r, o, QStringLiteral("quarvel01"), destinations());
}

bool writes(const LabelFields &f, int index)
{
    for (const LabelFields::Write &w : f.writes())
        if (w.index == index)
            return true;
    return false;
}

LabelFields::Party receiver()
{
    LabelFields::Party p;
    p.name = QStringLiteral("李四");
    p.corp = QStringLiteral("现代城物业");
    p.address = QStringLiteral("北京市朝阳区建国路88号");
    p.phone = QStringLiteral("010-66668888");
    p.zip = QStringLiteral("100022");
    p.country = QStringLiteral("中国");
    p.province = QStringLiteral("北京市");
    p.city = QStringLiteral("北京");
    return p;
}

} // namespace

TEST(LabelOptions, ReadFromTheTemplateKeysAndSections)
{
    const LabelFields::Options on =
        options("全部转换大写=1\r\n换行转空格=1\r\n<发件人定义开始>\r\n  [发件人]\r\n[单位]  "
                "\r\n<发件人定义结束>\r\n<收件人定义开始>[收件人] [城市]<收件人定义结束>\r\n");
    EXPECT_TRUE(on.upperCase);
    EXPECT_TRUE(on.breaksToBlanks);
    EXPECT_EQ(on.senderPattern, QStringLiteral("[发件人]\n[单位]")) << "trimmed, carriage returns removed";
    EXPECT_EQ(on.receiverPattern, QStringLiteral("[收件人] [城市]"));

    const LabelFields::Options off = options("#全部转换大写=1\r\n换行转空格=2\r\n<发件人定义开始>[发件人]\r\n");
    EXPECT_FALSE(off.upperCase) << "commented out";
    EXPECT_FALSE(off.breaksToBlanks) << "only 1 switches it on";
    EXPECT_TRUE(off.senderPattern.isEmpty()) << "a section without its end marker";
    EXPECT_TRUE(off.receiverPattern.isEmpty());
}

TEST(LabelPatterns, BracketsAreReplacedAndPlacesAlreadyNamedAreLeftOut)
{
    const LabelFields::Party r = receiver();
    EXPECT_EQ(LabelFields::ReceiverText(QStringLiteral("[收件人]([单位]) [地址] [城市]"), r, QStringLiteral("北京")),
              QStringLiteral("李四(现代城物业) 北京市朝阳区建国路88号"))
        << "the address already names the city";
    EXPECT_EQ(LabelFields::ReceiverText(QStringLiteral("[目的地]:[收件人] [邮编] [国家]"), r, QStringLiteral("BJ")),
              QStringLiteral("BJ:李四 100022 中国"));
    EXPECT_EQ(LabelFields::ReceiverText(QStringLiteral("[收件人] [电话] 电话010-66668888"), r, QString()),
              QStringLiteral("李四  电话010-66668888"))
        << "the phone is in the pattern's own text already";
    EXPECT_EQ(LabelFields::ReceiverText(QStringLiteral("[收件人] [省州][城市]"), r, QString()),
              QStringLiteral("李四 北京市"))
        << "the city is part of the province just written";

    LabelFields::Party s = receiver();
    s.name = QStringLiteral("张三");
    s.address = QStringLiteral("深圳南山");
    s.city = QStringLiteral("深圳");
    EXPECT_EQ(LabelFields::SenderText(QStringLiteral("[发件人] [电话] [邮编]\n[地址][城市]"), s),
              QStringLiteral("张三 010-66668888 100022\n深圳南山"));
    EXPECT_EQ(LabelFields::SenderText(QStringLiteral("[目的地] [发件人]"), s), QStringLiteral("[目的地] 张三"))
        << "the sender's pattern knows no destination";
}

TEST(LabelPatterns, ShortPatternsGiveTheNameAloneAndEmptyValuesLeaveNoBrackets)
{
    const LabelFields::Party r = receiver();
    EXPECT_EQ(LabelFields::ReceiverText(QStringLiteral("[收件人]"), r, QString()), QStringLiteral("李四"))
        << "5 characters are no pattern";
    EXPECT_EQ(LabelFields::ReceiverText(QString(), r, QString()), QStringLiteral("李四"));
    EXPECT_EQ(LabelFields::SenderText(QStringLiteral("先生:[发件人]"), r), QStringLiteral("先生:李四"));

    LabelFields::Party empty;
    EXPECT_EQ(LabelFields::SenderText(QStringLiteral("  [发件人] [单位] [城市] [国家]  "), empty), QString());
    EXPECT_EQ(LabelFields::ReceiverText(QStringLiteral("收:[收件人] [单位] 电话[电话]"), empty, QString()),
              QStringLiteral("收:  电话"));
}

TEST(LabelFields, ARecordFillsTheLabelWithItsOwnRules)
{
    const LabelFields f = fill(sample());
    EXPECT_EQ(f.number(), QStringLiteral("de90123000042"));
    EXPECT_EQ(f.text(QStringLiteral("内单号39码")), QStringLiteral("*DE90123000042*"));
    EXPECT_EQ(f.text(V::Number), QStringLiteral("de90123000042"));
    EXPECT_EQ(f.text(V::Account), QStringLiteral("quarvel01"));
    EXPECT_EQ(f.text(QStringLiteral("网络渠道")), QStringLiteral("EMS"));
    EXPECT_EQ(f.text(QStringLiteral("发件人姓名")), QStringLiteral("Zhang San"));
    EXPECT_EQ(f.text(QStringLiteral("收件人姓名")), QStringLiteral("李四"));
    EXPECT_EQ(f.text(V::Sender), QStringLiteral("Zhang San")) << "no pattern: the name";
    EXPECT_EQ(f.text(V::SenderPhone), QStringLiteral("'0755-88886666"));
    EXPECT_EQ(f.text(V::ReceiverPhone), QStringLiteral("010 6666 8888")) << "with blanks it is no number";
    EXPECT_EQ(f.text(V::ReceiverZip), QStringLiteral("'100022"));
    EXPECT_FALSE(writes(f, V::SenderSms)) << "an empty SMS number is not written";
    EXPECT_EQ(f.text(V::MonthlyMark), QStringLiteral("月结")) << "a label names the pay way";
    EXPECT_FALSE(writes(f, V::CashMark));
    EXPECT_FALSE(writes(f, V::CollectMark));
    EXPECT_EQ(f.text(V::DocumentMark), QStringLiteral("包裹")) << "a label names the item type";
    EXPECT_FALSE(writes(f, V::ParcelMark));
    EXPECT_FALSE(writes(f, V::CollectFreight)) << "monthly accounts collect nothing";
    EXPECT_FALSE(writes(f, V::CashOnDelivery));
    EXPECT_EQ(f.text(V::CustomerFee), QStringLiteral("'45.50"));
    EXPECT_EQ(f.text(V::Weight), QStringLiteral("2.500kg"));
    EXPECT_EQ(f.text(V::Weighed), QStringLiteral("2.457kg"));
    EXPECT_EQ(f.text(V::Date), QStringLiteral("'2024-03-05"));
    EXPECT_EQ(f.text(V::Declared), QStringLiteral("'123.45"));
    EXPECT_EQ(f.text(V::Insured), QStringLiteral("'0.00"));
    EXPECT_EQ(f.text(V::Pieces), QStringLiteral("3"));
    EXPECT_EQ(f.text(V::DestinationCode), QStringLiteral("BJ"));
    EXPECT_EQ(f.text(V::DestinationEnglish), QStringLiteral("BEIJING"));
    EXPECT_EQ(f.text(V::Mark), QStringLiteral("易碎"));
    EXPECT_EQ(f.text(V::ReceiverLine1), QStringLiteral("北京市朝阳区建国路88号"));
    EXPECT_EQ(f.text(V::ReceiverLine1 + 1), QStringLiteral("现代城A座1201室"));
    EXPECT_TRUE(writes(f, V::ReceiverLine1 + 2)) << "the empty third line clears its cell";
    EXPECT_TRUE(f.text(V::ReceiverLine1 + 2).isEmpty());
    EXPECT_EQ(f.text(V::SenderLine1), QStringLiteral("88 Shennan road"));
}

TEST(LabelFields, CollectOnDeliveryWritesTheFreightAndTheAmountToCollect)
{
    PreInputRecord r = sample();
    r.npayway = 2;
    r.nitemtype = 5;
    const LabelFields f = fill(r);
    EXPECT_EQ(f.text(V::MonthlyMark), QStringLiteral("到付"));
    EXPECT_EQ(f.text(V::DocumentMark), QStringLiteral("防水袋"));
    EXPECT_EQ(f.text(V::CollectFreight), QStringLiteral("'45.50"));
    EXPECT_EQ(f.text(V::CashOnDelivery), QStringLiteral("'300.00"));
    r.npayway = 1;
    EXPECT_EQ(fill(r).text(V::MonthlyMark), QStringLiteral("现付"));
    EXPECT_FALSE(writes(fill(r), V::CollectFreight));
}

TEST(LabelFields, UpperCaseAndLineBreakOptionsPrepareTheTexts)
{
    const LabelFields::Options o = options("全部转换大写=1\r\n换行转空格=1\r\n<发件人定义开始>[发件人] [单位] "
                                           "[城市]<发件人定义结束>\r\n");
    const LabelFields f = fill(sample(), o);
    EXPECT_EQ(f.text(V::SenderCorp), QStringLiteral("QUARVEL TRADING"));
    EXPECT_EQ(f.text(V::SenderCity), QStringLiteral("SHENZHEN"));
    EXPECT_EQ(f.text(V::SenderZip), QStringLiteral("SZ518000"));
    EXPECT_EQ(f.text(V::SenderAddress), QStringLiteral("88 SHENNAN ROAD FUTIAN")) << "line break to blank";
    EXPECT_EQ(f.text(QStringLiteral("发件人姓名")), QStringLiteral("Zhang San")) << "names keep their case";
    EXPECT_EQ(f.text(V::Sender), QStringLiteral("Zhang San QUARVEL TRADING SHENZHEN"));
    EXPECT_EQ(f.text(V::SenderLine1), QStringLiteral("88 Shennan road")) << "address lines come from the record";
    EXPECT_EQ(f.text(V::SenderLine1 + 1), QStringLiteral("Futian"));
    EXPECT_EQ(f.text(V::ReceiverAddress), QStringLiteral("北京市朝阳区建国路88号 现代城A座1201室"));

    const LabelFields plain = fill(sample());
    EXPECT_EQ(plain.text(V::SenderCorp), QStringLiteral("Quarvel trading"));
    EXPECT_EQ(plain.text(V::SenderAddress), QStringLiteral("88 Shennan road\r\nFutian"));
}

TEST(LabelFields, AnEmptyNumberStillClearsItsCellsButGivesNoBarcode)
{
    PreInputRecord r = sample();
    Gbk::setField(r.cnum, QStringLiteral("单号"));
    const LabelFields f = fill(r);
    EXPECT_EQ(f.text(V::Number), QStringLiteral("单号"));
    EXPECT_TRUE(f.text(QStringLiteral("内单号39码")).isEmpty()) << "nothing Code 39 encodes: no bars";
    EXPECT_FALSE(f.text(QStringLiteral("内单号39码")).isNull()) << "but the cell is cleared";
    Gbk::setField(r.cnum, QString());
    EXPECT_TRUE(writes(fill(r), V::Number));
    EXPECT_TRUE(fill(r).text(V::Number).isEmpty());

    Gbk::setField(r.cnum, QStringLiteral("0012345678"));
    EXPECT_EQ(fill(r).text(V::Number), QStringLiteral("'0012345678")) << "the number stays text with its zeros";
    EXPECT_EQ(fill(r).text(QStringLiteral("内单号39码")), QStringLiteral("*0012345678*"));
}

TEST(LabelFields, EmptyTextsClearTheirCellsButEmptyPhonesPostcodesAndSmsAreLeftOut)
{
    PreInputRecord empty{};
    empty.ddate = {2024, 3, 5};
    Gbk::setField(empty.cnum, QStringLiteral("DE90123000042"));
    const LabelFields f = LabelFields::FromRecord(empty, {}, QString(), destinations());
    for (const int cleared : {int(V::Sender),
                              int(V::SenderCorp),
                              int(V::SenderAddress),
                              int(V::SenderCity),
                              int(V::SenderProvince),
                              int(V::SenderCountry),
                              int(V::SenderMail),
                              int(V::Receiver),
                              int(V::ReceiverCorp),
                              int(V::ReceiverAddress),
                              int(V::ReceiverCity),
                              int(V::ReceiverProvince),
                              int(V::ReceiverCountry),
                              int(V::ReceiverMail),
                              int(V::Account),
                              int(V::From),
                              int(V::Destination),
                              int(V::Goods),
                              int(V::Mark),
                              int(V::Department),
                              int(V::PayDirection),
                              int(V::ReceiverLine1),
                              int(V::ReceiverLine1 + 2),
                              int(V::SenderLine1)}) {
        EXPECT_TRUE(writes(f, cleared)) << V::Name(cleared).toStdString() << " keeps no sample text";
        EXPECT_TRUE(f.text(cleared).isEmpty()) << V::Name(cleared).toStdString();
        EXPECT_FALSE(f.text(cleared).isNull()) << "written, though empty";
    }
    for (const char *name : {"网络渠道", "发件人姓名", "收件人姓名"})
        EXPECT_FALSE(f.text(QString::fromUtf8(name)).isNull()) << name;
    for (const int left : {int(V::SenderPhone), int(V::SenderZip), int(V::SenderSms), int(V::ReceiverPhone),
                           int(V::ReceiverZip), int(V::ReceiverSms)})
        EXPECT_FALSE(writes(f, left)) << V::Name(left).toStdString() << " is written only when there is one";
    EXPECT_FALSE(writes(f, V::DestinationCode)) << "no destination found, nothing to write";
}
