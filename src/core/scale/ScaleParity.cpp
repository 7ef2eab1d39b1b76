#include "scale/ScaleParity.h"

#include "scale/ScaleSettings.h"

#include <bit>

namespace quarvel {

namespace {

// Nearly every byte must follow the pattern: a line hit now and then is
// allowed, chance is not.
constexpr double kAgreement = 0.97;
// Plain 8-bit text has few high bytes; 7-bit text with parity has many.
constexpr double kLeastHighShare = 0.1;

} // namespace

QString ScaleParity::Hint::Name() const
{
    return QStringLiteral("%1%2%3").arg(dataBits).arg(QChar(ScaleSettings::ParityNames().value(parity).at(0))).arg(1);
}

QString ScaleParity::Hint::Text() const
{
    return QStringLiteral("收到的字节最高位像是校验位：电子秤可能是 %1 位数据位、%2（%3），"
                          "请把数据位设为 %1，奇偶校验设为“%4”。")
        .arg(dataBits)
        .arg(ScaleSettings::ParityNames().value(parity).mid(2), Name(), ScaleSettings::ParityNames().value(parity));
}

ScaleParity::Hint ScaleParity::Look(QByteArrayView bytes)
{
    Hint hint;
    if (bytes.size() < kLeastBytes)
        return hint;
    qsizetype high = 0;
    qsizetype even = 0;
    for (char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        high += b >> 7;
        even += std::popcount(unsigned(b)) % 2 == 0;
    }
    const double n = double(bytes.size());
    if (high < kLeastHighShare * n)
        return hint;
    if (high == bytes.size())
        hint.parity = 3;
    else if (even >= kAgreement * n)
        hint.parity = 2;
    else if (bytes.size() - even >= kAgreement * n)
        hint.parity = 1;
    hint.found = hint.parity != 0;
    return hint;
}

QByteArray ScaleParity::LowSevenBits(QByteArrayView bytes)
{
    QByteArray low(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        low[i] = char(static_cast<std::uint8_t>(bytes[i]) & 0x7F);
    return low;
}

} // namespace quarvel
