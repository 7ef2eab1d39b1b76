#pragma once

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

// The first bytes of an Excel 97 workbook, enough for the template checks.
inline QByteArray workbook(const QByteArray &rest = "xls")
{
    return QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + rest;
}

} // namespace printtest
