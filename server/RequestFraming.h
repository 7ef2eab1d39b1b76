#pragma once

#include <cstddef>
#include <string_view>

namespace quarvel::server {

// Where a request ends, judged on the bytes received so far: the head runs
// to the first empty line, the body is as long as Content-Length says (no
// Content-Length: no body). The parts that decide how many bytes to wait
// for are checked at once, so that a request whose length cannot be known
// is refused when its head is in instead of waiting for bytes that are
// never due; everything else is left to the HTTP library that reads the
// request afterwards.
class RequestFraming {
public:
    enum class State { More, Complete, Refused };

    RequestFraming(std::size_t maxHead, std::size_t maxBody);

    // Looks at everything received so far (the same bytes and more at every call).
    State judge(std::string_view received);
    bool headComplete() const { return headEnd_ > 0; }
    // Complete: the bytes of head and body.
    std::size_t length() const { return headEnd_ + bodyLength_; }
    // Refused: the status to answer (400 bad framing, 411 a transfer coding
    // instead of a length, 413 a body over the limit, 431 a head over it).
    int status() const { return status_; }

private:
    State readHead(std::string_view head);
    State readField(std::string_view line);
    State refuse(int status);

    std::size_t maxHead_;
    std::size_t maxBody_;
    // Where the search for the empty line goes on at the next call.
    std::size_t searched_ = 0;
    std::size_t headEnd_ = 0;
    std::size_t bodyLength_ = 0;
    bool hasLength_ = false;
    int status_ = 0;
};

} // namespace quarvel::server
