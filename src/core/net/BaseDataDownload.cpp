#include "net/BaseDataDownload.h"

#include "app/Prompter.h"
#include "net/BaseData.h"
#include "net/HttpConnection.h"
#include "net/HttpTransport.h"
#include "net/ReplyText.h"
#include "net/ServerSession.h"
#include "text/Gbk.h"

#include <QSaveFile>

#include <cstring>
#include <vector>

namespace quarvel {

namespace {

// The most a reply that is not base data may add after its first byte.
constexpr int kAddressBytes = 60;
constexpr std::size_t kChunk = 64 * 1024;

// Stores the rest of the body XOR 8 up to and including its BEL; true when
// the BEL arrived, so that the body is known to be whole.
bool storeBody(HttpConnection &connection, QSaveFile &file)
{
    std::vector<char> chunk(kChunk);
    std::size_t used = 0;
    char c = 0;
    bool complete = false;
    while (!complete && connection.read(c)) {
        chunk[used++] = static_cast<char>(c ^ BaseData::kXor);
        complete = c == ReplyText::kBel;
        if (used == chunk.size()) {
            file.write(chunk.data(), static_cast<qint64>(used));
            used = 0;
        }
    }
    file.write(chunk.data(), static_cast<qint64>(used));
    return complete;
}

} // namespace

QByteArray BaseDataDownload::request(const QString &siteCode, const QByteArray &host)
{
    return "GET /cgi-bin/VEdiz.dll?KVGetSysData&w=" + Gbk::fromUnicode(siteCode) +
           " HTTP/1.0\r\nAccept: */*\r\nHost: " + host + "\r\n\r\n";
}

int BaseDataDownload::fetchOnce(const ServerSession &session, const QByteArray &host, const QString &path,
                                QByteArray &named)
{
    HttpConnection connection;
    if (connection.open(host, 80, session.timeouts().getMs, session.timeouts().connectMs) != HttpConnection::Open::Ok)
        return NoConnection;
    connection.send(request(session.siteCode(), host));

    std::vector<char> buffer(kBufferSize);
    const std::size_t limit = buffer.size() - 1;
    connection.readStatusLine(buffer, limit);
    if (!std::strstr(buffer.data(), "20") && !std::strstr(buffer.data(), "30"))
        return NoBody;
    connection.readHeaderBlock(buffer, 0, limit);

    char first = 0;
    if (!connection.read(first))
        return NoBody;
    if (first != 'C') {
        QByteArray text(1, first);
        char c = 0;
        while (text.size() <= kAddressBytes && connection.read(c))
            text += c;
        connection.close();
        named = ReplyText::cString(text.constData(), text.size());
        return IsIpAddress(named) ? Redirected : NotBaseData;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return NotWritten;
    if (!storeBody(connection, file)) {
        file.cancelWriting();
        return CutOff;
    }
    return file.commit() ? Stored : NotWritten;
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
    const int result = BaseDataDownload::Fetch(session, path);
    baseData.LoadBaseData(path);
    if (result == BaseDataDownload::Stored)
        prompter.inform(QString(), QStringLiteral("系统基本数据更新完成。"));
    else
        prompter.error(QString(),
                       QStringLiteral("系统基本数据下载失败[ Ret:%1]，继续使用原有的基本数据。").arg(result));
    return result;
}

} // namespace quarvel
