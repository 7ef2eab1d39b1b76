#pragma once

#include <QByteArray>

#include <cstddef>
#include <span>

namespace quarvel {

// One TCP connection used for exactly one request: opened with its time-outs,
// written, read until done, closed when the object goes. Replies are read in
// blocks but handed out byte by byte, so that every limit applies exactly as
// if each byte had been received on its own.
class HttpConnection {
public:
    enum class Open { Ok, NoSocket, NoAddress, OptionFailed, NotConnected };

    HttpConnection() = default;
    ~HttpConnection();
    HttpConnection(const HttpConnection &) = delete;
    HttpConnection &operator=(const HttpConnection &) = delete;

    // Creates the socket, resolves the host ("name[:port]", first IPv4
    // address), sets the send and receive time-out and waits at most
    // connectMs for the connection.
    Open open(const QByteArray &host, int defaultPort, int ioTimeoutMs, int connectMs);
    // Sends everything it can; a peer that went away is noticed by the reads.
    void send(const QByteArray &bytes);
    // The next byte of the reply; false when the peer closed, the receive
    // timed out or failed.
    bool read(char &byte);
    void close();

    // The status line: bytes stored from the buffer's start until a line feed
    // is stored, `limit` bytes are stored or a receive fails; the stopping
    // position becomes NUL. Returns that position.
    std::size_t readStatusLine(std::span<char> buffer, std::size_t limit);
    // The header block, stored from `start`: a line feed fewer than five bytes
    // after the previous one (the first compared with `start`) is the empty
    // line that ends it; reading also stops at `limit` or a failed receive.
    // NUL-terminates and returns the number of bytes up to the terminator.
    std::size_t readHeaderBlock(std::span<char> buffer, std::size_t start, std::size_t limit);

private:
    bool fill();

    int fd_ = -1;
    char block_[16384];
    std::size_t blockUsed_ = 0;
    std::size_t blockRead_ = 0;
};

} // namespace quarvel
