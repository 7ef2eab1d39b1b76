#include "scale/ScaleSettle.h"

#include <algorithm>

namespace quarvel {

void ScaleSettle::Add(int grams, int step)
{
    // The oldest reading goes; a change of step (another frame format)
    // starts afresh.
    if (step != step_)
        count_ = 0;
    step_ = std::max(step, 1);
    std::rotate(last_.begin(), last_.begin() + 1, last_.end());
    last_.back() = grams;
    count_ = std::min(count_ + 1, kReadings);
}

bool ScaleSettle::settled() const
{
    if (count_ < kReadings)
        return false;
    const auto [low, high] = std::minmax_element(last_.begin(), last_.end());
    return qint64(*high) - *low <= step_;
}

QString ScaleSettle::StatusText(int grams, bool continuous, bool settled)
{
    const QString weight = QString::asprintf("%.3f", grams * 0.001);
    if (!continuous)
        return QStringLiteral("重量来自电子秤：%1 公斤").arg(weight);
    return QStringLiteral("重量来自电子秤：%1 公斤（%2）")
        .arg(weight, settled ? QStringLiteral("已稳定") : QStringLiteral("未稳定，请等重量稳定"));
}

} // namespace quarvel
