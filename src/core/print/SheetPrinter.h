#pragma once

#include "excel/PrintDestination.h"
#include "print/PrintOutcome.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace quarvel {

class ExcelSession;
class PrintLedger;
class PrintPreview;
class SpreadsheetEngine;

// One document through the spreadsheet engine: the template's bytes become
// the working file, the caller fills its cells, page 1 becomes a PDF, the
// working file goes (or is kept and saved), and the PDF is shown for a
// preview when one is set, handed to the print destination and written into
// the print ledger. Safe on a printing worker: it shows no message itself.
class SheetPrinter {
public:
    struct Setup {
        SpreadsheetEngine *engine = nullptr;
        QString tempFolder;
        PrintDestination destination;
        PrintLedger *ledger = nullptr;
        PrintPreview *preview = nullptr;
    };
    struct Document {
        QString sheetName;
        QString workPath;
        QByteArray templateBytes;
        // Names the PDF and the printer job.
        QString title;
        // For the print ledger.
        QString kind;
        QString waybill;
        QString templateName;
        bool print = true;
        bool keepWorkbook = false;
        // The last page printed: a document is one page, a list report all of them.
        int lastPage = 1;
    };
    using Fill = std::function<void(ExcelSession &)>;

    explicit SheetPrinter(const Setup &setup) : setup_(setup) {}

    PrintOutcome Run(const Document &document, const Fill &fill) const;

    // A new working file "DATA_TEMP/<prefix>_<pid>_<random>.xls" ("BILL" for
    // waybills) that no other document or program can take; empty when none
    // could be made.
    static QString WorkPath(const QString &tempFolder, const QString &prefix);

private:
    PrintOutcome deliver(const Document &document, const QString &pdf) const;

    Setup setup_;
};

} // namespace quarvel
