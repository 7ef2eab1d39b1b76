#pragma once

#include "Operation.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quarvel::server {

// Operation 10: deletes uploaded pre-entries. The payload must be exactly
// "DELETE [tarvo.dbo.]rec_pre_input WHERE iid IN(ID,...)" with ID and
// NUMBER both the number of ids; only the session customer's own
// pre-entries that are not yet processed (irid 0) go, with their goods
// lines. The reply is the number deleted; -1 for a statement of any other
// form, and nothing is deleted then.
class DeletePreOperation : public Operation {
public:
    static constexpr std::size_t kMaxIds = 1000;
    static constexpr int kStatementRefused = -1;

    int code() const override { return 10; }
    bool allows(const Account &account) const override;
    std::string answer(const TransRequest &request) override;

    // The ids of such a statement, or nothing when it is not one.
    static std::optional<std::vector<std::int64_t>> parse(std::string_view statement);
};

} // namespace quarvel::server
