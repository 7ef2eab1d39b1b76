#include "excel/SheetValue.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace quarvel;
using Type = SheetValue::Type;
using Unit = SheetValue::Unit;

namespace {

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

SheetCell number(double value, const QString &shown = QString())
{
    SheetCell c = SheetCell::Number(value);
    c.shown = shown;
    return c;
}

SheetCell text(const QString &t)
{
    return SheetCell::Text(t);
}

QString digits(const SheetCell &c)
{
    const SheetValue::Text t = SheetValue::AsText(c, Type::Digits, QStringLiteral("运单号"));
    return t.problem.isEmpty() ? t.text : QStringLiteral("!") + t.problem;
}

QString weight(const SheetCell &c, Unit header = Unit::None)
{
    const SheetValue::Number n = SheetValue::AsNumber(c, Type::Weight, QStringLiteral("重量"), header);
    if (!n.problem.isEmpty())
        return QStringLiteral("!") + n.problem;
    return n.empty ? QStringLiteral("empty") : QString::number(n.value, 'g', 12);
}

} // namespace

TEST(SheetValue, DigitsKeepTheZerosTheSheetShows)
{
    EXPECT_EQ(digits(number(1086493748, QStringLiteral("01086493748"))), QStringLiteral("01086493748"));
    EXPECT_EQ(digits(number(30001, QStringLiteral("030001"))), QStringLiteral("030001"));
    // A plain number format leaves nothing shown: the digits of the value.
    EXPECT_EQ(digits(number(13800138000)), QStringLiteral("13800138000"));
    EXPECT_EQ(digits(text(QStringLiteral("0755123456"))), QStringLiteral("0755123456"));
    EXPECT_EQ(digits(text(QStringLiteral("１３８００１３８０００"))), QStringLiteral("13800138000"));
}

TEST(SheetValue, ScientificNotationIsUnwrappedOnlyWhenItHoldsEveryDigit)
{
    // A number in a plain format holds its 15 digits, however narrow its column.
    EXPECT_EQ(digits(number(773000000000123)), QStringLiteral("773000000000123"));
    // One shown as 7.73E+14 is taken as shown: an HTML or CSV export made it of that text.
    EXPECT_EQ(digits(number(773000000000000, QStringLiteral("7.73E+14"))),
              QStringLiteral("!运单号被表格改成了科学计数法"));
    EXPECT_EQ(digits(number(773000000000123, QStringLiteral("7.73000000000123E+14"))),
              QStringLiteral("773000000000123"));
    // Text saved from such a sheet has lost them.
    EXPECT_EQ(digits(text(QStringLiteral("7.73000E+14"))), QStringLiteral("!运单号被表格改成了科学计数法"));
    EXPECT_EQ(digits(text(QStringLiteral("7.73E+14"))), QStringLiteral("!运单号被表格改成了科学计数法"));
    EXPECT_EQ(digits(text(QStringLiteral("1.23456789012345E+14"))), QStringLiteral("123456789012345"));
    EXPECT_EQ(digits(text(QStringLiteral("1.2300E+2"))), QStringLiteral("123"));
    EXPECT_EQ(digits(text(QStringLiteral("1.2345E+2"))), QStringLiteral("!运单号被表格改成了科学计数法"));
    // Beyond 15 digits the sheet itself has rounded the number.
    EXPECT_EQ(digits(number(1234567890123456789.0, QStringLiteral("1.23456789012346E+018"))),
              QStringLiteral("!运单号被表格改成了科学计数法"));
    // A formula text is its text.
    EXPECT_EQ(digits(text(QStringLiteral("=\"773000000000000\""))), QStringLiteral("773000000000000"));
    EXPECT_EQ(digits(text(QStringLiteral("=\"0755\"\"1\""))), QStringLiteral("0755\"1"));
    EXPECT_EQ(digits(text(QStringLiteral("=A1&\"x\""))), QStringLiteral("=A1&\"x\""));
    // Other text fields take scientific-looking text as it is.
    EXPECT_EQ(SheetValue::AsText(text(QStringLiteral("1E5")), Type::Text, QStringLiteral("备注")).text,
              QStringLiteral("1E5"));
}

TEST(SheetValue, TextFieldsTakeWhatTheSheetShows)
{
    SheetCell date = number(39877, QStringLiteral("2009/3/5"));
    date.kind = SheetCell::Kind::Date;
    EXPECT_EQ(SheetValue::AsText(date, Type::Text, QStringLiteral("备注")).text, QStringLiteral("2009/3/5"));
    date.shown.clear();
    EXPECT_EQ(SheetValue::AsText(date, Type::Text, QStringLiteral("备注")).text, QStringLiteral("2009.03.05"));
    SheetCell error;
    error.kind = SheetCell::Kind::Error;
    error.text = QStringLiteral("#DIV/0!");
    EXPECT_EQ(SheetValue::AsText(error, Type::Text, QStringLiteral("备注")).problem,
              QStringLiteral("[备注]单元格的公式有错误(#DIV/0!)"));
}

