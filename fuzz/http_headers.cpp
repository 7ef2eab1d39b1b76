// What the transport reads from reply headers and host texts: cookies,
// host and port, addresses a server names (never with a NUL in them).
#include "net/HostAddress.h"
#include "net/HttpCookies.h"
#include "net/HttpTransport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto cookies = quarvel::HttpCookies::fromHeaders(text);
    if (cookies && cookies->size() >= quarvel::HttpCookies::kBufferSize)
        __builtin_trap();
    const quarvel::HostAddress host = quarvel::HostAddress::parse(text);
    if (host.port < 0 || host.port > 65535)
        __builtin_trap();
    (void)quarvel::HostAddress::portSuffix(text);
    (void)quarvel::IsIpAddress(text);
    if (quarvel::RedirectAddress(text).contains('\0'))
        __builtin_trap();
    return 0;
}
