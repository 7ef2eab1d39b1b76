#include "SqlScanner.h"

namespace quarvel::server {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNameCharacter(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr std::string_view kPlaceholder = "#1234567#";

} // namespace

void SqlScanner::skipBlanks()
{
    while (pos_ < text_.size() && isBlank(text_[pos_]))
        ++pos_;
}

bool SqlScanner::atEnd()
{
    skipBlanks();
    return pos_ == text_.size();
}

bool SqlScanner::keyword(std::string_view word)
{
    skipBlanks();
    if (text_.size() - pos_ < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (lower(text_[pos_ + i]) != lower(word[i]))
            return false;
    }
    const std::size_t end = pos_ + word.size();
    if (end < text_.size() && isNameCharacter(text_[end]))
        return false;
    pos_ = end;
    return true;
}

bool SqlScanner::symbol(std::string_view characters)
{
    skipBlanks();
    if (text_.substr(pos_, characters.size()) != characters)
        return false;
    pos_ += characters.size();
    return true;
}

std::optional<std::string> SqlScanner::name()
{
    skipBlanks();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && isNameCharacter(text_[pos_]))
        ++pos_;
    if (pos_ == start)
        return std::nullopt;
    return std::string(text_.substr(start, pos_ - start));
}

std::optional<std::string> SqlScanner::objectName()
{
    auto text = name();
    if (!text)
        return std::nullopt;
    for (char &c : *text)
        c = lower(c);
    constexpr std::string_view owner = "tarvo.dbo.";
    if (text->starts_with(owner))
        text->erase(0, owner.size());
    return text;
}

std::optional<SqlValue> SqlScanner::value()
{
    skipBlanks();
    if (pos_ == text_.size())
        return std::nullopt;
    const char c = text_[pos_];
    if (c == '?') {
        ++pos_;
        return SqlValue{SqlValue::Kind::Marker, "?"};
    }
    if (c == '\'') {
        auto text = quoted();
        if (!text)
            return std::nullopt;
        return SqlValue{SqlValue::Kind::Text, std::move(*text)};
    }
    if (text_.substr(pos_, kPlaceholder.size()) == kPlaceholder) {
        pos_ += kPlaceholder.size();
        return SqlValue{SqlValue::Kind::Placeholder, std::string(kPlaceholder)};
    }
    auto digits = number();
    if (!digits)
        return std::nullopt;
    return SqlValue{SqlValue::Kind::Number, std::move(*digits)};
}

std::optional<std::string> SqlScanner::quoted()
{
    std::string text;
    std::size_t at = pos_ + 1;
    for (;;) {
        const std::size_t quote = text_.find('\'', at);
        if (quote == std::string_view::npos)
            return std::nullopt;
        text.append(text_.substr(at, quote - at));
        if (quote + 1 < text_.size() && text_[quote + 1] == '\'') {
            text += '\'';
            at = quote + 2;
            continue;
        }
        pos_ = quote + 1;
        return text;
    }
}

std::optional<std::string> SqlScanner::number()
{
    std::size_t at = pos_;
    if (at < text_.size() && (text_[at] == '-' || text_[at] == '+'))
        ++at;
    const std::size_t digits = at;
    while (at < text_.size() && isDigit(text_[at]))
        ++at;
    if (at == digits)
        return std::nullopt;
    if (at < text_.size() && text_[at] == '.') {
        const std::size_t fraction = ++at;
        while (at < text_.size() && isDigit(text_[at]))
            ++at;
        if (at == fraction)
            return std::nullopt;
    }
    // "12abc" is not a number followed by a word.
    if (at < text_.size() && isNameCharacter(text_[at]))
        return std::nullopt;
    std::string text(text_.substr(pos_, at - pos_));
    pos_ = at;
    return text;
}

} // namespace quarvel::server
