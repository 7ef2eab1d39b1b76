#pragma once

#include <QByteArray>

namespace quarvel {

// A configured server host: a name or dotted address, optionally followed by
// ":port". The text itself goes into the Host header unchanged.
struct HostAddress {
    QByteArray name;
    int port = 80;

    // Splits "name[:port]"; a text without a port takes defaultPort. A port
    // that is not a number from 1 to 65535 leaves the whole text as the name,
    // so that it fails to resolve instead of reaching another port.
    static HostAddress parse(const QByteArray &text, int defaultPort = 80);
    // The ":port" part of a host text including the colon, or an empty text.
    static QByteArray portSuffix(const QByteArray &text);
};

} // namespace quarvel
