#pragma once

#include <string>
#include <string_view>

namespace quarvel::server {

class Database;

// Answers KVGetSysData: 'C', a version byte, the volume mode byte ('D' for the
// 5000 cm3/kg divisor, 'N' otherwise), a line feed, then the express kinds
// (EMB..EME), the destinations (GPB..GPE) and which kinds serve which
// destinations (EPB..EPE), ended by BEL. Every line ends with its own line
// feed before the closing marker. An unknown site gets "-1\n", which the
// client takes as no data.
class BaseDataText {
public:
    explicit BaseDataText(Database &db) : db_(db) {}

    // siteGbk: the w value as it came on the wire.
    std::string answer(std::string_view siteGbk);

private:
    void appendKinds(std::string &out);
    void appendDestinations(std::string &out);
    void appendServed(std::string &out);

    Database &db_;
};

} // namespace quarvel::server
