#include "list/ListTextExport.h"
#include "storage/FileReplace.h"

#include "text/Utf16Le.h"

namespace quarvel {

QString ListTextExport::CleanCell(const QString &text)
{
    QString clean = text;
    for (QChar &c : clean)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    return clean;
}

QByteArray ListTextExport::Render(const ListSnapshot &list, const QString &timeStamp)
{
    QString text = list.title + QStringLiteral("\r\n") + timeStamp + QStringLiteral("\r\n\r\n");
    for (const ListSnapshot::Column &c : list.columns)
        text += CleanCell(c.caption) + u'\t';
    text += QStringLiteral("\r\n");
    for (const QStringList &row : list.rows) {
        for (const QString &cell : row)
            text += CleanCell(cell) + u'\t';
        text += QStringLiteral("\r\n");
    }
    return QByteArray("\xFF\xFE", 2) + Utf16Le::Encode(text);
}

bool ListTextExport::Write(const QString &path, const ListSnapshot &list, const QString &timeStamp)
{
    return FileReplace::Write(path, Render(list, timeStamp));
}

} // namespace quarvel
