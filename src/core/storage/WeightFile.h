#pragma once

#include "storage/LineFile.h"
#include "storage/WeightRecord.h"

namespace quarvel {

// DATA/recweight.dat: the pieces of the shipments with weights and sizes.
class WeightFile : public LineFile<WeightRecord> {};

} // namespace quarvel
