#pragma once

#include <stdexcept>
#include <string>

namespace quarvel::server {

class Database;

// The data of `--demo`: the site DEMO with one customer, its accounts,
// express kinds, destinations in China and abroad, which kinds serve which
// destinations, each kind's prices for the zones it serves, and a few
// shipments so that the balance shows something. Seeding again adds only
// what is missing.
//
// The demo accounts have published passwords and belong to customers 101
// and 102, so seeding is refused (DemoRefused, nothing written) when the
// file holds any customer that is not the demo's own: its customer 101 or
// 102 would be opened to everyone.
class DemoData {
public:
    static void seed(Database &db);
    // The first customer that is not demo data, as "ICID NAME (site SITE)",
    // or an empty text.
    static std::string otherCustomer(Database &db);
};

class DemoRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace quarvel::server
