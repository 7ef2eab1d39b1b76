#pragma once

#include "storage/RecordField.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace quarvel {

#pragma pack(push, 1)
// One address-book entry, sender or receiver alike (rsdata.dat).
struct ContactRecord {
    std::int32_t iid;
    char ccode[32];
    char cname[32];
    char ccorp[128];
    char caddr[128];
    char cphone[64];
    char czip[16];
    char ccountry[64];
    char cprov[32];
    char ccity[32];
    char cmail[64];
    char csms[24];
    char cremark[256];
    char reserved876[72];

    static std::span<const RecordField> fields();
};
#pragma pack(pop)

static_assert(sizeof(ContactRecord) == 948);
static_assert(offsetof(ContactRecord, ccode) == 4);
static_assert(offsetof(ContactRecord, cname) == 36);
static_assert(offsetof(ContactRecord, ccorp) == 68);
static_assert(offsetof(ContactRecord, caddr) == 196);
static_assert(offsetof(ContactRecord, cphone) == 324);
static_assert(offsetof(ContactRecord, czip) == 388);
static_assert(offsetof(ContactRecord, ccountry) == 404);
static_assert(offsetof(ContactRecord, cprov) == 468);
static_assert(offsetof(ContactRecord, ccity) == 500);
static_assert(offsetof(ContactRecord, cmail) == 532);
static_assert(offsetof(ContactRecord, csms) == 596);
static_assert(offsetof(ContactRecord, cremark) == 620);

} // namespace quarvel
