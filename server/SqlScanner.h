#pragma once

#include "SqlValue.h"

#include <optional>
#include <string>
#include <string_view>

namespace quarvel::server {

// Reads the little SQL the client sends: words, punctuation, numbers and
// quoted texts. It never executes anything; the operations bind what it reads.
// GBK text is safe to scan byte by byte: no trail byte is a quote.
class SqlScanner {
public:
    explicit SqlScanner(std::string_view text) : text_(text) {}

    // True when only blanks are left.
    bool atEnd();
    // Takes the word when the text continues with it (letter case ignored) and
    // no further name character follows.
    bool keyword(std::string_view word);
    // Takes the exact characters when the text continues with them.
    bool symbol(std::string_view characters);
    // A name of letters, digits, '_' and '.', as written.
    std::optional<std::string> name();
    // The name of a table or procedure: lower case, without the "tarvo.dbo."
    // owner the client writes before it.
    std::optional<std::string> objectName();
    std::optional<SqlValue> value();

private:
    void skipBlanks();
    std::optional<std::string> quoted();
    std::optional<std::string> number();

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace quarvel::server
