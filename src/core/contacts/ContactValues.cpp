#include "contacts/ContactValues.h"

#include "text/Gbk.h"

#include <cstring>

namespace quarvel {

namespace {

#define CONTACT_FIELD(f)                                                                                               \
    ContactValues::Field                                                                                               \
    {                                                                                                                  \
#f, &ContactValues::f, offsetof(ContactRecord, f), sizeof(ContactRecord::f)                                    \
    }

const ContactValues::Field kFields[] = {
    CONTACT_FIELD(ccode), CONTACT_FIELD(cname),    CONTACT_FIELD(cphone), CONTACT_FIELD(ccorp),
    CONTACT_FIELD(caddr), CONTACT_FIELD(ccountry), CONTACT_FIELD(cprov),  CONTACT_FIELD(ccity),
    CONTACT_FIELD(czip),  CONTACT_FIELD(cmail),    CONTACT_FIELD(csms),   CONTACT_FIELD(cremark),
};

#undef CONTACT_FIELD

} // namespace

std::span<const ContactValues::Field> ContactValues::fields()
{
    return kFields;
}

const ContactValues::Field *ContactValues::field(const QString &name)
{
    for (const Field &f : kFields)
        if (name == QLatin1String(f.name))
            return &f;
    return nullptr;
}

ContactValues ContactValues::Of(const ContactRecord &record)
{
    ContactValues v;
    const char *base = reinterpret_cast<const char *>(&record);
    for (const Field &f : kFields)
        v.*(f.value) = Gbk::toUnicode(base + f.offset, ::strnlen(base + f.offset, f.width));
    return v;
}

} // namespace quarvel
