#pragma once

namespace quarvel {

// The waits of one request, in milliseconds. The defaults are those of the
// field; tests shorten them so that a silent server costs a moment, not minutes.
struct HttpTimeouts {
    // Send and receive wait of a post (one transaction).
    int postMs = 60'000;
    // Send and receive wait of a get (login, base data).
    int getMs = 300'000;
    // How long a connection may take to be established.
    int connectMs = 60'000;
    // The most one post or login may take in all, from the connection
    // attempt to the reply's last byte, however the server paces its bytes.
    int requestMs = 120'000;
    // The same for the base-data download, which carries far more bytes.
    int downloadMs = 600'000;
};

} // namespace quarvel
