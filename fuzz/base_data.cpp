// The base-data text as stored and decoded, with every look-up run on what
// it produced.
#include "net/BaseData.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    quarvel::BaseData base;
    base.parse(text);
    base.parse(quarvel::BaseData::decode(text));
    for (const quarvel::ExpressKind &kind : base.kinds()) {
        if (base.kindByCode(kind.code) == nullptr || kind.code.size() > quarvel::ExpressKind::kCodeBytes)
            __builtin_trap();
        (void)base.kindByName(kind.nameText());
        for (const quarvel::DestinationEntry &d : base.destinations())
            (void)kind.serves(d.name);
    }
    for (int view = 0; view < 5; ++view) {
        const auto field = static_cast<quarvel::DestinationEntry::Field>(view);
        for (const quarvel::DestinationEntry &d : base.destinations()) {
            const QString typed = d.text(field).left(2);
            if (!typed.isEmpty() && !typed.contains(QChar(0xFFFD)) && base.findPrefix(field, typed) < 0)
                __builtin_trap();
            (void)base.matchPrefix(field, typed, 5);
        }
    }
    for (const quarvel::DestinationEntry &d : base.destinations())
        (void)base.destinationByName(d.text(quarvel::DestinationEntry::Name));
    return 0;
}
