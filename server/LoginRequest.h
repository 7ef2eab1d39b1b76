#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarvel::server {

// The query of a login: "KVLogin&w=SITE&ac=ACCOUNT&md5=DIGEST&it=TIME". The
// account travels as raw GBK, not URL-encoded, so it may hold '&' or '=':
// it runs from "&ac=" to the last "&md5=".
struct LoginRequest {
    std::string site;
    std::string account;
    std::string digest;
    std::string timeText;
    std::int64_t time = 0;

    static std::optional<LoginRequest> parse(std::string_view query);
};

} // namespace quarvel::server
