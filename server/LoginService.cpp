#include "LoginService.h"

#include "Accounts.h"
#include "Database.h"
#include "LoginRequest.h"
#include "Sessions.h"
#include "WireText.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <cstdlib>
#include <optional>

namespace quarvel::server {

namespace {

// Longest GBK text of each default line that the client stores (its buffer
// sizes less the terminating NUL).
constexpr std::size_t kDefaultLineBytes[6] = {15, 15, 126, 254, 126, 254};

bool sameDigest(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

LoginService::LoginService(Database &db, Sessions &sessions, int windowSeconds, Clock clock)
    : db_(db), sessions_(sessions), windowSeconds_(windowSeconds), clock_(std::move(clock)), used_(db, windowSeconds)
{
}

std::string LoginService::digest(std::string_view timeText, std::string_view gbkPassword)
{
    QByteArray salted(timeText.data(), static_cast<qsizetype>(timeText.size()));
    salted += "RvnJtb";
    salted.append(gbkPassword.data(), static_cast<qsizetype>(gbkPassword.size()));
    return QCryptographicHash::hash(salted, QCryptographicHash::Md5).toHex().toStdString();
}

LoginService::Reply LoginService::answer(std::string_view query)
{
    const auto request = LoginRequest::parse(query);
    if (!request)
        return refuse(ServerError);

    std::string site;
    std::string name;
    std::optional<Account> account;
    {
        const auto lock = db_.lock();
        Accounts accounts(db_);
        if (!WireText::toUtf8(request->site, site) || !accounts.siteExists(site))
            return refuse(SiteUnknown);
        if (WireText::toUtf8(request->account, name))
            account = accounts.find(site, name);
        if (!account)
            return refuse(AccountUnknown);
    }
    // Waits without the database lock: a slowed-down account keeps nobody else waiting.
    std::optional<PasswordThrottle::Turn> turn;
    if (!throttle_.wait(site + '\n' + name, turn))
        return refuse(ServerError);
    // The digest proves the password for the time it names; only then does
    // the time itself matter, so a wrong password is never reported as a clock error.
    if (!sameDigest(request->digest, digest(request->timeText, WireText::toGbk(account->password)))) {
        turn->failed();
        return refuse(WrongPassword);
    }
    return conclude(*request, *account, *turn);
}

void LoginService::stop()
{
    throttle_.stop();
}

LoginService::Reply LoginService::conclude(const LoginRequest &request, const Account &account,
                                           PasswordThrottle::Turn &turn)
{
    const long long now = clock_();
    if (std::llabs(request.time - now) > windowSeconds_)
        return refuse(ClockOff);
    if (!account.mayShip)
        return refuse(NoExpressRight);
    const auto lock = db_.lock();
    if (!used_.spend(account, request.time, request.digest, now))
        return refuse(UsedAlready);
    // Only a fresh login ends the count: an old or seen request proves nothing new.
    turn.passed();
    return accept(account);
}

LoginService::Reply LoginService::refuse(int code) const
{
    return {std::to_string(code) + "\n", 0};
}

LoginService::Reply LoginService::accept(const Account &account)
{
    Reply r;
    r.session = sessions_.open(account);
    const bool checkpoint = account.kind == AccountKind::Checkpoint;
    r.body = std::string(checkpoint ? "1" : "0") + "," + std::to_string(account.clientId) + "," +
             std::to_string(r.session) + "," + std::to_string(account.uploadTarget) + "\n";
    if (checkpoint) {
        for (std::size_t i = 0; i < account.defaults.size(); ++i)
            r.body += WireText::line(account.defaults[i], kDefaultLineBytes[i]) + "\n";
    }
    return r;
}

} // namespace quarvel::server
