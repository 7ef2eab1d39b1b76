#pragma once

#include "storage/GoodsRecord.h"
#include "storage/LineFile.h"

namespace quarvel {

// DATA/recgoods.dat: the goods lines of the shipments.
class GoodsFile : public LineFile<GoodsRecord> {};

} // namespace quarvel
