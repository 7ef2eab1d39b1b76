#pragma once

#include <QString>

#include <sqlite3.h>

#include <cstdio>
#include <string>

// Writes into a stand-in server's data file while the server runs (SQLite
// takes care of the locking): shipments a test needs that the demo data does
// not hold, such as hundreds of shipments to scan or a second site's
// shipments. Tests that use it link SQLite::SQLite3.
class TarvoSeed {
public:
    explicit TarvoSeed(const QString &dataFile)
    {
        if (sqlite3_open_v2(dataFile.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(db_, 5000);
        } else {
            sqlite3_close(db_);
            db_ = nullptr;
        }
    }
    ~TarvoSeed() { sqlite3_close(db_); }
    TarvoSeed(const TarvoSeed &) = delete;
    TarvoSeed &operator=(const TarvoSeed &) = delete;

    // Runs the statements; false (with SQLite's message in error()) when one fails.
    bool exec(const std::string &sql)
    {
        char *message = nullptr;
        const bool ok = db_ && sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK;
        error_ = message ? message : (db_ ? "" : "data file not open");
        sqlite3_free(message);
        return ok;
    }

    // Shipments PREFIX000001 ... of the customer, sent today (state 1), in one
    // transaction; dated today so the customer's default record query finds them.
    bool addShipments(const std::string &prefix, int count, int customer = 101)
    {
        std::string sql = "BEGIN;";
        for (int i = 1; i <= count; ++i) {
            char number[64];
            std::snprintf(number, sizeof number, "%s%06d", prefix.c_str(), i);
            sql += "INSERT INTO client_rec (icid, cac, ddate, cemskind, cfrom, cdes, cnum, nstate) VALUES (" +
                   std::to_string(customer) +
                   ", 'seed', date('now', 'localtime') || ' 00:00:00', 'TK', '深圳', "
                   "'北京', '" +
                   number + "', 1);";
        }
        return exec(sql + "COMMIT;");
    }

    // A second site with a customer 9202 and its shipment, which DEMO's checkpoint must not scan.
    bool addOtherSite(const std::string &waybill)
    {
        return exec("INSERT OR IGNORE INTO site (cwcid, cname) VALUES ('OTHER', '别的网点');"
                    "INSERT OR IGNORE INTO client (icid, cwcid, cname) VALUES (9202, 'OTHER', '别的客户');"
                    "INSERT INTO client_rec (icid, cac, cemskind, cnum, nstate) VALUES (9202, 'other', 'TK', '" +
                    waybill + "', 1);");
    }

    const std::string &error() const { return error_; }

private:
    sqlite3 *db_ = nullptr;
    std::string error_;
};
