#include "net/BaseData.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

using namespace quarvel;

namespace {

QByteArray gbk(const char16_t *text)
{
    return Gbk::fromUnicode(QString::fromUtf16(text));
}

// A base-data text as the server sends it, between its 'C' and its BEL.
QByteArray sampleText()
{
    return "xD\nEMB\nEMS\t" + gbk(u"特快专递") + "\nEXP\t" + gbk(u"经济快递") + "\nZZZ\t" + gbk(u"停用") +
           "\n\nEME\n\nGPB\n" + "0,1\tBJ\tBEIJING\t100000\t" + gbk(u"北京") + "\t" + gbk(u"中国") + "\n" +
           "0,2\tGZ\tguangzhou\t510000\t" + gbk(u"广州") + "\t" + gbk(u"中国") + "\n" + "0,3\tgzs\tGuangzhouShi\t\t" +
           gbk(u"广州市") + "\t" + gbk(u"中国") + "\n" + "2,12\tUS\tAMERICA\t\tUSA\tUnited States\n" +
           "\nGPE\n\nEPB\n" + "EMS\n" + gbk(u"北京") + "\t" + gbk(u"广州") + "\t\n" + "NOPE\nUSA\t\n" + "EXP\n" +
           gbk(u"北京") + "\t" + gbk(u"广州市") + "\t\n" + "\nEPE\n\a";
}

QByteArray stored(const QByteArray &text)
{
    QByteArray bytes = text;
    for (char &c : bytes)
        c = static_cast<char>(c ^ 8);
    return bytes;
}

} // namespace

TEST(BaseData, ParsesTheThreeBlocks)
{
    BaseData data;
    data.parse(sampleText());
    EXPECT_TRUE(data.volumeModeD());
    ASSERT_EQ(data.kinds().size(), 3);
    EXPECT_EQ(data.kindNames(),
              (QStringList{QStringLiteral("特快专递"), QStringLiteral("经济快递"), QStringLiteral("停用")}));
    EXPECT_EQ(data.kinds()[0].code, "EMS");
    ASSERT_EQ(data.destinations().size(), 4);
    const DestinationEntry &us = data.destinations()[3];
    EXPECT_EQ(us.sequence, 4);
    EXPECT_EQ(us.region, 2);
    EXPECT_EQ(us.second, 12);
    EXPECT_EQ(us.firstKey, "US");
    EXPECT_EQ(us.secondKey, "AMERICA");
    EXPECT_EQ(us.postcode, "");
    EXPECT_EQ(us.name, "USA");
    EXPECT_EQ(us.country, "United States");
    EXPECT_EQ(data.destinations()[0].text(DestinationEntry::Name), QStringLiteral("北京"));
    EXPECT_EQ(data.destinations()[0].postcode, "100000");

    // The unknown kind code NOPE is skipped with its line; ZZZ has no line.
    EXPECT_TRUE(data.kinds()[0].served.has_value());
    EXPECT_TRUE(data.kinds()[1].served.has_value());
    EXPECT_FALSE(data.kinds()[2].served.has_value());
}

TEST(BaseData, ServedDestinationIsAWholeEntry)
{
    BaseData data;
    data.parse(sampleText());
    const ExpressKind *ems = data.kindByName(QStringLiteral("特快专递"));
    const ExpressKind *exp = data.kindByCode(QStringLiteral("EXP"));
    ASSERT_TRUE(ems && exp);
    EXPECT_TRUE(ems->serves(QStringLiteral("广州")));
    EXPECT_TRUE(ems->serves(QStringLiteral("北京")));
    EXPECT_FALSE(exp->serves(QStringLiteral("广州")));
    EXPECT_TRUE(exp->serves(QStringLiteral("广州市")));
    EXPECT_FALSE(ems->serves(QStringLiteral("州"))) << "a tail of an entry is not an entry";
    EXPECT_FALSE(ems->serves(QString()));
    EXPECT_FALSE(data.kindByCode(QStringLiteral("ZZZ"))->serves(QStringLiteral("北京")));
    EXPECT_EQ(data.kindByName(QStringLiteral("没有")), nullptr);
    EXPECT_EQ(data.kindByCode(QStringLiteral("ems")), nullptr) << "codes match exactly";
}

