#pragma once

namespace quarvel::server {

class Database;

// The tables of the company data. Texts are UTF-8 (GBK only on the wire);
// dates and times are texts "YYYY-MM-DD HH:MM:SS" so that they compare as
// texts, a business date with the time 00:00:00.
class Schema {
public:
    static constexpr int kVersion = 1;
    // Creates whatever is missing; refuses a file made by a newer server.
    static void apply(Database &db);
};

} // namespace quarvel::server
