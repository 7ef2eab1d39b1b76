#include "storage/GoodsRecord.h"

#include <array>

namespace quarvel {

std::span<const RecordField> GoodsRecord::fields()
{
    using R = GoodsRecord;
    static const std::array table{
        QUARVEL_FIELD(R, iid, Int32),       QUARVEL_FIELD(R, iparent, Int32), QUARVEL_FIELD(R, cname, Text),
        QUARVEL_FIELD(R, nquantity, Int32), QUARVEL_FIELD(R, fprice, Double),
    };
    return table;
}

} // namespace quarvel
