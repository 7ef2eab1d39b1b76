#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quarvel::server {

class Database;

// What an accepted scan does to its shipment: arrival, departure and out for
// delivery put it in transit, a signature delivers it with the signer and the
// signing time, an exception with a chosen state gives it that state. Only
// shipments of the checkpoint's own site can be scanned.
class ScanMovement {
public:
    static constexpr int kInTransit = 2;
    static constexpr int kSigned = 3;

    struct Shipment {
        std::int64_t id = 0;
        int state = 0;
    };

    // The shipment with this waybill number (UTF-8, compared byte for byte)
    // whose customer belongs to the site; nothing for any other shipment, so
    // a checkpoint learns nothing about another site's shipments.
    static std::optional<Shipment> find(Database &db, const std::string &waybill, const std::string &site);
    // The state a scan of this kind leaves; 0 leaves the state as it is.
    static int stateAfter(std::int64_t kind, std::int64_t exceptionState);
    // Moves the shipment on; `signedAt` is the signing time in the server's
    // form (the server's clock when the scan sent none).
    static void apply(Database &db, std::int64_t shipmentId, std::int64_t kind, std::int64_t exceptionState,
                      const std::string &signer, const std::optional<std::string> &signedAt);
};

} // namespace quarvel::server
