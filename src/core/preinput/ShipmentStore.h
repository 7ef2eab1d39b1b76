#pragma once

#include "storage/GoodsRecord.h"
#include "storage/PreInputRecord.h"
#include "storage/WeightRecord.h"

#include <QString>

#include <vector>

namespace quarvel {

class ClientContext;

// Writes one shipment with its goods and piece lines, all or nothing: the
// record, every line and the flush that makes them survive a power cut must
// succeed, or the files are put back as they were before and the reason is
// given (a full disk, a file that cannot grow). The record file's writer
// lock keeps other programs out meanwhile.
class ShipmentStore {
public:
    explicit ShipmentStore(ClientContext &context) : context_(context) {}

    // A new record (its iid is given here) with its lines.
    bool Add(PreInputRecord &record, const std::vector<GoodsRecord> &goods, const std::vector<WeightRecord> &pieces);
    // A stored record rewritten; its piece lines replaced when `pieces` is given.
    bool Rewrite(const PreInputRecord &record, const std::vector<WeightRecord> *pieces);

    // Why the last Add or Rewrite failed, for "业务记录保存失败：%1".
    QString failure() const { return failure_; }

private:
    template <class File, class Line> bool appendLines(File &file, std::vector<Line> lines, int parent);
    bool flushAll();
    void removeShipment(int iid);

    ClientContext &context_;
    QString failure_;
};

} // namespace quarvel
