#pragma once

#include "list/RecordListModel.h"
#include "report/DayReport.h"

#include <vector>

namespace quarvel {

// The day's shipments as the 日结 page lists them: uploaded ones by the time
// the server accepted them, then those still on the counter in red with the
// reason they stayed; a totals row last.
class DayReportRows {
public:
    static constexpr unsigned kLocalColor = 0xC00000;

    static std::vector<RecordListModel::Row> Rows(const DayReport &report);
};

} // namespace quarvel
