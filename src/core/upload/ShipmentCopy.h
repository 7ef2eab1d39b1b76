#pragma once

#include "storage/GoodsRecord.h"
#include "storage/PreInputRecord.h"
#include "storage/WeightRecord.h"

#include <vector>

namespace quarvel {

// One shipment as a worker sees it: copies of the record and of its goods and
// piece lines in file order, taken on the user-interface thread, so that no
// delete on that thread can move what the worker reads.
struct ShipmentCopy {
    PreInputRecord record{};
    std::vector<GoodsRecord> goods;
    std::vector<WeightRecord> pieces;
};

} // namespace quarvel
