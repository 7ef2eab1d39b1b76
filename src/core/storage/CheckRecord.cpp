#include "storage/CheckRecord.h"

#include <array>

namespace quarvel {

std::span<const RecordField> CheckRecord::fields()
{
    using R = CheckRecord;
    static const std::array table{
        QUARVEL_FIELD(R, iid, Int32),     QUARVEL_FIELD(R, nversion, UInt8), QUARVEL_FIELD(R, nkind, UInt8),
        QUARVEL_FIELD(R, nflight, UInt8), QUARVEL_FIELD(R, nstate, UInt8),   QUARVEL_FIELD(R, cnum, Text),
        QUARVEL_FIELD(R, cnext, Text),    QUARVEL_FIELD(R, cdate, Text),     QUARVEL_FIELD(R, cplace, Text),
        QUARVEL_FIELD(R, cinfo, Text),    QUARVEL_FIELD(R, cplaceen, Text),  QUARVEL_FIELD(R, cinfoen, Text),
        QUARVEL_FIELD(R, csigner, Text),  QUARVEL_FIELD(R, csigntime, Text),
    };
    return table;
}

} // namespace quarvel
