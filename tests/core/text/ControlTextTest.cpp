#include "text/ControlText.h"

#include <gtest/gtest.h>

using quarvel::ControlText;

TEST(ControlText, PlainTurnsEveryRunOfControlsIntoOneSpace)
{
    EXPECT_EQ(ControlText::Plain(QStringLiteral("王\x1b[31m五\x07")), QStringLiteral("王 [31m五 "));
    EXPECT_EQ(ControlText::Plain(QStringLiteral("朝阳区\r\n建国路\t1号")), QStringLiteral("朝阳区 建国路 1号"));
    // DEL and the C1 controls (U+0085 next line, U+009B a terminal's CSI) go too.
    EXPECT_EQ(ControlText::Plain(QStringLiteral("a\x7f") + QChar(0x85) + QChar(0x9b) + QStringLiteral("b")),
              QStringLiteral("a b"));
    EXPECT_EQ(ControlText::Plain(QString(QChar(0)) + QStringLiteral("x")), QStringLiteral(" x"));
    // Text without controls is kept as it is, spaces and all.
    EXPECT_EQ(ControlText::Plain(QStringLiteral(" 张三 ¥10 ")), QStringLiteral(" 张三 ¥10 "));
    EXPECT_EQ(ControlText::Plain(QString()), QString());
}

TEST(ControlText, EscapedShowsEachControlAndKeepsTheRest)
{
    EXPECT_EQ(ControlText::Escaped(QStringLiteral("a\tb\nc\rd")), QStringLiteral("a\\tb\\nc\\rd"));
    EXPECT_EQ(ControlText::Escaped(QStringLiteral("\x1b[2J\x07")), QStringLiteral("\\x1b[2J\\x07"));
    EXPECT_EQ(ControlText::Escaped(QStringLiteral("x\x7f") + QChar(0x9b)), QStringLiteral("x\\x7f\\u009b"));
    EXPECT_EQ(ControlText::Escaped(QStringLiteral("北京 C:\\dir")), QStringLiteral("北京 C:\\dir"));
    EXPECT_TRUE(ControlText::IsControl(u'\x1f'));
    EXPECT_FALSE(ControlText::IsControl(u' '));
    EXPECT_FALSE(ControlText::IsControl(u'\xa0'));
}
