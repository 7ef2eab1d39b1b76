#pragma once

#include <QString>

#include <array>

namespace quarvel {

// Whether the parcel on the plate has come to rest: a scale that streams its
// weight gives changing readings while the parcel moves; the weight counts
// as settled when the last readings agree within one step of the scale.
class ScaleSettle {
public:
    static constexpr int kReadings = 3;

    void Clear() { count_ = 0; }
    void Add(int grams, int step);
    bool settled() const;
    int count() const { return count_; }
    // The status line: where the weight came from, and whether it settled
    // (continuous scales) or was sent as stable (the other mode).
    static QString StatusText(int grams, bool continuous, bool settled);

private:
    std::array<int, kReadings> last_{};
    int step_ = 1;
    int count_ = 0;
};

} // namespace quarvel
