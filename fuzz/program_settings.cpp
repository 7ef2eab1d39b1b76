// prgset.dat as found beside the program: whatever it holds, the settings
// read from it write back to 1364 bytes that read as the same settings, and
// the program number is a digit.
#include "app/ProgramSettings.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString damage = quarvel::ProgramSettings::Damage(bytes);
    quarvel::ProgramSettings settings;
    settings.FromBytes(bytes);
    settings.programNumber = quarvel::ProgramSettings::NormalisedProgramNumber(settings.programNumber);
    if (settings.programNumber < 0 || settings.programNumber > 9)
        __builtin_trap();
    if (size != quarvel::ProgramSettings::kFileSize && damage.isEmpty())
        __builtin_trap();
    const QByteArray written = settings.ToBytes();
    if (written.size() != quarvel::ProgramSettings::kFileSize || !quarvel::ProgramSettings::Damage(written).isEmpty())
        __builtin_trap();
    quarvel::ProgramSettings again;
    again.FromBytes(written);
    if (again.ToBytes() != written)
        __builtin_trap();
    for (const quarvel::ProgramSettings::Field &f : quarvel::ProgramSettings::kFields)
        if ((again.*f.member).size() >= f.bytes / 2)
            __builtin_trap();
    return 0;
}
