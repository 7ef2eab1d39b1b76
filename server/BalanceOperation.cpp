#include "BalanceOperation.h"

#include "Account.h"
#include "Database.h"
#include "Envelope.h"
#include "TransStatus.h"

#include <cstdio>

namespace quarvel::server {

namespace {

std::string money(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

} // namespace

bool BalanceOperation::allows(const Account &account) const
{
    return account.kind == AccountKind::Customer;
}

std::string BalanceOperation::answer(const TransRequest &request)
{
    const Envelope &e = request.envelope;
    if (e.id != 0)
        return statusLine(BadId);
    if (e.number != 1)
        return statusLine(BadNumber);
    if (!e.payload.empty() || e.trailingBel)
        return statusLine(BadCommand);

    Database &db = request.db;
    auto client = db.prepare("SELECT fcredit, fbalance FROM client WHERE icid = ?");
    client.bind(1, request.account.clientId);
    if (!client.step())
        return statusLine(0);
    auto shipped = db.prepare("SELECT TOTAL(famount), COUNT(*) FROM client_rec WHERE icid = ? AND ifid = 0");
    shipped.bind(1, request.account.clientId);
    shipped.step();
    auto pending = db.prepare("SELECT TOTAL(ffee), COUNT(*) FROM rec_pre_input WHERE icid = ? AND irid = 0");
    pending.bind(1, request.account.clientId);
    pending.step();

    return "1\n" + money(client.real(0)) + "\n" + money(client.real(1)) + "\n0\n" + money(shipped.real(0)) + "\n" +
           std::to_string(shipped.integer(1)) + "\n" + money(pending.real(0)) + "\n" +
           std::to_string(pending.integer(1)) + "\n";
}

} // namespace quarvel::server
