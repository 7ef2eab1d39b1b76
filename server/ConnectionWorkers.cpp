#include "ConnectionWorkers.h"

namespace quarvel::server {

ConnectionWorkers::ConnectionWorkers(std::size_t limit) : limit_(limit > 0 ? limit : 1)
{
}

ConnectionWorkers::~ConnectionWorkers()
{
    shutdown();
}

void ConnectionWorkers::enqueue(std::function<void()> job)
{
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        // Threads stay once started: the number only grows to the busiest moment.
        if (idle_ < jobs_.size() && threads_.size() < limit_)
            threads_.emplace_back([this] { work(); });
    }
    wake_.notify_one();
}

void ConnectionWorkers::shutdown()
{
    std::vector<std::thread> ending;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        ending.swap(threads_);
    }
    wake_.notify_all();
    for (std::thread &t : ending)
        t.join();
}

void ConnectionWorkers::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        --idle_;
        if (jobs_.empty())
            return;
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

} // namespace quarvel::server
