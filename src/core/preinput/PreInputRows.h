#pragma once

#include "list/RecordListModel.h"
#include "storage/PreInputRecord.h"

#include <QStringList>

#include <vector>

namespace quarvel {

class PreInputFile;

// The rows of the pre-entry list: one per record in file order, the records
// the filter mode lets through, locked records in blue.
class PreInputRows {
public:
    static constexpr unsigned kLockedText = 0x0000FF;
    // Column of the reason an upload refused a record.
    static constexpr int kReasonColumn = 2;
    // Column of the waybill number ("运单号").
    static constexpr int kNumberColumn = 3;

    // 0: only unmarked records, 1: only marked ones, 2: all.
    enum FilterMode { Unmarked = 0, Marked = 1, All = 2 };
    // The mode of the two filter boxes "未标记" and "已标记".
    static FilterMode ModeOf(bool unmarkedTicked, bool markedTicked);
    static bool Passes(const PreInputRecord &record, FilterMode mode);

    // The 17 cells; column 0 (the row number) is left to the list.
    static QStringList Cells(const PreInputRecord &record);
    static RecordListModel::Row Row(const PreInputRecord &record);
    // All rows of a file in one pass. Texts that repeat from record to record
    // (kinds, senders, departments, dates, destinations) are decoded once and
    // shared, so that a list of 100,000 records fills about as fast as the
    // records decode.
    static std::vector<RecordListModel::Row> Build(const PreInputFile &file, FilterMode mode);

private:
    class Decoder;
};

} // namespace quarvel
