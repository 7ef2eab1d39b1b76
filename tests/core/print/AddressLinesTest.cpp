#include "print/AddressLines.h"
#include "PrintTestSupport.h"

#include <gtest/gtest.h>

using namespace quarvel;
using printtest::gbk;

namespace {

std::array<QString, 3> split(const QByteArray &address)
{
    const std::array<QByteArray, 3> lines = AddressLines::Split(address);
    return {Gbk::toUnicode(lines[0]), Gbk::toUnicode(lines[1]), Gbk::toUnicode(lines[2])};
}

} // namespace

TEST(AddressLines, EmptyAndShortAddresses)
{
    EXPECT_EQ(split(QByteArray()), (std::array<QString, 3>{}));
    EXPECT_EQ(split(gbk("深圳市南山区科技园")), (std::array<QString, 3>{QStringLiteral("深圳市南山区科技园"), {}, {}}));
    EXPECT_EQ(split(QByteArray(30, 'a'))[0], QString(30, u'a'));
}

TEST(AddressLines, TheAddressesOwnLineBreaksComeFirst)
{
    EXPECT_EQ(
        split(gbk("一号楼\n二单元\r\n三楼\n301室")),
        (std::array<QString, 3>{QStringLiteral("一号楼"), QStringLiteral("二单元"), QStringLiteral("三楼301室")}));
    EXPECT_EQ(split(gbk("一号楼\n二单元")),
              (std::array<QString, 3>{QStringLiteral("一号楼"), QStringLiteral("二单元"), {}}));
}

TEST(AddressLines, ALongAddressIsCutAtItsLastBlankWithinThirtyBytes)
{
    // 45 bytes, the last blank within the first 30 at byte 20.
    const QByteArray address = QByteArray("12345678901234567890") + ' ' + QByteArray("abcdefghijklmnopqrstuvwx");
    ASSERT_EQ(address.size(), 45);
    const auto lines = AddressLines::Split(address);
    EXPECT_EQ(lines[0], QByteArray("12345678901234567890"));
    EXPECT_EQ(lines[1], QByteArray("abcdefghijklmnopqrstuvwx"));
    EXPECT_TRUE(lines[2].isEmpty());
}

TEST(AddressLines, ChineseCharactersAreNeverCutInHalf)
{
    // 16 characters of two bytes: the walk stops before the 16th, at 30 bytes.
    const QByteArray address = gbk("广东省深圳市南山区科技园南区一号");
    const auto lines = AddressLines::Split(address);
    EXPECT_EQ(lines[0], gbk("广东省深圳市南山区科技园南区一"));
    EXPECT_EQ(lines[1], gbk("号"));
    const QByteArray odd = "a" + gbk("广东省深圳市南山区科技园南区一号");
    EXPECT_EQ(AddressLines::Split(odd)[0], "a" + gbk("广东省深圳市南山区科技园南区"));
}

TEST(AddressLines, AVeryLongRestGoesOnToTheThirdLine)
{
    const QByteArray address = "Room 1201 Block A Tower Two " + QByteArray("Central Business District Beijing ") +
                               QByteArray("Chaoyang 100020 PR China extra words at the end");
    const auto lines = AddressLines::Split(address);
    EXPECT_EQ(lines[0], QByteArray("Room 1201 Block A Tower Two"));
    EXPECT_LE(lines[1].size(), 30);
    EXPECT_TRUE(lines[2].endsWith("at the end"));
}

TEST(AddressLines, MarkupFromWebPagesIsCleaned)
{
    EXPECT_EQ(AddressLines::Clean("<!-- x -->a<br>b<b>c</b>&nbsp;d\t\r\n  e   "), QByteArray("ab c d e"));
    EXPECT_EQ(AddressLines::Clean(gbk("　　 深圳 <地址")), gbk("深圳 <地址")) << "full-width blanks and a lone <";
    EXPECT_EQ(AddressLines::Clean("<!-- never closed"), QByteArray());
}
