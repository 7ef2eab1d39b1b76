#pragma once

namespace quarvel::server {

class Database;

// The data of `--demo`: the site DEMO with one customer, its accounts,
// express kinds, destinations in China and abroad, which kinds serve which
// destinations, each kind's prices for the zones it serves, and a few
// shipments so that the balance shows something. Seeding again adds only
// what is missing.
class DemoData {
public:
    static void seed(Database &db);
};

} // namespace quarvel::server
