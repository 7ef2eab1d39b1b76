#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace quarvel {

// How a worker thread hands its reports to the user-interface thread: the
// worker pushes, the user-interface thread takes everything at once when it
// is woken (the window through a queued call, the command line by waiting).
template <class T> class EventQueue {
public:
    // Called on the worker's thread after every push; it must be thread-safe.
    void setWake(std::function<void()> wake) { wake_ = std::move(wake); }

    void push(T event)
    {
        {
            const std::lock_guard lock(mutex_);
            events_.push_back(std::move(event));
        }
        ready_.notify_all();
        if (wake_)
            wake_();
    }

    std::deque<T> takeAll()
    {
        const std::lock_guard lock(mutex_);
        return std::exchange(events_, {});
    }

    // Waits until something was pushed or the time is up; true when there is
    // something to take.
    bool wait(int milliseconds)
    {
        std::unique_lock lock(mutex_);
        return ready_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return !events_.empty(); });
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<T> events_;
    std::function<void()> wake_;
};

} // namespace quarvel
