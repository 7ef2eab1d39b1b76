// DATA_SYS/last.dat as found: the account offered to the login dialog is at
// most 31 bytes of GBK text without control characters, and a file reported
// sound is offered whole.
#include "net/LastAccount.h"
#include "text/Gbk.h"

#include <QFile>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

namespace {

const QString &workFile()
{
    static const QString path = [] {
        QByteArray dir = qgetenv("TMPDIR").isEmpty() ? QByteArray("/tmp") : qgetenv("TMPDIR");
        dir += "/fuzz-last-account-XXXXXX";
        return QString::fromLocal8Bit(::mkdtemp(dir.data())) + QStringLiteral("/last.dat");
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    {
        QFile file(workFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            __builtin_trap();
        file.write(bytes);
    }
    const QString damage = quarvel::LastAccountDamage(workFile());
    if (damage != quarvel::LastAccountDamage(bytes.left(4096)))
        __builtin_trap();
    const QString account = quarvel::LoadLastAccount(workFile());
    const QByteArray gbk = quarvel::Gbk::fromUnicode(account);
    if (gbk.size() > 31)
        __builtin_trap();
    for (QChar c : account)
        if (c.unicode() < 0x20)
            __builtin_trap();
    if (damage.isEmpty() && gbk != bytes)
        __builtin_trap();
    return 0;
}
