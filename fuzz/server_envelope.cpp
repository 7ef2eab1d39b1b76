// The KVTrans envelope as the server reads it. An envelope that reads must
// hold its payload where the body says, and read the same once written out
// again with its fields.
#include "Envelope.h"
#include "ProcedureCall.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using quarvel::server::Envelope;

std::string written(const Envelope &e)
{
    return "<WER>" + e.version + "</WER><WCID>" + e.site + "</WCID><AC>" + e.account + "</AC><OP>" +
           std::to_string(e.op) + "</OP><ID>" + std::to_string(e.id) + "</ID><NUMBER>" + std::to_string(e.number) +
           "</NUMBER><LCID>" + std::to_string(e.locale) + "</LCID><RAND>" + std::to_string(e.session) +
           "</RAND><DATA>" + e.payload + "\a</DATA>\n" + (e.trailingBel ? "\a" : "");
}

bool same(const Envelope &a, const Envelope &b)
{
    return a.version == b.version && a.site == b.site && a.account == b.account && a.op == b.op && a.id == b.id &&
           a.number == b.number && a.locale == b.locale && a.session == b.session && a.payload == b.payload &&
           a.trailingBel == b.trailingBel;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view body(reinterpret_cast<const char *>(data), size);
    Envelope envelope;
    const int status = Envelope::parse(body, envelope);
    // 0, or the status of the element that is wrong (-100 .. -108).
    if (status != 0 && (status < -108 || status > -100))
        __builtin_trap();
    if (status != 0)
        return 0;
    const std::string tail = std::string("\a</DATA>\n") + (envelope.trailingBel ? "\a" : "");
    if (!body.starts_with("<WER>") || !body.ends_with(tail) ||
        body.substr(body.size() - tail.size() - envelope.payload.size(), envelope.payload.size()) != envelope.payload)
        __builtin_trap();
    Envelope again;
    if (Envelope::parse(written(envelope), again) != 0 || !same(again, envelope))
        __builtin_trap();
    // What every request goes through before its operation: the waybill the test hooks look for.
    (void)quarvel::server::ProcedureCall::textArgument(envelope.payload, 9);
    quarvel::server::ProcedureCall call;
    (void)quarvel::server::ProcedureCall::readRecordCall(envelope, call);
    return 0;
}
