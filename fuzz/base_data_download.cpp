// The base-data download as the client reads it from the server: reply head,
// the first byte, a redirect address or the body up to its BEL, the cap and
// the check that the body holds base data.
#include "net/BaseData.h"
#include "net/BaseDataDownload.h"
#include "net/HttpTextSource.h"
#include "net/HttpTransport.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool timesOut = data[0] & 1;
    const QByteArray reply(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    quarvel::HttpTextSource source(reply, timesOut);
    QByteArray stored;
    QByteArray named;
    const int result = quarvel::BaseDataDownload::Read(source, stored, named);
    switch (result) {
    case quarvel::BaseDataDownload::Stored: {
        // Whole (ended by its BEL), within the cap, and base data the
        // counter can work with.
        if (stored.isEmpty() || stored.size() > quarvel::BaseDataDownload::kMaxBytes ||
            stored.back() != static_cast<char>('\a' ^ quarvel::BaseData::kXor))
            __builtin_trap();
        quarvel::BaseData base;
        base.parse(quarvel::BaseData::decode(stored));
        if (base.kinds().isEmpty() || base.destinations().isEmpty())
            __builtin_trap();
        break;
    }
    case quarvel::BaseDataDownload::Redirected:
        if (!quarvel::IsIpAddress(named))
            __builtin_trap();
        break;
    case quarvel::BaseDataDownload::NoBody:
    case quarvel::BaseDataDownload::NotBaseData:
    case quarvel::BaseDataDownload::CutOff:
    case quarvel::BaseDataDownload::TooLarge:
    case quarvel::BaseDataDownload::Empty:
        break;
    default:
        __builtin_trap();
    }
    return 0;
}
