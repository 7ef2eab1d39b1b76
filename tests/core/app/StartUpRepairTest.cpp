#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "preinput/WaybillTidy.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

using namespace quarvel;

namespace {

QByteArray header(std::int32_t count, std::int32_t lastId)
{
    QByteArray h(RecordFile::kHeaderSize, '\0');
    std::memcpy(h.data(), &count, 4);
    std::memcpy(h.data() + 4, &lastId, 4);
    return h;
}

PreInputRecord shipment(int id, const char *number, int goods, int pieces)
{
    PreInputRecord r{};
    r.iid = id;
    Gbk::setField(r.cnum, sizeof r.cnum, QByteArray(number));
    r.ngoodslines = goods;
    r.nweightlines = pieces;
    return r;
}

template <class R> QByteArray bytesOf(const R &r)
{
    return QByteArray(reinterpret_cast<const char *>(&r), sizeof r);
}

GoodsRecord goodsLine(int id, int parent)
{
    GoodsRecord g{};
    g.iid = id;
    g.iparent = parent;
    g.nquantity = 1;
    return g;
}

// Runs `work` on a started context in a child process that is then killed,
// as a crash or a kill -9 would end the program: no unmap, no close.
template <class Work> void killedRun(const QString &root, Work work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ScriptedPrompter p;
        auto *context = new ClientContext(root);
        if (!context->Start(p))
            ::_exit(3);
        work(*context);
        std::raise(SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
}

// Kilobytes of a mapping that this process has touched (its resident pages).
qint64 residentKb(const void *inside)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const auto at = reinterpret_cast<quintptr>(inside);
    bool in = false;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        const QByteArray first = line.left(line.indexOf(' '));
        if (first.endsWith(':')) {
            if (in && first == "Rss:")
                return line.mid(4).trimmed().split(' ').first().toLongLong();
            continue;
        }
        // A mapping's own line: "from-to perms offset device inode path".
        const QList<QByteArray> range = first.split('-');
        in = range.size() == 2 && at >= range[0].toULongLong(nullptr, 16) && at < range[1].toULongLong(nullptr, 16);
    }
    return -1;
}

} // namespace

TEST(StartUpRepair, AKillBetweenARecordAndItsLinesIsFoundAndTheCountsFollowTheLines)
{
    TempRoot root;
    killedRun(root.path(), [](ClientContext &c) {
        // What a save does: the record with its counts first, then its lines.
        PreInputRecord r = shipment(0, "KILLED01", 2, 1);
        c.preInputs().Append(&r);
        GoodsRecord g = goodsLine(0, r.iid);
        c.goods().Append(&g);
        c.FlushRecords();
    });
    ScriptedPrompter p;
    {
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        ASSERT_EQ(context.preInputs().GetCount(), 1);
        EXPECT_EQ(+context.preInputs().At(0)->ngoodslines, 1);
        EXPECT_EQ(+context.preInputs().At(0)->nweightlines, 0);
        ASSERT_EQ(p.shown().size(), 1);
        EXPECT_EQ(p.shown().first().kind, ScriptedPrompter::Kind::Warning);
        EXPECT_EQ(p.lastText(), QStringLiteral("预录业务数据文件%1与物品、重量明细不一致（上次可能在保存中途中断）："
                                               "1 条记录的物品数、件数已按实际明细更正。\r\n"
                                               "KILLED01（编号 1）：物品 2 条，现有 1 条；件 1 条，现有 0 条。\r\n"
                                               "请核对这些记录的物品和重量明细。")
                                    .arg(root.file(QStringLiteral("DATA/recinput.dat"))));
    }
    // The correction was kept; a clean close leaves nothing to report.
    ScriptedPrompter q;
    ClientContext again(root.path());
    ASSERT_TRUE(again.Start(q));
    EXPECT_TRUE(q.shown().isEmpty()) << q.lastText().toStdString();
    EXPECT_EQ(+again.preInputs().At(0)->ngoodslines, 1);
}

