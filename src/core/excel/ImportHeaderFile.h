#pragma once

#include "excel/ImportHeader.h"

#include <QList>
#include <QString>

namespace quarvel {

class ExcelSession;
class Prompter;

// The empty sheet an operator fills for an import: the header texts in row 1
// with their column widths ("导出Excel表头").
class ImportHeaderFile {
public:
    // The user's desktop folder, or dataTemp when the system names none
    // (or names one that does not exist), followed by the file name.
    static QString DefaultPath(const QString &dataTemp, const QString &fileName);
    // Writes the sheet and tells where it is ("文件保存在:\r\n" and the path),
    // or shows the spreadsheet's error text.
    static bool Export(ExcelSession &session, Prompter &prompter, const QString &sheetName, const QString &path,
                       const QList<ImportColumn> &columns);
};

} // namespace quarvel
