#pragma once

#include "Operation.h"

namespace quarvel::server {

// Operation 5: the customer's account balance. The reply is "1" and seven
// lines: credit limit, settlement balance, an unused 0, then amount and
// count of the shipments not yet settled, and amount and count of the
// uploaded pre-entries not yet taken over. A customer the server does not
// hold gets 0 (nothing found).
class BalanceOperation : public Operation {
public:
    int code() const override { return 5; }
    bool allows(const Account &account) const override;
    std::string answer(const TransRequest &request) override;
};

} // namespace quarvel::server
