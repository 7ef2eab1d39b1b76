#include "net/ExpressKind.h"

#include "text/Gbk.h"

namespace quarvel {

QString ExpressKind::codeText() const
{
    return Gbk::toUnicode(code);
}

QString ExpressKind::nameText() const
{
    return Gbk::toUnicode(name);
}

bool ExpressKind::serves(const QString &destination) const
{
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(destination, &ok);
    return ok && serves(gbk);
}

bool ExpressKind::serves(const QByteArray &destinationGbk) const
{
    if (!served || destinationGbk.isEmpty())
        return false;
    const QByteArray entry = destinationGbk + '\t';
    for (qsizetype at = served->indexOf(entry); at >= 0; at = served->indexOf(entry, at + 1))
        if (at == 0 || served->at(at - 1) == '\t')
            return true;
    return false;
}

} // namespace quarvel
