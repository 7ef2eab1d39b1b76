#pragma once

#include "print/PrintOutcome.h"

namespace quarvel {

class ClientContext;

// A printout of the print ledger printed again from its PDF, to the
// destination configured now; the new printout is recorded as well.
class Reprint {
public:
    static PrintOutcome Again(ClientContext &context, int ledgerNumber, int copies = 1);
};

} // namespace quarvel
