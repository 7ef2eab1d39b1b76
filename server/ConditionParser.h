#pragma once

#include "ListCondition.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace quarvel::server {

// Reads the condition text of a list operation with a strict grammar of
// exactly the predicates the counter builds:
//
//   FROM [tarvo.dbo.]TABLE WHERE icid=N { AND predicate }
//   predicate: COLUMN (= | <> | > | < | >= | <=) NUMBER
//            | COLUMN IN(NUMBER {,NUMBER})
//            | COLUMN = 'TEXT' | COLUMN LIKE '%TEXT%'
//            | COLUMN BETWEEN 'TIME' AND 'TIME'
//
// TABLE must be the list's table and N the session's customer; each column
// must be on the table's whitelist and each operator one its type takes.
// Keywords and names may be in any letter case. Anything else (another
// statement, a comment, a semicolon, OR, a subquery, a text that is no GBK
// or too long) is refused. Nothing read is ever executed; the literals are
// bound as parameters.
class ConditionParser {
public:
    static constexpr std::size_t kMaxLength = 2000;
    static constexpr std::size_t kMaxPredicates = 32;
    static constexpr std::size_t kMaxInValues = 16;
    static constexpr std::size_t kMaxTextBytes = 130;

    // `table` as the list knows it ("client_rec", "rec_pre_input", "client_fee").
    static std::optional<ListCondition> parse(std::string_view text, std::string_view table, std::int64_t clientId);
};

} // namespace quarvel::server
