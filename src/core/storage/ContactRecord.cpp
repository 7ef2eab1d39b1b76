#include "storage/ContactRecord.h"

#include <array>

namespace quarvel {

std::span<const RecordField> ContactRecord::fields()
{
    using R = ContactRecord;
    static const std::array table{
        QUARVEL_FIELD(R, iid, Int32),    QUARVEL_FIELD(R, ccode, Text),    QUARVEL_FIELD(R, cname, Text),
        QUARVEL_FIELD(R, ccorp, Text),   QUARVEL_FIELD(R, caddr, Text),    QUARVEL_FIELD(R, cphone, Text),
        QUARVEL_FIELD(R, czip, Text),    QUARVEL_FIELD(R, ccountry, Text), QUARVEL_FIELD(R, cprov, Text),
        QUARVEL_FIELD(R, ccity, Text),   QUARVEL_FIELD(R, cmail, Text),    QUARVEL_FIELD(R, csms, Text),
        QUARVEL_FIELD(R, cremark, Text),
    };
    return table;
}

} // namespace quarvel
