#pragma once

#include <string>
#include <string_view>

namespace quarvel::server {

class Database;

// Answers KVGetSysModel, the template download (POST body "w=SITE", then
// "w=SITE&cmodel=NAME" per template, GBK, not URL-encoded):
//   list:      "+COUNT\n" and one line per template, its kind digit (0
//              invoice, 1 waybill, 2 label) followed by its name
//   template:  "+0\nT\nX\n", then the definition text (T + 1 bytes, so T is
//              its length less one, as the client counts) and the X bytes
//              of the spreadsheet
// An unknown site gets "-1\n", an unknown template "-2\n". Templates are
// found by name; when kinds share a name, the lowest kind is sent.
class SysModelText {
public:
    explicit SysModelText(Database &db) : db_(db) {}

    std::string answer(std::string_view body);

private:
    std::string list(const std::string &site);
    std::string one(const std::string &site, const std::string &name);

    Database &db_;
};

} // namespace quarvel::server
