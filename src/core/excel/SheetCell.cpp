#include "excel/SheetCell.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace quarvel {

namespace {

const QDate kDayZero(1899, 12, 30);
constexpr double kSecondsPerDay = 86400.0;

// The day and the second of the day of a serial date, rounded to the second.
void splitSerial(double serial, QDate &day, QTime &time)
{
    const double seconds = std::round(serial * kSecondsPerDay);
    const double days = std::floor(seconds / kSecondsPerDay);
    day = kDayZero.addDays(static_cast<qint64>(days));
    time = QTime(0, 0).addSecs(static_cast<int>(seconds - days * kSecondsPerDay));
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
    QDate day;
    QTime time;
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
        splitSerial(number, day, time);
        return day.toString(QStringLiteral("yyyy.MM.dd"));
    case Kind::Time:
        splitSerial(number, day, time);
        return time.toString(QStringLiteral("HH:mm:ss"));
    case Kind::DateTime:
        splitSerial(number, day, time);
        return day.toString(QStringLiteral("yyyy.MM.dd")) + u' ' + time.toString(QStringLiteral("HH:mm:ss"));
    }
    return QString();
}

} // namespace quarvel
