#include "storage/PreInputFile.h"
#include "storage/FileReplace.h"

#include "text/Gbk.h"

#include <QFile>

#include <cstring>

namespace quarvel {

int PreInputFile::Open()
{
    numbers_.Clear();
    return TypedRecordFile::Open();
}

int PreInputFile::Append(void *record)
{
    const int count = TypedRecordFile::Append(record);
    if (count > 0)
        noteNumber(*static_cast<const PreInputRecord *>(record));
    return count;
}

int PreInputFile::WriteAt(int index, const void *record)
{
    const int done = TypedRecordFile::WriteAt(index, record);
    if (done)
        noteNumber(*static_cast<const PreInputRecord *>(record));
    return done;
}

void PreInputFile::SetNumber(PreInputRecord *stored, const QByteArray &cnum)
{
    const Change change(*this);
    Gbk::setField(stored->cnum, sizeof stored->cnum, cnum);
    noteNumber(*stored);
}

void PreInputFile::noteNumber(const PreInputRecord &record)
{
    numbers_.Add(record.cnum, sizeof record.cnum);
    // Past its size the filter answers "maybe" too often; the next look-up
    // builds a larger one.
    if (numbers_.crowded())
        numbers_.Clear();
}

void PreInputFile::buildFilter() const
{
    numbers_.Reset(GetCount());
    for (int i = 0; i < GetCount(); ++i)
        numbers_.Add(At(i)->cnum, sizeof At(i)->cnum);
}

const PreInputRecord *PreInputFile::FindLastByNumber(const QByteArray &cnum) const
{
    if (cnum.size() >= static_cast<qsizetype>(sizeof(PreInputRecord::cnum)))
        return nullptr;
    if (!numbers_.built())
        buildFilter();
    if (!numbers_.MayContain(cnum.constData(), static_cast<std::size_t>(cnum.size())))
        return nullptr;
    for (int i = GetCount() - 1; i >= 0; --i) {
        const PreInputRecord *r = At(i);
        if (std::strncmp(r->cnum, cnum.constData(), sizeof r->cnum) == 0)
            return r;
    }
    return nullptr;
}

const PreInputRecord *PreInputFile::FindLastByNumber(const QString &cnum) const
{
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(cnum, &ok);
    return ok ? FindLastByNumber(gbk) : nullptr;
}

bool PreInputFile::LoadNumberFilter(const QString &path, const RecordFile::Stamp &closed)
{
    numbers_.Clear();
    if (!openedClean())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && numbers_.FromBytes(file.readAll(), closed);
}

bool PreInputFile::SaveNumberFilter(const QString &path, const RecordFile::Stamp &now) const
{
    if (!numbers_.built() || numbers_.crowded())
        return !QFile::exists(path) || QFile::remove(path);
    return FileReplace::Write(path, numbers_.ToBytes(now));
}

} // namespace quarvel
