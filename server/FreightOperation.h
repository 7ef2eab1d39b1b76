#pragma once

#include "Operation.h"

namespace quarvel::server {

// Operation 3: the freight of one shipment. ID is the item type, NUMBER the
// chargeable weight in grams, the payload "DESTINATION\nKIND CODE\n". The
// reply is the freight ("%.2f", 0 when there is no price), a line feed and a
// breakdown for the operator in lines joined by "<BR>", ended by a line feed.
class FreightOperation : public Operation {
public:
    int code() const override { return 3; }
    bool allows(const Account &) const override { return true; }
    std::string answer(const TransRequest &request) override;
};

} // namespace quarvel::server
