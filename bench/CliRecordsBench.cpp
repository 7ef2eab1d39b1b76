// quarvelctl on a large pre-entry file against the same commands on an empty
// (or one-record) root: "records list" as text and as JSON, "records add",
// "records show" and "records delete" of a record in the middle. Every
// shipment has a goods line and a piece line, as keyed ones do, and texts
// that differ per record. Each command runs five times as its own process;
// the figures are the median, minimum and maximum wall time and the median of
// the peak memory (max RSS), and a run whose exit code is not 0 stops the
// bench. The delete is set against the cost of moving the records behind it
// in the same file, measured in this process.
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "text/Gbk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <vector>

using namespace quarvel;

namespace {

constexpr int kRuns = 5;

struct Run {
    double seconds;
    long maxRssKb;
};

Run runOnce(const std::vector<std::string> &args)
{
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        std::vector<char *> argv;
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s %s %s ended with status %d\n", args[3].c_str(), args[4].c_str(),
                     args.size() > 5 ? args[5].c_str() : "", status);
        std::exit(1);
    }
    return {clock.nsecsElapsed() / 1e9, usage.ru_maxrss};
}

// `args` gets the run's number (0..4) from `vary`, so that a delete takes
// another record each time.
template <class Vary> void measure(const char *what, int records, Vary vary)
{
    std::vector<Run> runs;
    for (int i = 0; i < kRuns; ++i)
        runs.push_back(runOnce(vary(i)));
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.seconds < b.seconds; });
    std::vector<long> rss;
    for (const Run &r : runs)
        rss.push_back(r.maxRssKb);
    std::sort(rss.begin(), rss.end());
    std::printf("%-20s %7d records  median %7.3f s  (min %7.3f, max %7.3f)  %8ld KB max RSS\n", what, records,
                runs[kRuns / 2].seconds, runs.front().seconds, runs.back().seconds, rss[kRuns / 2]);
}

void fill(const QString &root, int count)
{
    ScriptedPrompter prompter;
    ClientContext context(root);
    context.Start(prompter);
    for (int i = 0; i < count; ++i) {
        PreInputRecord r{};
        r.ddate = {2026, 12, static_cast<unsigned char>(1 + i % 28)};
        r.fweight = 0.25 + (i * 37 % 4000) / 100.0;
        r.ffee = 12 + i % 90;
        r.npieces = 1;
        Gbk::setField(r.cnum, QStringLiteral("BN%1").arg(i, 9, 10, QLatin1Char('0')));
        Gbk::setField(r.cdes, i % 3 ? QStringLiteral("广东深圳") : QStringLiteral("北京"));
        Gbk::setField(r.creceiver, QStringLiteral("收件人%1").arg(i * 7919 % 100000));
        Gbk::setField(r.creceiveraddr, QStringLiteral("深圳市南山区科技园%1栋%2号").arg(i % 300).arg(i));
        Gbk::setField(r.cphone, QStringLiteral("138%1").arg(i * 104729 % 100000000, 8, 10, QLatin1Char('0')));
        Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
        GoodsRecord g{};
        Gbk::setField(g.cname, QStringLiteral("货品%1").arg(i % 500));
        g.nquantity = 1 + i % 4;
        g.fprice = 9.5;
        WeightRecord w{};
        w.nweight = 250 + i % 4000;
        w.nlength = w.nwidth = w.nheight = 20;
        // Appended without a flush per record: filling is not what is timed.
        context.preInputs().Append(&r);
        g.iparent = w.iparent = r.iid;
        context.goods().Append(&g);
        context.weights().Append(&w);
    }
    context.Shutdown();
}

// What moving the records behind the middle one costs by itself: the same
// delete in this process, without start-up, look-up or flush.
double moveAlone(const QString &root, int records)
{
    ScriptedPrompter prompter;
    ClientContext context(root);
    context.Start(prompter);
    QElapsedTimer clock;
    clock.start();
    context.preInputs().DeleteAt(records / 2);
    const double seconds = clock.nsecsElapsed() / 1e9;
    context.Shutdown();
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string ctl = QUARVELCTL_PATH;
    for (int n : {1, count}) {
        QTemporaryDir dir;
        const std::string root = dir.path().toStdString();
        fill(dir.path(), n);
        const auto same = [&](std::vector<std::string> tail) {
            return [&root, &ctl, tail](int) {
                std::vector<std::string> args{ctl, "--root", root};
                args.insert(args.end(), tail.begin(), tail.end());
                return args;
            };
        };
        measure("records list", n, same({"records", "list"}));
        measure("records list --json", n, same({"records", "list", "--json"}));
        measure("records show", n, same({"records", "show", std::to_string(n / 2 + 1)}));
        measure("records add", n,
                same({"records", "add", "cdes=北京", "creceiver=王五", "cphone=13800138000",
                      "creceiveraddr=朝阳区建国路1号", "creceivercountry=中国", "creceiverprov=北京"}));
        // Each run deletes another record from the middle; the small root
        // deletes the records the adds made.
        measure("records delete", n, [&root, &ctl, n](int run) {
            const int id = n > 1 ? n / 2 + 1 + run : n + 1 + run;
            return std::vector<std::string>{ctl, "--root", root, "records", "delete", std::to_string(id)};
        });
        if (n > 1)
            std::printf("%-20s %7d records  %7.3f s  (the records behind the middle one moved, in process)\n",
                        "move alone", n, moveAlone(dir.path(), n));
    }
    return 0;
}
