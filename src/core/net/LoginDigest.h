#pragma once

#include <QByteArray>

namespace quarvel {

// The password proof of a login: MD5 of the time, a constant shared with the
// server and the password, as 32 lowercase hex digits. The time travels with
// it, so an old proof is worthless once the server's clock has moved on.
class LoginDigest {
public:
    static QByteArray compute(qint64 secondsSinceEpoch, const QByteArray &passwordGbk);

private:
    static constexpr char kSalt[] = "RvnJtb";
};

} // namespace quarvel
