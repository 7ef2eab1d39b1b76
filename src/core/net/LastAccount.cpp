#include "net/LastAccount.h"

#include "net/ServerSession.h"
#include "text/Gbk.h"

#include <QFile>
#include <QSaveFile>

namespace quarvel {

QString LoadLastAccount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // One byte beyond the 31 kept shows whether the last one starts a character.
    QByteArray bytes = file.read(32);
    bytes.truncate(static_cast<qsizetype>(qstrnlen(bytes.constData(), static_cast<uint>(bytes.size()))));
    const std::size_t n = Gbk::characterBoundary(bytes.constData(), static_cast<std::size_t>(bytes.size()), 31);
    return Gbk::toUnicode(bytes.constData(), n);
}

bool SaveLastAccount(const ServerSession &session, const QString &path)
{
    if (!session.loggedIn())
        return true;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(Gbk::fromUnicode(session.account()));
    return file.commit();
}

} // namespace quarvel
