#pragma once

#include <QByteArray>

#include <optional>

namespace quarvel {

// The cookie text a reply sets: every Set-Cookie header line's value,
// attributes dropped, each ending in ';', joined without separators.
class HttpCookies {
public:
    static constexpr int kBufferSize = 1024;

    // The new cookie text from a header block, or nothing when the block sets
    // no cookie or the text would not fit the 1024-byte cookie buffer.
    static std::optional<QByteArray> fromHeaders(const QByteArray &headers);

private:
    static QByteArray value(const QByteArray &line);
};

} // namespace quarvel
