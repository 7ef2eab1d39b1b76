#include "ProcedureCall.h"

#include "Envelope.h"
#include "TransStatus.h"

#include "SqlScanner.h"

namespace quarvel::server {

ProcedureCall::Result ProcedureCall::parse(std::string_view payload, ProcedureCall &out)
{
    SqlScanner s(payload);
    if (!s.symbol("{") || !s.symbol("?") || !s.symbol("=") || !s.keyword("CALL"))
        return Result::NotACall;
    auto name = s.objectName();
    if (!name || !s.symbol("("))
        return Result::NotACall;
    out.name = std::move(*name);
    out.arguments.clear();

    if (!s.symbol(")")) {
        for (;;) {
            auto value = s.value();
            if (!value)
                return Result::BadArguments;
            if (value->kind == SqlValue::Kind::Placeholder)
                return Result::BadArguments;
            // Slots stand only before the first value.
            if (value->kind == SqlValue::Kind::Marker) {
                if (!out.arguments.empty())
                    return Result::BadArguments;
            } else {
                out.arguments.push_back(std::move(*value));
            }
            if (s.symbol(","))
                continue;
            if (s.symbol(")"))
                break;
            return Result::BadArguments;
        }
    }
    if (!s.symbol("}") || !s.atEnd())
        return Result::BadArguments;
    return Result::Read;
}

std::string ProcedureCall::textArgument(std::string_view payload, std::size_t index)
{
    ProcedureCall call;
    if (parse(payload, call) != Result::Read || call.arguments.size() <= index ||
        call.arguments[index].kind != SqlValue::Kind::Text)
        return {};
    return call.arguments[index].text;
}

std::optional<std::string> ProcedureCall::readRecordCall(const Envelope &e, ProcedureCall &out)
{
    if (e.id <= 0)
        return statusLine(BadId);
    if (e.number != 1)
        return statusLine(BadNumber);
    if (e.trailingBel)
        return statusLine(BadCommand);
    switch (parse(e.payload, out)) {
    case Result::NotACall:
        return statusLine(BadCommand);
    case Result::BadArguments:
        return statusLine(-1);
    case Result::Read:
        break;
    }
    return std::nullopt;
}

} // namespace quarvel::server
