// The login reply: status, the three numbers and six default lines, taken
// into a session as an accepted login would be.
#include "net/LoginReply.h"
#include "net/ServerSession.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const quarvel::LoginReply r = quarvel::LoginReply::parse(reply);
    for (std::size_t i = 0; i < r.lines.size(); ++i)
        if (r.lines[i] && r.lines[i]->size() >= quarvel::LoginReply::kLineLimits[i])
            __builtin_trap();
    if (!r.accepted()) {
        (void)r.refusalText();
        return 0;
    }
    quarvel::ServerSession session;
    session.applyLogin(r, QStringLiteral("a"), QStringLiteral("p"));
    for (int i = 0; i < quarvel::ServerSession::kDefaultLines; ++i)
        (void)session.defaultLine(static_cast<quarvel::ServerSession::DefaultLine>(i));
    return 0;
}
