// A record file as found on the disk: the header, the records and whatever
// follows, opened for writing (checked and repaired), then used. After the
// open the ids must stand in ascending order, a second open must find nothing
// more to repair, and appends must take the next id or be refused at the top.
#include "storage/RecordFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace {

const QString &workFile()
{
    static const QString path = [] {
        QByteArray dir = qgetenv("TMPDIR").isEmpty() ? QByteArray("/tmp") : qgetenv("TMPDIR");
        dir += "/fuzz-record-file-XXXXXX";
        return QString::fromLocal8Bit(::mkdtemp(dir.data())) + QStringLiteral("/a.dat");
    }();
    return path;
}

int idAt(const quarvel::RecordFile &f, int index)
{
    std::int32_t id;
    std::memcpy(&id, f.GetRecord(index), 4);
    return id;
}

void checkOrder(const quarvel::RecordFile &f)
{
    for (int i = 0; i < f.GetCount(); ++i) {
        if (idAt(f, i) < 1 || (i > 0 && idAt(f, i) <= idAt(f, i - 1)) || idAt(f, i) > f.GetLastId())
            __builtin_trap();
        if (f.FindIndexById(idAt(f, i)) != i)
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static constexpr int kSizes[] = {4, 8, 16, 84, 97};
    if (size < 1)
        return 0;
    const int recordSize = kSizes[data[0] % 5];
    {
        QFile file(workFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            __builtin_trap();
        file.write(reinterpret_cast<const char *>(data + 1), static_cast<qint64>(size - 1));
    }
    quarvel::RecordFile f;
    if (!f.OpenFile(workFile(), recordSize)) {
        if (f.failure() == quarvel::RecordFile::Failure::None || f.failureReason().isEmpty() || f.GetRecord(0))
            __builtin_trap();
        return 0;
    }
    checkOrder(f);
    const int count = f.GetCount();
    const int lastId = f.GetLastId();
    f.Close();
    if (!f.OpenFile(workFile(), recordSize) || !f.repairText().isEmpty() || f.GetCount() != count ||
        f.GetLastId() != lastId)
        __builtin_trap();

    QByteArray record(recordSize, 'r');
    const int before = f.GetCount();
    const bool room = f.CheckRoom(1).isEmpty();
    if (f.Append(record.data()) != (room ? before + 1 : 0))
        __builtin_trap();
    if (room && (idAt(f, before) != lastId + 1 || f.GetLastId() != lastId + 1))
        __builtin_trap();
    if (f.GetCount() > 0)
        f.DeleteAt(f.GetCount() / 2);
    checkOrder(f);
    return 0;
}
