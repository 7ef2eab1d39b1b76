#include "UsedLogins.h"

#include "Account.h"
#include "Database.h"

#include <algorithm>
#include <cctype>

namespace quarvel::server {

bool UsedLogins::spend(const Account &account, std::int64_t time, const std::string &digest, std::int64_t now)
{
    auto forget = db_.prepare("DELETE FROM client_login_used WHERE itime < ?");
    forget.bind(1, now - windowSeconds_).run();
    // The digest is taken in either case: the same request in capitals is the same request.
    std::string lower = digest;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    auto add = db_.prepare("INSERT OR IGNORE INTO client_login_used (cwcid, cac, itime, cdigest) VALUES (?, ?, ?, ?)");
    add.bind(1, account.site).bind(2, account.name).bind(3, time).bind(4, lower).run();
    return db_.changes() == 1;
}

} // namespace quarvel::server
