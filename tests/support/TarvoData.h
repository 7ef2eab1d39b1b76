#pragma once

#include <QString>

#include <sqlite3.h>

#include <string>
#include <vector>

// Reads a stand-in server's data file, read-only, while the server runs or
// after it stopped: how tests check what the server stored. Texts come back
// as UTF-8, NULL as an empty text. Tests that use it link SQLite::SQLite3.
// The tables and columns are listed in server/README.md.
class TarvoData {
public:
    using Row = std::vector<std::string>;

    explicit TarvoData(const QString &dataFile)
    {
        if (sqlite3_open_v2(dataFile.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(db_, 5000);
        } else {
            sqlite3_close(db_);
            db_ = nullptr;
        }
    }
    ~TarvoData() { sqlite3_close(db_); }
    TarvoData(const TarvoData &) = delete;
    TarvoData &operator=(const TarvoData &) = delete;

    bool isOpen() const { return db_ != nullptr; }

    // Every row of the query, the parameters bound in order as texts. A query
    // that cannot run gives one row holding SQLite's message after "error: ".
    std::vector<Row> rows(const std::string &sql, const std::vector<std::string> &parameters = {}) const
    {
        std::vector<Row> result;
        if (!db_)
            return {{"error: data file not open"}};
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            return {{std::string("error: ") + sqlite3_errmsg(db_)}};
        for (std::size_t i = 0; i < parameters.size(); ++i)
            sqlite3_bind_text(stmt, static_cast<int>(i + 1), parameters[i].c_str(),
                              static_cast<int>(parameters[i].size()), SQLITE_TRANSIENT);
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            Row row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                row.emplace_back(text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)))
                                      : std::string());
            }
            result.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE)
            result = {{std::string("error: ") + sqlite3_errmsg(db_)}};
        sqlite3_finalize(stmt);
        return result;
    }

    // The first column of the first row, or an empty text.
    std::string text(const std::string &sql, const std::vector<std::string> &parameters = {}) const
    {
        const auto all = rows(sql, parameters);
        return all.empty() || all.front().empty() ? std::string() : all.front().front();
    }

private:
    sqlite3 *db_ = nullptr;
};
