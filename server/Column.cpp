#include "Column.h"

#include "Database.h"
#include "WireText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quarvel::server {

namespace {

bool readInteger(const std::string &text, std::int64_t &out)
{
    const char *begin = text.data() + (text.starts_with('+') ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

bool readReal(const std::string &text, double &out)
{
    const char *begin = text.data() + (text.starts_with('+') ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), out, std::chars_format::fixed);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(out);
}

// 'YYYY.MM.DD' with the year unpadded.
std::optional<std::string> readDate(const std::string &text)
{
    int parts[3] = {};
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = i < 2 ? text.find('.', at) : text.size();
        if (end == std::string::npos || end == at || end - at > 4)
            return std::nullopt;
        const auto [stop, error] = std::from_chars(text.data() + at, text.data() + end, parts[i]);
        if (error != std::errc() || stop != text.data() + end)
            return std::nullopt;
        at = end + 1;
    }
    return Column::timestamp(parts[0], parts[1], parts[2]);
}

} // namespace

std::optional<std::string> Column::timestamp(int year, int month, int day, int hour, int minute, int second)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDays[month - 1] + (month == 2 && leap ? 1 : 0))
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return std::string(text);
}

std::optional<ColumnValue> Column::read(const SqlValue &value, const ColumnSpec &rule)
{
    using Type = ColumnSpec::Type;
    using Kind = SqlValue::Kind;
    switch (rule.type) {
    case Type::Integer: {
        std::int64_t n = 0;
        if (value.kind != Kind::Number || !readInteger(value.text, n) || n < rule.low || n > rule.high)
            return std::nullopt;
        return n;
    }
    case Type::Real: {
        double x = 0;
        if (value.kind != Kind::Number || !readReal(value.text, x) || x < static_cast<double>(rule.low))
            return std::nullopt;
        return x;
    }
    case Type::Text: {
        std::string utf8;
        // A NUL never comes from a record field: it would cut the text short.
        if (value.kind != Kind::Text || value.text.size() > rule.maxBytes ||
            value.text.find('\0') != std::string::npos || !WireText::toUtf8(value.text, utf8))
            return std::nullopt;
        return utf8;
    }
    case Type::Date: {
        if (value.kind != Kind::Text)
            return std::nullopt;
        auto date = readDate(value.text);
        if (!date)
            return std::nullopt;
        return *date;
    }
    case Type::NewId:
        if (value.kind != Kind::Placeholder)
            return std::nullopt;
        return std::monostate();
    }
    return std::nullopt;
}

void Column::bind(Statement &statement, int index, const ColumnValue &value, std::int64_t newId)
{
    if (std::holds_alternative<std::monostate>(value))
        statement.bind(index, newId);
    else if (const auto *n = std::get_if<std::int64_t>(&value))
        statement.bind(index, *n);
    else if (const auto *x = std::get_if<double>(&value))
        statement.bind(index, *x);
    else
        statement.bind(index, std::get<std::string>(value));
}

} // namespace quarvel::server
