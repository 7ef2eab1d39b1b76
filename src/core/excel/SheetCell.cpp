#include "excel/SheetCell.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace quarvel {

namespace {

const QDate kDayZero(1899, 12, 30);
constexpr double kSecondsPerDay = 86400.0;
// Serial dates of the years 1 to 9999, the most a spreadsheet shows as a
// date; beyond them the day count would not fit the integer it becomes.
constexpr double kFirstSerial = -693593.0; // 0001-01-01
constexpr double kEndSerial = 2958466.0;   // 10000-01-01

bool isDateSerial(double serial)
{
    return serial >= kFirstSerial && serial < kEndSerial;
}

// The day and the second of the day of a serial date, rounded to the second;
// only for serials that isDateSerial() accepts.
void splitSerial(double serial, QDate &day, QTime &time)
{
    const double seconds = std::round(serial * kSecondsPerDay);
    const double days = std::floor(seconds / kSecondsPerDay);
    day = kDayZero.addDays(static_cast<qint64>(days));
    time = QTime(0, 0).addSecs(static_cast<int>(seconds - days * kSecondsPerDay));
}

// A date or time cell as the page writes it. One whose value is no date of
// any calendar ("1E+300") comes in as the number it holds, for the
// importer's checks to judge.
QString serialText(SheetCell::Kind kind, double serial)
{
    if (!isDateSerial(serial))
        return SheetCell::NumberText(serial);
    QDate day;
    QTime time;
    splitSerial(serial, day, time);
    const QString date = day.toString(QStringLiteral("yyyy.MM.dd"));
    const QString clock = time.toString(QStringLiteral("HH:mm:ss"));
    if (kind == SheetCell::Kind::Date)
        return date;
    if (kind == SheetCell::Kind::Time)
        return clock;
    return date + u' ' + clock;
}

} // namespace

QString SheetCell::NumberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0");
    // Whole numbers (phones, postcodes, counts) as their digits.
    if (std::floor(value) == value && std::fabs(value) < 1e17)
        return QString::number(value, 'f', 0);
    QString text = QString::number(value, 'g', 15);
    if (!text.contains(u'e'))
        return text;
    text = QString::number(value, 'f', 15);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString SheetCell::importText() const
{
    switch (kind) {
    case Kind::Empty:
        return QString();
    case Kind::Text:
    case Kind::Error:
        return text;
    case Kind::Number:
        return NumberText(number);
    case Kind::Boolean:
        return number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case Kind::Date:
    case Kind::Time:
    case Kind::DateTime:
        return serialText(kind, number);
    }
    return QString();
}

} // namespace quarvel
