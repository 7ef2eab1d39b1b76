#pragma once

#include "Operation.h"

namespace quarvel::server {

// Operation 9: the price of a shipment with every express kind that serves
// the destination. ID is the item type, NUMBER the weight in grams, the
// payload "DESTINATION\n". The reply is the number of lines that follow (0
// when nothing serves the destination), then per kind
// "CODE\tFREIGHT\tEXTRA\tMIN DAYS\tMAX DAYS\n".
class QuoteOperation : public Operation {
public:
    int code() const override { return 9; }
    bool allows(const Account &) const override { return true; }
    std::string answer(const TransRequest &request) override;
};

} // namespace quarvel::server
