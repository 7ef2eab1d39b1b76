#pragma once

#include "print/LabelFields.h"
#include "print/PrintOutcome.h"
#include "print/SheetPrinter.h"

#include <QList>

namespace quarvel {

class ExcelSession;
class LabelSheetLayout;

// One sheet of labels: consecutive records on labels 0, 1, 2 ... of the
// label template's sheet, each field in the cell the layout gives for its
// label, page 1 printed once.
class LabelSheet {
public:
    static PrintOutcome Print(const SheetPrinter::Setup &setup, const LabelSheetLayout &layout,
                              const QList<LabelFields> &labels);
    // Writes the labels; records beyond the sheet's last label are left out.
    static void Fill(ExcelSession &session, const LabelSheetLayout &layout, const QList<LabelFields> &labels);
    // The records cut, in order, into groups of a sheet each.
    static QList<QList<LabelFields>> Sheets(const QList<LabelFields> &labels, int labelsPerSheet);
    // "标签_" with the first and the last waybill number of the sheet.
    static QString Title(const QList<LabelFields> &labels);
    // The sheet's waybill numbers for the print ledger, comma-separated.
    static QString Numbers(const QList<LabelFields> &labels);
};

} // namespace quarvel
