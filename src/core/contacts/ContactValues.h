#pragma once

#include "storage/ContactRecord.h"

#include <QString>

#include <cstddef>
#include <span>

namespace quarvel {

// The twelve values of the address-book page as the operator sees them.
// Members carry the names of the record fields they edit, so that scripts
// can fill them by those names.
struct ContactValues {
    struct Field {
        const char *name;
        QString ContactValues::*value;
        std::size_t offset;
        std::size_t width;
    };
    // Every value in page order: code, name, phone, company, address,
    // country, province, city, postcode, e-mail, SMS, remark.
    static std::span<const Field> fields();
    static const Field *field(const QString &name);

    // The values of a stored contact.
    static ContactValues Of(const ContactRecord &record);

    QString ccode;
    QString cname;
    QString cphone;
    QString ccorp;
    QString caddr;
    QString ccountry;
    QString cprov;
    QString ccity;
    QString czip;
    QString cmail;
    QString csms;
    QString cremark;

    bool operator==(const ContactValues &) const = default;
};

} // namespace quarvel
