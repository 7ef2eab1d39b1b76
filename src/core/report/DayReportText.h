#pragma once

#include "report/DayReport.h"

#include <QJsonObject>
#include <QStringList>

namespace quarvel {

// The day's report written out: one JSON object for programs, lines for
// people (the command line prints either).
class DayReportText {
public:
    static QJsonObject Json(const DayReport &report);
    static QStringList Lines(const DayReport &report);
    // "12票 15件 23.500公斤 运费 180.00元"
    static QString TallyText(const DayReport::Tally &t);
};

} // namespace quarvel
