#include "net/ServerLogin.h"

#include "net/HttpTransport.h"
#include "net/LoginDigest.h"
#include "net/LoginReply.h"
#include "net/ReplyText.h"
#include "net/ServerSession.h"
#include "text/Gbk.h"

#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace quarvel {

namespace {

int get(const ServerSession &session, const QByteArray &host, const QByteArray &path, QByteArray &reply)
{
    std::vector<char> buffer(ServerLogin::kReplySize);
    // Cookies live for one attempt only; the login starts without any.
    QByteArray cookie;
    const int result = HttpGet(host, path, buffer, cookie, {}, 80, session.timeouts());
    reply = result > 0 ? ReplyText::cString(buffer.data(), result) : QByteArray();
    return result;
}

} // namespace

QByteArray ServerLogin::path(const QString &siteCode, const QByteArray &accountGbk, qint64 time,
                             const QByteArray &passwordGbk)
{
    return "/cgi-bin/VEdiz.dll?KVLogin&w=" + Gbk::fromUnicode(siteCode) + "&ac=" + accountGbk +
           "&md5=" + LoginDigest::compute(time, passwordGbk) + "&it=" + QByteArray::number(time);
}

int ServerLogin::send(ServerSession &session, const QByteArray &accountGbk, const QByteArray &passwordGbk,
                      const std::function<qint64()> &clock, QByteArray &reply)
{
    // The server takes each login request (time and digest) once. When the
    // same account logged in within the same second before (another counter,
    // another run of quarvelctl), a later second makes a new request.
    qint64 time = clock();
    for (int attempt = 0;; ++attempt) {
        const int result = sendOnce(session, accountGbk, passwordGbk, time, reply);
        if (result < 1 || attempt + 1 == kAttempts || LoginReply::parse(reply).status != kUsedAlready)
            return result;
        time = nextTime(clock, time);
    }
}

qint64 ServerLogin::nextTime(const std::function<qint64()> &clock, qint64 last)
{
    // Counters that collided would collide again in step: a short random
    // pause sets them apart.
    std::this_thread::sleep_for(std::chrono::milliseconds(QRandomGenerator::global()->bounded(5, 30)));
    // Seconds ahead are taken while the account is busy; far enough ahead,
    // the attempt waits for the clock (a second at most, so that a clock
    // that stands still cannot hold the login for ever).
    if (last + 1 - clock() > kMostAhead)
        std::this_thread::sleep_for(std::chrono::seconds(1));
    return std::max(clock(), last + 1);
}

int ServerLogin::sendOnce(ServerSession &session, const QByteArray &accountGbk, const QByteArray &passwordGbk,
                          qint64 time, QByteArray &reply)
{
    const QByteArray request = path(session.siteCode(), accountGbk, time, passwordGbk);
    const int result = get(session, session.configuredHost(), request, reply);
    if (result < 1 || !IsIpAddress(reply))
        return result;
    session.setRedirectHost(reply);
    return get(session, session.redirectTarget(reply), request, reply);
}

} // namespace quarvel
