#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

class SpreadsheetEngine;

// Whether the spreadsheet engine can open bytes as a workbook: a template
// saved in a form the quick signature test does not know (Excel's XML
// spreadsheet of 2003 under the old extension, an HTML table, ...) is still
// a template when the office reads it as a spreadsheet. Anything the office
// could only read as plain text is refused by the engine itself.
class WorkbookProbe {
public:
    // The bytes go to a file of their own in `folder` for the engine to open
    // for reading; the file is removed again. False without an engine.
    static bool Opens(SpreadsheetEngine *engine, const QString &folder, const QByteArray &bytes);
};

} // namespace quarvel
