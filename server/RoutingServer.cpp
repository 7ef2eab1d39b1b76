#include "RoutingServer.h"

namespace quarvel::server {

bool RoutingServer::serve(httplib::Stream &stream)
{
    bool closed = true;
    return process_request(stream, true, closed, {});
}

} // namespace quarvel::server
