#pragma once

#include "print/PrintOutcome.h"
#include "print/SheetPrinter.h"
#include "report/DayReport.h"

#include <QDateTime>

namespace quarvel {

class ExcelSession;
class PrintTemplate;

// The hand-over manifest of a counter day: the shipments the server accepted
// that day, which leave with the courier's van, one row each from the row
// of the template's detail cells ("明细运单号", "明细目的地", ...), then a
// totals row and the signature lines of the template's section
// "签字定义", with the day's totals in the header cells ("合计票数", ...).
// One document of as many pages as the rows take.
class ManifestSheet {
public:
    struct Inputs {
        const PrintTemplate &manifestTemplate;
        const DayReport &report;
        QString account;
        QDateTime printedAt;
    };

    static QString NothingText() { return QStringLiteral("当日没有已上传的快件，没有交接单可打印。"); }

    static PrintOutcome Print(const SheetPrinter::Setup &setup, const Inputs &in);
    static void Fill(ExcelSession &session, const Inputs &in);
    // "交接单_2026-12-08"
    static QString Title(QDate day);
};

} // namespace quarvel
