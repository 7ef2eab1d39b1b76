#include "Sessions.h"

#include "Account.h"
#include "Database.h"

namespace quarvel::server {

Sessions::Sessions(Database &db) : db_(db), random_(std::random_device{}())
{
}

int Sessions::open(const Account &account)
{
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
    auto q = db_.prepare("SELECT irand = ? FROM client_session WHERE cwcid = ? AND cac = ? ORDER BY 1 DESC LIMIT 1");
    q.bind(1, number).bind(2, account.site).bind(3, account.name);
    if (!q.step())
        return Check::NeverLoggedIn;
    if (q.integer(0) == 0)
        return Check::Unknown;
    auto touch = db_.prepare("UPDATE client_session SET dlast = datetime('now', 'localtime') WHERE irand = ?");
    touch.bind(1, number).run();
    return Check::Valid;
}

} // namespace quarvel::server
