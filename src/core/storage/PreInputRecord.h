#pragma once

#include "storage/RecordField.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace quarvel {

#pragma pack(push, 1)
// One shipment keyed in on the pre-entry page (recinput.dat). Texts are GBK,
// NUL-terminated and zero-padded; int32 money is hundredths.
struct PreInputRecord {
    std::int32_t iid;
    RecordDate ddate;
    std::uint8_t nitemtype; // 0 文件, 1 包裹, 2 防水袋
    std::uint8_t nlanguage; // 0 大陆, 1 华语, 2 外语
    std::uint8_t npayway;   // 0 月结, 1 现付, 2 到付
    std::uint8_t reserved11;
    std::int32_t nquantity;
    std::int32_t iprice;
    std::int32_t ideclare;
    std::int32_t iinsure;
    std::int32_t npieces;
    double fweight;
    double ffee;
    double fcollectsettle;
    double fweighed;
    double fcod;
    double fcodsettle;
    char cemskind[16];
    char cfrom[64];
    char cdes[64];
    char cnum[32];
    char reserved256[32];
    char cdepart[32];
    char csender[32];
    char csendercorp[128];
    char csenderaddr[128];
    char csenderphone[64];
    char csenderzip[16];
    char csendercountry[64];
    char csenderprov[32];
    char csendercity[32];
    char csendermail[64];
    char csendersms[24];
    char creceiver[32];
    char creceivercorp[128];
    char creceiveraddr[128];
    char cphone[64];
    char creceiverzip[16];
    char creceivercountry[64];
    char creceiverprov[32];
    char creceivercity[32];
    char creceivermail[64];
    char creceiversms[24];
    char cmark[16];
    char cremark[256];
    char csize[16];
    char cgoods[256];
    char cpack[16];
    char cconsignnote[64];
    char ccurrency[4];
    char cpaydir[4];
    char cgoodsorigin[4];
    std::int32_t ngoodslines;
    std::int32_t nweightlines;
    char reserved2132[4];
    std::uint8_t nlocked;
    std::uint8_t nmarked;
    char reserved2138[258];

    static std::span<const RecordField> fields();
};
#pragma pack(pop)

static_assert(sizeof(PreInputRecord) == 2396);
static_assert(offsetof(PreInputRecord, ddate) == 4);
static_assert(offsetof(PreInputRecord, nitemtype) == 8);
static_assert(offsetof(PreInputRecord, nquantity) == 12);
static_assert(offsetof(PreInputRecord, npieces) == 28);
static_assert(offsetof(PreInputRecord, fweight) == 32);
static_assert(offsetof(PreInputRecord, fcodsettle) == 72);
static_assert(offsetof(PreInputRecord, cemskind) == 80);
static_assert(offsetof(PreInputRecord, cfrom) == 96);
static_assert(offsetof(PreInputRecord, cdes) == 160);
static_assert(offsetof(PreInputRecord, cnum) == 224);
static_assert(offsetof(PreInputRecord, cdepart) == 288);
static_assert(offsetof(PreInputRecord, csender) == 320);
static_assert(offsetof(PreInputRecord, csendercorp) == 352);
static_assert(offsetof(PreInputRecord, csenderaddr) == 480);
static_assert(offsetof(PreInputRecord, csenderphone) == 608);
static_assert(offsetof(PreInputRecord, csenderzip) == 672);
static_assert(offsetof(PreInputRecord, csendercountry) == 688);
static_assert(offsetof(PreInputRecord, csenderprov) == 752);
static_assert(offsetof(PreInputRecord, csendercity) == 784);
static_assert(offsetof(PreInputRecord, csendermail) == 816);
static_assert(offsetof(PreInputRecord, csendersms) == 880);
static_assert(offsetof(PreInputRecord, creceiver) == 904);
static_assert(offsetof(PreInputRecord, creceivercorp) == 936);
static_assert(offsetof(PreInputRecord, creceiveraddr) == 1064);
static_assert(offsetof(PreInputRecord, cphone) == 1192);
static_assert(offsetof(PreInputRecord, creceiverzip) == 1256);
static_assert(offsetof(PreInputRecord, creceivercountry) == 1272);
static_assert(offsetof(PreInputRecord, creceiverprov) == 1336);
static_assert(offsetof(PreInputRecord, creceivercity) == 1368);
static_assert(offsetof(PreInputRecord, creceivermail) == 1400);
static_assert(offsetof(PreInputRecord, creceiversms) == 1464);
static_assert(offsetof(PreInputRecord, cmark) == 1488);
static_assert(offsetof(PreInputRecord, cremark) == 1504);
static_assert(offsetof(PreInputRecord, csize) == 1760);
static_assert(offsetof(PreInputRecord, cgoods) == 1776);
static_assert(offsetof(PreInputRecord, cpack) == 2032);
static_assert(offsetof(PreInputRecord, cconsignnote) == 2048);
static_assert(offsetof(PreInputRecord, ccurrency) == 2112);
static_assert(offsetof(PreInputRecord, cpaydir) == 2116);
static_assert(offsetof(PreInputRecord, cgoodsorigin) == 2120);
static_assert(offsetof(PreInputRecord, ngoodslines) == 2124);
static_assert(offsetof(PreInputRecord, nweightlines) == 2128);
static_assert(offsetof(PreInputRecord, nlocked) == 2136);
static_assert(offsetof(PreInputRecord, nmarked) == 2137);

} // namespace quarvel
