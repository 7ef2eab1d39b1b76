#include "net/BaseDataDownload.h"
#include "storage/FileReplace.h"

#include "app/Prompter.h"
#include "net/BaseData.h"
#include "net/HttpConnection.h"
#include "net/HttpReply.h"
#include "net/HttpTransport.h"
#include "net/ReplyText.h"
#include "net/ServerSession.h"
#include "text/Gbk.h"

#include <vector>

namespace quarvel {

namespace {

// The most a reply that is not base data may add after its first byte.
constexpr int kAddressBytes = 60;
// Room for the status line and headers of the reply.
constexpr std::size_t kHeadBytes = 16 * 1024;

// Base data the client can work with: at least one express kind and one
// destination. Anything less would leave the counter unable to enter a
// shipment, so it never replaces what the counter has.
bool usable(const QByteArray &stored)
{
    BaseData probe;
    probe.parse(BaseData::decode(stored));
    return !probe.kinds().isEmpty() && !probe.destinations().isEmpty();
}

} // namespace

QByteArray BaseDataDownload::request(const QString &siteCode, const QByteArray &host)
{
    return "GET /cgi-bin/VEdiz.dll?KVGetSysData&w=" + Gbk::fromUnicode(siteCode) +
           " HTTP/1.0\r\nAccept: */*\r\nHost: " + host + "\r\n\r\n";
}

int BaseDataDownload::readBody(HttpByteSource &source, QByteArray &stored)
{
    stored.clear();
    char c = 0;
    while (source.read(c)) {
        if (stored.size() == kMaxBytes)
            return TooLarge;
        stored += static_cast<char>(c ^ BaseData::kXor);
        if (c == ReplyText::kBel)
            return usable(stored) ? Stored : Empty;
    }
    return CutOff;
}

int BaseDataDownload::Read(HttpByteSource &source, QByteArray &stored, QByteArray &named)
{
    std::vector<char> head(kHeadBytes);
    HttpReplyHead framing;
    if (HttpReply::ReadGetHead(source, head, framing) != 0)
        return NoBody;
    char first = 0;
    if (!source.read(first))
        return NoBody;
    if (first == 'C')
        return readBody(source, stored);
    QByteArray text(1, first);
    char c = 0;
    while (text.size() <= kAddressBytes && source.read(c))
        text += c;
    named = ReplyText::cString(text.constData(), text.size());
    return IsIpAddress(named) ? Redirected : NotBaseData;
}

int BaseDataDownload::fetchOnce(const ServerSession &session, const QByteArray &host, const QString &path,
                                QByteArray &named)
{
    const HttpTimeouts &t = session.timeouts();
    HttpConnection connection;
    if (connection.open(host, 80, t.getMs, t.connectMs, t.downloadMs) != HttpConnection::Open::Ok)
        return NoConnection;
    connection.send(request(session.siteCode(), host));
    QByteArray stored;
    const int result = Read(connection, stored, named);
    connection.close();
    if (result != Stored)
        return result;
    return FileReplace::Write(path, stored) ? Stored : NotWritten;
}

int BaseDataDownload::Fetch(const ServerSession &session, const QString &path)
{
    QByteArray named;
    const int result = fetchOnce(session, session.configuredHost(), path, named);
    if (result != Redirected)
        return result;
    return fetchOnce(session, session.redirectTarget(named), path, named);
}

int DownloadBaseData(const ServerSession &session, BaseData &baseData, const QString &path, Prompter &prompter)
{
    return ShowBaseDataDownload(BaseDataDownload::Fetch(session, path), baseData, path, prompter);
}

int ShowBaseDataDownload(int result, BaseData &baseData, const QString &path, Prompter &prompter)
{
    baseData.LoadBaseData(path);
    if (result == BaseDataDownload::Stored)
        prompter.inform(QString(), QStringLiteral("系统基本数据更新完成。"));
    else
        prompter.error(QString(),
                       QStringLiteral("系统基本数据下载失败[ Ret:%1]，继续使用原有的基本数据。").arg(result));
    return result;
}

} // namespace quarvel
