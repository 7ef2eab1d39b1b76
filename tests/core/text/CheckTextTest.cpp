#include "text/CheckText.h"
#include "app/ScriptedPrompter.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

TEST(Gbk, ConvertsBothWaysAndRefusesWhatItCannotHold)
{
    const QString text = QStringLiteral("北京 Beijing €");
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(text, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(gbk, QByteArray("\xb1\xb1\xbe\xa9 Beijing \x80"));
    EXPECT_EQ(Gbk::toUnicode(gbk), text);

    EXPECT_TRUE(Gbk::fromUnicode(QStringLiteral("a😀b"), &ok).isEmpty());
    EXPECT_FALSE(ok);
    // A cut-off double-byte character reads as a replacement, the rest survives.
    EXPECT_EQ(Gbk::toUnicode(QByteArray("ab\xb1")), QStringLiteral("ab\uFFFD"));

    char field[6];
    Gbk::setField(field, QStringLiteral("a北京"));
    EXPECT_EQ(QByteArray(field, 6), QByteArray("a\xb1\xb1\xbe\xa9\0", 6));
    Gbk::setField(field, QStringLiteral("ab北京"));
    EXPECT_EQ(QByteArray(field, 6), QByteArray("ab\xb1\xb1\0\0", 6)) << "never half a character";
}

TEST(CheckText, TrimsCountsCharactersForMinAndBytesForMax)
{
    ScriptedPrompter p;
    char field[8];
    std::memset(field, 'x', sizeof field);

    QString value = QStringLiteral("  张三  ");
    EXPECT_TRUE(CheckText(value, 2, 4, QStringLiteral("姓名"), p, field));
    EXPECT_EQ(value, QStringLiteral("张三")) << "trimmed in place";
    EXPECT_EQ(QByteArray(field, 8), QByteArray("\xd5\xc5\xc8\xfd\0\0\0\0", 8));
    EXPECT_TRUE(p.shown().isEmpty());

    value = QStringLiteral(" 张 ");
    EXPECT_FALSE(CheckText(value, 2, 30, QStringLiteral("姓名"), p, field));
    ASSERT_EQ(p.shown().size(), 1);
    EXPECT_EQ(p.shown().last().kind, ScriptedPrompter::Kind::Error);
    EXPECT_EQ(p.shown().last().title, QStringLiteral("数据错误"));
    EXPECT_EQ(p.lastText(), QStringLiteral("[姓名]不得短于 2 字符。"));
    EXPECT_EQ(QByteArray(field, 4), QByteArray("\xd5\xc5\xc8\xfd", 4)) << "the field is untouched on refusal";

    value = QStringLiteral("张三丰");
    EXPECT_FALSE(CheckText(value, 1, 5, QStringLiteral("姓名"), p, field));
    EXPECT_EQ(p.lastText(), QStringLiteral("[姓名]长度不得超过 5 字符。"));

    value = QStringLiteral("12345");
    EXPECT_TRUE(CheckText(value, 0, 5, QStringLiteral("邮编"), p, field));

    value = QString();
    EXPECT_TRUE(CheckText(value, 0, 5, QStringLiteral("邮编"), p, field));
    EXPECT_EQ(field[0], '\0');
}

TEST(CheckText, RefusesCharactersGbkCannotHoldNamingTheField)
{
    ScriptedPrompter p;
    char field[32] = "old";
    QString value = QStringLiteral("Café 😀");
    EXPECT_FALSE(CheckText(value, 0, 30, QStringLiteral("收件人"), p, field));
    EXPECT_EQ(p.shown().last().title, QStringLiteral("数据错误"));
    EXPECT_TRUE(p.lastText().startsWith(QStringLiteral("[收件人]")));
    EXPECT_TRUE(p.lastText().contains(QStringLiteral("😀")));
    EXPECT_STREQ(field, "old");
    // é is in GBK; the checks before the conversion still come first.
    value = QStringLiteral("é");
    EXPECT_FALSE(CheckText(value, 2, 30, QStringLiteral("收件人"), p, field));
    EXPECT_EQ(p.lastText(), QStringLiteral("[收件人]不得短于 2 字符。"));
}
