#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace quarvel {

// The scale set-up, kept in balanceset.ini beside the program: exactly 84
// bytes, little-endian, written as they are. Bytes the program does not use
// are kept as read, so a file from a newer program survives a save.
class ScaleSettings {
public:
    static constexpr int kFileSize = 84;
    static constexpr int kMaxDataLength = 30;
    static constexpr int kMaxThreshold = 120;

    // Types 0-4 are the original five; 5-7 are frames that say their own
    // status and unit. A program that knows only the five reads no weight
    // from the others, as from any type it does not know.
    enum Type {
        KilogramsReversed = 0,
        Kilograms = 1,
        Bcd = 2,
        GramsReversed = 3,
        Grams = 4,
        StatusLines = 5,
        StxEtx = 6,
        Toledo = 7
    };
    static constexpr int kTypes = 8;
    enum Transmission { Continuous = 0, OnStable = 1 };

    // How a load went: the file was read, there was none (defaults), or it
    // had the wrong size (defaults too, and the caller says so).
    enum class LoadResult { Loaded, Missing, WrongSize };

    qint32 enabled = 0;
    std::uint8_t type = KilogramsReversed;
    std::uint8_t dataBits = 8;
    std::uint8_t dataLength = 18;
    std::uint8_t stopBits = 0; // 0 = 1, 1 = 1.5, 2 = 2
    std::uint8_t startChar = '=';
    std::uint8_t transmission = Continuous;
    std::uint8_t parity = 0; // N, O, E, M
    qint32 port = 0;         // 0-3: COM1-COM4
    qint32 baud = 1200;

    static QString fileName() { return QStringLiteral("balanceset.ini"); }

    LoadResult Load(const QString &path);
    bool Save(const QString &path) const;
    QByteArray ToBytes() const;
    // Anything but exactly 84 bytes gives the defaults.
    bool FromBytes(const QByteArray &bytes);

    bool isEnabled() const { return enabled != 0; }
    bool onStable() const { return transmission == OnStable; }
    // "baud=1200 data=8 parity=N stop=1".
    QString SettingsString() const;
    // Bytes gathered before a text frame is looked for: twice the data
    // length, at most 120, at least 1.
    int FrameThreshold() const;
    // Whether the type is one of the original text formats (a start
    // character and a data length), and whether it is one of the formats
    // that carry a status.
    bool isPlainText() const;
    static bool IsPlainText(int type);
    static bool HasStatus(int type);
    // The continuous STX output with its checksum byte: 18 bytes a frame.
    bool toledoChecked() const { return dataLength == 18; }
    QChar parityLetter() const;
    QString stopBitsText() const;

    static QStringList TypeNames();
    static QStringList ParityNames();
    static QStringList StopBitsNames();
    static QStringList TransmissionNames();
    static QString WrongSizeText(qint64 size);

private:
    QByteArray raw_ = QByteArray(kFileSize, '\0');
};

} // namespace quarvel
