#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

// What an import file really is, told by its first bytes rather than by its
// name: web shops save HTML tables and Excel 2003 XML as ".xls", ERPs save
// tab-separated text as ".xls", and CSV comes in UTF-8 (with or without a
// byte-order mark) or in GBK. The engine opens each with the filter it needs.
struct SheetFileFormat {
    enum class Kind {
        Workbook,       // a binary or zipped workbook (.xls, .xlsx, .ods): the engine recognises it
        Html,           // an HTML table
        XmlSpreadsheet, // Excel 2003 XML
        Text,           // separated values
    };
    enum class Encoding { Utf8, Gbk, Utf16 };

    Kind kind = Kind::Workbook;
    Encoding encoding = Encoding::Utf8;
    char16_t separator = u',';

    // The format of a file from its first bytes (and, for CSV, its name).
    static SheetFileFormat Of(const QByteArray &head, const QString &fileName);
    // The format of the file at path; a file that cannot be read is a workbook
    // (the engine then says why it cannot open it).
    static SheetFileFormat OfFile(const QString &path);
    // The formats an import tries, for the message about a file none of them reads.
    static QString TriedText();
};

} // namespace quarvel
