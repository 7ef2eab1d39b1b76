#pragma once

#include <cstdint>
#include <string>

namespace quarvel::server {

class Database;
struct Account;

// The login requests accepted so far: account, time and digest. The digest
// proves the password for the time it names only, but anyone who saw the
// request could send it again while that time is within the window; so each
// is accepted once. A request is kept while its time is within the window,
// after which the clock check refuses it anyway. Callers hold the database lock.
class UsedLogins {
public:
    UsedLogins(Database &db, int windowSeconds) : db_(db), windowSeconds_(windowSeconds) {}

    // Marks the request as used; false when it was used before.
    bool spend(const Account &account, std::int64_t time, const std::string &digest, std::int64_t now);

private:
    Database &db_;
    int windowSeconds_;
};

} // namespace quarvel::server
