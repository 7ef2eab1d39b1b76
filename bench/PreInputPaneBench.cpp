// The pre-entry pane filled from a file of 100,000 records, against decoding
// the same records into plain structs. Runs on Qt's offscreen platform.
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "preinput/CPreInputPane.h"
#include "shell/FileChooser.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quarvel;

namespace {

class NoFiles : public FileChooser {
public:
    QString saveFileName(QWidget *, const QString &, const QStringList &, int *) override { return {}; }
    QString openFileName(QWidget *, const QString &, const QStringList &) override { return {}; }
};

// What a list needs of one record, decoded without any list around it.
struct PlainRecord {
    int iid;
    int year, month, day;
    int itemType, pieces, payWay;
    bool marked, locked;
    double weight, fee;
    QString cnum, cdes, cemskind, csender, cdepart, creceiver, cmark, cgoods, cremark;
};

// `unique`: every text differs from record to record (no repetition to share).
void fill(PreInputFile &file, int count, bool unique)
{
    const int spread = unique ? count : 40;
    PreInputRecord r{};
    for (int i = 0; i < count; ++i) {
        r = PreInputRecord{};
        r.ddate = {2026, static_cast<unsigned char>(1 + i % 12), static_cast<unsigned char>(1 + i % 28)};
        r.nitemtype = static_cast<std::uint8_t>(i % 3);
        r.npayway = static_cast<std::uint8_t>(i % 3);
        r.npieces = 1 + i % 5;
        r.fweight = (i % (unique ? count : 977)) * 0.125;
        r.ffee = (i % 313) * 1.5;
        r.nmarked = static_cast<std::uint8_t>(i % 2);
        r.nlocked = static_cast<std::uint8_t>(i % 50 == 0);
        Gbk::setField(r.cnum, QStringLiteral("XB6%1000101").arg(i % 10000, 4, 10, QLatin1Char('0')));
        Gbk::setField(r.cdes, QStringLiteral("广东深圳%1").arg(i % spread));
        Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
        Gbk::setField(r.cdepart, QStringLiteral("市场部"));
        Gbk::setField(r.creceiver, QStringLiteral("王五%1").arg(unique ? i : i % 97));
        Gbk::setField(r.csender, QStringLiteral("张三%1").arg(unique ? i : 0));
        Gbk::setField(r.cmark, QStringLiteral("L%1").arg(i % 9));
        Gbk::setField(r.cgoods, QStringLiteral("茶叶 瓷器%1").arg(unique ? i : 0));
        Gbk::setField(r.cremark, i % 3 ? QString() : QStringLiteral("轻放"));
        file.Append(&r);
    }
    file.Flush();
}

std::vector<PlainRecord> decode(const PreInputFile &file)
{
    std::vector<PlainRecord> out;
    out.reserve(static_cast<std::size_t>(file.GetCount()));
    for (int i = 0; i < file.GetCount(); ++i) {
        const PreInputRecord &r = *file.At(i);
        const RecordDate d = r.ddate;
        out.push_back({r.iid,
                       d.year,
                       d.month,
                       d.day,
                       r.nitemtype,
                       r.npieces,
                       r.npayway,
                       r.nmarked == 1,
                       r.nlocked == 1,
                       r.fweight,
                       r.ffee,
                       Gbk::field(r.cnum),
                       Gbk::field(r.cdes),
                       Gbk::field(r.cemskind),
                       Gbk::field(r.csender),
                       Gbk::field(r.cdepart),
                       Gbk::field(r.creceiver),
                       Gbk::field(r.cmark),
                       Gbk::field(r.cgoods),
                       Gbk::field(r.cremark)});
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const bool unique = argc > 2 && qstrcmp(argv[2], "unique") == 0;
    const int rounds = 5;

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    NoFiles files;
    ClientContext context(dir.path() + QLatin1Char('/'));
    if (!context.Start(prompter)) {
        std::fprintf(stderr, "start failed: %s\n", qPrintable(prompter.lastText()));
        return 1;
    }
    QElapsedTimer t;
    t.start();
    fill(context.preInputs(), count, unique);
    std::printf("%d records written in %lld ms\n", count, t.elapsed());

    PageEnv env{context, prompter, files, {}};
    CPreInputPane pane(env);
    pane.resize(1400, 800);
    pane.show();
    QApplication::processEvents();

    qint64 bestDecode = -1;
    qint64 bestFill = -1;
    std::size_t decoded = 0;
    for (int round = 0; round < rounds; ++round) {
        // Both sides are timed into an empty container: freeing the previous
        // round's strings is not part of either.
        t.restart();
        std::vector<PlainRecord> plain = decode(context.preInputs());
        const qint64 decodeMs = t.elapsed();
        decoded += plain.size();

        pane.list().clear();
        QApplication::processEvents();
        t.restart();
        pane.RefreshList();
        QApplication::processEvents();
        const qint64 fillMs = t.elapsed();
        bestDecode = bestDecode < 0 ? decodeMs : std::min(bestDecode, decodeMs);
        bestFill = bestFill < 0 ? fillMs : std::min(bestFill, fillMs);
    }
    std::printf("%d records (best of %d): decode into plain structs %lld ms; pre-entry list fill %lld ms (%.2fx); "
                "rows %d, decoded %zu%s\n",
                count, rounds, bestDecode, bestFill, double(bestFill) / double(std::max<qint64>(bestDecode, 1)),
                pane.list().rowCount(), decoded / rounds, unique ? " (all texts different)" : "");
    return 0;
}
