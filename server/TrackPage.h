#pragma once

#include <string>
#include <string_view>

namespace quarvel::server {

class Database;

// Answers the browser link GET ?TarvoTrack&cno=NUMBER: an HTML page (UTF-8)
// with the shipment's state and its history, one line per accepted scan in
// the order they arrived. It needs no login, like a courier's public tracking
// page, so it shows where the shipment went and who signed, never the
// sender's or the receiver's details. Every value is escaped.
class TrackPage {
public:
    explicit TrackPage(Database &db) : db_(db) {}

    // `query` is the request's query: everything after the first '?'.
    std::string answer(std::string_view query);

    // Text made safe for HTML: markup characters as entities, control
    // characters as blanks.
    static std::string escape(std::string_view utf8);
    // The waybill number of the query, percent-decoded; empty when none.
    static std::string number(std::string_view query);

private:
    Database &db_;
};

} // namespace quarvel::server
