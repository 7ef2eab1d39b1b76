#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quarvel::server {

// One KVTrans request: "<WER>1</WER><WCID>..</WCID><AC>..</AC><OP>..</OP>
// <ID>..</ID><NUMBER>..</NUMBER><LCID>..</LCID><RAND>..</RAND><DATA>payload
// BEL</DATA>\n", with one more BEL at the very end for some operations.
// Nothing inside is escaped, so the payload is whatever lies between
// "<DATA>" and the BEL "</DATA>" line feed that ends the body.
struct Envelope {
    std::string version;
    std::string site;
    std::string account;
    int op = 0;
    int id = 0;
    int number = 0;
    std::uint32_t locale = 0;
    int session = 0;
    std::string payload;
    bool trailingBel = false;

    // Returns 0, or the status that names the first element that is missing
    // or malformed (BadVersion .. BadCommand).
    static int parse(std::string_view body, Envelope &out);
};

} // namespace quarvel::server
