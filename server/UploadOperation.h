#pragma once

#include "Operation.h"

namespace quarvel::server {

class ShipmentUpload;

// Operation 0: one shipment of a customer's counter, as a call of the upload
// procedure of the account's target. The reply is the new record's id (above
// 0), -2 when the waybill number is already held, -1 when the data cannot be
// stored; nothing is stored unless the whole shipment with its lines is.
class UploadOperation : public Operation {
public:
    int code() const override { return 0; }
    bool allows(const Account &account) const override;
    std::string answer(const TransRequest &request) override;
    std::string waybill(const Envelope &envelope) const override;

private:
    static std::int64_t store(const TransRequest &request, const ShipmentUpload &upload);
};

} // namespace quarvel::server
