#include "net/HttpReply.h"

#include "net/HttpByteSource.h"
#include "net/HttpCookies.h"
#include "net/HttpTransport.h"

#include <algorithm>
#include <cstring>

namespace quarvel {

namespace {

bool redirectOrSuccess(int status)
{
    return status >= 200 && status <= 399;
}

// The length to read: the declared one, held to the buffer, else `whole`.
std::size_t bodyLength(const HttpReplyHead &head, std::size_t whole)
{
    if (!head.contentLength)
        return whole;
    return static_cast<std::size_t>(std::min<long long>(*head.contentLength, static_cast<long long>(whole)));
}

} // namespace

std::size_t HttpReply::readStatusLine(HttpByteSource &source, std::span<char> buffer, std::size_t limit, bool &ended)
{
    std::size_t i = 0;
    char c = 0;
    ended = false;
    while (i < limit && source.read(c)) {
        buffer[i] = c;
        if (c == '\n') {
            ended = true;
            break;
        }
        ++i;
    }
    buffer[i] = '\0';
    return i;
}

std::size_t HttpReply::readHeaderBlock(HttpByteSource &source, std::span<char> buffer, std::size_t start,
                                       std::size_t limit, bool &ended)
{
    std::size_t pos = start;
    std::size_t previous = start;
    char c = 0;
    ended = false;
    while (pos < limit && source.read(c)) {
        buffer[pos++] = c;
        if (c != '\n')
            continue;
        if (pos - 1 - previous < 5) {
            ended = true;
            break;
        }
        previous = pos - 1;
    }
    buffer[pos] = '\0';
    return pos;
}

std::size_t HttpReply::readBody(HttpByteSource &source, std::span<char> buffer, std::size_t length)
{
    std::size_t n = 0;
    char c = 0;
    while (n < length && source.read(c))
        buffer[n++] = c;
    buffer[n] = '\0';
    return n;
}

int HttpReply::ReadPost(HttpByteSource &source, std::span<char> buffer)
{
    if (buffer.size() < 3)
        return kPostOptionFailed;
    const std::size_t len = buffer.size();
    const std::size_t limit = len - 2;
    bool ended = false;
    const std::size_t lineEnd = readStatusLine(source, buffer, limit, ended);
    if (source.timedOut())
        return kPostTimedOut;
    if (!ended || HttpReplyHead::statusCode(buffer.data()) != 200)
        return kPostBadStatus;
    readHeaderBlock(source, buffer, lineEnd, limit, ended);
    if (source.timedOut())
        return kPostTimedOut;
    const HttpReplyHead head = HttpReplyHead::parse(buffer.data() + lineEnd);
    if (!ended || !head.framingSpoken)
        return kPostBadStatus;
    const std::size_t length = bodyLength(head, len - 1);
    const std::size_t n = readBody(source, buffer, length);
    if (source.timedOut())
        return kPostTimedOut;
    if (head.contentLength && n < length)
        return kPostCutOff;
    return static_cast<int>(n);
}

int HttpReply::ReadGetHead(HttpByteSource &source, std::span<char> buffer, HttpReplyHead &head)
{
    if (buffer.size() < 2)
        return kGetBadStatus;
    const std::size_t limit = buffer.size() - 1;
    std::memset(buffer.data(), 0, buffer.size());
    bool ended = false;
    readStatusLine(source, buffer, limit, ended);
    if (source.timedOut())
        return kGetTimedOut;
    if (!ended || !redirectOrSuccess(HttpReplyHead::statusCode(buffer.data())))
        return kGetBadStatus;
    readHeaderBlock(source, buffer, 0, limit, ended);
    if (source.timedOut())
        return kGetTimedOut;
    head = HttpReplyHead::parse(buffer.data());
    if (!ended || !head.framingSpoken)
        return kGetBadStatus;
    return 0;
}

int HttpReply::ReadGet(HttpByteSource &source, std::span<char> buffer, QByteArray &cookie)
{
    HttpReplyHead head;
    if (const int refused = ReadGetHead(source, buffer, head))
        return refused;
    if (const std::optional<QByteArray> fresh = HttpCookies::fromHeaders(QByteArray(buffer.data())))
        cookie = *fresh;
    const std::size_t limit = buffer.size() - 1;
    const std::size_t n = readBody(source, buffer, limit);
    if (source.timedOut())
        return kGetTimedOut;
    if (head.contentLength && n < bodyLength(head, limit))
        return kGetCutOff;
    return static_cast<int>(n);
}

} // namespace quarvel
