#ifdef TORTURE_WINDOW_PATH

#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/FailingDisk.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>

#include <gtest/gtest.h>

#include <vector>

using namespace quarvel;

namespace {

struct WindowRun {
    QSet<int> confirmed;
    QStringList refusals;
    int code = -1;
    QString err;
};

// The window (started as `quarvel` starts it) saving `count` shipments on a
// disk that fails as `faults` says (see tests/iofault).
WindowRun saveOnFailingDisk(const TempRoot &root, const QString &prefix, int count, const QString &faults)
{
    QProcess p;
    p.setProcessEnvironment(failingDiskEnvironment(root.path(), faults));
    p.start(QStringLiteral(TORTURE_WINDOW_PATH), {root.path(), prefix, QString::number(count)});
    p.waitForFinished(180000);
    WindowRun run;
    run.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n'))
        if (!line.isEmpty() && line != "ready")
            run.confirmed.insert(line.toInt());
    run.err = QString::fromUtf8(p.readAllStandardError());
    for (const QString &line : run.err.split(u'\n'))
        if (line.startsWith(QStringLiteral("refused ")))
            run.refusals << line;
    return run;
}

} // namespace

// The window saves shipments while the disk fills: first the files cannot
// grow any more, then nothing reaches the disk. Every shipment the window
// confirmed has all its goods and piece lines at the next start, none it
// refused is there, and every refusal said why.
TEST(WindowDiskFull, EveryConfirmedShipmentKeepsItsLinesAndEveryRefusalSaysWhy)
{
    TempRoot root;
    // The record files are made at the first start (one growth each); every
    // later growth finds the disk full. The goods file, two lines a shipment,
    // is the first to need room.
    const WindowRun growth = saveOnFailingDisk(root, QStringLiteral("DF"), 130, QStringLiteral("fallocate:6+:ENOSPC"));
    ASSERT_EQ(growth.code, 0) << growth.err.toStdString();
    EXPECT_GE(growth.confirmed.size(), 90);
    EXPECT_LT(growth.confirmed.size(), 130);
    ASSERT_FALSE(growth.refusals.isEmpty());
    for (const QString &r : growth.refusals)
        EXPECT_TRUE(r.contains(QStringLiteral("磁盘已满"))) << r.toStdString();

    // Then every flush fails: the saves are refused, nothing of them stays.
    const WindowRun flush = saveOnFailingDisk(root, QStringLiteral("DG"), 5, QStringLiteral("msync:1+:ENOSPC"));
    EXPECT_EQ(flush.confirmed.size(), 0) << flush.err.toStdString();
    EXPECT_EQ(flush.refusals.size(), 5) << flush.err.toStdString();
    for (const QString &r : flush.refusals)
        EXPECT_TRUE(r.contains(QStringLiteral("磁盘已满"))) << r.toStdString();

    ScriptedPrompter prompter;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(prompter));
    EXPECT_TRUE(prompter.texts().isEmpty()) << "nothing to repair: " << prompter.texts().join(u'\n').toStdString();
    QSet<int> stored;
    for (int i = 0; i < context.preInputs().GetCount(); ++i) {
        const PreInputRecord *r = context.preInputs().At(i);
        stored.insert(r->iid);
        std::vector<GoodsRecord> goods;
        std::vector<WeightRecord> pieces;
        context.goods().CopyByParent(goods, r->iid);
        context.weights().CopyByParent(pieces, r->iid);
        EXPECT_EQ(goods.size(), 2u) << Gbk::field(r->cnum).toStdString();
        EXPECT_EQ(pieces.size(), 2u) << Gbk::field(r->cnum).toStdString();
        EXPECT_EQ(+r->ngoodslines, 2);
        EXPECT_EQ(+r->nweightlines, 2);
    }
    EXPECT_EQ(stored, growth.confirmed) << "exactly the confirmed shipments are there";
}

#endif
