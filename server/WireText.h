#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quarvel::server {

// Texts travel as GBK and are kept as UTF-8 in the database.
class WireText {
public:
    // False when the bytes are not valid GBK: such a text names nothing we hold.
    static bool toUtf8(std::string_view gbk, std::string &utf8);
    // A character without a GBK form becomes '?', so a reply is never cut short.
    static std::string toGbk(std::string_view utf8);
    // The GBK text cut to at most maxBytes without splitting a character, with
    // line breaks turned into blanks: for fields the client reads line by line.
    static std::string line(std::string_view utf8, std::size_t maxBytes);
};

} // namespace quarvel::server
