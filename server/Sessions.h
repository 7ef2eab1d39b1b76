#pragma once

#include <cstdint>
#include <random>

namespace quarvel::server {

class Database;
struct Account;

// Session numbers handed out at login and carried by every envelope. An
// account may hold several at once (several counters, or a counter that
// logged in again); they last as long as the data file.
class Sessions {
public:
    enum class Check { Valid, NeverLoggedIn, Unknown };

    explicit Sessions(Database &db);

    int open(const Account &account);
    Check check(const Account &account, std::int64_t number);

private:
    Database &db_;
    std::mt19937 random_;
};

} // namespace quarvel::server
