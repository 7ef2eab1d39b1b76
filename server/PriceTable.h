#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quarvel::server {

class Database;

// Freight by express kind, the destination's price zone and the item type:
// a first weight step at one price and every further step, begun, at
// another. A kind quotes only for the destinations it serves.
class PriceTable {
public:
    struct Destination {
        long long id = 0;
        int zone = 0;
        std::string name;
    };

    struct Price {
        std::string kind;
        std::string kindName;
        int firstGrams = 0;
        double first = 0;
        int nextGrams = 0;
        double next = 0;
        std::string extra;
        int minDays = 0;
        int maxDays = 0;

        // The freight for a weight, rounded to the cent.
        double freight(int grams) const;
        // The number of further steps a weight is charged.
        int nextSteps(int grams) const;
    };

    explicit PriceTable(Database &db) : db_(db) {}

    // The destination of that name (UTF-8); blanks around it are ignored.
    std::optional<Destination> destination(const std::string &name) const;
    std::optional<Price> price(const std::string &kindCode, const Destination &to, int itemType) const;
    // Every kind that serves the destination and has a price, in the kinds' order.
    std::vector<Price> prices(const Destination &to, int itemType) const;

private:
    Database &db_;
};

} // namespace quarvel::server
