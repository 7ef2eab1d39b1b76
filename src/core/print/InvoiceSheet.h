#pragma once

#include "print/PrintOutcome.h"
#include "print/SheetPrinter.h"

#include <QDate>

namespace quarvel {

class ExcelSession;
class GoodsNameDictionary;
class InvoiceLayout;
class PrintTemplate;
struct InvoiceSource;

// A proforma invoice: the record's values appended to the caption cells the
// invoice layout places, the goods table from the row of "物品描述" on, the
// descriptions translated as the template asks. Printed, or kept as
// DATA_TEMP/INVOICE_<waybill number>.xls.
class InvoiceSheet {
public:
    enum class Mode { Print = 0, KeepFile = 1 };

    struct Inputs {
        const PrintTemplate &invoiceTemplate;
        const InvoiceLayout &layout;
        const GoodsNameDictionary &dictionary;
        QDate today;
    };

    static PrintOutcome Output(const SheetPrinter::Setup &setup, const Inputs &inputs, const InvoiceSource &source,
                               Mode mode);
    static void Fill(ExcelSession &session, const Inputs &inputs, const InvoiceSource &source);
    // The description as the layout's mode writes it: the part before a
    // bracketed remark translated (or not), the remark appended unchanged.
    static QString Description(const QString &text, int descriptionMode, const GoodsNameDictionary &dictionary);
    // "INVOICE_<waybill number>.xls": characters a file name cannot hold, and
    // "%" itself, are written as "%XX", so two waybill numbers never share a
    // kept invoice ("A/B" is "INVOICE_A%2FB.xls", "A_B" is "INVOICE_A_B.xls").
    // Saving the invoice of the same number again replaces its earlier copy.
    static QString KeptName(const QString &waybill);
    static QString WorkPath(const QString &tempFolder, const QString &waybill);
};

} // namespace quarvel
