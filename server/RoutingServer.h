#pragma once

#include <httplib.h>

namespace quarvel::server {

// The HTTP library's server used for what it does well: reading a request
// (request line, fields, body), routing it to its handler and writing the
// reply. Connections are taken and read by RequestGate, which hands each
// request over whole; the library never waits on a client.
class RoutingServer : public httplib::Server {
public:
    // Reads one request from the stream, answers it and asks for the
    // connection to be closed after the reply. False when nothing could be
    // read or written.
    bool serve(httplib::Stream &stream);
};

} // namespace quarvel::server
