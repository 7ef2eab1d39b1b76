#pragma once

#include "storage/PreInputRecord.h"
#include "storage/TypedRecordFile.h"

#include <QByteArray>

namespace quarvel {

// DATA/recinput.dat: the shipments keyed in at the counter.
class PreInputFile : public TypedRecordFile<PreInputRecord> {
public:
    // The record whose waybill number is exactly this GBK text, searching from
    // the last record back; null when none holds it.
    const PreInputRecord *FindLastByNumber(const QByteArray &cnum) const;
    const PreInputRecord *FindLastByNumber(const QString &cnum) const;
};

} // namespace quarvel
