#pragma once

#include <httplib.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace quarvel::server {

class ConnectionLimits;

// A connection whose request has arrived whole, as the HTTP library's
// stream: the library reads the request from memory, so no client can keep
// a request thread waiting for its bytes, and writes its reply to the
// socket, which may take at most the write time. Closes the connection and
// gives its place in the limits back when it goes.
class ReceivedRequest : public httplib::Stream {
public:
    struct Peer {
        std::uint32_t address = 0; // IPv4, network order
        std::string ip;
        int port = 0;
        std::string localIp;
        int localPort = 0;
    };

    ReceivedRequest(int fd, Peer peer, std::string bytes, ConnectionLimits &limits,
                    std::chrono::milliseconds writeTime);
    ~ReceivedRequest() override;
    ReceivedRequest(const ReceivedRequest &) = delete;
    ReceivedRequest &operator=(const ReceivedRequest &) = delete;

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char *ptr, size_t size) override;
    ssize_t write(const char *ptr, size_t size) override;
    void get_remote_ip_and_port(std::string &ip, int &port) const override;
    void get_local_ip_and_port(std::string &ip, int &port) const override;
    // No socket for the library to wait on: everything it reads is here.
    // (It would also refuse a descriptor beyond FD_SETSIZE, which a server
    // holding a thousand connections hands out.)
    socket_t socket() const override { return INVALID_SOCKET; }

    // Ends the connection without a reply; what is written afterwards goes nowhere.
    void drop();

    // The request this thread is serving, for a handler that must drop it.
    static ReceivedRequest *current() { return current_; }
    // Makes this the current request of the thread while it lives.
    class Serving {
    public:
        explicit Serving(ReceivedRequest &request) { current_ = &request; }
        ~Serving() { current_ = nullptr; }
        Serving(const Serving &) = delete;
        Serving &operator=(const Serving &) = delete;
    };

private:
    bool waitWritable();

    int fd_;
    Peer peer_;
    std::string bytes_;
    std::size_t read_ = 0;
    ConnectionLimits &limits_;
    std::chrono::milliseconds writeTime_;
    std::chrono::steady_clock::time_point writeDeadline_{};
    bool dropped_ = false;
    static thread_local ReceivedRequest *current_;
};

} // namespace quarvel::server
