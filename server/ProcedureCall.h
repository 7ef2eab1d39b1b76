#pragma once

#include "SqlValue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::server {

struct Envelope;

// The payload of the upload operations: "{?=CALL tarvo.dbo.NAME(ARG,...)}".
// Arguments are numbers and quoted texts (quotes doubled inside); a run of
// "?" parameter slots may come before them and is dropped.
class ProcedureCall {
public:
    enum class Result {
        Read,
        NotACall,     // no call of a procedure: the payload is not for this operation
        BadArguments, // a call whose argument list cannot be read
    };

    static Result parse(std::string_view payload, ProcedureCall &out);
    // The text argument at that place (from 0, slots not counted) of a call
    // that reads; empty otherwise.
    static std::string textArgument(std::string_view payload, std::size_t index);
    // Reads the call of a record upload (operations 0 and 4: ID above 0,
    // NUMBER 1, no trailing BEL). Returns the refusal's reply, or nothing
    // when `out` holds the call.
    static std::optional<std::string> readRecordCall(const Envelope &envelope, ProcedureCall &out);

    // Lower case, without the "tarvo.dbo." owner.
    std::string name;
    std::vector<SqlValue> arguments;
};

} // namespace quarvel::server
