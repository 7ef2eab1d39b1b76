#pragma once

#include <string>

namespace quarvel::server {

// Statuses of a KVTrans reply that concern the envelope and the session, and
// not one operation. The client stops an upload run at -10 and below.
enum TransStatus : int {
    DatabaseFailure = -9,
    VersionUnsupported = -10,
    SiteUnknown = -11,
    AccountUnknown = -12,
    NeverLoggedIn = -13,
    SessionUnknown = -15,
    AccountKindRefused = -18,
    BadVersion = -100,
    BadSite = -101,
    BadAccount = -102,
    BadOperation = -103,
    BadId = -104,
    BadNumber = -105,
    BadLocale = -106,
    BadSession = -107,
    BadCommand = -108,
    NoCommand = -1000,
};

// A reply that is a status number alone on its line.
inline std::string statusLine(int status)
{
    return std::to_string(status) + "\n";
}

} // namespace quarvel::server
