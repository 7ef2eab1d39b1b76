#include "preinput/ShipmentStore.h"

#include "app/ClientContext.h"

namespace quarvel {

template <class File, class Line> bool ShipmentStore::appendLines(File &file, std::vector<Line> lines, int parent)
{
    for (Line &line : lines) {
        line.iid = 0;
        line.iparent = parent;
        if (file.Append(&line) == 0) {
            failure_ = file.errorText();
            return false;
        }
    }
    return true;
}

bool ShipmentStore::flushAll()
{
    QString failure;
    if (context_.FlushRecords(&failure))
        return true;
    failure_ = failure;
    return false;
}

void ShipmentStore::removeShipment(int iid)
{
    context_.goods().DeleteByParent(iid);
    context_.weights().DeleteByParent(iid);
    context_.preInputs().DeleteById(iid);
    context_.FlushRecords();
}

bool ShipmentStore::Add(PreInputRecord &record, const std::vector<GoodsRecord> &goods,
                        const std::vector<WeightRecord> &pieces)
{
    failure_.clear();
    PreInputFile &records = context_.preInputs();
    if (records.Append(&record) == 0) {
        failure_ = records.errorText();
        return false;
    }
    // A record is confirmed only with all its lines on disk: anything short
    // of that takes the record and what was written of its lines away again.
    if (appendLines(context_.goods(), goods, record.iid) && appendLines(context_.weights(), pieces, record.iid) &&
        flushAll())
        return true;
    removeShipment(record.iid);
    return false;
}

bool ShipmentStore::Rewrite(const PreInputRecord &record, const std::vector<WeightRecord> *pieces)
{
    failure_.clear();
    PreInputFile &records = context_.preInputs();
    const int index = records.FindIndexById(record.iid);
    if (index < 0)
        return false;
    const PreInputRecord before = *records.At(index);
    std::vector<WeightRecord> oldPieces;
    context_.weights().CopyByParent(oldPieces, record.iid);
    records.WriteAt(index, &record);
    if (pieces) {
        context_.weights().DeleteByParent(record.iid);
        if (appendLines(context_.weights(), *pieces, record.iid) && flushAll())
            return true;
    } else if (flushAll()) {
        return true;
    }
    // Back as it was; the old lines fit where the new ones were, so the file
    // needs no growth for them.
    if (pieces) {
        context_.weights().DeleteByParent(record.iid);
        appendLines(context_.weights(), oldPieces, record.iid);
    }
    records.WriteAt(index, &before);
    context_.FlushRecords();
    return false;
}

} // namespace quarvel
