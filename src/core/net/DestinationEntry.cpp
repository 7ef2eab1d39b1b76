#include "net/DestinationEntry.h"

#include "text/Gbk.h"

namespace quarvel {

const QByteArray &DestinationEntry::field(Field f) const
{
    switch (f) {
    case FirstKey:
        return firstKey;
    case SecondKey:
        return secondKey;
    case Postcode:
        return postcode;
    case Name:
        return name;
    case Country:
        break;
    }
    return country;
}

QString DestinationEntry::text(Field f) const
{
    return Gbk::toUnicode(field(f));
}

} // namespace quarvel
