#include "storage/PreInputRecord.h"

#include <array>

namespace quarvel {

std::span<const RecordField> PreInputRecord::fields()
{
    using R = PreInputRecord;
    static const std::array table{
        QUARVEL_FIELD(R, iid, Int32),
        QUARVEL_FIELD(R, ddate, Date),
        QUARVEL_FIELD(R, nitemtype, UInt8),
        QUARVEL_FIELD(R, nlanguage, UInt8),
        QUARVEL_FIELD(R, npayway, UInt8),
        QUARVEL_FIELD(R, nquantity, Int32),
        QUARVEL_FIELD(R, iprice, Int32),
        QUARVEL_FIELD(R, ideclare, Int32),
        QUARVEL_FIELD(R, iinsure, Int32),
        QUARVEL_FIELD(R, npieces, Int32),
        QUARVEL_FIELD(R, fweight, Double),
        QUARVEL_FIELD(R, ffee, Double),
        QUARVEL_FIELD(R, fcollectsettle, Double),
        QUARVEL_FIELD(R, fweighed, Double),
        QUARVEL_FIELD(R, fcod, Double),
        QUARVEL_FIELD(R, fcodsettle, Double),
        QUARVEL_FIELD(R, cemskind, Text),
        QUARVEL_FIELD(R, cfrom, Text),
        QUARVEL_FIELD(R, cdes, Text),
        QUARVEL_FIELD(R, cnum, Text),
        QUARVEL_FIELD(R, cdepart, Text),
        QUARVEL_FIELD(R, csender, Text),
        QUARVEL_FIELD(R, csendercorp, Text),
        QUARVEL_FIELD(R, csenderaddr, Text),
        QUARVEL_FIELD(R, csenderphone, Text),
        QUARVEL_FIELD(R, csenderzip, Text),
        QUARVEL_FIELD(R, csendercountry, Text),
        QUARVEL_FIELD(R, csenderprov, Text),
        QUARVEL_FIELD(R, csendercity, Text),
        QUARVEL_FIELD(R, csendermail, Text),
        QUARVEL_FIELD(R, csendersms, Text),
        QUARVEL_FIELD(R, creceiver, Text),
        QUARVEL_FIELD(R, creceivercorp, Text),
        QUARVEL_FIELD(R, creceiveraddr, Text),
        QUARVEL_FIELD(R, cphone, Text),
        QUARVEL_FIELD(R, creceiverzip, Text),
        QUARVEL_FIELD(R, creceivercountry, Text),
        QUARVEL_FIELD(R, creceiverprov, Text),
        QUARVEL_FIELD(R, creceivercity, Text),
        QUARVEL_FIELD(R, creceivermail, Text),
        QUARVEL_FIELD(R, creceiversms, Text),
        QUARVEL_FIELD(R, cmark, Text),
        QUARVEL_FIELD(R, cremark, Text),
        QUARVEL_FIELD(R, csize, Text),
        QUARVEL_FIELD(R, cgoods, Text),
        QUARVEL_FIELD(R, cpack, Text),
        QUARVEL_FIELD(R, cconsignnote, Text),
        QUARVEL_FIELD(R, ccurrency, Text),
        QUARVEL_FIELD(R, cpaydir, Text),
        QUARVEL_FIELD(R, cgoodsorigin, Text),
        QUARVEL_FIELD(R, ngoodslines, Int32),
        QUARVEL_FIELD(R, nweightlines, Int32),
        QUARVEL_FIELD(R, nlocked, UInt8),
        QUARVEL_FIELD(R, nmarked, UInt8),
    };
    return table;
}

} // namespace quarvel
