#include "HookRule.h"

#include <charconv>
#include <cmath>

namespace quarvel::server {

namespace {

// The next blank-separated word, taken from the front of the text.
std::string_view word(std::string_view &text)
{
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        text = {};
        return {};
    }
    text.remove_prefix(start);
    const auto end = std::min(text.find(' '), text.size());
    const std::string_view w = text.substr(0, end);
    text.remove_prefix(end);
    return w;
}

template <typename T> bool number(std::string_view text, T &out)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool unescape(std::string_view text, std::string &out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'a':
            out += '\a';
            break;
        case '\\':
            out += '\\';
            break;
        case 'x': {
            const int high = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? hexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0)
                return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<HookRule> HookRule::parse(std::string_view line, std::string &error)
{
    HookRule r;
    r.text = std::string(line);
    std::string_view rest = line;
    const std::string_view match = word(rest);
    if (match == "next") {
        r.match = Match::Next;
    } else if (match.starts_with("op=") && number(match.substr(3), r.operation)) {
        r.match = Match::Operation;
    } else if (match.starts_with("waybill=") && match.size() > 8) {
        r.match = Match::Waybill;
        r.waybill = std::string(match.substr(8));
        r.times = -1;
    } else {
        error = "a rule starts with next, op=N or waybill=NUMBER";
        return std::nullopt;
    }

    std::string_view action = word(rest);
    if (action.starts_with("times=")) {
        if (!number(action.substr(6), r.times) || r.times < 1) {
            error = "times= needs a count of 1 or more";
            return std::nullopt;
        }
        action = word(rest);
    }
    const std::string_view argument = rest.substr(std::min(rest.find_first_not_of(' '), rest.size()));
    if (action == "status") {
        int status = 0;
        if (!number(argument, status)) {
            error = "status needs a number";
            return std::nullopt;
        }
        r.action = Action::Reply;
        r.reply = std::to_string(status) + "\n";
    } else if (action == "reply") {
        r.action = Action::Reply;
        if (!unescape(argument, r.reply)) {
            error = "reply text with a broken escape";
            return std::nullopt;
        }
    } else if (action == "stall") {
        r.action = Action::Stall;
        if (!number(argument, r.seconds) || !std::isfinite(r.seconds) || r.seconds < 0 || r.seconds > 3600) {
            error = "stall needs a number of seconds from 0 to 3600";
            return std::nullopt;
        }
    } else if (action == "hang" || action == "close") {
        r.action = action == "hang" ? Action::Hang : Action::Close;
        if (!argument.empty()) {
            error = std::string(action) + " takes nothing more";
            return std::nullopt;
        }
    } else {
        error = "the action is status, reply, stall, hang or close";
        return std::nullopt;
    }
    return r;
}

} // namespace quarvel::server
