#pragma once

#include "storage/RecordFile.h"

namespace quarvel {

// A record file whose records have the layout R; the size comes from R.
template <class R> class TypedRecordFile : public RecordFile {
public:
    using Record = R;

    // Opens the file; the record count on success, -1 when it cannot be opened.
    int OpenRecords(const QString &path, Mode mode = Mode::ReadWrite)
    {
        return OpenFile(path, static_cast<int>(sizeof(R)), mode) ? GetCount() : -1;
    }

    R *At(int index) { return reinterpret_cast<R *>(GetRecord(index)); }
    const R *At(int index) const { return reinterpret_cast<const R *>(RecordFile::GetRecord(index)); }
    R *Find(int id) { return reinterpret_cast<R *>(FindById(id)); }
    const R *Find(int id) const { return const_cast<TypedRecordFile *>(this)->Find(id); }
};

} // namespace quarvel
