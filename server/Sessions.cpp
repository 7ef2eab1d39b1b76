#include "Sessions.h"

#include "Account.h"
#include "Database.h"

#include <string>

namespace quarvel::server {

namespace {

// The age, as a modifier of SQLite's datetime(), beyond which a session is gone.
const std::string kIdleModifier = "-" + std::to_string(Sessions::kIdleSeconds) + " seconds";
// Expired sessions are kept a while, so that their requests are told so
// (-15) rather than that the account never logged in.
constexpr const char *kForgetModifier = "-30 days";

} // namespace

Sessions::Sessions(Database &db) : db_(db), random_(std::random_device{}())
{
}

int Sessions::open(const Account &account)
{
    auto forget = db_.prepare("DELETE FROM client_session WHERE dlast < datetime('now', 'localtime', ?)");
    forget.bind(1, kForgetModifier).run();
    // Numbers are positive (the client takes a number above 0 as logged in)
    // and hard to guess, so that a session cannot be borrowed by counting.
    std::uniform_int_distribution<int> pick(100000, 2147483647);
    for (;;) {
        const int number = pick(random_);
        auto taken = db_.prepare("SELECT 1 FROM client_session WHERE irand = ?");
        taken.bind(1, number);
        if (taken.step())
            continue;
        auto add = db_.prepare("INSERT INTO client_session (irand, cwcid, cac) VALUES (?, ?, ?)");
        add.bind(1, number).bind(2, account.site).bind(3, account.name).run();
        return number;
    }
}

Sessions::Check Sessions::check(const Account &account, std::int64_t number)
{
    auto q = db_.prepare("SELECT irand = ?1 AND dlast >= datetime('now', 'localtime', ?4) FROM client_session "
                         "WHERE cwcid = ?2 AND cac = ?3 ORDER BY 1 DESC LIMIT 1");
    q.bind(1, number).bind(2, account.site).bind(3, account.name).bind(4, kIdleModifier);
    if (!q.step())
        return Check::NeverLoggedIn;
    if (q.integer(0) == 0)
        return Check::Unknown;
    auto touch = db_.prepare("UPDATE client_session SET dlast = datetime('now', 'localtime') WHERE irand = ?");
    touch.bind(1, number).run();
    return Check::Valid;
}

} // namespace quarvel::server
