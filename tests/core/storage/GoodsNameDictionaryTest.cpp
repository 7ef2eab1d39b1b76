#include "storage/GoodsNameDictionary.h"
#include "app/ShippedData.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QByteArray gbk(const char *utf8)
{
    return Gbk::fromUnicode(QString::fromUtf8(utf8));
}

QByteArray fileOf(const QList<std::array<const char *, 3>> &entries)
{
    QByteArray file("HEADER!!");
    int n = 0;
    for (const auto &e : entries)
        file += GoodsNameDictionary::EncodeEntry(++n, e[0], gbk(e[1]), gbk(e[2]));
    return file;
}

GoodsNameDictionary sample()
{
    GoodsNameDictionary d;
    d.LoadBytes(fileOf({{"FD001", "茶叶", "Tea"},
                        {"FD002", "绿茶", "Green tea"},
                        {"FD003", "红茶", "Black tea"},
                        {"FD004", "茶叶罐", "Tea caddy"},
                        {"TX001", "衬衫", "Shirt"},
                        {"TX002", "T恤", "T-shirt"},
                        {"EL001", "手机", "Mobile phone"},
                        {"EL002", "手机壳", "Phone case"},
                        {"EL003", "手机膜", "Screen protector"},
                        {"EL004", "手机支架", "Phone holder"},
                        {"EL005", "手机配件", "Phone accessories"},
                        {"TE001", "棉", "Cotton"}}));
    return d;
}

QStringList chinese(const QList<const GoodsNameEntry *> &entries)
{
    QStringList names;
    for (const GoodsNameEntry *e : entries)
        names << e->chineseText();
    return names;
}

} // namespace

TEST(GoodsNameDictionary, LoadsWholeEntriesAndDropsAPartialOne)
{
    TempRoot root;
    QByteArray file = fileOf({{"A", "甲", "a"}, {"B", "乙", "b"}, {"C", "丙", "c"}});
    root.write(QStringLiteral("tarvo7_0.dat"), file + QByteArray(100, 'x'));
    GoodsNameDictionary d;
    ASSERT_TRUE(d.Load(root.file(QStringLiteral("tarvo7_0.dat"))));
    EXPECT_EQ(d.count(), 3);
    EXPECT_EQ(d.entry(2).chineseText(), QStringLiteral("丙"));
    EXPECT_FALSE(d.Load(root.file(QStringLiteral("missing.dat"))));
    EXPECT_EQ(d.count(), 0);
    EXPECT_TRUE(d.Suggest(QStringLiteral("a")).isEmpty());
    EXPECT_EQ(d.ChineseToEnglish(QStringLiteral("甲 乙")), QStringLiteral("甲 乙")) << "empty: words unchanged";
}

TEST(GoodsNameDictionary, FieldsWithoutTerminatorStayInsideTheirEntry)
{
    QByteArray entry(276, 'z');
    GoodsNameDictionary d;
    d.LoadBytes(QByteArray(8, '\0') + entry);
    ASSERT_EQ(d.count(), 1);
    EXPECT_EQ(d.entry(0).code.size(), 16);
    EXPECT_EQ(d.entry(0).chinese.size(), 128);
    EXPECT_EQ(d.entry(0).english.size(), 128);
}

TEST(GoodsNameDictionary, SuggestChoosesTheIndexByWhatIsTyped)
{
    const GoodsNameDictionary d = sample();
    EXPECT_EQ(chinese(d.Suggest(QStringLiteral("茶"))),
              (QStringList{QStringLiteral("茶叶"), QStringLiteral("茶叶罐")}));
    EXPECT_EQ(chinese(d.Suggest(QStringLiteral("手机"))).size(), 4) << "four at most";
    EXPECT_EQ(chinese(d.Suggest(QStringLiteral("tx0"))), (QStringList{QStringLiteral("衬衫"), QStringLiteral("T恤")}))
        << "three ASCII letters search the codes, case ignored";
    EXPECT_EQ(chinese(d.Suggest(QStringLiteral("phone hol"))), (QStringList{QStringLiteral("手机支架")}))
        << "nine characters search the English names";
    EXPECT_EQ(chinese(d.Suggest(QStringLiteral("FD001"))), (QStringList{QStringLiteral("茶叶")}))
        << "only entries that match what is typed";
    EXPECT_TRUE(d.Suggest(QString()).isEmpty());
}

