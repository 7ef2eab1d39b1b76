#pragma once

#include "Operation.h"

namespace quarvel::server {

// Operation 7: one shipment of the session's customer for printing its
// waybill. ID is the record id (irid), NUMBER 1, and the payload must be
// exactly " FROM tarvo.dbo.client_rec WHERE irid=ID" (it is compared, never
// run). The reply is "1\n" and every field as "\a<TAG>value</TAG>\a";
// a record that is not the customer's reads as not found ("0\n").
class WaybillOperation : public Operation {
public:
    int code() const override { return 7; }
    bool allows(const Account &account) const override;
    std::string answer(const TransRequest &request) override;
    // The tagged fields of one client_rec row (GBK), as the reply carries them.
    static std::string tagged(Database &db, int recordId, int clientId, bool &found);
};

} // namespace quarvel::server
