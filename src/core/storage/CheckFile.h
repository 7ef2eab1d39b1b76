#pragma once

#include "storage/CheckRecord.h"
#include "storage/TypedRecordFile.h"

namespace quarvel {

// DATA/reccheck.dat: checkpoint scans waiting for upload.
class CheckFile : public TypedRecordFile<CheckRecord> {};

} // namespace quarvel
