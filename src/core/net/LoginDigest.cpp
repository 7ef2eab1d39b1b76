#include "net/LoginDigest.h"

#include <QCryptographicHash>

namespace quarvel {

QByteArray LoginDigest::compute(qint64 secondsSinceEpoch, const QByteArray &passwordGbk)
{
    const QByteArray text = QByteArray::number(secondsSinceEpoch) + kSalt + passwordGbk;
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

} // namespace quarvel
