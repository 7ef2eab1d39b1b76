#pragma once

#include <QByteArray>
#include <QString>

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
    // negative HttpGet code) and the reply text. A login the server refuses
    // as used already (kUsedAlready) is sent again with the next second, up
    // to kAttempts in all.
    static int send(ServerSession &session, const QByteArray &accountGbk, const QByteArray &passwordGbk, qint64 time,
                    QByteArray &reply);

    static constexpr int kUsedAlready = -8;
    static constexpr int kAttempts = 10;

private:
    static int sendOnce(ServerSession &session, const QByteArray &accountGbk, const QByteArray &passwordGbk,
                        qint64 time, QByteArray &reply);
};

} // namespace quarvel
