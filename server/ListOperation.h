#pragma once

#include "Operation.h"

namespace quarvel::server {

// Operations 1, 6 and 8: a page of the customer's shipment records, of its
// settlements, or of its uploaded pre-entries not yet processed. ID is the
// page (from 1), NUMBER the total of the previous reply (0 or more), the
// payload the condition, read by ConditionParser and never executed. The
// reply is "TOTAL\nPAGE\nPAGES" and a BEL, then up to 100 records, each
// ended by BEL with its fields separated by line feeds. A page past the
// last one answers the last page. A condition that is not exactly one the
// counter builds for this list and this customer is refused with -1.
class ListOperation : public Operation {
public:
    enum class List { Shipments, Settlements, PreEntries };
    static constexpr int kPageSize = 100;
    static constexpr int kConditionRefused = -1;

    explicit ListOperation(List list) : list_(list) {}

    int code() const override;
    bool allows(const Account &account) const override;
    std::string answer(const TransRequest &request) override;

private:
    List list_;
};

} // namespace quarvel::server
