#pragma once

#include <QByteArray>

namespace quarvel {

// Whether bytes are an Excel workbook before they are handed to the office,
// which would otherwise take any file it cannot read as a workbook for text
// and print it: an Excel 97 compound document whose directory holds a
// "Workbook" (or "Book") stream, or a zipped workbook saved under the old
// extension.
class WorkbookSignature {
public:
    static bool Matches(const QByteArray &bytes);

private:
    static bool compoundDocumentHoldsWorkbook(const QByteArray &bytes);
};

} // namespace quarvel
