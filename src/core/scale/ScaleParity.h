#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace quarvel {

// Whether bytes read with eight data bits are 7-bit characters whose eighth
// bit is the parity bit: many scales send 7E1 or 7O1, and a port opened at
// 8N1 then sees digits with and without the high bit, a plausible wrong
// weight once the high bytes are dropped. Even parity makes every byte's bit
// count even, odd parity odd; a high bit that is always set is mark parity
// (or a second stop bit).
class ScaleParity {
public:
    struct Hint {
        bool found = false;
        std::uint8_t parity = 0; // as in the settings: 1 odd, 2 even, 3 mark
        int dataBits = 7;
        // "7E1", "7O1", "7M1".
        QString Name() const;
        // What the operator is told.
        QString Text() const;
    };

    // Fewer bytes than this say nothing.
    static constexpr int kLeastBytes = 24;

    static Hint Look(QByteArrayView bytes);
    // The bytes as a port set to seven data bits would give them.
    static QByteArray LowSevenBits(QByteArrayView bytes);
};

} // namespace quarvel
