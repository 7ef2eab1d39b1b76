#include "storage/WeightRecord.h"

#include <array>

namespace quarvel {

std::span<const RecordField> WeightRecord::fields()
{
    using R = WeightRecord;
    static const std::array table{
        QUARVEL_FIELD(R, iid, Int32),         QUARVEL_FIELD(R, iparent, Int32),   QUARVEL_FIELD(R, nlength, Int32),
        QUARVEL_FIELD(R, nwidth, Int32),      QUARVEL_FIELD(R, nheight, Int32),   QUARVEL_FIELD(R, nweight, Int32),
        QUARVEL_FIELD(R, nvolpercent, UInt8), QUARVEL_FIELD(R, nquantity, Int32), QUARVEL_FIELD(R, iprice, Int32),
        QUARVEL_FIELD(R, cname, Text),
    };
    return table;
}

int ChargeableGrams(const WeightRecord &piece, bool modeD)
{
    const int weight = piece.nweight;
    const int share = piece.nvolpercent;
    if (share == 0)
        return weight;
    // 64-bit product: large dimensions must not overflow into a negative weight.
    const long long volume = static_cast<long long>(piece.nlength) * piece.nwidth * piece.nheight / (modeD ? 5 : 6);
    if (weight >= volume)
        return weight;
    if (share >= 100)
        return static_cast<int>(volume);
    return static_cast<int>((share * volume + (100 - share) * static_cast<long long>(weight)) / 100);
}

} // namespace quarvel
