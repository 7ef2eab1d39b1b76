#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quarvel::server {

// The threads that serve connections. The library's own pool has a fixed
// handful of threads, so a few clients that connect and send nothing held
// every thread until their read time-out and everyone else waited behind
// them. Here a connection that finds no idle thread gets a new one, up to
// `limit`; only beyond that does it wait in line.
class ConnectionWorkers : public httplib::TaskQueue {
public:
    explicit ConnectionWorkers(std::size_t limit);
    ~ConnectionWorkers() override;
    ConnectionWorkers(const ConnectionWorkers &) = delete;
    ConnectionWorkers &operator=(const ConnectionWorkers &) = delete;

    void enqueue(std::function<void()> job) override;
    // Serves what is waiting, then ends every thread.
    void shutdown() override;

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
