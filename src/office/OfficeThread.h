#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace quarvel {

// The one thread that talks to the office: jobs run one after another in the
// order they came; the caller waits for its job. The thread also starts the
// office, so that the office's parent-death signal follows this long-lived
// thread rather than whichever caller came first.
class OfficeThread {
public:
    OfficeThread();
    // Finishes the queued jobs and ends the thread.
    ~OfficeThread();
    OfficeThread(const OfficeThread &) = delete;
    OfficeThread &operator=(const OfficeThread &) = delete;

    // Runs job on the office thread and waits for it. When the job takes
    // longer than patienceMs, onOverdue runs once on the waiting thread (to
    // unblock the job) and the wait goes on. Called on the office thread
    // itself, the job runs at once.
    void run(const std::function<void()> &job, int patienceMs = 0, const std::function<void()> &onOverdue = {});

private:
    void loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace quarvel
