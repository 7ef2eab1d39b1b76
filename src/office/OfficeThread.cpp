#include "OfficeThread.h"

#include <chrono>

namespace quarvel {

OfficeThread::OfficeThread() : thread_([this] { loop(); })
{
}

OfficeThread::~OfficeThread()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void OfficeThread::run(const std::function<void()> &job, int patienceMs, const std::function<void()> &onOverdue)
{
    if (std::this_thread::get_id() == thread_.get_id()) {
        job();
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    bool done = false;
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back([&] {
            job();
            std::lock_guard doneLock(doneMutex);
            done = true;
            doneSignal.notify_all();
        });
    }
    wake_.notify_one();
    std::unique_lock doneLock(doneMutex);
    if (patienceMs > 0 && onOverdue) {
        if (doneSignal.wait_for(doneLock, std::chrono::milliseconds(patienceMs), [&] { return done; }))
            return;
        doneLock.unlock();
        onOverdue();
        doneLock.lock();
    }
    doneSignal.wait(doneLock, [&] { return done; });
}

void OfficeThread::loop()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

} // namespace quarvel
