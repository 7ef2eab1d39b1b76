// The three files of the pre-entry shipments as found after a crash (the
// shipments, their goods lines and pieces), with the clean-close note and the
// number filter kept beside them. The input holds the five parts one after
// another, each after a two-byte length. After the open and the line repair
// every shipment's counts agree with its lines, a second repair changes
// nothing, and the note and the filter read back what they wrote.
#include "storage/CleanCloseNote.h"
#include "storage/GoodsFile.h"
#include "storage/LineRepair.h"
#include "storage/NumberFilter.h"
#include "storage/PreInputFile.h"
#include "storage/WeightFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace {

const QString &workFolder()
{
    static const QString path = [] {
        QByteArray dir = qgetenv("TMPDIR").isEmpty() ? QByteArray("/tmp") : qgetenv("TMPDIR");
        dir += "/fuzz-record-repair-XXXXXX";
        return QString::fromLocal8Bit(::mkdtemp(dir.data())) + u'/';
    }();
    return path;
}

QByteArray part(const uint8_t *&data, size_t &size)
{
    if (size < 2)
        return {};
    size_t n = data[0] | size_t(data[1]) << 8;
    data += 2;
    size -= 2;
    n = n < size ? n : size;
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(n));
    data += n;
    size -= n;
    return bytes;
}

QString write(const char *name, const QByteArray &bytes)
{
    const QString path = workFolder() + QLatin1String(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        __builtin_trap();
    file.write(bytes);
    return path;
}

void checkCounts(const quarvel::PreInputFile &records, const quarvel::GoodsFile &goods,
                 const quarvel::WeightFile &weights)
{
    for (int i = 0; i < records.GetCount(); ++i) {
        const int id = records.At(i)->iid;
        int g = 0;
        int w = 0;
        for (int j = 0; j < goods.GetCount(); ++j)
            g += goods.At(j)->iparent == id ? 1 : 0;
        for (int j = 0; j < weights.GetCount(); ++j)
            w += weights.At(j)->iparent == id ? 1 : 0;
        if (records.At(i)->ngoodslines != g || records.At(i)->nweightlines != w)
            __builtin_trap();
    }
}

void checkNote(const QByteArray &text)
{
    quarvel::CleanCloseNote note(workFolder() + QStringLiteral("note"));
    note.Decode(text);
    const QByteArray once = note.Encode();
    note.Decode(once);
    if (note.Encode() != once)
        __builtin_trap();
}

void checkFilter(const QByteArray &bytes, const quarvel::PreInputFile &records)
{
    quarvel::NumberFilter filter;
    const quarvel::RecordFile::Stamp stamp{};
    if (filter.FromBytes(bytes, stamp) && filter.ToBytes(stamp) != bytes)
        __builtin_trap();
    filter.Reset(records.GetCount());
    for (int i = 0; i < records.GetCount(); ++i)
        filter.Add(records.At(i)->cnum, sizeof records.At(i)->cnum);
    for (int i = 0; i < records.GetCount(); ++i)
        if (!filter.MayContain(records.At(i)->cnum, sizeof records.At(i)->cnum))
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString recordsPath = write("recinput.dat", part(data, size));
    const QString goodsPath = write("recgoods.dat", part(data, size));
    const QString weightsPath = write("recweight.dat", part(data, size));
    const QByteArray note = part(data, size);
    const QByteArray filter = part(data, size);

    quarvel::PreInputFile records;
    quarvel::GoodsFile goods;
    quarvel::WeightFile weights;
    if (records.OpenRecords(recordsPath) < 0 || goods.OpenRecords(goodsPath) < 0 ||
        weights.OpenRecords(weightsPath) < 0)
        return 0;
    const quarvel::LineRepair::Outcome outcome = quarvel::LineRepair::Run(records, goods, weights);
    if (outcome.changed() == quarvel::LineRepair::Text(outcome, recordsPath).isEmpty())
        __builtin_trap();
    checkCounts(records, goods, weights);
    if (quarvel::LineRepair::Run(records, goods, weights).changed())
        __builtin_trap();
    for (int i = 0; i < records.GetCount(); ++i) {
        const quarvel::PreInputRecord *r = records.At(i);
        const QByteArray number(r->cnum, static_cast<qsizetype>(::strnlen(r->cnum, sizeof r->cnum)));
        if (number.size() >= static_cast<qsizetype>(sizeof r->cnum))
            continue;
        const quarvel::PreInputRecord *found = records.FindLastByNumber(number);
        if (!found || ::strncmp(found->cnum, r->cnum, sizeof r->cnum) != 0)
            __builtin_trap();
    }
    checkNote(note);
    checkFilter(filter, records);
    return 0;
}
