#pragma once

#include "SqlValue.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <variant>

namespace quarvel::server {

class Statement;

// What a value sent for one column must be.
struct ColumnSpec {
    enum class Type {
        Integer, // whole number within [low, high]
        Real,    // a decimal number not below low
        Text,    // quoted GBK text of at most maxBytes bytes, kept as UTF-8
        Date,    // quoted 'YYYY.MM.DD', kept as "YYYY-MM-DD 00:00:00"
        NewId,   // the placeholder of the new shipment's id
    };
    const char *name;
    Type type;
    std::int64_t low = std::numeric_limits<std::int32_t>::min();
    std::int64_t high = std::numeric_limits<std::int32_t>::max();
    std::size_t maxBytes = 0;

    static constexpr ColumnSpec integer(const char *name, std::int64_t low = std::numeric_limits<std::int32_t>::min(),
                                        std::int64_t high = std::numeric_limits<std::int32_t>::max())
    {
        return {name, Type::Integer, low, high, 0};
    }
    static constexpr ColumnSpec real(const char *name) { return {name, Type::Real}; }
    // An amount of money: never below zero ("-0.00" is zero).
    static constexpr ColumnSpec money(const char *name) { return {name, Type::Real, 0}; }
    static constexpr ColumnSpec text(const char *name, std::size_t maxBytes)
    {
        return {name, Type::Text, 0, 0, maxBytes};
    }
    static constexpr ColumnSpec date(const char *name) { return {name, Type::Date}; }
    static constexpr ColumnSpec newId(const char *name) { return {name, Type::NewId}; }
};

// A value read for a column; monostate stands for the new shipment's id.
using ColumnValue = std::variant<std::monostate, std::int64_t, double, std::string>;

class Column {
public:
    // The value, or nothing when it is not what the column takes.
    static std::optional<ColumnValue> read(const SqlValue &value, const ColumnSpec &rule);
    // Binds the value; the placeholder becomes newId.
    static void bind(Statement &statement, int index, const ColumnValue &value, std::int64_t newId);
    // "YYYY-MM-DD HH:MM:SS" of a calendar date and time, or nothing.
    static std::optional<std::string> timestamp(int year, int month, int day, int hour = 0, int minute = 0,
                                                int second = 0);
};

} // namespace quarvel::server
