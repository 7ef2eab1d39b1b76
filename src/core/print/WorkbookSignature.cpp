#include "print/WorkbookSignature.h"

#include <QString>
#include <QtEndian>

namespace quarvel {

namespace {

const QByteArray kCompoundMagic = QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr int kHeaderFatEntries = 109;
constexpr int kDirectoryEntryBytes = 128;
// More directory sectors than any template has: a loop in a damaged chain ends here.
constexpr int kMaxDirectorySectors = 4096;

quint32 u32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 u16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// The UTF-16 name of a directory entry.
QString entryName(const QByteArray &b, qsizetype entry)
{
    const int bytes = std::min<int>(u16(b, entry + 64), 64);
    QString name;
    for (int i = 0; i + 1 < bytes; i += 2) {
        const char16_t c = u16(b, entry + i);
        if (c == 0)
            break;
        name.append(QChar(c));
    }
    return name;
}

} // namespace

bool WorkbookSignature::Matches(const QByteArray &bytes)
{
    if (bytes.startsWith("PK\x03\x04"))
        return true;
    return bytes.startsWith(kCompoundMagic) && compoundDocumentHoldsWorkbook(bytes);
}

bool WorkbookSignature::compoundDocumentHoldsWorkbook(const QByteArray &b)
{
    if (b.size() < 512 || u16(b, 0x1C) != 0xFFFE)
        return false;
    const int shift = u16(b, 0x1E);
    if (shift != 9 && shift != 12)
        return false;
    const qsizetype sectorSize = qsizetype(1) << shift;
    const quint32 perFatSector = quint32(sectorSize / 4);
    const auto sectorAt = [&](quint32 id) -> qsizetype {
        const qsizetype at = (qsizetype(id) + 1) * sectorSize;
        return at + sectorSize <= b.size() ? at : -1;
    };
    const auto next = [&](quint32 id) -> quint32 {
        const quint32 fatIndex = id / perFatSector;
        if (fatIndex >= kHeaderFatEntries)
            return kEndOfChain;
        const qsizetype fat = sectorAt(u32(b, 0x4C + 4 * fatIndex));
        return fat < 0 ? kEndOfChain : u32(b, fat + 4 * (id % perFatSector));
    };
    quint32 sector = u32(b, 0x30);
    for (int walked = 0; sector < kEndOfChain && walked < kMaxDirectorySectors; ++walked) {
        const qsizetype at = sectorAt(sector);
        if (at < 0)
            return false;
        for (qsizetype entry = at; entry < at + sectorSize; entry += kDirectoryEntryBytes) {
            const QString name = entryName(b, entry);
            if (name.compare(QLatin1String("Workbook"), Qt::CaseInsensitive) == 0 ||
                name.compare(QLatin1String("Book"), Qt::CaseInsensitive) == 0)
                return true;
        }
        sector = next(sector);
    }
    return false;
}

} // namespace quarvel