TEST(BaseData, SortedViewsAndPrefixLookUps)
{
    BaseData data;
    data.parse(sampleText());
    // Second keys sorted with case ignored: AMERICA, BEIJING, guangzhou, GuangzhouShi.
    QList<QByteArray> order;
    for (int i = 0; i < 4; ++i)
        order << data.viewAt(DestinationEntry::SecondKey, i).secondKey;
    EXPECT_EQ(order, (QList<QByteArray>{"AMERICA", "BEIJING", "guangzhou", "GuangzhouShi"}));

    EXPECT_EQ(data.findPrefix(DestinationEntry::SecondKey, QStringLiteral("GUANG")), 2);
    const auto guang = data.matchPrefix(DestinationEntry::SecondKey, QStringLiteral("gUaNg"), 5);
    ASSERT_EQ(guang.size(), 2);
    EXPECT_EQ(guang[0]->name, gbk(u"广州"));
    EXPECT_EQ(guang[1]->name, gbk(u"广州市"));
    EXPECT_EQ(data.matchPrefix(DestinationEntry::SecondKey, QStringLiteral("g"), 1).size(), 1);
    EXPECT_EQ(data.findPrefix(DestinationEntry::SecondKey, QStringLiteral("Z")), -1);
    EXPECT_EQ(data.findPrefix(DestinationEntry::SecondKey, QString()), -1);
    EXPECT_EQ(data.matchPrefix(DestinationEntry::FirstKey, QStringLiteral("gz"), 5).size(), 2);
    EXPECT_EQ(data.matchPrefix(DestinationEntry::Name, QStringLiteral("广州"), 5).size(), 2);
    EXPECT_EQ(data.matchPrefix(DestinationEntry::Postcode, QStringLiteral("5100"), 5).size(), 1);
    EXPECT_EQ(data.matchPrefix(DestinationEntry::Country, QStringLiteral("united"), 5).size(), 1);

    ASSERT_NE(data.destinationByName(QStringLiteral("广州")), nullptr);
    EXPECT_EQ(data.destinationByName(QStringLiteral("广州"))->sequence, 2);
    EXPECT_EQ(data.destinationByName(QStringLiteral("usa")), nullptr) << "exact name only";
    EXPECT_EQ(data.destinationByName(QStringLiteral("USA"))->sequence, 4);
}

TEST(BaseData, BlocksEndAtTheFirstBadLine)
{
    BaseData data;
    // A kind line without a tab keeps only the kinds before it; a destination
    // line with four tabs ends the destinations.
    data.parse("x\nEMB\nA\ta\nno tab here\nB\tb\n\nEME\n\nGPB\n0,0\tk\tK\tp\tOne\tC\n0,0\tk\tK\tp\tTwo\n"
               "0,0\tk\tK\tp\tThree\tC\n\nGPE\n");
    ASSERT_EQ(data.kinds().size(), 1);
    EXPECT_EQ(data.kinds()[0].code, "A");
    ASSERT_EQ(data.destinations().size(), 1);
    EXPECT_EQ(data.destinations()[0].name, "One");
    EXPECT_FALSE(data.volumeModeD());
}

TEST(BaseData, MissingSectionsKeepWhatWasLoaded)
{
    BaseData data;
    data.parse(sampleText());
    data.parse("yD no blocks at all");
    EXPECT_TRUE(data.volumeModeD());
    EXPECT_EQ(data.kinds().size(), 3);
    EXPECT_EQ(data.destinations().size(), 4);

    // New kinds without a destination block keep the old destinations.
    data.parse("y\nEMB\nN\tnew\n\nEME\n");
    EXPECT_FALSE(data.volumeModeD());
    ASSERT_EQ(data.kinds().size(), 1);
    EXPECT_EQ(data.destinations().size(), 4);
    EXPECT_EQ(data.destinationByName(QStringLiteral("USA"))->sequence, 4);

    // An empty kind block clears the kinds and stops there.
    data.parse("y\nEMB\n\nEME\n\nGPB\n\nGPE\n");
    EXPECT_TRUE(data.kinds().isEmpty());
    EXPECT_EQ(data.destinations().size(), 4);
}

TEST(BaseData, OverlongFieldsAreCutAtCharacterBoundaries)
{
    BaseData data;
    data.parse("x\nEMB\n" + QByteArray(20, 'c') + "\t" + gbk(u"一二三四五六七八九十一二三四五六") + "\n\nEME\n" +
               "\nGPB\n0,0\tKEY12345\tk\tp\tn\tc\n\nGPE\n");
    ASSERT_EQ(data.kinds().size(), 1);
    EXPECT_EQ(data.kinds()[0].code.size(), 15);
    EXPECT_EQ(data.kinds()[0].name.size(), 30) << "31 bytes would split a character";
    EXPECT_EQ(data.destinations()[0].firstKey, "KEY1234");
}

TEST(BaseData, LoadsTheStoredFile)
{
    TempRoot root;
    BaseData data;
    EXPECT_FALSE(data.LoadBaseData(root.file(QStringLiteral("0.dat"))));
    EXPECT_TRUE(data.kinds().isEmpty());

    root.write(QStringLiteral("0.dat"), stored(sampleText()));
    ASSERT_TRUE(data.LoadBaseData(root.file(QStringLiteral("0.dat"))));
    EXPECT_EQ(data.kinds().size(), 3);
    EXPECT_EQ(BaseData::decode(stored("abc\a")), "abc\a");
    // A stored NUL ends the text.
    EXPECT_EQ(BaseData::decode(stored("ab") + '\0' + stored("cd")), "ab");

    // A file that is gone later leaves the loaded data alone.
    QFile::remove(root.file(QStringLiteral("0.dat")));
    EXPECT_FALSE(data.LoadBaseData(root.file(QStringLiteral("0.dat"))));
    EXPECT_EQ(data.kinds().size(), 3);
}
