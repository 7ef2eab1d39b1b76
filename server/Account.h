#pragma once

#include <array>
#include <string>

namespace quarvel::server {

// Who may log in: a customer's counter, or a checkpoint of the company that
// records scans and gets its six default lines at login.
enum class AccountKind { Customer = 0, Checkpoint = 1 };

struct Account {
    std::string site;
    std::string name;
    std::string password;
    int clientId = 0;
    AccountKind kind = AccountKind::Customer;
    bool mayShip = true;
    int uploadTarget = 1;
    // Station code, second station code, place, information, place and information in English.
    std::array<std::string, 6> defaults;
};

} // namespace quarvel::server
