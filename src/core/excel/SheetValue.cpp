#include "excel/SheetValue.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace quarvel {

namespace {

constexpr double kGramsPerKilogram = 1000.0;
constexpr double kKilogramsPerPound = 0.45359237;
// Longer cell texts are cut in messages.
constexpr qsizetype kQuotedLength = 30;

// ="0123": how web exports and careful Excel users keep digits as text.
QString unwrapFormulaText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.size() < 3 || !t.startsWith(QLatin1String("=\"")) || !t.endsWith(u'"'))
        return text;
    QString inner = t.mid(2, t.size() - 3);
    // A formula text doubles its quotes; a lone quote means more formula.
    if (QString(inner).remove(QLatin1String("\"\"")).contains(u'"'))
        return text;
    return inner.replace(QLatin1String("\"\""), QLatin1String("\""));
}

// A whole number written as mantissa and exponent ("7.73E+14"): its digits
// when the mantissa holds every one of them, else nothing (the sheet has
// rounded it away). `matched` tells whether the text has that form at all.
std::optional<QString> scientificDigits(const QString &text, bool &matched)
{
    matched = false;
    // Most digits are no scientific notation; the pattern is tried only where it can match.
    if (!text.contains(u'E') && !text.contains(u'e'))
        return std::nullopt;
    static const QRegularExpression form(QStringLiteral("^(\\d+)(?:\\.(\\d*))?[eE]\\+?(\\d{1,3})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    matched = m.hasMatch();
    if (!matched)
        return std::nullopt;
    const QString digits = m.captured(1) + m.captured(2);
    const qsizetype point = m.captured(1).size() + m.captured(3).toInt();
    if (digits.size() < point)
        return std::nullopt;
    // Digits after the point must be zeros, or the number has a fraction.
    for (qsizetype i = point; i < digits.size(); ++i)
        if (digits.at(i) != u'0')
            return std::nullopt;
    QString whole = digits.left(point);
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    return whole;
}

bool isWhole(double value)
{
    return std::isfinite(value) && std::floor(value) == value;
}

QString shownOrValue(const SheetCell &cell)
{
    return cell.shown.isEmpty() ? cell.importText() : cell.shown;
}

SheetValue::Number problem(const QString &text)
{
    SheetValue::Number n;
    n.empty = false;
    n.problem = text;
    return n;
}

} // namespace

QString SheetValue::HalfWidth(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(char16_t(u - 0xFEE0));
        else if (u == 0x3000)
            c = QChar(u' ');
    }
    return out;
}

QString SheetValue::Quoted(const QString &text)
{
    return text.size() > kQuotedLength ? text.left(kQuotedLength) + QStringLiteral("…") : text;
}

SheetValue::Unit SheetValue::UnitNamed(const QString &text)
{
    const QString t = HalfWidth(text).trimmed().toLower();
    if (t == QLatin1String("kg") || t == QLatin1String("kgs") || t == QStringLiteral("公斤") ||
        t == QStringLiteral("千克"))
        return Unit::Kilogram;
    if (t == QLatin1String("g") || t == QStringLiteral("克"))
        return Unit::Gram;
    if (t == QLatin1String("lb") || t == QLatin1String("lbs") || t == QStringLiteral("磅"))
        return Unit::Pound;
    return Unit::None;
}

SheetValue::Text SheetValue::AsText(const SheetCell &cell, Type type, const QString &caption)
{
    switch (cell.kind) {
    case SheetCell::Kind::Empty:
        return {};
    case SheetCell::Kind::Error:
        return {QString(), QStringLiteral("[%1]单元格的公式有错误(%2)").arg(caption, cell.text)};
    case SheetCell::Kind::Text: {
        // A stored field ends at its first NUL: a text checked with them would be stored shorter than checked.
        const QString text =
            unwrapFormulaText(cell.text.contains(QChar(0)) ? QString(cell.text).remove(QChar(0)) : cell.text);
        return type == Type::Digits ? digitsOfText(text, caption) : Text{text, QString()};
    }
    case SheetCell::Kind::Number:
        if (type == Type::Digits)
            return digitsOfNumber(cell, caption);
        return {shownOrValue(cell), QString()};
    case SheetCell::Kind::Date:
    case SheetCell::Kind::Time:
    case SheetCell::Kind::DateTime:
    case SheetCell::Kind::Boolean:
        return {shownOrValue(cell), QString()};
    }
    return {};
}

