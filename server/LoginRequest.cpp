#include "LoginRequest.h"

#include <charconv>

namespace quarvel::server {

std::optional<LoginRequest> LoginRequest::parse(std::string_view query)
{
    constexpr std::string_view head = "KVLogin&w=";
    if (!query.starts_with(head))
        return std::nullopt;
    const auto ac = query.find("&ac=", head.size());
    const auto md5 = query.rfind("&md5=");
    if (ac == std::string_view::npos || md5 == std::string_view::npos || md5 < ac + 4)
        return std::nullopt;
    const auto it = query.find("&it=", md5 + 5);
    if (it == std::string_view::npos)
        return std::nullopt;

    LoginRequest r;
    r.site = query.substr(head.size(), ac - head.size());
    r.account = query.substr(ac + 4, md5 - ac - 4);
    r.digest = query.substr(md5 + 5, it - md5 - 5);
    r.timeText = query.substr(it + 4);
    // The time is the client's "%d": an optional sign and digits, nothing else.
    const char *first = r.timeText.data();
    const char *last = first + r.timeText.size();
    const auto [end, error] = std::from_chars(first, last, r.time);
    if (r.timeText.empty() || error != std::errc() || end != last || r.timeText.size() > 11)
        return std::nullopt;
    return r;
}

} // namespace quarvel::server
