#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quarvel::server {

// The threads that handle requests that arrived whole. A job that finds
// no idle thread gets a new one, up to `limit`, so that requests held by a
// slow handler (a login paused for wrong passwords, a stalled test hook)
// keep nobody else waiting; only beyond that do jobs wait in line.
class ConnectionWorkers {
public:
    explicit ConnectionWorkers(std::size_t limit);
    ~ConnectionWorkers();
    ConnectionWorkers(const ConnectionWorkers &) = delete;
    ConnectionWorkers &operator=(const ConnectionWorkers &) = delete;

    void enqueue(std::function<void()> job);
    // Serves what is waiting, then ends every thread.
    void shutdown();

private:
    void work();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    std::size_t idle_ = 0;
    std::size_t limit_;
    bool stopping_ = false;
};

} // namespace quarvel::server
