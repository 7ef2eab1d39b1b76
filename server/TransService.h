#pragma once

#include "Operation.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace quarvel::server {

class Database;
class Sessions;

// Answers KVTrans: reads the envelope, checks the site, the account and the
// session, and hands the request to the operation named by OP. Every refusal
// is its status number alone on a line.
class TransService {
public:
    TransService(Database &db, Sessions &sessions) : db_(db), sessions_(sessions) {}

    // What a request is about, read without the database: its operation
    // (-1 when the envelope cannot be read) and the waybill number it names
    // (UTF-8; empty when none).
    struct Subject {
        int operation = -1;
        std::string waybill;
    };

    void add(std::unique_ptr<Operation> operation);
    std::string answer(std::string_view body);
    Subject subject(std::string_view body) const;

private:
    std::string dispatch(const Envelope &envelope);

    Database &db_;
    Sessions &sessions_;
    std::map<int, std::unique_ptr<Operation>> operations_;
};

} // namespace quarvel::server
