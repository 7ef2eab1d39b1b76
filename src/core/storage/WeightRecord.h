#pragma once

#include "storage/RecordField.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace quarvel {

#pragma pack(push, 1)
// One piece of a shipment with its dimensions and weight (recweight.dat).
// Packed: nquantity and iprice sit at unaligned offsets 25 and 29.
struct WeightRecord {
    std::int32_t iid;
    std::int32_t iparent;
    std::int32_t nlength; // cm
    std::int32_t nwidth;
    std::int32_t nheight;
    std::int32_t nweight;     // grams
    std::uint8_t nvolpercent; // share of the volumetric weight; 0 = actual weight only
    std::int32_t nquantity;
    std::int32_t iprice; // hundredths
    char cname[64];

    static std::span<const RecordField> fields();
};
#pragma pack(pop)

static_assert(sizeof(WeightRecord) == 97);
static_assert(offsetof(WeightRecord, nlength) == 8);
static_assert(offsetof(WeightRecord, nweight) == 20);
static_assert(offsetof(WeightRecord, nvolpercent) == 24);
static_assert(offsetof(WeightRecord, nquantity) == 25);
static_assert(offsetof(WeightRecord, iprice) == 29);
static_assert(offsetof(WeightRecord, cname) == 33);

// Chargeable weight of one piece in grams. The volumetric weight is
// length × width × height / 6 (divisor 5 in the base data's "D" mode).
int ChargeableGrams(const WeightRecord &piece, bool modeD);

} // namespace quarvel
