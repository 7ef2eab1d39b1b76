#include "query/SqlText.h"

namespace quarvel {

QString SqlText(const QString &text)
{
    return text.trimmed().replace(u'\'', QStringLiteral("''"));
}

} // namespace quarvel
