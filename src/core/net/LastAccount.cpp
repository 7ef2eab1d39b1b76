#include "net/LastAccount.h"
#include "storage/FileReplace.h"

#include "net/ServerSession.h"
#include "text/Gbk.h"

#include <QFile>

namespace quarvel {

namespace {

constexpr qint64 kKeptBytes = 31;

bool isGbkText(const QByteArray &bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    bool ok = false;
    return Gbk::fromUnicode(Gbk::toUnicode(bytes), &ok) == bytes && ok;
}

} // namespace

QString LastAccountDamage(const QByteArray &bytes)
{
    if (!isGbkText(bytes))
        return QStringLiteral("内容不是有效的账号文字；登录时不预填账号。");
    if (bytes.size() > kKeptBytes)
        return QStringLiteral("账号超过 %1 字节；登录时只取前面部分。").arg(kKeptBytes);
    return {};
}

QString LastAccountDamage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return LastAccountDamage(file.read(4096));
}

QString LoadLastAccount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // One byte beyond the 31 kept shows whether the last one starts a character.
    QByteArray bytes = file.read(kKeptBytes + 1);
    bytes.truncate(static_cast<qsizetype>(qstrnlen(bytes.constData(), static_cast<uint>(bytes.size()))));
    const std::size_t n = Gbk::characterBoundary(bytes.constData(), static_cast<std::size_t>(bytes.size()), kKeptBytes);
    bytes.truncate(static_cast<qsizetype>(n));
    return isGbkText(bytes) ? Gbk::toUnicode(bytes) : QString();
}

bool SaveLastAccount(const ServerSession &session, const QString &path)
{
    if (!session.loggedIn())
        return true;
    return FileReplace::Write(path, Gbk::fromUnicode(session.account()));
}

} // namespace quarvel
