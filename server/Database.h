#pragma once

#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace quarvel::server {

class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Statement;

// The server's one SQLite connection. Request threads share it; each request
// holds lock() for its whole database work, so a reply never sees half of
// another request's writes.
class Database {
public:
    explicit Database(const std::string &path);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    void exec(const std::string &sql);
    Statement prepare(std::string_view sql);
    std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex_); }
    std::int64_t lastInsertId() const;
    int changes() const;
    sqlite3 *handle() const { return db_; }
    [[noreturn]] void fail(const std::string &what) const;

private:
    sqlite3 *db_ = nullptr;
    std::mutex mutex_;
};

// A prepared statement; parameters are numbered from 1, columns from 0.
class Statement {
public:
    Statement(Database &db, std::string_view sql);
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    Statement &operator=(Statement &&) = delete;

    Statement &bind(int index, std::int64_t value);
    Statement &bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement &bind(int index, double value);
    Statement &bind(int index, std::string_view text);
    Statement &bind(int index, const char *text) { return bind(index, std::string_view(text)); }
    Statement &bindBlob(int index, std::string_view bytes);

    // Runs one step; true while a row is there to read.
    bool step();
    // Runs a statement that returns no rows and makes it ready to run again.
    void run();
    void reset();

    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    bool isNull(int column) const;

private:
    Database *db_;
    sqlite3_stmt *stmt_ = nullptr;
};

// Commits at commit(); rolls back when left without it.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &db_;
    bool done_ = false;
};

} // namespace quarvel::server
