#pragma once

#include <string>

namespace quarvel::server {

// One value of the client's procedure-call text, or of an insert batch
// carried inside one of its arguments.
struct SqlValue {
    enum class Kind {
        Marker,      // "?", a parameter slot of the call
        Number,      // [+-]digits[.digits], kept as written
        Text,        // a quoted text with its doubled quotes made single again (GBK bytes)
        Placeholder, // "#1234567#": the id the new shipment is given
    };
    Kind kind = Kind::Number;
    std::string text;
};

} // namespace quarvel::server