TEST(StartUpRepair, OfTwoRecordsWithOneIdTheOwnerOfTheLinesKeepsTheId)
{
    TempRoot root;
    // Id 5 twice: the first record has no lines, the second has the two goods
    // lines and the piece that point to 5.
    root.write(QStringLiteral("DATA/recinput.dat"), header(3, 5) + bytesOf(shipment(3, "THREE", 0, 0)) +
                                                        bytesOf(shipment(5, "NOLINES", 0, 0)) +
                                                        bytesOf(shipment(5, "OWNER", 2, 1)));
    root.write(QStringLiteral("DATA/recgoods.dat"), header(2, 2) + bytesOf(goodsLine(1, 5)) + bytesOf(goodsLine(2, 5)));
    WeightRecord piece{};
    piece.iid = 1;
    piece.iparent = 5;
    piece.nweight = 1500;
    root.write(QStringLiteral("DATA/recweight.dat"), header(1, 1) + bytesOf(piece));

    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    const PreInputRecord *owner = context.preInputs().Find(5);
    ASSERT_NE(owner, nullptr);
    EXPECT_STREQ(owner->cnum, "OWNER") << "the lines on id 5 stay with the record they were saved with";
    EXPECT_EQ(+owner->ngoodslines, 2);
    EXPECT_EQ(+owner->nweightlines, 1);
    const PreInputRecord *moved = context.preInputs().Find(6);
    ASSERT_NE(moved, nullptr);
    EXPECT_STREQ(moved->cnum, "NOLINES");
    EXPECT_EQ(+moved->ngoodslines, 0);
    EXPECT_EQ(context.goods().FindFirstByParent(6), -1);
    ASSERT_EQ(p.shown().size(), 2) << p.texts().join(u'|').toStdString();
    EXPECT_TRUE(p.shown()[0].text.contains(QStringLiteral("1 条编号重复的记录换了新编号")));
    EXPECT_TRUE(p.shown()[1].text.contains(QStringLiteral("1 条编号重复的记录已按明细归还原编号")));

    // When the record that kept the id owns the lines, nothing is exchanged.
    TempRoot second;
    second.write(QStringLiteral("DATA/recinput.dat"),
                 header(2, 5) + bytesOf(shipment(5, "OWNER", 1, 0)) + bytesOf(shipment(5, "OTHER", 1, 0)));
    second.write(QStringLiteral("DATA/recgoods.dat"), header(1, 1) + bytesOf(goodsLine(1, 5)));
    ScriptedPrompter q;
    ClientContext other(second.path());
    ASSERT_TRUE(other.Start(q));
    EXPECT_STREQ(other.preInputs().Find(5)->cnum, "OWNER");
    EXPECT_STREQ(other.preInputs().Find(6)->cnum, "OTHER");
    EXPECT_EQ(+other.preInputs().Find(6)->ngoodslines, 0) << "its count follows the lines under its new id";
}

TEST(StartUpRepair, ARecordFileFoundEmptyWhereRecordsWereIsReported)
{
    TempRoot root;
    {
        ScriptedPrompter p;
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        for (const char *n : {"EMPTY001", "EMPTY002"}) {
            PreInputRecord r = shipment(0, n, 0, 0);
            context.preInputs().Append(&r);
        }
    }
    const QString file = root.file(QStringLiteral("DATA/recinput.dat"));
    ASSERT_TRUE(QFile::resize(file, 0));
    ScriptedPrompter p;
    {
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        EXPECT_EQ(context.preInputs().GetCount(), 0);
        ASSERT_EQ(p.shown().size(), 1);
        EXPECT_EQ(p.shown().first().kind, ScriptedPrompter::Kind::Warning);
        EXPECT_EQ(p.lastText(),
                  QStringLiteral("预录业务数据文件%1现在是空的（0 字节），上次正常关闭时它有 2 条记录。\r\n"
                                 "这些记录可能已经丢失；如有备份，请退出程序后从备份恢复。")
                      .arg(file));
    }
    // Said once: the empty file closed cleanly is the new state.
    ScriptedPrompter q;
    ClientContext again(root.path());
    ASSERT_TRUE(again.Start(q));
    EXPECT_TRUE(q.shown().isEmpty());

    // A missing file is as empty as a file of 0 bytes.
    again.Shutdown();
    ASSERT_TRUE(QFile::remove(root.file(QStringLiteral("DATA/recgoods.dat"))));
    ScriptedPrompter r;
    ClientContext third(root.path());
    ASSERT_TRUE(third.Start(r));
    EXPECT_EQ(r.shown().size(), 1);
    EXPECT_TRUE(r.lastText().startsWith(QStringLiteral("预录物品数据文件")));
}

