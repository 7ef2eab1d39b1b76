// The pre-entry record file against SQLite holding the same 2,396-byte
// records by id (WAL, one transaction per change), in the same run, at two
// equal durabilities:
//   no sync:  the record file never flushes inside the timed loop, SQLite runs
//             with synchronous=OFF; both leave the writing to the kernel;
//   synced:   the record file flushes after every change, as the program does
//             after each save, and SQLite runs with synchronous=FULL, so each
//             change is on the disk when it returns on both sides.
// Appends, look-ups by id and deletes by id (random ids on both sides) are
// timed; each figure is the median of five rounds with the minimum and the
// maximum. The records are unique (number, receiver, address per record).
#include "storage/PreInputFile.h"
#include "text/Gbk.h"

#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

PreInputRecord sample(int i)
{
    PreInputRecord r{};
    r.ddate = {2026, 12, static_cast<unsigned char>(1 + i % 28)};
    r.fweight = 0.5 + (i * 37 % 4000) / 100.0;
    Gbk::setField(r.cnum, QStringLiteral("A26120701%1").arg(i, 5, 10, QLatin1Char('0')));
    Gbk::setField(r.cdes, i % 3 ? QStringLiteral("北京") : QStringLiteral("广东深圳"));
    Gbk::setField(r.creceiver, QStringLiteral("收件人%1").arg(i * 7919 % 100000));
    Gbk::setField(r.creceiveraddr, QStringLiteral("朝阳区建国路%1号院%2室").arg(i % 900).arg(i));
    return r;
}

// The three timed phases of one round.
struct Round {
    double append = 0;
    double lookup = 0;
    double remove = 0;
};

struct Work {
    std::vector<PreInputRecord> records;
    std::vector<int> probes;
    std::vector<int> deletes;
};

Round roundRecordFile(const QString &path, const Work &work, bool synced)
{
    Round f;
    PreInputFile file;
    file.OpenRecords(path);
    std::vector<PreInputRecord> records = work.records;
    auto t = Clock::now();
    for (PreInputRecord &r : records) {
        file.Append(&r);
        if (synced)
            file.Flush();
    }
    f.append = seconds(t);
    file.Flush();
    t = Clock::now();
    long long sum = 0;
    for (int id : work.probes)
        if (const PreInputRecord *r = file.Find(id))
            sum += r->iid;
    f.lookup = seconds(t);
    t = Clock::now();
    for (int id : work.deletes) {
        file.DeleteById(id);
        if (synced)
            file.Flush();
    }
    f.remove = seconds(t);
    if (sum == 0)
        std::puts("");
    file.Close();
    return f;
}

void exec(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "SQLite: %s: %s\n", sql, sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Runs `statement` once per value, each in a transaction of its own.
void eachInTransaction(sqlite3 *db, sqlite3_stmt *statement, const std::vector<int> &values,
                       const std::function<void(int)> &bind)
{
    for (int v : values) {
        exec(db, "BEGIN");
        bind(v);
        sqlite3_step(statement);
        sqlite3_reset(statement);
        exec(db, "COMMIT");
    }
}

Round roundSqlite(const QString &path, const Work &work, bool synced)
{
    Round f;
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    exec(db, "PRAGMA journal_mode=WAL");
    exec(db, synced ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=OFF");
    exec(db, "CREATE TABLE rec(iid INTEGER PRIMARY KEY, body BLOB NOT NULL)");
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO rec(iid, body) VALUES(?, ?)", -1, &insert, nullptr);
    std::vector<int> ids(work.records.size());
    for (std::size_t i = 0; i < ids.size(); ++i)
        ids[i] = static_cast<int>(i);
    auto t = Clock::now();
    eachInTransaction(db, insert, ids, [&](int i) {
        PreInputRecord r = work.records[static_cast<std::size_t>(i)];
        r.iid = i + 1;
        sqlite3_bind_int(insert, 1, r.iid);
        sqlite3_bind_blob(insert, 2, &r, sizeof r, SQLITE_TRANSIENT);
    });
    f.append = seconds(t);
    sqlite3_stmt *select = nullptr;
    sqlite3_prepare_v2(db, "SELECT body FROM rec WHERE iid = ?", -1, &select, nullptr);
    t = Clock::now();
    long long sum = 0;
    for (int id : work.probes) {
        sqlite3_bind_int(select, 1, id);
        if (sqlite3_step(select) == SQLITE_ROW)
            sum += static_cast<const PreInputRecord *>(sqlite3_column_blob(select, 0))->iid;
        sqlite3_reset(select);
    }
    f.lookup = seconds(t);
    sqlite3_stmt *remove = nullptr;
    sqlite3_prepare_v2(db, "DELETE FROM rec WHERE iid = ?", -1, &remove, nullptr);
    t = Clock::now();
    eachInTransaction(db, remove, work.deletes, [&](int id) { sqlite3_bind_int(remove, 1, id); });
    f.remove = seconds(t);
    sqlite3_finalize(insert);
    sqlite3_finalize(select);
    sqlite3_finalize(remove);
    sqlite3_close(db);
    if (sum == 0)
        std::puts("");
    return f;
}

struct Spread {
    double median, min, max;
};

Spread spread(std::vector<Round> rounds, double Round::*phase)
{
    std::vector<double> v;
    for (const Round &r : rounds)
        v.push_back(r.*phase);
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.front(), v.back()};
}

void line(const char *what, std::size_t count, const std::vector<Round> &mine, const std::vector<Round> &lite,
          double Round::*phase)
{
    const Spread a = spread(mine, phase);
    const Spread b = spread(lite, phase);
    std::printf("  %7zu %-9s record file %8.3f s (%.3f-%.3f)   SQLite %8.3f s (%.3f-%.3f)   SQLite/file %8.3fx\n",
                count, what, a.median, a.min, a.max, b.median, b.min, b.max, b.median / a.median);
}

Work makeWork(int count, int probes, int deletes)
{
    Work w;
    for (int i = 0; i < count; ++i)
        w.records.push_back(sample(i));
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(1, count);
    for (int i = 0; i < probes; ++i)
        w.probes.push_back(pick(random));
    std::vector<int> ids(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        ids[static_cast<std::size_t>(i)] = i + 1;
    std::shuffle(ids.begin(), ids.end(), random);
    w.deletes.assign(ids.begin(), ids.begin() + std::min(deletes, count));
    return w;
}

void compare(const char *title, const Work &work, bool synced)
{
    std::vector<Round> mine, lite;
    for (int round = 0; round < kRounds; ++round) {
        QTemporaryDir dir;
        mine.push_back(roundRecordFile(dir.filePath(QStringLiteral("recinput.dat")), work, synced));
        lite.push_back(roundSqlite(dir.filePath(QStringLiteral("rec.sqlite")), work, synced));
    }
    std::printf("%s (median of %d rounds, min-max):\n", title, kRounds);
    line("appends", work.records.size(), mine, lite, &Round::append);
    line("look-ups", work.probes.size(), mine, lite, &Round::lookup);
    line("deletes", work.deletes.size(), mine, lite, &Round::remove);
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    // Every synced change waits for the disk, so that side runs on fewer
    // changes; the rates compare either way.
    const int syncedCount = argc > 2 ? std::atoi(argv[2]) : 2000;
    compare("no sync on either side", makeWork(count, 200000, 1000), false);
    compare("synced after every change on both sides", makeWork(syncedCount, 20000, 200), true);
    return 0;
}
