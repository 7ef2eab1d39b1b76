#include "query/QueryDate.h"

#include <algorithm>

namespace quarvel {

namespace {

const QString kInvalidDate = QStringLiteral("1900.01.01");
constexpr int kHuge = 1'000'000;

// Full-width digits typed with a Chinese input method count as digits.
QString asciiDigits(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            c = QChar(u'0' + (c.unicode() - 0xFF10));
    return out;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The number at the first digit at or after `at` (held below kHuge), and `at`
// moved past its digits; -1 when no digit is left.
int nextNumber(const QString &text, qsizetype &at)
{
    while (at < text.size() && !isDigit(text.at(at)))
        ++at;
    if (at >= text.size())
        return -1;
    int value = 0;
    for (; at < text.size() && isDigit(text.at(at)); ++at)
        value = std::min(value * 10 + (text.at(at).unicode() - u'0'), kHuge);
    return value;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int lastDay(int year, int month)
{
    switch (month) {
    case 2:
        return isLeapYear(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

QString dateText(int year, int month, int day)
{
    return QString::asprintf("%d.%02d.%02d", year, month, day);
}

bool eightDigits(const QString &text)
{
    return text.size() == 8 && std::all_of(text.begin(), text.end(), isDigit);
}

} // namespace

QString DateText(const QDate &date)
{
    return dateText(date.year(), date.month(), date.day());
}

QString NormalizeDate(const QString &typed)
{
    const QString text = asciiDigits(typed);
    if (text.size() < 8)
        return kInvalidDate;
    if (eightDigits(text)) {
        const int year = text.left(4).toInt();
        const int month = text.mid(4, 2).toInt();
        const int day = text.mid(6, 2).toInt();
        if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1900)
            return kInvalidDate;
        return dateText(year, month, std::min(day, lastDay(year, month)));
    }
    qsizetype at = 0;
    int year = nextNumber(text, at);
    if (year < 0)
        return kInvalidDate;
    if (year < 1000)
        year += 2000;
    if (year > 3000)
        return kInvalidDate;
    int month = nextNumber(text, at);
    if (month < 1 || month > 12)
        month = 1;
    const int day = nextNumber(text, at);
    if (day < 1 || day > 31)
        return dateText(year, month, 15);
    return dateText(year, month, std::min(day, lastDay(year, month)));
}

QString NormalizeDateTime(const QString &typed)
{
    const QString text = asciiDigits(typed);
    if (text.size() < 8 || text.size() > 31)
        return kInvalidDate;
    const auto format = [](int y, int mo, int d, int h, int mi, int s) {
        return QString::asprintf("%d.%02d.%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    };
    qsizetype at = 0;
    const int year = nextNumber(text, at);
    if (year < 2000 || year > 9999)
        return format(1900, 1, 1, 0, 0, 0);
    const int month = nextNumber(text, at);
    if (month < 1 || month > 12)
        return format(year, 1, 1, 0, 0, 0);
    const int day = nextNumber(text, at);
    if (day < 1 || day > 31)
        return format(year, month, 1, 0, 0, 0);
    const int lastOfMonth = std::min(day, lastDay(year, month));
    const int hour = std::max(nextNumber(text, at), 0);
    if (hour > 23)
        return format(year, month, lastOfMonth, 0, 0, 0);
    const int minute = std::max(nextNumber(text, at), 0);
    if (minute > 59)
        return format(year, month, lastOfMonth, hour, 0, 0);
    int second = std::max(nextNumber(text, at), 0);
    if (second > 59)
        second = 0;
    return format(year, month, lastOfMonth, hour, minute, second);
}

DateRange StepDateRange(const QString &from, const QString &to, const QDate &today)
{
    const QDate first(today.year(), today.month(), 1);
    const QString start = NormalizeDate(from.trimmed());
    if (from.trimmed().isEmpty() || start < DateText(first))
        return {DateText(today), DateText(today)};
    if (start == NormalizeDate(to.trimmed()) && !start.endsWith(QStringLiteral(".01")))
        return {DateText(first), DateText(today)};
    const QDate previous = first.addMonths(-1);
    return {DateText(previous),
            dateText(previous.year(), previous.month(), lastDay(previous.year(), previous.month()))};
}

DateCheck CheckDateRange(const QString &from, QString &to, const QDate &today)
{
    DateCheck check;
    const QString start = NormalizeDate(from);
    if (start == kInvalidDate)
        check.messages += QStringLiteral("起始日期不对\r\n");
    check.startText = start + QStringLiteral(" 0:0:0.0");
    QString end = NormalizeDate(to);
    if (end == kInvalidDate) {
        check.messages += QStringLiteral("结束日期不对\r\n");
    } else if (end > DateText(today)) {
        end = DateText(today);
        to = end;
    }
    check.endText = end + QStringLiteral(" 23:59:59.998");
    if (check.startText > check.endText)
        check.messages += QStringLiteral("结束日期早于起始日期");
    return check;
}

} // namespace quarvel