// A number in a digits field: what the sheet shows (a zero-padding format
// keeps its zeros). A number shown in scientific notation is taken only when
// what is shown holds every digit: an HTML or CSV export turned "7.73E+14"
// into a number that never had the other digits. A number in a plain format
// holds its digits up to 15; beyond, the sheet itself has rounded it.
SheetValue::Text SheetValue::digitsOfNumber(const SheetCell &cell, const QString &caption)
{
    const double value = cell.number;
    const QString shown = cell.shown.trimmed();
    bool scientific = false;
    const std::optional<QString> shownDigits = scientificDigits(shown, scientific);
    if (scientific)
        return shownDigits ? Text{*shownDigits, QString()}
                           : Text{QString(), QStringLiteral("%1被表格改成了科学计数法").arg(caption)};
    if (!isWhole(value))
        return {shownOrValue(cell), QString()};
    if (std::fabs(value) >= kExactDigitsLimit)
        return {QString(), QStringLiteral("%1被表格改成了科学计数法").arg(caption)};
    return {shown.isEmpty() ? SheetCell::NumberText(value) : shown, QString()};
}

SheetValue::Text SheetValue::digitsOfText(const QString &text, const QString &caption)
{
    const QString half = HalfWidth(text);
    bool scientific = false;
    const std::optional<QString> digits = scientificDigits(half, scientific);
    if (!scientific)
        return {half, QString()};
    if (!digits)
        return {QString(), QStringLiteral("%1被表格改成了科学计数法").arg(caption)};
    return {*digits, QString()};
}

SheetValue::Number SheetValue::AsNumber(const SheetCell &cell, Type type, const QString &caption, Unit headerUnit)
{
    Number n;
    switch (cell.kind) {
    case SheetCell::Kind::Empty:
        return n;
    case SheetCell::Kind::Error:
        return problem(QStringLiteral("[%1]单元格的公式有错误(%2)").arg(caption, cell.text));
    case SheetCell::Kind::Text: {
        const QString text = unwrapFormulaText(cell.text).trimmed();
        if (text.isEmpty())
            return n;
        return parseNumber(text, type, caption, headerUnit);
    }
    case SheetCell::Kind::Number:
        return numberValue(cell.number, type, caption, headerUnit);
    case SheetCell::Kind::Date:
    case SheetCell::Kind::Time:
    case SheetCell::Kind::DateTime:
    case SheetCell::Kind::Boolean:
        break;
    }
    return problem(QStringLiteral("[%1]不是数值:%2").arg(caption, Quoted(shownOrValue(cell))));
}

// Digits with thousands separators in groups of three, a fraction, an
// exponent, then a unit where the field has units.
SheetValue::Number SheetValue::parseNumber(const QString &text, Type type, const QString &caption, Unit headerUnit)
{
    static const QRegularExpression form(
        QStringLiteral("^([+-]?)((?:\\d{1,3}(?:,\\d{3})+|\\d+)(?:\\.\\d*)?|\\.\\d+)(?:[eE]([+-]?\\d+))?\\s*(\\S*)$"));
    const QString half = HalfWidth(text).trimmed();
    const QRegularExpressionMatch m = form.match(half);
    const QString unknown = QStringLiteral("[%1]不是可识别的数值:%2").arg(caption, Quoted(text));
    if (!m.hasMatch())
        return problem(unknown);
    const QString unitText = m.captured(4);
    Unit unit = headerUnit;
    if (!unitText.isEmpty()) {
        const bool counted =
            type == Type::Count && (unitText == QStringLiteral("件") || unitText == QStringLiteral("个"));
        const bool money = type == Type::Amount && unitText == QStringLiteral("元");
        unit = type == Type::Weight ? UnitNamed(unitText) : Unit::None;
        if (!counted && !money && unit == Unit::None)
            return problem(unknown);
    }
    QString number = m.captured(2);
    number.remove(u',');
    const double value = (number + (m.captured(3).isEmpty() ? QString() : u'e' + m.captured(3))).toDouble();
    const bool negative = m.captured(1) == QLatin1String("-") && value != 0;
    return checked(negative ? -value : value, type, caption, text, unit);
}

SheetValue::Number SheetValue::numberValue(double value, Type type, const QString &caption, Unit headerUnit)
{
    return checked(value, type, caption, SheetCell::NumberText(value), headerUnit);
}

// A number read from a cell, in the field's unit, or why the field cannot take it.
SheetValue::Number SheetValue::checked(double value, Type type, const QString &caption, const QString &text, Unit unit)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return problem(QStringLiteral("[%1]数值超出范围:%2").arg(caption, Quoted(text)));
    if (value < 0)
        return problem(QStringLiteral("[%1]不能是负数:%2").arg(caption, Quoted(text)));
    if (type == Type::Count && !isWhole(value))
        return problem(QStringLiteral("[%1]必须是整数:%2").arg(caption, Quoted(text)));
    if (type == Type::Weight) {
        if (unit == Unit::Gram)
            value /= kGramsPerKilogram;
        else if (unit == Unit::Pound)
            value *= kKilogramsPerPound;
        // The page keeps weights to the gram.
        value = std::round(value * kGramsPerKilogram) / kGramsPerKilogram;
    }
    Number n;
    n.empty = false;
    n.value = value;
    return n;
}

} // namespace quarvel
