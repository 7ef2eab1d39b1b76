#pragma once

#include "scale/ScaleReading.h"
#include "scale/ScaleSettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace quarvel {

// Turns the bytes a scale sends into readings: a weight in grams, or the
// reason a frame is none (it moves, is negative, overloaded, fails its
// check). The original five formats keep their way of gathering (a text
// frame is looked for at twice the data length, a BCD frame at twelve
// bytes, and every attempt starts the gathering afresh); the formats that
// carry a status cut every complete frame as it arrives and keep only the
// frame being gathered. Whatever arrives, the gathered bytes never exceed
// kCapacity. No port, no clock: the serial link, the tests and the detector
// feed it the same way.
class ScaleParser {
public:
    // Results of ReadWeight besides a weight (>= 0).
    static constexpr int kNoFrame = -1;     // no complete frame yet, or a BCD frame that is no weight
    static constexpr int kUndelimited = -2; // no two start characters, or an unknown type
    static constexpr int kNoDigit = -3;     // a text frame without a digit
    static constexpr int kRefused = -4;     // a frame that is no weight: see last()

    // The most the serial link takes from the port for one reading.
    static constexpr int kReadLimit = 63;
    static constexpr int kCapacity = 256;
    static constexpr int kBcdFrameBytes = 12;

    // One parse attempt of the original formats: the result as ReadWeight
    // gives it, and the reading when a frame was found.
    struct Frame {
        int result = kNoFrame;
        ScaleReading reading;
    };

    explicit ScaleParser(const ScaleSettings &settings = ScaleSettings()) : settings_(settings) {}

    // Takes new settings and drops what was gathered.
    void setSettings(const ScaleSettings &settings);
    const ScaleSettings &settings() const { return settings_; }

    // The readings of the frames the bytes that just arrived complete.
    QList<ScaleReading> Read(QByteArrayView arrived);
    // One reading over the bytes that just arrived: the weight in grams, or
    // kNoFrame, kUndelimited, kNoDigit, kRefused (for several frames, the last).
    int ReadWeight(QByteArrayView arrived);
    // Feeds a longer stretch in reading-sized steps; the result of each step.
    QList<int> ReadSteps(QByteArrayView bytes);
    // Every reading of a longer stretch fed in reading-sized steps.
    QList<ScaleReading> ReadAll(QByteArrayView bytes);
    void Clear();
    qsizetype gathered() const { return gathered_.size(); }
    // The last frame's reading, and the step of the last weight (1 until one).
    const ScaleReading &last() const { return last_; }
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
    void gather(QByteArrayView arrived);
    QList<ScaleReading> readOriginal(QByteArrayView arrived);
    QList<ScaleReading> readFramed(QByteArrayView arrived);
    QList<ScaleReading> cutAndParse();

    ScaleSettings settings_;
    QByteArray gathered_;
    bool skipping_ = false;
    int lastResult_ = kNoFrame;
    ScaleReading last_;
    int lastStep_ = 1;
};

} // namespace quarvel
