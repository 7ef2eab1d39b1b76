#include "ServerData.h"

#include <sqlite3.h>

namespace {

class Connection {
public:
    explicit Connection(const QString &file)
    {
        if (sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
            sqlite3_busy_timeout(db_, 5000);
    }
    ~Connection() { sqlite3_close(db_); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    sqlite3 *db() const { return db_; }

private:
    sqlite3 *db_ = nullptr;
};

} // namespace

std::string runSql(const QString &dataFile, const std::string &sql)
{
    Connection c(dataFile);
    char *message = nullptr;
    if (sqlite3_exec(c.db(), sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK)
        return {};
    std::string error = message ? message : "cannot open the data file";
    sqlite3_free(message);
    return error;
}

std::string queryText(const QString &dataFile, const std::string &sql)
{
    Connection c(dataFile);
    sqlite3_stmt *stmt = nullptr;
    std::string value;
    if (sqlite3_prepare_v2(c.db(), sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        value = text ? text : "";
    }
    sqlite3_finalize(stmt);
    return value;
}
