#pragma once

#include "support/WorkbookBytes.h"
#include "text/Gbk.h"

#include <QByteArray>
#include <QString>

#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace printtest {

// GBK bytes of a text written in the test as UTF-8.
inline QByteArray gbk(const char *utf8)
{
    return quarvel::Gbk::fromUnicode(QString::fromUtf8(utf8));
}

// A workbook as far as the template checks can tell.
inline QByteArray workbook(const QByteArray &rest = "xls")
{
    return workbookBytes(rest);
}

} // namespace printtest
