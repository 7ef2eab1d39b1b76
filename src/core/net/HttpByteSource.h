#pragma once

namespace quarvel {

// Where the bytes of a reply come from: a connection, or (fuzzing, tests) a
// text in memory. The reply readers see nothing else of the transport.
class HttpByteSource {
public:
    virtual ~HttpByteSource() = default;
    // The next byte; false when the peer closed, the receive failed or the
    // time ran out.
    virtual bool read(char &byte) = 0;
    // True once a read failed because the time ran out, so that a silent or
    // trickling server is told apart from one that ended its reply.
    virtual bool timedOut() const = 0;
};

} // namespace quarvel
