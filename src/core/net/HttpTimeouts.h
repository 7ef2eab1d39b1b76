#pragma once

namespace quarvel {

// The waits of one request, in milliseconds. The defaults are those of the
// field; tests shorten them so that a silent server costs a moment, not minutes.
struct HttpTimeouts {
    // Send and receive time-out of a post (one transaction).
    int postMs = 60'000;
    // Send and receive time-out of a get (login, base data).
    int getMs = 300'000;
    // How long a connection may take to be established.
    int connectMs = 60'000;
};

} // namespace quarvel
