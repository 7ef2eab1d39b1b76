#pragma once

#include <QByteArray>

#include <bit>
#include <cstdint>

// Frames as real scales send them, built from their published layouts, for
// the parser, detector, command and page tests.
namespace ScaleFrames {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';

// STX, the text, its exclusive-or as two hexadecimal characters, ETX.
inline QByteArray StxEtx(const QByteArray &text)
{
    std::uint8_t x = 0;
    for (char c : text)
        x ^= static_cast<std::uint8_t>(c);
    return kStx + text + QByteArray::number(x, 16).rightJustified(2, '0').toUpper() + kEtx;
}

// A weighbridge indicator's frame: sign, six digits, the number of decimals.
inline QByteArray Weighbridge(char sign, int digits, int decimals)
{
    return StxEtx(sign + QByteArray::number(digits).rightJustified(6, '0') + QByteArray::number(decimals));
}

// Status byte B of the continuous STX output.
enum StatusB : std::uint8_t { Kg = 0x10, Net = 0x01, Minus = 0x02, OutOfRange = 0x04, Motion = 0x08 };

// STX, status bytes A, B and C, six digits of weight, six of tare, CR, and
// the checksum byte when `checked`. `decimals` is A's point code (5 is
// XXX.XXX); bit 5 of every status byte is set, increment 1 in A.
inline QByteArray Toledo(int weight, int decimalCode, std::uint8_t b, std::uint8_t c = 0, bool checked = false,
                         int tare = 0)
{
    QByteArray f;
    f += kStx;
    f += char(0x20 | 0x08 | decimalCode);
    f += char(0x20 | b);
    f += char(0x20 | c);
    f += QByteArray::number(weight).rightJustified(6, '0');
    f += QByteArray::number(tare).rightJustified(6, '0');
    f += '\r';
    if (checked) {
        unsigned sum = 0;
        for (char ch : f)
            sum += static_cast<std::uint8_t>(ch);
        f += char((0x80 - (sum & 0x7F)) & 0x7F);
    }
    return f;
}

// 1.250 kg, stable: the frame an old reversed-kilogram reading made 52.1 t of.
inline QByteArray Toledo1250(bool checked = false)
{
    return Toledo(1250, 5, Kg, 0, checked);
}

// "ST,GS,+0001.250kg\r\n" and its kin.
inline QByteArray Comma(const char *status, const char *data, const char *unit = "kg")
{
    return QByteArray(status) + ",GS," + data + unit + "\r\n";
}

// The bytes a 7-bit scale with even parity sends, as a port at eight data
// bits sees them: the parity bit in bit 7.
inline QByteArray EvenParity(const QByteArray &text)
{
    QByteArray out = text;
    for (char &c : out) {
        const auto b = static_cast<std::uint8_t>(c) & 0x7F;
        c = char(b | (std::popcount(unsigned(b)) % 2 ? 0x80 : 0));
    }
    return out;
}

} // namespace ScaleFrames
