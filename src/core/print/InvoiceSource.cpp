#include "print/InvoiceSource.h"

#include "storage/GoodsFile.h"
#include "storage/PreInputFile.h"

namespace quarvel {

bool InvoiceSource::Take(const PreInputFile &records, const GoodsFile &goodsLines, int iid, InvoiceSource &source)
{
    const PreInputRecord *record = iid > 0 ? records.Find(iid) : nullptr;
    if (!record)
        return false;
    source.record = *record;
    source.goods.clear();
    for (int i = 0; i < goodsLines.GetCount(); ++i)
        if (goodsLines.At(i)->iparent == iid)
            source.goods.push_back(*goodsLines.At(i));
    return true;
}

} // namespace quarvel
