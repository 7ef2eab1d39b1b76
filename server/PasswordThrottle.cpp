#include "PasswordThrottle.h"

#include <algorithm>

namespace quarvel::server {

PasswordThrottle::Turn::Turn(PasswordThrottle &owner, std::string account)
    : owner_(&owner), account_(std::move(account))
{
}

PasswordThrottle::Turn::~Turn()
{
    if (owner_)
        owner_->end(account_, Outcome::None);
}

void PasswordThrottle::Turn::passed()
{
    if (owner_)
        owner_->end(account_, Outcome::Passed);
    owner_ = nullptr;
}

void PasswordThrottle::Turn::failed()
{
    if (owner_)
        owner_->end(account_, Outcome::Failed);
    owner_ = nullptr;
}

bool PasswordThrottle::wait(const std::string &account, std::optional<Turn> &turn)
{
    std::unique_lock lock(mutex_);
    // The state stays while a ticket of it is out, so the reference holds.
    State &s = accounts_[account];
    const Clock::time_point now = Clock::now();
    if (s.failures > 0 && now - s.lastFailure > kForgetAfter) {
        s.failures = 0;
        s.notBefore = {};
    }
    if (stopped_ || (s.notBefore > now && s.nextTicket - s.serving >= kMostWaiting)) {
        if (s.nextTicket == s.serving && s.failures == 0)
            accounts_.erase(account);
        return false;
    }
    const std::uint64_t ticket = s.nextTicket++;
    for (;;) {
        if (stopped_) {
            // Hands the turn on, so that the logins behind this one end too.
            turn.emplace(*this, account);
            turn.reset();
            return false;
        }
        if (s.serving != ticket)
            turns_.wait(lock);
        else if (Clock::now() < s.notBefore)
            turns_.wait_until(lock, s.notBefore);
        else
            break;
    }
    turn.emplace(*this, account);
    return true;
}

void PasswordThrottle::stop()
{
    {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    turns_.notify_all();
}

void PasswordThrottle::end(const std::string &account, Outcome outcome)
{
    {
        const std::lock_guard lock(mutex_);
        State &s = accounts_[account];
        const Clock::time_point now = Clock::now();
        if (outcome == Outcome::Failed) {
            if (now - s.lastFailure > kForgetAfter)
                s.failures = 0;
            ++s.failures;
            s.lastFailure = now;
            if (s.failures >= kFreeFailures)
                s.notBefore = now + pause(s.failures);
        } else if (outcome == Outcome::Passed) {
            s.failures = 0;
            s.notBefore = {};
        }
        ++s.serving;
        if (s.serving == s.nextTicket && s.failures == 0)
            accounts_.erase(account);
    }
    turns_.notify_all();
}

PasswordThrottle::Clock::duration PasswordThrottle::pause(int failures)
{
    const int doublings = failures - kFreeFailures;
    if (doublings >= 5)
        return kLongestPause;
    return std::min<Clock::duration>(kFirstPause * (1 << doublings), kLongestPause);
}

} // namespace quarvel::server
