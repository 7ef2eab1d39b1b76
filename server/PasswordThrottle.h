#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace quarvel::server {

// Slows down the guessing of one account's password. The first three wrong
// passwords in a row cost nothing; after the third and every further one
// the account's next login is examined only after a pause of 1 s, doubling
// with each wrong password up to 30 s. A login that comes during the pause
// waits for its end, so the right password still gets in, only later. Logins
// of one account are examined one after another, so parallel guesses gain
// nothing; while a pause is in force at most two wait, a further one is
// refused at once. A login accepted, or a quarter of an hour without a wrong
// password, ends the count. Kept in memory: a restart forgets it.
class PasswordThrottle {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr int kFreeFailures = 3;
    static constexpr std::chrono::seconds kFirstPause{1};
    static constexpr std::chrono::seconds kLongestPause{30};
    static constexpr std::chrono::minutes kForgetAfter{15};
    static constexpr int kMostWaiting = 2;

    // The right to examine one login of an account; the next login of that
    // account waits until this one has ended with passed() or failed().
    class Turn {
    public:
        Turn(PasswordThrottle &owner, std::string account);
        ~Turn();
        Turn(const Turn &) = delete;
        Turn &operator=(const Turn &) = delete;

        void passed();
        void failed();

    private:
        PasswordThrottle *owner_;
        std::string account_;
    };

    // Waits for the account's turn; false (and no turn) when too many wait
    // already or the server is stopping.
    bool wait(const std::string &account, std::optional<Turn> &turn);
    // Ends every wait, now and later.
    void stop();

private:
    struct State {
        int failures = 0;
        Clock::time_point lastFailure;
        Clock::time_point notBefore;
        std::uint64_t nextTicket = 0; // handed to the next login that comes
        std::uint64_t serving = 0;    // the ticket whose turn it is
    };

    enum class Outcome { None, Passed, Failed };
    void end(const std::string &account, Outcome outcome);
    static Clock::duration pause(int failures);

    std::mutex mutex_;
    std::condition_variable turns_;
    std::map<std::string, State> accounts_;
    bool stopped_ = false;
};

} // namespace quarvel::server
