#pragma once

#include "print/PrintOutcome.h"
#include "print/SheetPrinter.h"

namespace quarvel {

class ExcelSession;
class FieldValues;
class PrintTemplate;

// A waybill: the values of the vocabulary, and the cells named outside it
// ("内单号39码", "网络渠道"), written into the cells that the waybill
// template's list section names, page 1 printed.
class WaybillSheet {
public:
    static PrintOutcome Print(const SheetPrinter::Setup &setup, const PrintTemplate &waybillTemplate,
                              const FieldValues &values);
    // Writes every non-empty value whose name the template places.
    static void Fill(ExcelSession &session, const PrintTemplate &waybillTemplate, const FieldValues &values);
    // The document's title: "面单_" and the waybill number.
    static QString Title(const FieldValues &values);
};

} // namespace quarvel
