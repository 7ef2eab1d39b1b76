#pragma once

#include "storage/RecordField.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace quarvel {

#pragma pack(push, 1)
// One goods line of a shipment (recgoods.dat); iparent is the shipment's iid.
struct GoodsRecord {
    std::int32_t iid;
    std::int32_t iparent;
    char cname[64];
    std::int32_t nquantity;
    double fprice;

    static std::span<const RecordField> fields();
};
#pragma pack(pop)

static_assert(sizeof(GoodsRecord) == 84);
static_assert(offsetof(GoodsRecord, iparent) == 4);
static_assert(offsetof(GoodsRecord, cname) == 8);
static_assert(offsetof(GoodsRecord, nquantity) == 72);
static_assert(offsetof(GoodsRecord, fprice) == 76);

} // namespace quarvel
