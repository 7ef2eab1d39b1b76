#include "scale/ScaleSettle.h"

#include <algorithm>

namespace quarvel {

void ScaleSettle::Clear()
{
    count_ = 0;
    state_ = State::Waiting;
    last_ = ScaleReading();
}

void ScaleSettle::Add(qint64 grams, int step)
{
    // The oldest reading goes; a change of step (another frame format)
    // starts afresh.
    if (step != step_)
        count_ = 0;
    step_ = std::max(step, 1);
    std::rotate(last3_.begin(), last3_.begin() + 1, last3_.end());
    last3_.back() = grams;
    count_ = std::min(count_ + 1, kReadings);
}

bool ScaleSettle::settled() const
{
    if (count_ < kReadings)
        return false;
    const auto [low, high] = std::minmax_element(last3_.begin(), last3_.end());
    return *high - *low <= step_;
}

bool ScaleSettle::Take(const ScaleReading &reading, bool stableOnly)
{
    last_ = reading;
    if (!reading.isWeight()) {
        // What agreed before the refusal says nothing of what comes after it.
        count_ = 0;
        state_ = State::Refused;
        return false;
    }
    Add(reading.grams, reading.step);
    const bool taken = reading.marked || stableOnly || settled();
    state_ = taken ? State::Settled : State::Moving;
    return taken;
}

QString ScaleSettle::MarkText() const
{
    switch (state_) {
    case State::Waiting:
        return QStringLiteral("等待读数");
    case State::Settled:
        return ScaleReading::Text(ScaleReading::Status::Stable);
    case State::Moving:
        return ScaleReading::Text(ScaleReading::Status::Unstable);
    case State::Refused:
        break;
    }
    return ScaleReading::Text(last_.status);
}

unsigned ScaleSettle::MarkColour() const
{
    switch (state_) {
    case State::Waiting:
        return kWaitingColor;
    case State::Settled:
        return kSettledColor;
    case State::Moving:
        return kMovingColor;
    case State::Refused:
        break;
    }
    return StatusColour(last_, false);
}

QString ScaleSettle::StatusText(const ScaleReading &reading, bool taken, bool continuous)
{
    const QString weight = ScaleReading::Kilograms(reading.grams);
    if (taken)
        return continuous ? QStringLiteral("重量来自电子秤：%1 公斤（已稳定）").arg(weight)
                          : QStringLiteral("重量来自电子秤：%1 公斤").arg(weight);
    if (reading.isWeight())
        return QStringLiteral("电子秤：不稳定（%1 公斤），等重量稳定").arg(weight);
    const QString number = reading.hasNumber ? QStringLiteral("（%1 公斤）").arg(weight) : QString();
    return QStringLiteral("电子秤：%1%2，重量未取").arg(ScaleReading::Text(reading.status), number);
}

unsigned ScaleSettle::StatusColour(const ScaleReading &reading, bool taken)
{
    if (taken)
        return kSettledColor;
    if (reading.isWeight() || reading.status == ScaleReading::Status::Unstable)
        return kMovingColor;
    return kRefusedColor;
}

} // namespace quarvel
