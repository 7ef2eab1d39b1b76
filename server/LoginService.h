#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace quarvel::server {

class Database;
class Sessions;
struct Account;

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
    };

    struct Reply {
        std::string body;
        int session = 0;
    };

    using Clock = std::function<std::time_t()>;

    LoginService(Database &db, Sessions &sessions, int windowSeconds, Clock clock);

    // query: the request target after '?'.
    Reply answer(std::string_view query);

    // The digest the client sends: MD5 of the time in decimal, the shared
    // salt and the GBK password, as 32 lower-case hexadecimal digits.
    static std::string digest(std::string_view timeText, std::string_view gbkPassword);

private:
    Reply refuse(int code) const;
    Reply accept(const Account &account);

    Database &db_;
    Sessions &sessions_;
    int windowSeconds_;
    Clock clock_;
};

} // namespace quarvel::server
