#include "net/ServerConfig.h"
#include "storage/FileReplace.h"

#include "net/HostAddress.h"
#include "net/ServerSession.h"
#include "text/Gbk.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>

namespace quarvel {

namespace {

constexpr int kHostBytes = 63;
constexpr int kSiteBytes = 31;
constexpr qint64 kMaxFileBytes = 64 * 1024;

bool isHostCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' || c == u'-';
}

} // namespace

ServerConfig::ServerConfig(const QString &path) : path_(path), host_(defaultHost()), site_(defaultSite())
{
}

ServerConfig::Trouble ServerConfig::Load()
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Parse(file.read(kMaxFileBytes));
}

ServerConfig::Trouble ServerConfig::Parse(const QByteArray &text)
{
    Trouble trouble;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(text);
    if (utf8.hasError())
        trouble.damage << QStringLiteral("内容不是有效的 UTF-8 文本");
    const QStringList lines = decoded.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines.at(n).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        // "host 1.2.3.4" is a broken host line, not a line to skip.
        const QString key = (eq < 0 ? line.section(u' ', 0, 0) : line.left(eq)).trimmed();
        const QString value = eq < 0 ? QString() : line.mid(eq + 1).trimmed();
        const bool host = key == QLatin1String("host");
        if (!host && key != QLatin1String("site")) {
            trouble.damage << QStringLiteral("第 %1 行不是设置（应为 host=... 或 site=...）").arg(n + 1);
            continue;
        }
        QString reason = eq < 0 ? QStringLiteral("第 %1 行应为 %2=...：%3").arg(n + 1).arg(key, line)
                                : (host ? checkHost(value) : checkSite(value));
        (host ? host_ : site_) = reason.isEmpty() ? value : QString();
        if (!reason.isEmpty())
            trouble.errors << reason;
    }
    return trouble;
}

bool ServerConfig::Save() const
{
    return FileReplace::Write(path_, QStringLiteral("host=%1\nsite=%2\n").arg(host_, site_).toUtf8());
}

QString ServerConfig::setHost(const QString &host)
{
    const QString reason = checkHost(host);
    if (reason.isEmpty())
        host_ = host;
    return reason;
}

QString ServerConfig::setSite(const QString &site)
{
    const QString reason = checkSite(site);
    if (reason.isEmpty())
        site_ = site;
    return reason;
}

void ServerConfig::applyTo(ServerSession &session) const
{
    session.configure(host_.toLatin1(), site_);
}

QString ServerConfig::checkHost(const QString &host)
{
    const QString invalid =
        QStringLiteral("服务器地址不正确：%1\r\n应为主机名或IP地址，可带端口，例如 192.168.1.20:8080。").arg(host);
    if (host.isEmpty() || host.size() > kHostBytes)
        return invalid;
    const qsizetype colon = host.indexOf(u':');
    const QString name = colon < 0 ? host : host.left(colon);
    if (name.isEmpty() || !std::all_of(name.begin(), name.end(), isHostCharacter))
        return invalid;
    if (colon >= 0 && HostAddress::portSuffix(host.toLatin1()) != host.mid(colon).toLatin1())
        return invalid;
    return {};
}

QString ServerConfig::checkSite(const QString &site)
{
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(site, &ok);
    const QString invalid = QStringLiteral("网站代码不正确：%1\r\n应为1至%2字节，不含空格和 & ? # < > 等符号。")
                                .arg(site, QString::number(kSiteBytes));
    if (!ok || gbk.isEmpty() || gbk.size() > kSiteBytes)
        return invalid;
    for (QChar c : site)
        if (c.isSpace() || c.unicode() < 0x20 || QStringLiteral("&?#%<>=/\\'\"").contains(c))
            return invalid;
    return {};
}

} // namespace quarvel
