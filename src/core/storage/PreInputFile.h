#pragma once

#include "storage/NumberFilter.h"
#include "storage/PreInputRecord.h"
#include "storage/TypedRecordFile.h"

#include <QByteArray>

namespace quarvel {

// DATA/recinput.dat: the shipments keyed in at the counter. The waybill
// number of a stored record changes only through Append, WriteAt or
// SetNumber, so that the number filter sees every number the file holds.
class PreInputFile : public TypedRecordFile<PreInputRecord> {
public:
    int Open() override;
    int Append(void *record) override;
    int WriteAt(int index, const void *record) override;

    // The record whose waybill number is exactly this GBK text, searching from
    // the last record back; null when none holds it.
    const PreInputRecord *FindLastByNumber(const QByteArray &cnum) const;
    const PreInputRecord *FindLastByNumber(const QString &cnum) const;
    // Gives a stored record (a pointer into this file) another waybill number.
    void SetNumber(PreInputRecord *stored, const QByteArray &cnum);

    // The filter kept at the last clean close, when it describes exactly the
    // file as it was then (`closed`) and the open trusted that close.
    bool LoadNumberFilter(const QString &path, const RecordFile::Stamp &closed);
    // Keeps the filter for the next run beside the file in the state `now`;
    // without a usable filter any old one is removed.
    bool SaveNumberFilter(const QString &path, const RecordFile::Stamp &now) const;

private:
    void noteNumber(const PreInputRecord &record);
    void buildFilter() const;

    mutable NumberFilter numbers_;
};

} // namespace quarvel
