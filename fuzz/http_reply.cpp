// The HTTP reply as the transport reads it: status line, header block and
// body framing, for posts and gets, with buffers of several sizes and with
// the peer closing or time running out at the end of the bytes.
#include "net/HttpReply.h"
#include "net/HttpReplyHead.h"
#include "net/HttpTextSource.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

bool plain200(const QByteArray &reply)
{
    return reply.startsWith("HTTP/1.0 200") || reply.startsWith("HTTP/1.1 200");
}

void checkBody(const std::vector<char> &buffer, int n)
{
    if (n < 0)
        return;
    if (static_cast<std::size_t>(n) >= buffer.size() || buffer[static_cast<std::size_t>(n)] != '\0')
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the buffer size and whether time runs out.
    const std::size_t bufferSize = 3 + data[0] % 64 * 17;
    const bool timesOut = data[0] & 0x80;
    const QByteArray reply(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));

    quarvel::HttpTextSource post(reply, timesOut);
    std::vector<char> buffer(bufferSize, 'x');
    const int n = quarvel::HttpReply::ReadPost(post, buffer);
    checkBody(buffer, n);
    // A body only ever comes from a plain 200, never from bytes that timed out.
    if (n >= 0 && (!plain200(reply) || post.timedOut()))
        __builtin_trap();
    if (n >= 0 && post.consumed() > reply.size())
        __builtin_trap();

    quarvel::HttpTextSource get(reply, timesOut);
    QByteArray cookie = "kept=1;";
    const int g = quarvel::HttpReply::ReadGet(get, buffer, cookie);
    checkBody(buffer, g);
    if (g >= 0 && (get.timedOut() || !(reply.startsWith("HTTP/1.0 ") || reply.startsWith("HTTP/1.1 "))))
        __builtin_trap();
    if (cookie.size() >= 1024)
        __builtin_trap();

    const QByteArray line = reply.left(reply.indexOf('\n') < 0 ? reply.size() : reply.indexOf('\n'));
    const int status = quarvel::HttpReplyHead::statusCode(line.constData());
    if (status != -1 && (status < 0 || status > 999))
        __builtin_trap();
    (void)quarvel::HttpReplyHead::parse(reply.constData());
    return 0;
}
