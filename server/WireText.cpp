#include "WireText.h"

#include "text/Gbk.h"

#include <QString>

namespace quarvel::server {

bool WireText::toUtf8(std::string_view gbk, std::string &utf8)
{
    const QByteArray bytes(gbk.data(), static_cast<qsizetype>(gbk.size()));
    const QString text = Gbk::toUnicode(bytes);
    bool ok = false;
    // Invalid input decodes to replacement characters, which do not encode back.
    if (Gbk::fromUnicode(text, &ok) != bytes || !ok)
        return false;
    utf8 = text.toStdString();
    return true;
}

std::string WireText::toGbk(std::string_view utf8)
{
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    bool ok = false;
    QByteArray gbk = Gbk::fromUnicode(text, &ok);
    if (!ok) {
        gbk.clear();
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            bool one = false;
            const QByteArray part = Gbk::fromUnicode(text.mid(i, n), &one);
            gbk += one ? part : QByteArray("?");
            i += n;
        }
    }
    return gbk.toStdString();
}

std::string WireText::line(std::string_view utf8, std::size_t maxBytes)
{
    std::string gbk = toGbk(utf8);
    for (char &c : gbk) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    gbk.resize(Gbk::characterBoundary(gbk.data(), gbk.size(), maxBytes));
    return gbk;
}

} // namespace quarvel::server
