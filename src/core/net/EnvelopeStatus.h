#pragma once

#include <QString>

namespace quarvel {

// What a reply status of 0 or below means to the operator: the server's
// checks of the envelope fields, its own errors, or simply no result.
class EnvelopeStatus {
public:
    // The reply status: the decimal number the reply begins with (0 without one).
    static int read(const QByteArray &reply);
    // The message of a status of 0 or below ("未知错误，查询失败。" for a code
    // the table does not know).
    static QString text(int status);
};

} // namespace quarvel
