#include "scale/ScaleReading.h"

#include <algorithm>

namespace quarvel {

ScaleReading ScaleReading::Weight(qint64 grams, int step, bool marked)
{
    ScaleReading r;
    r.grams = grams;
    r.hasNumber = true;
    r.step = std::max(step, 1);
    r.marked = marked;
    return r;
}

ScaleReading ScaleReading::Refused(Status status)
{
    ScaleReading r;
    r.status = status;
    return r;
}

ScaleReading ScaleReading::Refused(Status status, qint64 grams, int step)
{
    ScaleReading r = Weight(grams, step);
    r.status = status;
    return r;
}

QString ScaleReading::Word(Status status)
{
    switch (status) {
    case Status::Stable:
        return QStringLiteral("stable");
    case Status::Unstable:
        return QStringLiteral("unstable");
    case Status::Negative:
        return QStringLiteral("negative");
    case Status::Overload:
        return QStringLiteral("overload");
    case Status::OutOfRange:
        return QStringLiteral("out-of-range");
    case Status::BadUnit:
        return QStringLiteral("bad-unit");
    case Status::BadCheck:
        return QStringLiteral("bad-check");
    case Status::Garbled:
        break;
    }
    return QStringLiteral("garbled");
}

QString ScaleReading::Text(Status status)
{
    switch (status) {
    case Status::Stable:
        return QStringLiteral("稳定");
    case Status::Unstable:
        return QStringLiteral("不稳定");
    case Status::Negative:
        return QStringLiteral("负重");
    case Status::Overload:
        return QStringLiteral("超载");
    case Status::OutOfRange:
        return QStringLiteral("超出量程");
    case Status::BadUnit:
        return QStringLiteral("单位不明");
    case Status::BadCheck:
        return QStringLiteral("校验错");
    case Status::Garbled:
        break;
    }
    return QStringLiteral("数据错");
}

QString ScaleReading::Kilograms(qint64 grams)
{
    const qint64 magnitude = grams < 0 ? -grams : grams;
    return QStringLiteral("%1%2.%3")
        .arg(grams < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 1000)
        .arg(magnitude % 1000, 3, 10, QLatin1Char('0'));
}

} // namespace quarvel
