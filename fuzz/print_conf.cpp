// DATA_SYS/print.conf as found: what is not a setting is reported, a folder
// always ends up as an absolute path, and a file with nothing to report reads
// the same after it is written again.
#include "excel/PrintDestination.h"

#include <QDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString root = QStringLiteral("/srv/quarvel");
    QStringList damage;
    const quarvel::PrintDestination d = quarvel::PrintDestination::Parse(root, text, &damage);
    if (d.isFolder() && !QDir::isAbsolutePath(d.folder()))
        __builtin_trap();
    if (d.printer().contains(u'\n') || d.folder().contains(u'\n'))
        __builtin_trap();
    QStringList none;
    const QByteArray written = (QStringLiteral("printer=") + d.printer() +
                                (d.isFolder() ? QStringLiteral("\nfolder=") + d.folder() : QString()) + u'\n')
                                   .toUtf8();
    const quarvel::PrintDestination again = quarvel::PrintDestination::Parse(root, written, &none);
    if (again.printer() != d.printer() || again.folder() != d.folder())
        __builtin_trap();
    return 0;
}
