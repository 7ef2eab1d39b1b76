// quarvelctl on a large pre-entry file: "records list" as text and as JSON,
// and "records add", on an empty file and on one of N records (default
// 100,000). Prints wall time and peak memory (max RSS) of each command, the
// best of five runs.
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "text/Gbk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fcntl.h>
#include <vector>

using namespace quarvel;

namespace {

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
    return {clock.nsecsElapsed() / 1e9, usage.ru_maxrss};
}

Run best(const std::vector<std::string> &args, int times = 5)
{
    Run b{1e9, 0};
    for (int i = 0; i < times; ++i) {
        const Run r = runOnce(args);
        if (r.seconds < b.seconds)
            b = r;
    }
    return b;
}

void fill(const QString &root, int count)
{
    ScriptedPrompter prompter;
    ClientContext context(root);
    context.Start(prompter);
    for (int i = 0; i < count; ++i) {
        PreInputRecord r{};
        r.ddate = {2026, 12, 7};
        r.fweight = 1.25 + i % 7;
        r.ffee = 23.5;
        r.npieces = 1;
        Gbk::setField(r.cnum, QStringLiteral("BN%1").arg(i, 9, 10, QLatin1Char('0')));
        Gbk::setField(r.cdes, QStringLiteral("广东深圳"));
        Gbk::setField(r.creceiver, QStringLiteral("王五"));
        Gbk::setField(r.creceiveraddr, QStringLiteral("深圳市南山区科技园%1号").arg(i));
        Gbk::setField(r.cphone, QStringLiteral("13800138000"));
        Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
        context.preInputs().Append(&r);
    }
    context.Shutdown();
}

void report(const char *what, int records, const Run &r)
{
    std::printf("%-22s %7d records  %8.3f s  %8ld KB max RSS\n", what, records, r.seconds, r.maxRssKb);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const std::string ctl = QUARVELCTL_PATH;
    for (int n : {0, count}) {
        QTemporaryDir dir;
        const std::string root = dir.path().toStdString();
        fill(dir.path(), n);
        report("records list", n, best({ctl, "--root", root, "records", "list"}));
        report("records list --json", n, best({ctl, "--root", root, "records", "list", "--json"}));
        report("records add", n,
               best({ctl, "--root", root, "records", "add", "cdes=北京", "creceiver=王五", "cphone=13800138000",
                     "creceiveraddr=朝阳区建国路1号", "creceivercountry=中国", "creceiverprov=北京"}));
    }
    return 0;
}
