#include "preinput/DestinationMatch.h"
#include "net/BaseData.h"
#include "net/DestinationEntry.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

BaseData base()
{
    const QString text = QStringLiteral("xx\nEMB\nTK\t特快专递\n\nEME\n\nGPB\n"
                                        "0,1\tBJ\tBEIJING\t100000\t北京\t中国\n"
                                        "0,2\tGZ\tGUANGZHOU\t510000\t广东广州\t中国\n"
                                        "0,3\tSZ\tSHENZHEN\t518000\t广东深圳\t中国\n"
                                        "0,4\tZSD\tZHONGSHAN\t528400\t广东中山\t中国\n"
                                        "0,5\tZSX\tZHONGSHANX\t530000\t广西中山\t中国\n"
                                        "2,6\tUS\tUSA\t\tUSA\t美国\n"
                                        "GPE\n\nEPB\nTK\n广东深圳\t\n\nEPE\n");
    BaseData data;
    data.parse(Gbk::fromUnicode(text));
    return data;
}

QStringList names(const QList<const DestinationEntry *> &found)
{
    QStringList out;
    for (const DestinationEntry *d : found)
        out << d->text(DestinationEntry::Name);
    return out;
}

QString resolved(const BaseData &b, const QString &text)
{
    const DestinationLookup r = ResolveDestination(b, text);
    return r.entry ? r.entry->text(DestinationEntry::Name) : QString();
}

} // namespace

TEST(DestinationMatch, ACityIsOfferedWithoutItsProvinceAndWithout市)
{
    const BaseData b = base();
    ASSERT_EQ(b.destinations().size(), 6);
    EXPECT_EQ(names(MatchDestinations(b, QStringLiteral("广州"))), QStringList{QStringLiteral("广东广州")});
    EXPECT_EQ(names(MatchDestinations(b, QStringLiteral("广州市"))), QStringList{QStringLiteral("广东广州")});
    EXPECT_EQ(names(MatchDestinations(b, QStringLiteral("北京市"))), QStringList{QStringLiteral("北京")});
    EXPECT_EQ(names(MatchDestinations(b, QStringLiteral("广东"))).size(), 3) << "a province offers its cities";
    EXPECT_EQ(names(MatchDestinations(b, QStringLiteral("中山"))),
              (QStringList{QStringLiteral("广东中山"), QStringLiteral("广西中山")}));
    EXPECT_EQ(names(MatchDestinations(b, QStringLiteral("gz"))), QStringList{QStringLiteral("广东广州")});
    EXPECT_TRUE(MatchDestinations(b, QStringLiteral("市")).isEmpty());
    EXPECT_TRUE(MatchDestinations(b, QStringLiteral("  ")).isEmpty());
}

TEST(DestinationMatch, ATextNamesOneEntryOrNoneWithTheNearestNames)
{
    const BaseData b = base();
    EXPECT_EQ(resolved(b, QStringLiteral("北京")), QStringLiteral("北京"));
    EXPECT_EQ(resolved(b, QStringLiteral(" 北京市 ")), QStringLiteral("北京"));
    EXPECT_EQ(resolved(b, QStringLiteral("北京市朝阳区")), QStringLiteral("北京")) << "the longest name it begins with";
    EXPECT_EQ(resolved(b, QStringLiteral("广州")), QStringLiteral("广东广州"));
    EXPECT_EQ(resolved(b, QStringLiteral("广东省广州市")), QStringLiteral("广东广州"));
    EXPECT_EQ(resolved(b, QStringLiteral("bj")), QStringLiteral("北京")) << "a key names its entry";
    BaseData withCity;
    withCity.parse(Gbk::fromUnicode(QStringLiteral("xx\nEMB\nTK\t特快专递\n\nEME\n\nGPB\n"
                                                   "0,1\tBJ\tBEIJING\t100000\t北京市\t中国\nGPE\n")));
    EXPECT_EQ(resolved(withCity, QStringLiteral("北京")), QStringLiteral("北京市")) << "a base data that says 市";
    EXPECT_EQ(resolved(b, QStringLiteral("518000")), QStringLiteral("广东深圳"));
    EXPECT_EQ(resolved(b, QStringLiteral("usa")), QStringLiteral("USA"));
    // A prefix is a suggestion, not a name.
    EXPECT_EQ(resolved(b, QStringLiteral("广东广")), QString());
    EXPECT_EQ(resolved(b, QStringLiteral("GUANG")), QString());

    // Two provinces have a 中山: neither is guessed, both are named.
    const DestinationLookup twice = ResolveDestination(b, QStringLiteral("中山"));
    EXPECT_EQ(twice.entry, nullptr);
    EXPECT_EQ(twice.nearest, (QStringList{QStringLiteral("广东中山"), QStringLiteral("广西中山")}));
    const DestinationLookup mars = ResolveDestination(b, QStringLiteral("火星"));
    EXPECT_EQ(mars.entry, nullptr);
    EXPECT_TRUE(mars.nearest.isEmpty());
    const DestinationLookup typo = ResolveDestination(b, QStringLiteral("广东广洲"));
    EXPECT_EQ(typo.entry, nullptr);
    EXPECT_EQ(typo.nearest, QStringList{QStringLiteral("广东广州")}) << "the name that shares the longest start";
}
