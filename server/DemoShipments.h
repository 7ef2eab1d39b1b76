#pragma once

namespace quarvel::server {

class Database;

// The shipments of the demo lists: 320 shipments of customer 101 over the
// last 60 days in every state (the older ones delivered, with signer and
// time), settled week by week, with settlements of both kinds; and a second
// customer 102 (account "other") with shipments, waiting pre-entries and
// settlements of its own, which customer 101 must never see. Seeding again
// adds only what is missing.
class DemoShipments {
public:
    static constexpr int kShipments = 320;
    static constexpr int kOtherShipments = 40;

    static void seed(Database &db);
};

} // namespace quarvel::server
