#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace quarvel {

// The server's answer to a login: a status, then for an accepted login the
// client id, the session number and the upload target, and (status above 0)
// up to six checkpoint default lines.
struct LoginReply {
    // Byte limits of the six default lines: each must be shorter than this.
    static constexpr std::array<int, 6> kLineLimits{16, 16, 127, 255, 127, 255};

    int status = 0;
    int clientId = 0;
    int sessionNumber = 0;
    int uploadTarget = 0;
    bool defaultsPresent = false;
    // The lines to store; a line that is absent keeps the session's value.
    std::array<std::optional<QByteArray>, 6> lines;

    static LoginReply parse(const QByteArray &reply);
    // An accepted login that opened a session.
    bool accepted() const { return status >= 0 && sessionNumber > 0; }
    // The message for a refused login (negative status, or an acceptance
    // without a session number).
    QString refusalText() const;
};

} // namespace quarvel
