#include "RequestFraming.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace quarvel::server {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Content-Length is digits and nothing else: no sign, no list, no blanks
// inside. A number too long to hold reads as the largest one, which no
// limit admits.
bool lengthValue(std::string_view text, std::size_t &value)
{
    if (text.empty())
        return false;
    constexpr std::size_t kMost = std::numeric_limits<std::size_t>::max();
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        const auto digit = static_cast<std::size_t>(c - '0');
        value = value > (kMost - digit) / 10 ? kMost : value * 10 + digit;
    }
    return true;
}

// The position after the empty line that ends the head, or 0. An empty
// line is a line feed right after a line feed, with or without a carriage
// return between them.
std::size_t headEnd(std::string_view bytes, std::size_t from)
{
    for (std::size_t i = bytes.find('\n', from); i != std::string_view::npos; i = bytes.find('\n', i + 1)) {
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            return i + 2;
        if (i + 2 < bytes.size() && bytes[i + 1] == '\r' && bytes[i + 2] == '\n')
            return i + 3;
    }
    return 0;
}

} // namespace

RequestFraming::RequestFraming(std::size_t maxHead, std::size_t maxBody) : maxHead_(maxHead), maxBody_(maxBody)
{
}

RequestFraming::State RequestFraming::judge(std::string_view received)
{
    if (status_ != 0)
        return State::Refused;
    if (headEnd_ == 0) {
        const std::size_t end = headEnd(received, searched_);
        // The last two bytes may start the empty line that the next ones end.
        searched_ = received.size() > 2 ? received.size() - 2 : 0;
        if (end == 0)
            return received.size() > maxHead_ ? refuse(431) : State::More;
        if (end > maxHead_)
            return refuse(431);
        if (readHead(received.substr(0, end)) == State::Refused)
            return State::Refused;
        headEnd_ = end;
    }
    return received.size() >= length() ? State::Complete : State::More;
}

RequestFraming::State RequestFraming::readHead(std::string_view head)
{
    // The request line is the library's to judge; the fields follow it.
    std::size_t at = head.find('\n') + 1;
    while (at < head.size()) {
        const std::size_t end = head.find('\n', at);
        std::string_view line = head.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            break;
        if (readField(line) == State::Refused)
            return State::Refused;
    }
    return State::More;
}

RequestFraming::State RequestFraming::readField(std::string_view line)
{
    // A folded line or a blank before the colon could make the library and
    // this reading see different fields, so neither is taken.
    const std::size_t colon = line.find(':');
    if (isBlank(line.front()) || colon == std::string_view::npos || colon == 0 || isBlank(line[colon - 1]))
        return refuse(400);
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = trimmed(line.substr(colon + 1));
    if (sameName(name, "Transfer-Encoding"))
        return refuse(411);
    if (!sameName(name, "Content-Length"))
        return State::More;
    if (hasLength_ || !lengthValue(value, bodyLength_))
        return refuse(400);
    hasLength_ = true;
    return bodyLength_ > maxBody_ ? refuse(413) : State::More;
}

RequestFraming::State RequestFraming::refuse(int status)
{
    status_ = status;
    return State::Refused;
}

} // namespace quarvel::server
