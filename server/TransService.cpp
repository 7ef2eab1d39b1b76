#include "TransService.h"

#include "Accounts.h"
#include "Database.h"
#include "Envelope.h"
#include "Sessions.h"
#include "TransStatus.h"
#include "WireText.h"

namespace quarvel::server {

void TransService::add(std::unique_ptr<Operation> operation)
{
    const int code = operation->code();
    operations_[code] = std::move(operation);
}

std::string TransService::answer(std::string_view body)
{
    Envelope envelope;
    if (const int bad = Envelope::parse(body, envelope))
        return statusLine(bad);
    if (envelope.version != "1")
        return statusLine(VersionUnsupported);
    try {
        return dispatch(envelope);
    } catch (const DatabaseError &) {
        return statusLine(DatabaseFailure);
    }
}

TransService::Subject TransService::subject(std::string_view body) const
{
    Subject s;
    Envelope envelope;
    if (Envelope::parse(body, envelope) != 0)
        return s;
    s.operation = envelope.op;
    const auto found = operations_.find(envelope.op);
    if (found != operations_.end()) {
        const std::string gbk = found->second->waybill(envelope);
        if (!WireText::toUtf8(gbk, s.waybill))
            s.waybill = gbk;
    }
    return s;
}

std::string TransService::dispatch(const Envelope &envelope)
{
    const auto lock = db_.lock();
    Accounts accounts(db_);
    std::string site;
    if (!WireText::toUtf8(envelope.site, site) || !accounts.siteExists(site))
        return statusLine(SiteUnknown);
    std::string name;
    const auto account = WireText::toUtf8(envelope.account, name) ? accounts.find(site, name) : std::nullopt;
    if (!account)
        return statusLine(AccountUnknown);
    switch (sessions_.check(*account, envelope.session)) {
    case Sessions::Check::NeverLoggedIn:
        return statusLine(NeverLoggedIn);
    case Sessions::Check::Unknown:
        return statusLine(SessionUnknown);
    case Sessions::Check::Valid:
        break;
    }
    const auto found = operations_.find(envelope.op);
    if (found == operations_.end())
        return statusLine(BadOperation);
    // An account whose express rights were withdrawn after it logged in keeps
    // its session but may no longer act.
    if (!account->mayShip || !found->second->allows(*account))
        return statusLine(AccountKindRefused);
    return found->second->answer({envelope, *account, db_});
}

} // namespace quarvel::server
