#pragma once

#include <string>

namespace quarvel::server {

class Database;
struct Account;
struct Envelope;

// What an operation gets once the envelope has been read and its session checked.
struct TransRequest {
    const Envelope &envelope;
    const Account &account;
    Database &db;
};

// One KVTrans operation. It checks its own ID, NUMBER and payload and
// answers with the reply body (GBK), its status number first. It runs with
// the database lock held; a DatabaseError it throws is answered with -9.
class Operation {
public:
    virtual ~Operation() = default;
    virtual int code() const = 0;
    virtual bool allows(const Account &account) const = 0;
    virtual std::string answer(const TransRequest &request) = 0;
    // The waybill number a request is about (GBK, as sent), for the test
    // hooks; empty when the operation names none or the payload is unreadable.
    virtual std::string waybill(const Envelope &) const { return {}; }
};

} // namespace quarvel::server
