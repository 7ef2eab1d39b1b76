// Checkpoint scans saved one after another through the scan page's form, as
// a scanner does for hours: the cost of scan number 100 against scan number
// 10,000. On the disk every save is written through to it (msync); in memory
// (/dev/shm) the write-back costs nothing and the program's own work is what
// is timed. Then the duplicate search alone: the number index against reading
// the file backwards, as a search without an index would.
// Exits 1 when a save is refused or scan 10,000 costs more than twice scan 100
// in either run: a session of hours must not slow down as the file grows.
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "scan/CheckForm.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

double micros(Clock::time_point from)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - from).count();
}

QString number(int i)
{
    return QStringLiteral("BN%1CN").arg(i, 9, 10, QLatin1Char('0'));
}

// The median of the saves numbered from `first` to `last` (1-based).
double median(const std::vector<double> &times, int first, int last)
{
    std::vector<double> window(times.begin() + first - 1, times.begin() + last);
    std::nth_element(window.begin(), window.begin() + window.size() / 2, window.end());
    return window[window.size() / 2];
}

struct Run {
    std::vector<double> saves;
    double indexed = 0;
    double scanned = 0;
};

Run run(const QString &folder, int count)
{
    Run r;
    ClientContext context(folder + u'/');
    ScriptedPrompter prompter;
    if (!context.Start(prompter)) {
        std::fprintf(stderr, "cannot start in %s\n", qPrintable(folder));
        return r;
    }
    CheckForm form(context, prompter, [] { return QDateTime(QDate(2026, 3, 4), QTime(5, 6)); });
    form.values().place = QStringLiteral("深圳转运中心");
    form.values().info = QStringLiteral("快件已到达[地点]，下一站[下一站]");
    for (int i = 1; i <= count; ++i) {
        form.values().number = number(i);
        const auto t = Clock::now();
        if (!form.SaveScan()) {
            std::fprintf(stderr, "save %d refused: %s\n", i, qPrintable(prompter.lastText()));
            return r;
        }
        r.saves.push_back(micros(t));
    }
    // The duplicate search of a save at the end of the session.
    CheckFile &file = context.checks();
    const int probes = 1000;
    auto t = Clock::now();
    long long found = 0;
    for (int p = 0; p < probes; ++p) {
        const QByteArray cnum = number(1 + p * 7).toLatin1();
        found += file.FindLastByNumber(cnum) ? 1 : 0;
    }
    r.indexed = micros(t) / probes;
    t = Clock::now();
    for (int p = 0; p < probes; ++p) {
        const QByteArray cnum = number(1 + p * 7).toLatin1();
        for (int i = file.GetCount() - 1; i >= 0; --i)
            if (std::strncmp(file.At(i)->cnum, cnum.constData(), sizeof file.At(i)->cnum) == 0) {
                ++found;
                break;
            }
    }
    r.scanned = micros(t) / probes;
    if (found != 2 * probes)
        std::fprintf(stderr, "look-ups found %lld of %d\n", found, 2 * probes);
    context.Shutdown();
    return r;
}

constexpr double kAllowedRatio = 2.0;

// Prints the run's figures; false when it did not finish or saves slowed down
// beyond the allowed ratio.
bool report(const char *where, const Run &r, int count)
{
    if (static_cast<int>(r.saves.size()) < count) {
        std::printf("%s: stopped after %zu of %d saves\n", where, r.saves.size(), count);
        return false;
    }
    const double at100 = median(r.saves, 80, 120);
    const double at10000 = median(r.saves, 9980, 10020);
    const double ratio = at10000 / at100;
    std::printf("%s: save of scan 100 %8.1f us, of scan 10,000 %8.1f us (medians of 41), ratio %.2f\n", where, at100,
                at10000, ratio);
    std::printf("%s: duplicate search in %d scans: index %.2f us, reading the file backwards %.1f us\n", where, count,
                r.indexed, r.scanned);
    if (ratio > kAllowedRatio) {
        std::printf("%s: FAILED: scan 10,000 costs %.2f times scan 100, more than the allowed %.1f\n", where, ratio,
                    kAllowedRatio);
        return false;
    }
    return true;
}

} // namespace

int main()
{
    const int count = 10020;
    bool ok = true;
    {
        QTemporaryDir disk;
        ok = report("disk  ", run(disk.path(), count), count) && ok;
    }
    if (QDir(QStringLiteral("/dev/shm")).exists()) {
        QTemporaryDir memory(QStringLiteral("/dev/shm/scanbench-XXXXXX"));
        ok = report("memory", run(memory.path(), count), count) && ok;
    }
    return ok ? 0 : 1;
}