TEST(StartUpRepair, ACleanlyClosedFileIsNotReadWholeByTheNextProgram)
{
    TempRoot root;
    constexpr int kRecords = 20000; // 48 MB of shipments
    {
        ScriptedPrompter p;
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        for (int i = 0; i < kRecords; ++i) {
            PreInputRecord r = shipment(0, QByteArray("BIG" + QByteArray::number(i)).constData(), 0, 0);
            context.preInputs().Append(&r);
        }
        // The first duplicate check of a run without a kept filter reads every number.
        EXPECT_EQ(context.preInputs().FindLastByNumber(QByteArray("NEW")), nullptr);
    }
    const qint64 fileKb = QFileInfo(root.file(QStringLiteral("DATA/recinput.dat"))).size() / 1024;
    {
        ScriptedPrompter p;
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        EXPECT_TRUE(p.shown().isEmpty());
        EXPECT_TRUE(context.preInputs().openedClean());
        // A new number is known to be new without reading the records.
        EXPECT_EQ(context.preInputs().FindLastByNumber(QByteArray("NEW")), nullptr);
        PreInputRecord r = shipment(0, "NEW", 0, 0);
        context.preInputs().Append(&r);
        const qint64 touched = residentKb(context.preInputs().GetRecord(0));
        EXPECT_GE(touched, 0);
        EXPECT_LT(touched, fileKb / 10) << "of " << fileKb << " KB";
        // Numbers that are there are still found.
        ASSERT_NE(context.preInputs().FindLastByNumber(QByteArray("BIG123")), nullptr);
        EXPECT_EQ(context.preInputs().FindLastByNumber(QByteArray("BIG123"))->iid, 124);
        EXPECT_EQ(context.preInputs().FindLastByNumber(QByteArray("NEW"))->iid, kRecords + 1);
    }
    // After a kill the note vouches for nothing: the file is checked whole.
    killedRun(root.path(), [](ClientContext &) {});
    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    EXPECT_FALSE(context.preInputs().openedClean());
    EXPECT_GT(residentKb(context.preInputs().GetRecord(0)), fileKb / 2);
    EXPECT_NE(context.preInputs().FindLastByNumber(QByteArray("NEW")), nullptr);
}

TEST(StartUpRepair, NumbersChangedInPlaceAreStillFoundAfterARestart)
{
    TempRoot root;
    {
        ScriptedPrompter p;
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        PreInputRecord a = shipment(0, "2009XXXXX", 0, 0);
        PreInputRecord b = shipment(0, "REWRITE1", 0, 0);
        context.preInputs().Append(&a);
        context.preInputs().Append(&b);
        EXPECT_EQ(context.preInputs().FindLastByNumber(QByteArray("200900042")), nullptr);
        // The tidy-up completes a number in place; a rewrite gives another.
        EXPECT_EQ(WaybillTidy::Tidy(context.preInputs(), {a.iid}, 42).size(), 1);
        b = *context.preInputs().At(1);
        Gbk::setField(b.cnum, sizeof b.cnum, QByteArray("REWRITE2"));
        context.preInputs().WriteAt(1, &b);
    }
    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    ASSERT_TRUE(context.preInputs().openedClean());
    ASSERT_NE(context.preInputs().FindLastByNumber(QByteArray("200900042")), nullptr);
    EXPECT_NE(context.preInputs().FindLastByNumber(QByteArray("REWRITE2")), nullptr);
    EXPECT_EQ(context.preInputs().FindLastByNumber(QByteArray("REWRITE1")), nullptr);

    // A kept filter that belongs to another state of the file is not used.
    context.Shutdown();
    const QByteArray kept = root.read(QStringLiteral("DATA_SYS/recnum.dat"));
    ASSERT_FALSE(kept.isEmpty());
    {
        ScriptedPrompter q;
        ClientContext writer(root.path());
        ASSERT_TRUE(writer.Start(q));
        PreInputRecord c = shipment(0, "LATER", 0, 0);
        writer.preInputs().Append(&c);
    }
    root.write(QStringLiteral("DATA_SYS/recnum.dat"), kept);
    ScriptedPrompter r;
    ClientContext last(root.path());
    ASSERT_TRUE(last.Start(r));
    EXPECT_NE(last.preInputs().FindLastByNumber(QByteArray("LATER")), nullptr);
}

