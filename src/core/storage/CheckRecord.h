#pragma once

#include "storage/RecordField.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace quarvel {

#pragma pack(push, 1)
// One checkpoint scan (reccheck.dat).
struct CheckRecord {
    std::int32_t iid;
    std::uint8_t nversion; // 0 中文, 1 英文, 2 双语
    std::uint8_t nkind;    // 0 到站, 1 出站, 2 派送, 3 签收, 4 异常
    std::uint8_t nflight;  // 1 before the flight, 51 after it
    std::uint8_t nstate;   // kind 4: the exception + 3; otherwise 0
    char cnum[32];
    char cnext[16];
    char cdate[32];
    char cplace[128];
    char cinfo[256];
    char cplaceen[128];
    char cinfoen[256];
    char reserved856[32];
    char csigner[16];
    char csigntime[32];

    static std::span<const RecordField> fields();
};
#pragma pack(pop)

static_assert(sizeof(CheckRecord) == 936);
static_assert(offsetof(CheckRecord, cnum) == 8);
static_assert(offsetof(CheckRecord, cnext) == 40);
static_assert(offsetof(CheckRecord, cdate) == 56);
static_assert(offsetof(CheckRecord, cplace) == 88);
static_assert(offsetof(CheckRecord, cinfo) == 216);
static_assert(offsetof(CheckRecord, cplaceen) == 472);
static_assert(offsetof(CheckRecord, cinfoen) == 600);
static_assert(offsetof(CheckRecord, csigner) == 888);
static_assert(offsetof(CheckRecord, csigntime) == 904);

} // namespace quarvel
