#pragma once

#include "scale/ScaleReading.h"

#include <QString>

#include <array>

namespace quarvel {

// Which readings are weights to take. A frame that is no weight (it moves,
// is negative, overloaded, fails its check) never is. A frame the scale
// marks stable ("ST", a clear motion bit) is taken at once, and so is every
// weight of a scale that sends only on a stable weight or a key press. A
// streaming scale that says nothing of its state is taken when the last
// readings agree within one step of the scale: a parcel still moving gives
// changing readings.
class ScaleSettle {
public:
    static constexpr int kReadings = 3;

    // What the mark beside the weight says.
    enum class State { Waiting, Settled, Moving, Refused };

    static constexpr unsigned kSettledColor = 0x008000;
    static constexpr unsigned kMovingColor = 0x800000;
    static constexpr unsigned kWaitingColor = 0x808080;
    static constexpr unsigned kRefusedColor = 0xFF0000;

    void Clear();
    // Whether the reading is a weight to take; `stableOnly` for a scale in
    // the "稳定/按按键" mode.
    bool Take(const ScaleReading &reading, bool stableOnly);
    // Adds an unmarked weight to the agreeing readings.
    void Add(qint64 grams, int step);
    bool settled() const;
    int count() const { return count_; }
    State state() const { return state_; }
    const ScaleReading &last() const { return last_; }

    // 等待读数, 稳定, 不稳定, 负重, 超载, ... and its colour (RGB).
    QString MarkText() const;
    unsigned MarkColour() const;
    // The status line after a reading: where a taken weight came from and
    // whether it settled (a streaming scale) or was sent as stable; why any
    // other reading was not taken.
    static QString StatusText(const ScaleReading &reading, bool taken, bool continuous);
    static unsigned StatusColour(const ScaleReading &reading, bool taken);

private:
    std::array<qint64, kReadings> last3_{};
    int step_ = 1;
    int count_ = 0;
    State state_ = State::Waiting;
    ScaleReading last_;
};

} // namespace quarvel
