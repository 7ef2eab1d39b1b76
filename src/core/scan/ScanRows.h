#pragma once

#include "list/RecordListModel.h"

#include <vector>

namespace quarvel {

class CheckFile;
struct CheckRecord;

// The rows of the checkpoint scan list ("●检查点扫描记录列表"), one per scan.
class ScanRows {
public:
    static constexpr int kNumberColumn = 1;
    // "下一站", which shows the reason of a refused upload instead.
    static constexpr int kReasonColumn = 2;
    static constexpr int kKindColumn = 8;
    static constexpr int kSignTimeColumn = 10;

    // One row. A filled list shows the signing time's first 16 characters,
    // the row written after a save the whole text.
    static RecordListModel::Row Row(const CheckRecord &scan, bool wholeSignTime);
    // Every scan of the file, in file order.
    static std::vector<RecordListModel::Row> Build(const CheckFile &file);
};

} // namespace quarvel
