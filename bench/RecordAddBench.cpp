// What one writing command costs on a small and on a large pre-entry file:
// `quarvelctl records add` run as a process against a root holding 0 and
// 100,000 shipments (each with a goods line and a piece), closed cleanly and
// after a kill (the files then get their full check at open). Wall time and
// peak memory of each run come from wait4.
//   record_add_bench [QUARVELCTL [RUNS [RECORDS [ROOT]]]]
// With ROOT, the root is only filled with RECORDS shipments and kept.
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "text/Gbk.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

using namespace quarvel;

extern char **environ;

namespace {

struct Run {
    double ms = 0;
    double cpuMs = 0;
    long peakKb = 0;
    int status = -1;
};

void fillRecords(const QString &root, int count)
{
    ScriptedPrompter prompter;
    ClientContext context(root);
    if (!context.Start(prompter))
        std::fprintf(stderr, "start-up failed\n");
    for (int i = 0; i < count; ++i) {
        PreInputRecord r{};
        r.ddate = {2026, 3, 9};
        r.fweight = 1.5;
        r.ngoodslines = 1;
        r.nweightlines = 1;
        Gbk::setField(r.cnum, QStringLiteral("BENCH%1").arg(i, 8, 10, QLatin1Char('0')));
        Gbk::setField(r.cdes, QStringLiteral("北京市"));
        context.preInputs().Append(&r);
        GoodsRecord g{};
        g.iparent = r.iid;
        g.nquantity = 1;
        context.goods().Append(&g);
        WeightRecord w{};
        w.iparent = r.iid;
        w.nweight = 1500;
        context.weights().Append(&w);
    }
}

// Filled in a child: the peak memory a spawned command reports includes the
// high-water mark of the process that spawned it.
void fill(const QString &root, int count)
{
    const pid_t child = ::fork();
    if (child == 0) {
        fillRecords(root, count);
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
}

Run runAdd(const std::string &quarvelctl, const std::string &root)
{
    static int added = 0;
    const std::string number = "cnum=ADD" + std::to_string(++added) + "X";
    std::vector<std::string> args = {quarvelctl,
                                     "--root",
                                     root,
                                     "records",
                                     "add",
                                     number,
                                     "cdes=北京市",
                                     "creceiver=王五",
                                     "cphone=13800138000",
                                     "creceiveraddr=朝阳区建国路1号",
                                     "creceivercountry=中国",
                                     "creceiverprov=北京",
                                     "goods=茶叶:2:10",
                                     "piece=30:20:10:1500:100"};
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto from = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return run;
    struct rusage usage {};
    ::wait4(pid, &run.status, 0, &usage);
    run.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
    run.peakKb = usage.ru_maxrss;
    run.cpuMs =
        (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// The state a kill leaves: the files were opened for writing and never closed.
void leaveUnclean(const QString &root)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ScriptedPrompter prompter;
        auto *context = new ClientContext(root);
        context->Start(prompter);
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
}

void measure(const std::string &quarvelctl, const QString &root, const char *label, int records, bool unclean, int runs)
{
    std::vector<double> times;
    std::vector<double> cpu;
    std::vector<long> peaks;
    for (int i = 0; i < runs; ++i) {
        if (unclean)
            leaveUnclean(root);
        const Run r = runAdd(quarvelctl, root.toStdString());
        if (!WIFEXITED(r.status) || WEXITSTATUS(r.status) != 0)
            std::fprintf(stderr, "run %d failed with status %d\n", i, r.status);
        times.push_back(r.ms);
        cpu.push_back(r.cpuMs);
        peaks.push_back(r.peakKb);
    }
    std::sort(times.begin(), times.end());
    std::sort(peaks.begin(), peaks.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-28s %7d records: wall median %7.2f ms (min %7.2f); CPU median %7.2f ms (min %7.2f); "
                "peak RSS median %7ld KB (max %7ld)\n",
                label, records, times[times.size() / 2], times.front(), cpu[cpu.size() / 2], cpu.front(),
                peaks[peaks.size() / 2], peaks.back());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::string quarvelctl = argc > 1 ? argv[1] : QUARVELCTL_PATH;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
    const int large = argc > 3 ? std::atoi(argv[3]) : 100000;
    if (argc > 4) {
        // Only fill the root given, for profiling one command by hand.
        fill(QString::fromLocal8Bit(argv[4]) + u'/', large);
        return 0;
    }
    for (const int records : {0, large}) {
        QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/record-add-bench-XXXXXX"));
        const QString root = dir.path() + u'/';
        fill(root, records);
        runAdd(quarvelctl, root.toStdString()); // warms the page cache
        measure(quarvelctl, root, "records add, closed cleanly", records, false, runs);
        measure(quarvelctl, root, "records add, after a kill", records, true, std::max(3, runs / 4));
    }
    return 0;
}
