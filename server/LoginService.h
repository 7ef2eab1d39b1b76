#pragma once

#include "PasswordThrottle.h"
#include "UsedLogins.h"

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace quarvel::server {

class Database;
class Sessions;
struct Account;
struct LoginRequest;

// Answers KVLogin. A customer account gets "0,ICID,SESSION,TARGET\n"; a
// checkpoint account "1,ICID,SESSION,TARGET\n" and its six default lines; a
// refusal is its number alone on a line.
class LoginService {
public:
    enum Refusal {
        SiteUnknown = -1,
        AccountUnknown = -2,
        ServerError = -3,
        WrongPassword = -4,
        NoExpressRight = -5,
        ClockOff = -6,
        // -7 is left out: the client reads it as a server error.
        UsedAlready = -8,
    };

    struct Reply {
        std::string body;
        int session = 0;
    };

    using Clock = std::function<std::time_t()>;

    LoginService(Database &db, Sessions &sessions, int windowSeconds, Clock clock);

    // query: the request target after '?'. May wait while the account's
    // wrong passwords slow its logins down.
    Reply answer(std::string_view query);
    // Ends the waits of slowed-down logins: the server is stopping.
    void stop();

    // The digest the client sends: MD5 of the time in decimal, the shared
    // salt and the GBK password, as 32 lower-case hexadecimal digits.
    static std::string digest(std::string_view timeText, std::string_view gbkPassword);

private:
    Reply refuse(int code) const;
    Reply accept(const Account &account);
    // The checks after the password: clock, rights, a request used before.
    Reply conclude(const LoginRequest &request, const Account &account, PasswordThrottle::Turn &turn);

    Database &db_;
    Sessions &sessions_;
    int windowSeconds_;
    Clock clock_;
    PasswordThrottle throttle_;
    UsedLogins used_;
};

} // namespace quarvel::server
