#include "scan/ScanEntry.h"

namespace quarvel {

void ScanEntry::Clear()
{
    characters_ = burst_ = scannedBursts_ = pauses_ = 0;
}

bool ScanEntry::swallowed(qint64 ms)
{
    if (swallowing_ && ms - last_ <= kBurstGap) {
        last_ = ms;
        return true;
    }
    swallowing_ = false;
    return false;
}

bool ScanEntry::Key(qint64 ms)
{
    if (swallowed(ms))
        return false;
    if (characters_ > 0 && ms - last_ > kBurstGap) {
        if (burst_ >= kScannedLength)
            ++scannedBursts_;
        burst_ = 0;
        ++pauses_;
    }
    ++burst_;
    ++characters_;
    last_ = ms;
    return true;
}

bool ScanEntry::Enter(qint64 ms)
{
    return !swallowed(ms);
}

void ScanEntry::RefuseBurst(qint64 ms)
{
    Clear();
    swallowing_ = true;
    last_ = ms;
}

bool ScanEntry::scanned() const
{
    return pauses_ == 0 && characters_ >= kScannedLength;
}

bool ScanEntry::glued() const
{
    return scannedBursts_ + (burst_ >= kScannedLength ? 1 : 0) >= 2;
}

QString ScanEntry::Refusal(qsizetype fieldLength) const
{
    return glued() || (scanned() && fieldLength > characters_)
               ? QStringLiteral("[运单号]是两次扫描连在一起的号码（前一次扫描没有回车），请重新扫描。")
               : QString();
}

} // namespace quarvel
