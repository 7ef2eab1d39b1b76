// Upload of 1,000 and 10,000 accepted shipments. Part one: the deletion step
// alone (no network), the batched deletes of an upload run against deleting
// each record with its lines as its result arrives, in a file that holds as
// many records again that stay. Part two: whole upload runs against a
// tarvo-server on loopback (envelopes, replies and deletes).
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "net/BaseDataDownload.h"
#include "net/LoginForm.h"
#include "support/TarvoServer.h"
#include "text/Gbk.h"
#include "upload/AcceptedRecords.h"
#include "upload/UploadDisplay.h"
#include "upload/UploadRun.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace quarvel;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Shipments with two goods lines and one piece each; returns their ids.
QList<int> fill(ClientContext &c, int count, const QString &prefix)
{
    QList<int> ids;
    for (int i = 0; i < count; ++i) {
        PreInputRecord r{};
        r.ddate = {2026, 1, 7};
        r.nitemtype = 1;
        r.fweight = 1.2;
        r.npieces = 1;
        Gbk::setField(r.cnum, prefix + QString::number(i));
        Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
        Gbk::setField(r.cdes, QStringLiteral("北京"));
        Gbk::setField(r.creceiver, QStringLiteral("李四"));
        c.preInputs().Append(&r);
        for (int k = 0; k < 2; ++k) {
            GoodsRecord g{};
            g.iparent = r.iid;
            g.nquantity = 1;
            Gbk::setField(g.cname, QStringLiteral("样品"));
            c.goods().Append(&g);
        }
        WeightRecord w{};
        w.iparent = r.iid;
        w.nweight = 1200;
        c.weights().Append(&w);
        ids << r.iid;
    }
    c.FlushRecords();
    return ids;
}

// Every other record of a file of 2 × count is accepted.
QList<int> acceptedHalf(ClientContext &c, int count)
{
    QList<int> accepted;
    const QList<int> all = fill(c, 2 * count, QStringLiteral("B"));
    for (int i = 0; i < all.size(); i += 2)
        accepted << all[i];
    return accepted;
}

double batched(int count)
{
    QTemporaryDir dir;
    ScriptedPrompter p;
    ClientContext c(dir.path());
    c.Start(p);
    const QList<int> ids = acceptedHalf(c, count);
    const auto t = Clock::now();
    AcceptedRecords accepted(c, UploadKind::Shipments);
    for (int id : ids) {
        const PreInputRecord *r = c.preInputs().Find(id);
        accepted.add(id, QByteArray(reinterpret_cast<const char *>(r), sizeof *r));
        if (accepted.due())
            accepted.commit();
    }
    accepted.commit();
    const double s = seconds(t);
    if (c.preInputs().GetCount() != count || c.goods().GetCount() != 2 * count)
        std::printf("wrong count left\n");
    return s;
}

double oneByOne(int count)
{
    QTemporaryDir dir;
    ScriptedPrompter p;
    ClientContext c(dir.path());
    c.Start(p);
    const QList<int> ids = acceptedHalf(c, count);
    const auto t = Clock::now();
    for (int id : ids) {
        c.preInputs().DeleteById(id);
        c.goods().DeleteByParent(id);
        c.weights().DeleteByParent(id);
    }
    c.FlushRecords();
    return seconds(t);
}

class Quiet : public UploadDisplay {
public:
    void uploadProgress(const QString &) override {}
    void uploadResult(int, int, bool removed, const QString &) override { removed_ += removed ? 1 : 0; }
    void uploadEnded(UploadEnding, const QString &) override {}
    int removed_ = 0;
};

void wholeRun(int count)
{
    TarvoServer server;
    TarvoServer::Options o;
    o.extra = QStringList{QStringLiteral("--quiet")};
    if (!server.start(o)) {
        std::printf("tarvo-server did not start\n");
        return;
    }
    QTemporaryDir dir;
    ScriptedPrompter p;
    ClientContext c(dir.path());
    c.Start(p);
    c.session().configure(server.host().toLatin1(), QStringLiteral("DEMO"));
    BaseDataDownload::Fetch(c.session(), c.baseDataPath());
    c.baseData().LoadBaseData(c.baseDataPath());
    LoginForm login(c.session(), c.lastAccountPath());
    login.Open();
    login.account = QStringLiteral("demo");
    login.password = QStringLiteral("demo");
    login.Confirm(p);
    const QList<int> ids = fill(c, count, QStringLiteral("R%1-").arg(count));
    const auto t = Clock::now();
    UploadRun run(c, UploadKind::Shipments);
    run.Prepare(ids);
    const double prepared = seconds(t);
    run.Start();
    Quiet display;
    run.DrainUntilEnded(display);
    const double total = seconds(t);
    std::printf("whole run     %6d records: %7.2f s (prepare %.3f s), %.2f ms a record, %d deleted, %d left\n", count,
                total, prepared, total * 1000 / count, display.removed_, c.preInputs().GetCount());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (int count : {1000, 10000})
        std::printf("batched       %6d of %6d records: %7.3f s\n", count, 2 * count, batched(count));
    for (int count : {1000, 2000})
        std::printf("one by one    %6d of %6d records: %7.3f s\n", count, 2 * count, oneByOne(count));
    for (int count : {1000, 10000})
        wholeRun(count);
    return 0;
}
