#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace quarvel {

class ServerSession;

// The login request: one GET to the configured host, and when that host
// answers with another server's IPv4 address, the same request once more to
// that address (which the session then keeps for every later request).
class ServerLogin {
public:
    static constexpr int kReplySize = 4096;

    // "/cgi-bin/VEdiz.dll?KVLogin&w=SITE&ac=ACCOUNT&md5=DIGEST&it=TIME"; the
    // account goes as its GBK bytes, not URL-encoded.
    static QByteArray path(const QString &siteCode, const QByteArray &accountGbk, qint64 time,
                           const QByteArray &passwordGbk);
    // Sends the login; returns the transport result (reply bytes, or a
    // negative HttpGet code) and the reply text. The server takes one login
    // of an account a second: a login it refuses as used already
    // (kUsedAlready) is sent again after a short pause for a later second, up
    // to kAttempts in all. `clock` gives the seconds since the epoch.
    static int send(ServerSession &session, const QByteArray &accountGbk, const QByteArray &passwordGbk,
                    const std::function<qint64()> &clock, QByteArray &reply);

    static constexpr int kUsedAlready = -8;
    static constexpr int kAttempts = 60;
    // How far ahead of the clock an attempt may name its second; further
    // than this the attempt waits for the clock instead, so that a busy
    // account never runs out of the server's time window (300 s).
    static constexpr int kMostAhead = 30;

private:
    static qint64 nextTime(const std::function<qint64()> &clock, qint64 last);
    static int sendOnce(ServerSession &session, const QByteArray &accountGbk, const QByteArray &passwordGbk,
                        qint64 time, QByteArray &reply);
};

} // namespace quarvel
