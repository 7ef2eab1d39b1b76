// The upload payload on the server: the procedure call with its numbers and
// quoted texts, the insert batches inside its text arguments, and the
// columns of a shipment read from them. A call that reads must read the same
// once written out again the plain way.
#include "InsertBatch.h"
#include "ProcedureCall.h"
#include "ShipmentUpload.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace quarvel::server;

std::string quote(const std::string &text)
{
    std::string out = "'";
    for (const char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

std::string written(const SqlValue &value)
{
    return value.kind == SqlValue::Kind::Text ? quote(value.text) : value.text;
}

bool same(const std::vector<SqlValue> &a, const std::vector<SqlValue> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || a[i].text != b[i].text)
            return false;
    }
    return true;
}

void checkCall(const ProcedureCall &call)
{
    std::string again = "{?=CALL tarvo.dbo." + call.name + "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        const SqlValue &value = call.arguments[i];
        // Slots are dropped and the id placeholder belongs to batches only.
        if (value.kind != SqlValue::Kind::Number && value.kind != SqlValue::Kind::Text)
            __builtin_trap();
        again += (i ? "," : "") + written(value);
    }
    again += ")}";
    ProcedureCall reread;
    if (ProcedureCall::parse(again, reread) != ProcedureCall::Result::Read || reread.name != call.name ||
        !same(reread.arguments, call.arguments))
        __builtin_trap();
}

void checkBatch(const std::string &text)
{
    InsertBatch batch;
    if (!InsertBatch::parse(text, batch) || batch.rows.empty())
        return;
    std::string again = "INSERT INTO tarvo.dbo." + batch.table + " select ";
    for (std::size_t r = 0; r < batch.rows.size(); ++r) {
        if (batch.rows[r].empty())
            __builtin_trap();
        again += r ? " union select " : "";
        for (std::size_t i = 0; i < batch.rows[r].size(); ++i)
            again += (i ? "," : "") + written(batch.rows[r][i]);
    }
    InsertBatch reread;
    if (!InsertBatch::parse(again, reread) || reread.table != batch.table || reread.rows.size() != batch.rows.size())
        __builtin_trap();
    for (std::size_t r = 0; r < batch.rows.size(); ++r) {
        if (!same(reread.rows[r], batch.rows[r]))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view payload(reinterpret_cast<const char *>(data), size);
    ProcedureCall call;
    if (ProcedureCall::parse(payload, call) != ProcedureCall::Result::Read)
        return 0;
    checkCall(call);
    for (const SqlValue &value : call.arguments) {
        if (value.kind == SqlValue::Kind::Text)
            checkBatch(value.text);
    }
    for (const auto target : {ShipmentUpload::Target::Shipments, ShipmentUpload::Target::PreEntries}) {
        ShipmentUpload upload;
        if (ShipmentUpload::read(call.arguments, target, upload) &&
            upload.values.size() != ShipmentUpload::columns().size())
            __builtin_trap();
    }
    (void)ProcedureCall::textArgument(payload, 9);
    return 0;
}
