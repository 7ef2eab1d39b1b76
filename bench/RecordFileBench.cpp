// Appends, look-ups by id and deletes from the middle of a pre-entry file,
// against SQLite keeping the same 2,396-byte records (WAL, synchronous=NORMAL,
// one transaction per append), in the same run.
#include "storage/PreInputFile.h"
#include "text/Gbk.h"

#include <QTemporaryDir>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

PreInputRecord sample(int i)
{
    PreInputRecord r{};
    r.ddate = {2026, 12, 7};
    r.fweight = 1.5 + i;
    Gbk::setField(r.cnum, QStringLiteral("A26120701%1").arg(i, 5, 10, QLatin1Char('0')));
    Gbk::setField(r.cdes, QStringLiteral("北京市朝阳区"));
    Gbk::setField(r.creceiver, QStringLiteral("王五"));
    return r;
}

struct Figures {
    double append = 0;
    double lookup = 0;
    double remove = 0;
    double flush = 0;
};

Figures runRecordFile(const QString &path, std::vector<PreInputRecord> records, const std::vector<int> &probes,
                      int deletes)
{
    Figures f;
    PreInputFile file;
    file.OpenRecords(path);
    auto t = Clock::now();
    for (PreInputRecord &r : records)
        file.Append(&r);
    f.append = seconds(t);
    // Like SQLite's synchronous=NORMAL, the appends themselves do not wait for
    // the disk; the one write-back at the end is timed apart.
    t = Clock::now();
    file.Flush();
    f.flush = seconds(t);
    t = Clock::now();
    long long sum = 0;
    for (int id : probes)
        sum += file.Find(id)->iid;
    f.lookup = seconds(t);
    t = Clock::now();
    for (int i = 0; i < deletes; ++i)
        file.DeleteAt(file.GetCount() / 2);
    file.Flush();
    f.remove = seconds(t);
    if (sum == 0)
        std::puts("");
    return f;
}

void exec(sqlite3 *db, const char *sql)
{
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

Figures runSqlite(const QString &path, std::vector<PreInputRecord> records, const std::vector<int> &probes, int deletes)
{
    const int count = static_cast<int>(records.size());
    Figures f;
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    exec(db, "PRAGMA journal_mode=WAL");
    exec(db, "PRAGMA synchronous=NORMAL");
    exec(db, "CREATE TABLE rec(iid INTEGER PRIMARY KEY, body BLOB NOT NULL)");
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO rec(iid, body) VALUES(?, ?)", -1, &insert, nullptr);
    auto t = Clock::now();
    for (int i = 0; i < count; ++i) {
        PreInputRecord &r = records[static_cast<std::size_t>(i)];
        r.iid = i + 1;
        exec(db, "BEGIN");
        sqlite3_bind_int(insert, 1, r.iid);
        sqlite3_bind_blob(insert, 2, &r, sizeof r, SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        exec(db, "COMMIT");
    }
    f.append = seconds(t);
    sqlite3_stmt *select = nullptr;
    sqlite3_prepare_v2(db, "SELECT body FROM rec WHERE iid = ?", -1, &select, nullptr);
    t = Clock::now();
    long long sum = 0;
    for (int id : probes) {
        sqlite3_bind_int(select, 1, id);
        if (sqlite3_step(select) == SQLITE_ROW)
            sum += static_cast<const PreInputRecord *>(sqlite3_column_blob(select, 0))->iid;
        sqlite3_reset(select);
    }
    f.lookup = seconds(t);
    sqlite3_stmt *remove = nullptr;
    sqlite3_prepare_v2(db, "DELETE FROM rec WHERE iid = (SELECT iid FROM rec ORDER BY iid LIMIT 1 OFFSET ?)", -1,
                       &remove, nullptr);
    t = Clock::now();
    for (int i = 0; i < deletes; ++i) {
        exec(db, "BEGIN");
        sqlite3_bind_int(remove, 1, (count - i) / 2);
        sqlite3_step(remove);
        sqlite3_reset(remove);
        exec(db, "COMMIT");
    }
    f.remove = seconds(t);
    sqlite3_finalize(insert);
    sqlite3_finalize(select);
    sqlite3_finalize(remove);
    sqlite3_close(db);
    if (sum == 0)
        std::puts("");
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const bool fileOnly = argc > 2 && std::string(argv[2]) == "file";
    const int deletes = fileOnly ? 0 : 1000;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(1, count);
    std::vector<int> probes(200000);
    for (int &p : probes)
        p = pick(random);

    // The records are made before the clocks run: only storing them is timed.
    std::vector<PreInputRecord> records;
    for (int i = 0; i < count; ++i)
        records.push_back(sample(i));
    QTemporaryDir dir;
    const Figures mine = runRecordFile(dir.filePath(QStringLiteral("recinput.dat")), records, probes, deletes);
    // "file" as a second argument times the record file alone (for profiling).
    if (fileOnly) {
        std::printf("appends %.3f s, flush %.3f s, look-ups %.3f s\n", mine.append, mine.flush, mine.lookup);
        return 0;
    }
    const Figures lite = runSqlite(dir.filePath(QStringLiteral("rec.sqlite")), records, probes, deletes);
    std::printf("%d appends:        record file %8.3f s   SQLite %8.3f s   ratio %6.1fx\n", count, mine.append,
                lite.append, lite.append / mine.append);
    std::printf("%zu look-ups:     record file %8.3f s   SQLite %8.3f s   ratio %6.1fx\n", probes.size(), mine.lookup,
                lite.lookup, lite.lookup / mine.lookup);
    std::printf("record file: one write-back of all %d records to the disk %.3f s\n", count, mine.flush);
    std::printf("%d middle deletes: record file %8.3f s   SQLite %8.3f s   ratio %6.1fx\n", deletes, mine.remove,
                lite.remove, lite.remove / mine.remove);
    return 0;
}
