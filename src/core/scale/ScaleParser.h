#pragma once

#include "scale/ScaleSettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace quarvel {

// Turns the bytes a scale sends into weights in grams, in the five frame
// formats. It keeps only the bytes of the frame being gathered: every parse
// attempt starts the gathering afresh, and the gathered bytes never exceed
// kCapacity whatever arrives, so a stream that never forms a frame costs no
// memory. No port, no clock: the serial link, the tests and the detector feed
// it the same way.
class ScaleParser {
public:
    // Results of ReadWeight besides a weight (>= 0).
    static constexpr int kNoFrame = -1;     // no complete frame yet, or a BCD frame that is no weight
    static constexpr int kUndelimited = -2; // no two start characters, unknown type, or no number that fits
    static constexpr int kNoDigit = -3;     // a text frame without a digit

    // The most the serial link takes from the port for one reading.
    static constexpr int kReadLimit = 63;
    static constexpr int kCapacity = 256;
    static constexpr int kBcdFrameBytes = 12;

    // One parsed frame: the result and the scale's step (its resolution in
    // grams, as the frame's digits show it).
    struct Frame {
        int result = kNoFrame;
        int step = 1;
    };

    explicit ScaleParser(const ScaleSettings &settings = ScaleSettings()) : settings_(settings) {}

    // Takes new settings and drops what was gathered.
    void setSettings(const ScaleSettings &settings);
    const ScaleSettings &settings() const { return settings_; }

    // One reading over the bytes that just arrived (the link passes at most
    // kReadLimit at a time): the weight in grams, or kNoFrame, kUndelimited,
    // kNoDigit. A weight means a frame was taken; in the "稳定/按按键" mode
    // the link then closes the port.
    int ReadWeight(QByteArrayView arrived);
    // Feeds a longer stretch in reading-sized steps; the result of each step.
    QList<int> ReadSteps(QByteArrayView bytes);
    void Clear() { gathered_.clear(); }
    qsizetype gathered() const { return gathered_.size(); }
    // The step of the last weight read (1 until one was read).
    int lastStep() const { return lastStep_; }

    // A BCD frame: 0xFF among the first seven bytes, then a status byte and
    // three BCD bytes, least significant first.
    static Frame ParseBcd(QByteArrayView bytes);
    // A text frame between the first two start characters of the bytes.
    static Frame ParseText(QByteArrayView bytes, int type, std::uint8_t start);
    // The text the text formats read: bytes below 10 and from 128 up are
    // dropped, except the start character itself.
    static QByteArray CleanText(QByteArrayView bytes, std::uint8_t start);

private:
    int take(const Frame &frame);

    ScaleSettings settings_;
    QByteArray gathered_;
    int lastStep_ = 1;
};

} // namespace quarvel
