#pragma once

#include "net/HttpByteSource.h"
#include "net/RequestRecord.h"

#include <QByteArray>

#include <chrono>
#include <cstddef>

namespace quarvel {

// One TCP connection used for exactly one request: opened with its waits,
// written, read until done, closed when the object goes. Every wait is held
// to the request's deadline, so a server that trickles its reply a byte at a
// time is cut off like a silent one. Replies are read in blocks but handed
// out byte by byte, so that every limit applies exactly as if each byte had
// been received on its own. Each request leaves its line in the support log.
class HttpConnection : public HttpByteSource {
public:
    enum class Open { Ok, NoSocket, NoAddress, OptionFailed, NotConnected };

    HttpConnection() = default;
    ~HttpConnection() override;
    HttpConnection(const HttpConnection &) = delete;
    HttpConnection &operator=(const HttpConnection &) = delete;

    // Creates the socket, resolves the host ("name[:port]", first IPv4
    // address) and waits at most connectMs for the connection. From here
    // every send and receive waits at most ioTimeoutMs, and the whole
    // request ends deadlineMs after this call at the latest.
    Open open(const QByteArray &host, int defaultPort, int ioTimeoutMs, int connectMs, int deadlineMs);
    // Sends everything it can; a peer that went away is noticed by the reads.
    void send(const QByteArray &bytes);
    // The next byte of the reply; false when the peer closed, a wait or the
    // deadline ran out, or the receive failed.
    bool read(char &byte) override;
    bool timedOut() const override { return timedOut_; }
    void close();

private:
    bool fill();
    // Waits for the socket to become ready for `events`, at most the
    // receive or send wait and never past the deadline.
    bool waitFor(short events);
    int remainingMs(int waitMs) const;
    Open failed(Open why);

    int fd_ = -1;
    int ioTimeoutMs_ = 0;
    std::chrono::steady_clock::time_point deadline_{};
    bool timedOut_ = false;
    char block_[16384];
    std::size_t blockUsed_ = 0;
    std::size_t blockRead_ = 0;
    RequestRecord record_;
};

} // namespace quarvel
