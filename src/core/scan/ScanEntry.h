#pragma once

#include <QString>

namespace quarvel {

// The keystrokes of one entry in the scan page's waybill field, timed, to
// tell a barcode scanner from a person: a scanner types a whole number in a
// burst of a few milliseconds a key, a person takes far longer between keys.
// A scanned entry's refusal is shown without a message box (which would take
// the next scan's keys); an entry made of two scanner bursts is two numbers
// whose Enter was lost; after a refused burst the rest of it is dropped.
class ScanEntry {
public:
    // Keys of one burst come at most this far apart (milliseconds).
    static constexpr qint64 kBurstGap = 30;
    // A burst this long is a scanned number (the shortest waybill number).
    static constexpr int kScannedLength = 7;

    // The field was emptied: a new entry starts.
    void Clear();
    // A character key at `ms`; false when it belongs to a refused burst and
    // is to be dropped.
    bool Key(qint64 ms);
    // Enter at `ms`; false when it ends a refused burst and is to be dropped.
    bool Enter(qint64 ms);
    // Refuses the entry: the field is emptied and the keys still coming in
    // the same burst are dropped.
    void RefuseBurst(qint64 ms);

    int characters() const { return characters_; }
    // A key at `ms` would continue the current burst.
    bool inBurst(qint64 ms) const { return characters_ > 0 && ms - last_ <= kBurstGap; }
    // Every character came in one scanner burst.
    bool scanned() const;
    // Two or more scanner bursts: numbers glued together.
    bool glued() const;
    // The message for glued numbers: two scanner bursts, or a scanned number
    // typed after text that the field held already (`fieldLength` characters
    // in all); empty for any other entry.
    QString Refusal(qsizetype fieldLength) const;

private:
    bool swallowed(qint64 ms);

    qint64 last_ = 0;
    int characters_ = 0;
    int burst_ = 0;
    int scannedBursts_ = 0;
    int pauses_ = 0;
    bool swallowing_ = false;
};

} // namespace quarvel
