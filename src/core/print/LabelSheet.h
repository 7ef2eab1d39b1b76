#pragma once

#include "print/LabelFields.h"
#include "print/PrintOutcome.h"
#include "print/SheetPrinter.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace quarvel {

class ExcelSession;
class LabelSheetLayout;

// One sheet of labels: the records of a group on labels 0, 1, 2 ... of the
// label template's sheet, each field in the cell the layout gives for its
// label, page 1 printed once. A position without a record (one deleted
// before the sheet's turn) stays empty, so the records after it keep their
// labels and the sheets cut before printing are the sheets printed.
class LabelSheet {
public:
    using Positions = QList<std::optional<LabelFields>>;

    static PrintOutcome Print(const SheetPrinter::Setup &setup, const LabelSheetLayout &layout,
                              const Positions &labels);
    // Writes the labels; positions beyond the sheet's last label are left out.
    static void Fill(ExcelSession &session, const LabelSheetLayout &layout, const Positions &labels);
    // The ids cut, in order, into groups of a sheet each.
    static QList<QList<int>> Sheets(const QList<int> &ids, int labelsPerSheet);
    // "标签_" with the first and the last waybill number of the sheet.
    static QString Title(const QStringList &numbers);
    // The waybill numbers of the labels present, in position order.
    static QStringList Numbers(const Positions &labels);
};

} // namespace quarvel
