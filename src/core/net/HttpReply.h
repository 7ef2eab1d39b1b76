#pragma once

#include "net/HttpReplyHead.h"

#include <QByteArray>

#include <cstddef>
#include <span>

namespace quarvel {

class HttpByteSource;

// Reading one reply into the caller's buffer, from whatever source: the
// status line, the header block (a line feed fewer than five bytes after the
// previous one is the empty line that ends it) and the body, framed by its
// Content-Length or by the peer closing. A reply the client cannot read for
// certain is an error, never a body: a status line that is not plain HTTP/1.x
// with the code the request needs, a header block that never ends, an
// encoding the client does not speak, a body shorter than its declared
// length, or time running out.
class HttpReply {
public:
    // The post reply (status 200 only), reading stopping at byte len - 2:
    // the body at the buffer's start, NUL-terminated; its length is the
    // declared one (len - 1 when that reaches the buffer's size), or what
    // arrives until the peer closes. Returns the body bytes or an
    // HttpPostError.
    static int ReadPost(HttpByteSource &source, std::span<char> buffer);
    // The get reply (any 2xx or 3xx status), reading stopping at byte len - 1:
    // the cookie text replaced from its Set-Cookie headers, the body read
    // until the peer closes or the buffer is full. Returns the body bytes or
    // an HttpGetError.
    static int ReadGet(HttpByteSource &source, std::span<char> buffer, QByteArray &cookie);
    // The status line and header block of a get reply, stored from the
    // buffer's start (NUL-terminated); 0 when they pass, else an HttpGetError.
    static int ReadGetHead(HttpByteSource &source, std::span<char> buffer, HttpReplyHead &head);

private:
    static std::size_t readStatusLine(HttpByteSource &source, std::span<char> buffer, std::size_t limit, bool &ended);
    static std::size_t readHeaderBlock(HttpByteSource &source, std::span<char> buffer, std::size_t start,
                                       std::size_t limit, bool &ended);
    static std::size_t readBody(HttpByteSource &source, std::span<char> buffer, std::size_t length);
};

} // namespace quarvel
