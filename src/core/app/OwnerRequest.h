#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

namespace quarvel {

// How a worker thread asks the user-interface thread for something only that
// thread may read (a record of the files it writes) and waits for the
// answer, so that the worker sees the file as it is at that moment rather
// than as it was when the job started. One request at a time: the worker
// asks, the owner takes the request when it handles the worker's events and
// answers it. Closing answers the waiting request, and every later one, with
// nothing, so a worker never waits for an owner that is going away.
template <class Request, class Answer> class OwnerRequest {
public:
    // Worker: hands the request over, calls `notify` (which must make the
    // owner look, as a push on its event queue does) and waits for the answer.
    std::optional<Answer> ask(Request request, const std::function<void()> &notify)
    {
        {
            const std::lock_guard lock(mutex_);
            if (closed_)
                return std::nullopt;
            request_ = std::move(request);
            answer_.reset();
        }
        notify();
        std::unique_lock lock(mutex_);
        answered_.wait(lock, [this] { return answer_.has_value() || closed_; });
        return std::exchange(answer_, std::nullopt);
    }

    // Owner: the request waiting for its answer, taken; nothing when none waits.
    std::optional<Request> take()
    {
        const std::lock_guard lock(mutex_);
        return std::exchange(request_, std::nullopt);
    }

    void answer(Answer answer)
    {
        {
            const std::lock_guard lock(mutex_);
            if (closed_)
                return;
            answer_ = std::move(answer);
        }
        answered_.notify_all();
    }

    void close()
    {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
            request_.reset();
            answer_.reset();
        }
        answered_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable answered_;
    std::optional<Request> request_;
    std::optional<Answer> answer_;
    bool closed_ = false;
};

} // namespace quarvel
