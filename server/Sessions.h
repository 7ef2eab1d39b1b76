#pragma once

#include <cstdint>
#include <random>

namespace quarvel::server {

class Database;
struct Account;

// Session numbers handed out at login and carried by every envelope. An
// account may hold several at once (several counters, or a counter that
// logged in again); they are kept in the data file, so they outlive a
// restart. A session that carried no request for kIdleSeconds has expired;
// every request renews it, so a counter that keeps working keeps its session.
class Sessions {
public:
    enum class Check { Valid, NeverLoggedIn, Unknown };

    static constexpr int kIdleSeconds = 2 * 60 * 60;

    explicit Sessions(Database &db);

    int open(const Account &account);
    // Unknown also for an expired session of the account.
    Check check(const Account &account, std::int64_t number);

private:
    Database &db_;
    std::mt19937 random_;
};

} // namespace quarvel::server
