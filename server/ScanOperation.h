#pragma once

#include "Operation.h"

namespace quarvel::server {

// Operation 4: one checkpoint scan, as a call of the scan procedure of its
// language version. The reply is the new scan's id (above 0), -2 when no
// shipment has the waybill number, -3 when that shipment was signed for
// already, -1 when the data cannot be stored. A scan moves its shipment on:
// arrival and departure to 1, delivery to 2, signing to 3 (with the signer
// and the time), an exception to its state.
class ScanOperation : public Operation {
public:
    int code() const override { return 4; }
    bool allows(const Account &account) const override;
    std::string answer(const TransRequest &request) override;
    std::string waybill(const Envelope &envelope) const override;
};

} // namespace quarvel::server
