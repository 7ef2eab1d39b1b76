#pragma once

#include "Account.h"

#include <optional>
#include <string>

namespace quarvel::server {

class Database;

// Sites and their accounts as the database holds them. Callers hold the database lock.
class Accounts {
public:
    explicit Accounts(Database &db) : db_(db) {}

    bool siteExists(const std::string &site) const;
    std::optional<Account> find(const std::string &site, const std::string &name) const;

private:
    Database &db_;
};

} // namespace quarvel::server