TEST(GoodsNameDictionary, WithoutAPrefixHitTheNamesThatContainTheText)
{
    const GoodsNameDictionary d = sample();
    EXPECT_EQ(chinese(d.Suggest(QStringLiteral("壳"))), (QStringList{QStringLiteral("手机壳")}));
    EXPECT_EQ(
        chinese(d.Suggest(QStringLiteral("tea"))),
        (QStringList{QStringLiteral("茶叶"), QStringLiteral("绿茶"), QStringLiteral("红茶"), QStringLiteral("茶叶罐")}))
        << "no code starts with tea: English names containing it, case ignored";
    EXPECT_TRUE(d.Suggest(QStringLiteral("xyz")).isEmpty());
}

TEST(GoodsNameDictionary, TranslationLooksUpTheWholeTextThenWordByWord)
{
    const GoodsNameDictionary d = sample();
    EXPECT_EQ(d.ChineseToEnglish(QStringLiteral("茶叶(绿茶)")), QStringLiteral("Tea"));
    EXPECT_EQ(d.EnglishToChinese(QStringLiteral("GREEN TEA")), QStringLiteral("绿茶")) << "case ignored";
    EXPECT_EQ(d.EnglishToChinese(QStringLiteral("shirt  cotton widget")), QStringLiteral("衬衫、棉、widget"));
    EXPECT_EQ(d.EnglishToChinese(QStringLiteral("widget shirt")), QStringLiteral("widget 衬衫"));
    EXPECT_EQ(d.ChineseToEnglish(QStringLiteral("棉 衬衫")), QStringLiteral("Cotton,Shirt"));
    EXPECT_EQ(d.EnglishOf(QStringLiteral("手机壳")), QStringLiteral("Phone case"));
    EXPECT_EQ(d.ChineseOf(QStringLiteral("phone CASE")), QStringLiteral("手机壳"));
    EXPECT_FALSE(d.ChineseOf(QStringLiteral("phone")));
}

TEST(GoodsNameDictionary, NormalisationCanBeSwitchedOff)
{
    GoodsNameDictionary d = sample();
    d.setNormalisationOff(true);
    EXPECT_EQ(d.ChineseToEnglish(QStringLiteral("茶叶(绿茶)")), QStringLiteral("茶叶(绿茶)"));
}

TEST(GoodsNameDictionary, PickedNamesFollowTheLanguageTyped)
{
    const GoodsNameDictionary d = sample();
    const GoodsNameEntry &tea = d.entry(0);
    EXPECT_EQ(GoodsNameDictionary::PickedName(tea, QStringLiteral("茶")), QStringLiteral("茶叶"));
    EXPECT_EQ(GoodsNameDictionary::PickedName(tea, QStringLiteral("te")), QStringLiteral("Tea"));
    EXPECT_EQ(GoodsNameDictionary::SuggestionText(tea), QStringLiteral("FD001  茶叶  Tea"));
}

TEST(GoodsNameDictionary, TheShippedDictionaryHoldsThreeHundredGoods)
{
    GoodsNameDictionary d;
    ASSERT_TRUE(d.Load(ShippedData::Folder() + QStringLiteral("/DATA_SYS/tarvo7_0.dat")));
    EXPECT_GE(d.count(), 300);
    EXPECT_EQ(d.EnglishOf(QStringLiteral("茶叶")), QStringLiteral("Tea"));
    EXPECT_EQ(d.ChineseToEnglish(QStringLiteral("手机壳")), QStringLiteral("Phone case"));
    EXPECT_EQ(d.EnglishToChinese(QStringLiteral("green tea")), QStringLiteral("绿茶"));
}
