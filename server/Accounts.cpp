#include "Accounts.h"

#include "Database.h"

namespace quarvel::server {

bool Accounts::siteExists(const std::string &site) const
{
    auto q = db_.prepare("SELECT 1 FROM site WHERE cwcid = ?");
    q.bind(1, site);
    return q.step();
}

std::optional<Account> Accounts::find(const std::string &site, const std::string &name) const
{
    auto q = db_.prepare("SELECT cpassword, icid, nkind, nright, ntarget, cstation, cstation2, cplace, cinfo, "
                         "cplaceen, cinfoen FROM client_account WHERE cwcid = ? AND cac = ?");
    q.bind(1, site).bind(2, name);
    if (!q.step())
        return std::nullopt;
    Account a;
    a.site = site;
    a.name = name;
    a.password = q.text(0);
    a.clientId = static_cast<int>(q.integer(1));
    a.kind = q.integer(2) == 1 ? AccountKind::Checkpoint : AccountKind::Customer;
    a.mayShip = q.integer(3) != 0;
    a.uploadTarget = static_cast<int>(q.integer(4));
    for (int i = 0; i < 6; ++i)
        a.defaults[static_cast<std::size_t>(i)] = q.text(5 + i);
    return a;
}

} // namespace quarvel::server
