#pragma once

#include <string>

namespace quarvel::server {

// A stored text as it goes into a reply of records or tagged values: GBK,
// with every control byte (line feed, BEL ...) made a blank so that no value
// can end its record or tag early. GBK trail bytes are never control bytes.
std::string ReplyField(const std::string &utf8);

} // namespace quarvel::server
