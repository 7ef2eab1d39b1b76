#include "CheckFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace quarvel;

namespace {

// A child process scans as fast as it can and reports every scan the page
// would show as a row; it is killed in the middle of its work. Every scan it
// reported must be in the file afterwards.
TEST(ScanKill, AKilledScanningSessionLosesNoSavedScan)
{
    TempRoot root;
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeEnds[0]);
        ClientContext context(root.path());
        ScriptedPrompter prompter;
        if (!context.Start(prompter))
            ::_exit(3);
        CheckForm form(context, prompter);
        form.setRecordChanged([&](CheckForm::Change, const CheckRecord &r) {
            if (::write(pipeEnds[1], &r.iid, sizeof r.iid) != sizeof r.iid)
                ::_exit(4);
        });
        for (int i = 1;; ++i) {
            form.values().number = QStringLiteral("KL%1").arg(i, 8, 10, QLatin1Char('0'));
            form.SaveScan();
        }
    }
    ::close(pipeEnds[1]);
    std::set<int> reported;
    std::int32_t id = 0;
    while (reported.size() < 150 && ::read(pipeEnds[0], &id, sizeof id) == sizeof id)
        reported.insert(id);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    while (::read(pipeEnds[0], &id, sizeof id) == sizeof id) // written before the kill
        reported.insert(id);
    ::close(pipeEnds[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;
    ASSERT_GE(reported.size(), 150u);

    ClientContext context(root.path());
    ScriptedPrompter prompter;
    ASSERT_TRUE(context.Start(prompter));
    for (int saved : reported) {
        const CheckRecord *r = context.checks().Find(saved);
        ASSERT_NE(r, nullptr) << "scan " << saved << " was shown but is lost";
        EXPECT_EQ(Gbk::field(r->cnum), QStringLiteral("KL%1").arg(saved, 8, 10, QLatin1Char('0')));
    }
    EXPECT_GE(context.checks().GetCount(), static_cast<int>(reported.size()));
}

} // namespace
