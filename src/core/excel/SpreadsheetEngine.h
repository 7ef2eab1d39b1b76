#pragma once

#include "excel/SheetFileFormat.h"
#include "excel/SpreadsheetDocument.h"

#include <QString>

#include <memory>

namespace quarvel {

// The spreadsheet application behind ExcelSession: opens workbooks and hands
// out documents. One engine serves the whole process and may be used from
// several threads; each document is used by one thread at a time.
class SpreadsheetEngine {
public:
    enum class Access { Edit, Read };

    virtual ~SpreadsheetEngine() = default;

    // Makes sure the application runs; false (with the reason) when it cannot be started.
    virtual bool start(QString *errorText) = 0;
    // A new empty workbook, saved as path and kept open.
    virtual std::unique_ptr<SpreadsheetDocument> create(const QString &path, QString *errorText) = 0;
    // Opens the workbook at path. Edit leaves the file untouched until save();
    // Read is for imports, which never save.
    virtual std::unique_ptr<SpreadsheetDocument> open(const QString &path, Access access, QString *errorText) = 0;
    // Opens a file to import from, read as the format it was found to have.
    virtual std::unique_ptr<SpreadsheetDocument> openForImport(const QString &path, const SheetFileFormat &format,
                                                               QString *errorText)
    {
        (void)format;
        return open(path, Access::Read, errorText);
    }
};

} // namespace quarvel
