#include "ScanMovement.h"

#include "Database.h"

namespace quarvel::server {

namespace {

constexpr std::int64_t kArrival = 0;
constexpr std::int64_t kDeparture = 1;
constexpr std::int64_t kDelivery = 2;
constexpr std::int64_t kSignature = 3;
constexpr std::int64_t kException = 4;
// Exception states run from 4 (超时) to 10 (销毁); 0 means none was chosen.
constexpr std::int64_t kFirstExceptionState = 4;

} // namespace

std::optional<ScanMovement::Shipment> ScanMovement::find(Database &db, const std::string &waybill,
                                                         const std::string &site)
{
    auto shipment = db.prepare("SELECT r.irid, r.nstate FROM client_rec r JOIN client c ON c.icid = r.icid "
                               "WHERE r.cnum = ? AND c.cwcid = ?");
    shipment.bind(1, waybill).bind(2, site);
    if (!shipment.step())
        return std::nullopt;
    return Shipment{shipment.integer(0), static_cast<int>(shipment.integer(1))};
}

int ScanMovement::stateAfter(std::int64_t kind, std::int64_t exceptionState)
{
    switch (kind) {
    case kArrival:
    case kDeparture:
    case kDelivery:
        return kInTransit;
    case kSignature:
        return kSigned;
    case kException:
        return exceptionState >= kFirstExceptionState ? static_cast<int>(exceptionState) : 0;
    default:
        return 0;
    }
}

void ScanMovement::apply(Database &db, std::int64_t shipmentId, std::int64_t kind, std::int64_t exceptionState,
                         const std::string &signer, const std::optional<std::string> &signedAt)
{
    const int state = stateAfter(kind, exceptionState);
    if (state == kSigned) {
        auto sign = db.prepare("UPDATE client_rec SET nstate = ?, csigner = ?, "
                               "dsigndate = COALESCE(?, datetime('now', 'localtime')) WHERE irid = ?");
        sign.bind(1, state).bind(2, signer);
        if (signedAt)
            sign.bind(3, *signedAt);
        sign.bind(4, shipmentId).run();
    } else if (state > 0) {
        auto move = db.prepare("UPDATE client_rec SET nstate = ? WHERE irid = ?");
        move.bind(1, state).bind(2, shipmentId).run();
    }
}

} // namespace quarvel::server
