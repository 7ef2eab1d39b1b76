#pragma once

#include <optional>

namespace quarvel {

// What the client takes from a reply's status line and header block. Only a
// plain HTTP/1.0 or HTTP/1.1 reply counts: the status code is the three
// digits right after the version, and a reply whose body is framed in a way
// the client does not speak (a transfer or content encoding) is refused
// rather than read as text.
struct HttpReplyHead {
    // False when the header block announces an encoding other than identity,
    // or a Content-Length that is not one plain number.
    bool framingSpoken = true;
    // The declared body length, when the block declares one.
    std::optional<long long> contentLength;

    // The header block as read, without the status line.
    static HttpReplyHead parse(const char *headers);
    // The status code of a status line (its line feed dropped), or -1 when
    // the line is not "HTTP/1.0 NNN" or "HTTP/1.1 NNN", optionally followed
    // by a blank and a reason.
    static int statusCode(const char *statusLine);
};

} // namespace quarvel
