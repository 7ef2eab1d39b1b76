// tarvo-server's reading of list conditions and deletion statements: any
// text either is refused or becomes a statement that runs, on a whitelisted
// column, with every literal bound and the customer fixed.
#include "ConditionParser.h"
#include "Database.h"
#include "DeletePreOperation.h"
#include "Schema.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace quarvel::server;

namespace {

Database &memory()
{
    static Database *db = [] {
        auto *d = new Database(":memory:");
        Schema::apply(*d);
        return d;
    }();
    return *db;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    for (const char *table : {"client_rec", "rec_pre_input", "client_fee"}) {
        const auto condition = ConditionParser::parse(text, table, 101);
        if (!condition)
            continue;
        const std::string where = condition->where();
        // Nothing of the text reaches the SQL: no quote, no separator, no comment.
        if (condition->clientId != 101 || where.find_first_of("'\";-/") != std::string::npos ||
            condition->predicates.size() > ConditionParser::kMaxPredicates)
            __builtin_trap();
        auto count = memory().prepare(std::string("SELECT COUNT(*) FROM ") + condition->table + " WHERE " + where);
        condition->bind(count, 1);
        if (!count.step() || count.integer(0) != 0)
            __builtin_trap();
    }
    if (const auto ids = DeletePreOperation::parse(text)) {
        if (ids->empty() || ids->size() > DeletePreOperation::kMaxIds)
            __builtin_trap();
        for (const std::int64_t id : *ids)
            if (id < 1)
                __builtin_trap();
    }
    return 0;
}
