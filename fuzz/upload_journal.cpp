// DATA_SYS/upload.jnl as found: any bytes load without harm, loading twice
// reads the same, and a last line without its line feed (cut by a kill)
// counts for nothing.
#include "upload/UploadJournal.h"

#include <QFile>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

const QString &workFile()
{
    static const QString path = [] {
        QByteArray dir = qgetenv("TMPDIR").isEmpty() ? QByteArray("/tmp") : qgetenv("TMPDIR");
        dir += "/fuzz-upload-journal-XXXXXX";
        return QString::fromLocal8Bit(::mkdtemp(dir.data())) + QStringLiteral("/upload.jnl");
    }();
    return path;
}

struct State {
    bool doubt;
    bool accepted;
    std::optional<quint64> digest;
    bool operator==(const State &) const = default;
};

// What the journal says of the first ids of both kinds.
std::vector<State> read(const QByteArray &bytes)
{
    {
        QFile file(workFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            __builtin_trap();
        file.write(bytes);
    }
    quarvel::UploadJournal journal(workFile());
    journal.Load();
    std::vector<State> all;
    for (quarvel::UploadKind kind : {quarvel::UploadKind::Shipments, quarvel::UploadKind::Scans}) {
        for (int id = -1; id <= 40; ++id) {
            const State s{journal.inDoubt(kind, id), journal.accepted(kind, id), journal.doubtDigest(kind, id)};
            if (s.digest && !s.doubt)
                __builtin_trap();
            all.push_back(s);
        }
    }
    journal.Load();
    for (std::size_t i = 0, n = 0; n < 2; ++n) {
        const quarvel::UploadKind kind = n == 0 ? quarvel::UploadKind::Shipments : quarvel::UploadKind::Scans;
        for (int id = -1; id <= 40; ++id, ++i)
            if (all[i] != State{journal.inDoubt(kind, id), journal.accepted(kind, id), journal.doubtDigest(kind, id)})
                __builtin_trap();
    }
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::vector<State> whole = read(bytes);
    const qsizetype lastLine = bytes.lastIndexOf('\n');
    if (read(bytes.left(lastLine + 1)) != whole)
        __builtin_trap();
    return 0;
}
