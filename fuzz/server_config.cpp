// DATA_SYS/server.cfg as found: a host is taken only when it is one the
// client can use, a bad one leaves no host at all (never the default server),
// and the values taken save to a file that reads back the same without
// complaint.
#include "net/HostAddress.h"
#include "net/ServerConfig.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    quarvel::ServerConfig config(QStringLiteral("/nonexistent/server.cfg"));
    const quarvel::ServerConfig::Trouble trouble = config.Parse(text);
    const bool hostOk = quarvel::ServerConfig::checkHost(config.host()).isEmpty();
    const bool siteOk = quarvel::ServerConfig::checkSite(config.site()).isEmpty();
    if ((!hostOk && !config.host().isEmpty()) || (!siteOk && !config.site().isEmpty()))
        __builtin_trap();
    if (trouble.errors.isEmpty() && (!hostOk || !siteOk))
        __builtin_trap();
    if (hostOk) {
        const quarvel::HostAddress address = quarvel::HostAddress::parse(config.host().toLatin1());
        if (address.port < 1 || address.port > 65535 || address.name.isEmpty())
            __builtin_trap();
    }
    if (hostOk && siteOk) {
        quarvel::ServerConfig again(QStringLiteral("/nonexistent/server.cfg"));
        const quarvel::ServerConfig::Trouble none =
            again.Parse(QStringLiteral("host=%1\nsite=%2\n").arg(config.host(), config.site()).toUtf8());
        if (!none.errors.isEmpty() || !none.damage.isEmpty() || again.host() != config.host() ||
            again.site() != config.site())
            __builtin_trap();
    }
    return 0;
}
