#pragma once

#include "print/PrintOutcome.h"

namespace quarvel {

class ClientContext;

// A printout of the print ledger printed again from its PDF, to the
// destination configured now; the new printout is recorded as well. When
// the PDF is gone (removed after its keeping time, or by hand), a waybill or
// invoice is printed anew from its record while the record is still here;
// otherwise the operator is told it is gone.
class Reprint {
public:
    static PrintOutcome Again(ClientContext &context, int ledgerNumber, int copies = 1);
};

} // namespace quarvel
