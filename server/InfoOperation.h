#pragma once

#include "Operation.h"

namespace quarvel::server {

// Operation 2: the whole record of one of the customer's shipments for the
// information page. ID the record id (irid), NUMBER 0, payload ".". The
// reply is a run of tagged values, each "BEL<TAG>value</TAG>BEL", texts in
// GBK with control bytes made blanks so that no value can end early. A
// record that is not the customer's, or none at all, answers 0.
class InfoOperation : public Operation {
public:
    int code() const override { return 2; }
    bool allows(const Account &account) const override;
    std::string answer(const TransRequest &request) override;
};

} // namespace quarvel::server