TEST(StartUpRepair, ASecondCopyLeavesTheNoteOfTheFirstAlone)
{
    TempRoot root;
    ScriptedPrompter p;
    ClientContext first(root.path());
    ASSERT_TRUE(first.Start(p));
    const QByteArray open = root.read(CleanCloseNote::fileName());
    EXPECT_FALSE(open.contains(" closed ")) << "while a program has the files, none counts as closed";
    {
        ClientContext second(root.path());
        EXPECT_FALSE(second.Start(p));
        ClientContext reader(root.path());
        EXPECT_TRUE(reader.Start(p, RecordFile::Mode::ReadOnly));
    }
    EXPECT_EQ(root.read(CleanCloseNote::fileName()), open);
    first.Shutdown();
    EXPECT_EQ(root.read(CleanCloseNote::fileName()).count(" closed "), 5);
}

// The clean-close note keeps whether the goods lines stand in shipment order,
// so that the next program finds a shipment's lines without reading them all;
// a file changed behind the note's back is looked at whole again.
TEST(StartUpRepair, LinesInShipmentOrderAreSearchedAfterACleanClose)
{
    TempRoot root;
    constexpr int kShipments = 300000; // 25 MB of goods lines
    {
        ScriptedPrompter p;
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        for (int i = 1; i <= kShipments; ++i) {
            GoodsRecord g = goodsLine(0, i);
            context.goods().Append(&g);
        }
        EXPECT_EQ(context.goods().FindFirstByParent(kShipments), kShipments - 1);
    }
    EXPECT_TRUE(root.read(CleanCloseNote::fileName()).contains(" 300000 300000 1\n"));
    const QString goodsPath = root.file(QStringLiteral("DATA/recgoods.dat"));
    const qint64 fileKb = QFileInfo(goodsPath).size() / 1024;
    {
        ScriptedPrompter p;
        ClientContext context(root.path());
        ASSERT_TRUE(context.Start(p));
        EXPECT_EQ(context.goods().FindFirstByParent(12345), 12344);
        EXPECT_EQ(context.goods().FindFirstByParent(kShipments + 7), -1);
        EXPECT_LT(residentKb(context.goods().At(0)), fileKb / 10) << "of " << fileKb << " KB";
    }
    // Another program adds a line of shipment 5 at the end.
    {
        QFile file(goodsPath);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        GoodsRecord g = goodsLine(kShipments + 1, 5);
        ASSERT_TRUE(file.seek(RecordFile::kHeaderSize + qint64(kShipments) * qint64(sizeof g)));
        file.write(bytesOf(g));
        ASSERT_TRUE(file.seek(0));
        file.write(header(kShipments + 1, kShipments + 1));
    }
    ScriptedPrompter p;
    ClientContext context(root.path());
    ASSERT_TRUE(context.Start(p));
    std::vector<GoodsRecord> lines;
    context.goods().CopyByParent(lines, 5);
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(context.goods().FindFirstByParent(5), 4);
    context.goods().DeleteByParent(5);
    EXPECT_EQ(context.goods().FindFirstByParent(5), -1) << "both lines of shipment 5 went";
    EXPECT_EQ(context.goods().GetCount(), kShipments - 1);
    EXPECT_EQ(context.goods().FindFirstByParent(6), 4);
}
