#pragma once

#include "Column.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quarvel::server {

class Statement;

// A list query's condition once read: the table, the customer, and the
// comparisons that follow, each on a column of the table's whitelist with
// its literals kept apart for binding. Its SQL is made from fixed texts
// only; no byte the client sent ever becomes part of a statement.
struct ListCondition {
    enum class Op { Equal, NotEqual, Greater, Less, GreaterEqual, LessEqual, In, Between, Like };
    struct Predicate {
        const char *column; // the whitelist's own text
        Op op;
        std::vector<ColumnValue> values;
    };

    const char *table = "";
    std::int64_t clientId = 0;
    std::vector<Predicate> predicates;

    // "icid = ? AND column op ? ..." with one parameter per literal.
    std::string where() const;
    // Binds the customer and every literal from parameter `first` on;
    // returns the next free parameter.
    int bind(Statement &statement, int first) const;
};

} // namespace quarvel::server
