#pragma once

#include "storage/GoodsRecord.h"
#include "storage/PreInputRecord.h"

#include <vector>

namespace quarvel {

class GoodsFile;
class PreInputFile;

// What a proforma invoice is made from: copies of a pre-entry record and its
// goods lines (all lines whose iparent is the record, in file order), taken
// on the user-interface thread.
struct InvoiceSource {
    PreInputRecord record{};
    std::vector<GoodsRecord> goods;

    // False when no record has that id.
    static bool Take(const PreInputFile &records, const GoodsFile &goodsLines, int iid, InvoiceSource &source);
};

} // namespace quarvel