TEST(SheetValue, WeightsTakeSeparatorsFullWidthDigitsAndUnits)
{
    EXPECT_EQ(weight(text(QStringLiteral("500g"))), QStringLiteral("0.5"));
    EXPECT_EQ(weight(text(QStringLiteral("500 克"))), QStringLiteral("0.5"));
    EXPECT_EQ(weight(text(QStringLiteral("1,234.5"))), QStringLiteral("1234.5"));
    EXPECT_EQ(weight(text(QStringLiteral("１.５"))), QStringLiteral("1.5"));
    EXPECT_EQ(weight(text(QStringLiteral("2公斤"))), QStringLiteral("2"));
    EXPECT_EQ(weight(text(QStringLiteral("2.5KG"))), QStringLiteral("2.5"));
    EXPECT_EQ(weight(text(QStringLiteral("3千克"))), QStringLiteral("3"));
    EXPECT_EQ(weight(text(QStringLiteral("1 lb"))), QStringLiteral("0.454"));
    EXPECT_EQ(weight(text(QStringLiteral("=\"2.5\""))), QStringLiteral("2.5"));
    EXPECT_EQ(weight(number(2.5)), QStringLiteral("2.5"));
    // A header that names grams makes plain numbers grams.
    EXPECT_EQ(weight(number(1500), Unit::Gram), QStringLiteral("1.5"));
    EXPECT_EQ(weight(text(QStringLiteral("2kg")), Unit::Gram), QStringLiteral("2"));
    EXPECT_EQ(weight(text(QStringLiteral("   "))), QStringLiteral("empty"));
    EXPECT_EQ(weight(SheetCell()), QStringLiteral("empty"));
}

TEST(SheetValue, AnythingElseInANumberFieldIsNamedWithItsText)
{
    EXPECT_EQ(weight(text(QStringLiteral("约2公斤"))), QStringLiteral("![重量]不是可识别的数值:约2公斤"));
    EXPECT_EQ(weight(text(QStringLiteral("abc"))), QStringLiteral("![重量]不是可识别的数值:abc"));
    EXPECT_EQ(weight(text(QStringLiteral("-1"))), QStringLiteral("![重量]不能是负数:-1"));
    EXPECT_EQ(weight(number(-2)), QStringLiteral("![重量]不能是负数:-2"));
    // A comma that is no thousands separator is not guessed at.
    EXPECT_EQ(weight(text(QStringLiteral("1,5"))), QStringLiteral("![重量]不是可识别的数值:1,5"));
    EXPECT_EQ(weight(text(QStringLiteral("2斤"))), QStringLiteral("![重量]不是可识别的数值:2斤"));
    EXPECT_EQ(weight(text(QStringLiteral("1e999"))), QStringLiteral("![重量]数值超出范围:1e999"));
    const QString longText(100000, u'重');
    EXPECT_EQ(weight(text(longText)), QStringLiteral("![重量]不是可识别的数值:") + QString(30, u'重') + u'…');
    SheetCell date = number(39877, QStringLiteral("2009-03-05"));
    date.kind = SheetCell::Kind::Date;
    EXPECT_EQ(weight(date), QStringLiteral("![重量]不是数值:2009-03-05"));
}

TEST(SheetValue, CountsAreWholeAndAmountsTakeTheirUnitOnly)
{
    const auto count = [](const QString &t) {
        const SheetValue::Number n = SheetValue::AsNumber(text(t), Type::Count, QStringLiteral("件数"));
        return n.problem.isEmpty() ? QString::number(n.value) : n.problem;
    };
    EXPECT_EQ(count(QStringLiteral("3")), QStringLiteral("3"));
    EXPECT_EQ(count(QStringLiteral("3件")), QStringLiteral("3"));
    EXPECT_EQ(count(QStringLiteral("2.5")), QStringLiteral("[件数]必须是整数:2.5"));
    EXPECT_EQ(count(QStringLiteral("3kg")), QStringLiteral("[件数]不是可识别的数值:3kg"));
    const auto amount = [](const QString &t) {
        const SheetValue::Number n = SheetValue::AsNumber(text(t), Type::Amount, QStringLiteral("声明价值"));
        return n.problem.isEmpty() ? QString::number(n.value) : n.problem;
    };
    EXPECT_EQ(amount(QStringLiteral("1,000.50元")), QStringLiteral("1000.5"));
    EXPECT_EQ(amount(QStringLiteral("12g")), QStringLiteral("[声明价值]不是可识别的数值:12g"));
}
