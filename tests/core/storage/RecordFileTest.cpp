#include "storage/RecordFile.h"
#include "storage/PreInputFile.h"
#include "support/TempRoot.h"

#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

using namespace quarvel;

namespace {

constexpr int kSize = 16;

struct Rec {
    std::int32_t id;
    char text[12];
};
static_assert(sizeof(Rec) == kSize);

Rec make(const char *text)
{
    Rec r{};
    std::strncpy(r.text, text, sizeof r.text - 1);
    return r;
}

QByteArray header(std::int32_t count, std::int32_t lastId)
{
    QByteArray h(RecordFile::kHeaderSize, '\0');
    std::memcpy(h.data(), &count, 4);
    std::memcpy(h.data() + 4, &lastId, 4);
    return h;
}

QByteArray recordBytes(std::int32_t id, const char *text)
{
    Rec r = make(text);
    r.id = id;
    return QByteArray(reinterpret_cast<const char *>(&r), kSize);
}

int idAt(RecordFile &f, int index)
{
    std::int32_t id;
    std::memcpy(&id, f.GetRecord(index), 4);
    return id;
}

qint64 fileSize(const QString &path)
{
    return QFileInfo(path).size();
}

} // namespace

TEST(RecordFile, NewFileIsCreatedEmptyWithRoomFor200)
{
    TempRoot root;
    RecordFile f;
    ASSERT_EQ(f.OpenFile(root.file(QStringLiteral("a.dat")), kSize), 1);
    EXPECT_EQ(f.IsOpen(), 1);
    EXPECT_EQ(f.GetCount(), 0);
    EXPECT_EQ(f.GetLastId(), 0);
    EXPECT_EQ(f.GetNextId(), 1);
    EXPECT_EQ(f.GetRecord(0), nullptr);
    EXPECT_EQ(f.FindIndexById(1), -1);
    f.Close();
    const QByteArray bytes = root.read(QStringLiteral("a.dat"));
    EXPECT_EQ(bytes.size(), 256 + 200 * kSize);
    EXPECT_EQ(bytes.count('\0'), bytes.size());
}

TEST(RecordFile, ReopenOfExistingFileContinuesIdsAndMapsRoomBeyondCount)
{
    TempRoot root;
    QByteArray bytes = header(5, 9);
    for (int id : {2, 4, 6, 8, 9})
        bytes += recordBytes(id, "x");
    root.write(QStringLiteral("a.dat"), bytes);

    RecordFile f;
    ASSERT_EQ(f.OpenFile(root.file(QStringLiteral("a.dat")), kSize), 1);
    EXPECT_EQ(f.mappedLength(), 256 + 205 * kSize);
    EXPECT_EQ(fileSize(root.file(QStringLiteral("a.dat"))), 256 + 205 * kSize);
    EXPECT_EQ(f.FindIndexById(6), 2);
    EXPECT_EQ(f.FindIndexById(7), -1);
    Rec r = make("new");
    EXPECT_EQ(f.Append(&r), 6);
    EXPECT_EQ(r.id, 10) << "the caller's buffer carries the id given";
    EXPECT_EQ(idAt(f, 5), 10);
}

TEST(RecordFile, DeletedIdsAreNeverReusedAndDeleteClosesTheGap)
{
    TempRoot root;
    RecordFile f;
    ASSERT_EQ(f.OpenFile(root.file(QStringLiteral("a.dat")), kSize), 1);
    for (const char *t : {"a", "b", "c", "d"}) {
        Rec r = make(t);
        f.Append(&r);
    }
    f.DeleteById(4);
    EXPECT_EQ(f.GetCount(), 3);
    EXPECT_EQ(f.GetLastId(), 4);
    Rec r = make("e");
    f.Append(&r);
    EXPECT_EQ(r.id, 5);

    f.DeleteAt(1); // "b" goes, the rest moves down
    ASSERT_EQ(f.GetCount(), 3);
    EXPECT_STREQ(f.GetRecord(1) + 4, "c");
    EXPECT_EQ(f.FindIndexById(5), 2);
    EXPECT_EQ(f.FindById(2), nullptr);

    // Deleting the last record only lowers the count; its slot keeps its bytes.
    char *last = f.GetRecord(2);
    f.DeleteAt(2);
    EXPECT_EQ(f.GetCount(), 2);
    EXPECT_STREQ(last + 4, "e");
    // Out-of-range indexes are refused instead of reaching outside the map.
    EXPECT_EQ(f.DeleteAt(2), 0);
    EXPECT_EQ(f.WriteAt(-1, &r), 0);
}

TEST(RecordFile, RenewsItsMapAfter199ChangesWithEveryRecordIntact)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("a.dat"));
    RecordFile f;
    ASSERT_EQ(f.OpenFile(path, kSize), 1);
    for (int i = 0; i < 198; ++i) {
        Rec r = make("r");
        f.Append(&r);
    }
    EXPECT_EQ(f.changeCount(), 199);
    EXPECT_EQ(fileSize(path), 256 + 200 * kSize);
    Rec r = make("r");
    f.Append(&r); // the 199th change renews the map
    EXPECT_EQ(f.changeCount(), 1);
    EXPECT_EQ(f.mappedLength(), 256 + (199 + 200) * kSize);
    EXPECT_EQ(fileSize(path), 256 + 399 * kSize);
    for (int i = 0; i < 199; ++i)
        ASSERT_EQ(idAt(f, i), i + 1);
    Rec w = make("changed");
    w.id = 50;
    EXPECT_EQ(f.WriteAt(49, &w), 1);
    f.Close();

    RecordFile again;
    ASSERT_EQ(again.OpenFile(path, kSize), 1);
    EXPECT_EQ(again.GetCount(), 199);
    EXPECT_EQ(again.GetLastId(), 199);
    EXPECT_STREQ(again.GetRecord(49) + 4, "changed");
}

TEST(RecordFile, DeleteWhereCompactsInOnePass)
{
    TempRoot root;
    RecordFile f;
    ASSERT_EQ(f.OpenFile(root.file(QStringLiteral("a.dat")), kSize), 1);
    for (int i = 0; i < 10; ++i) {
        Rec r = make(i % 3 == 0 ? "drop" : "keep");
        f.Append(&r);
    }
    EXPECT_EQ(f.DeleteWhere([](const char *r) { return std::strcmp(r + 4, "drop") == 0; }), 4);
    ASSERT_EQ(f.GetCount(), 6);
    const int expected[] = {2, 3, 5, 6, 8, 9};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(idAt(f, i), expected[i]);
    EXPECT_EQ(f.GetLastId(), 10);
}

TEST(RecordFile, CorruptHeadersAreRefusedWithoutTouchingTheFile)
{
    TempRoot root;
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    QByteArray fits = header(2, 2) + recordBytes(1, "a") + recordBytes(2, "b");
    const Case cases[] = {
        {"negative count", header(-3, 0) + QByteArray(10 * kSize, '\0')},
        {"count beyond the file", header(1000000, 5) + recordBytes(1, "a")},
        {"huge count", header(0x7fffffff, 5)},
        {"shorter than the header", QByteArray(100, '\x01')},
    };
    for (const Case &c : cases) {
        const QString path = root.file(QString::fromLatin1(c.name));
        root.write(QString::fromLatin1(c.name), c.bytes);
        RecordFile f;
        EXPECT_EQ(f.OpenFile(path, kSize), 0) << c.name;
        EXPECT_EQ(f.IsOpen(), 0) << c.name;
        EXPECT_TRUE(f.errorText().contains(path)) << c.name;
        EXPECT_TRUE(f.errorText().contains(QLatin1String("damaged"))) << c.name;
        EXPECT_EQ(fileSize(path), c.bytes.size()) << c.name << ": the file must not grow";
        EXPECT_EQ(f.GetRecord(0), nullptr);
    }
    root.write(QStringLiteral("fits"), fits);
    RecordFile ok;
    EXPECT_EQ(ok.OpenFile(root.file(QStringLiteral("fits")), kSize), 1) << "a file without spare room still opens";
    EXPECT_EQ(ok.GetCount(), 2);
}

TEST(RecordFile, HalfChangedFileIsRepairedWithoutLosingRecords)
{
    TempRoot root;
    // A delete interrupted by a crash: "c" moved down over "b" but the count
    // was not lowered, so "d" stands twice. Another record is out of order and
    // two different records share id 7; the last id lags behind.
    QByteArray bytes = header(7, 5) + recordBytes(1, "a") + recordBytes(3, "c") + recordBytes(4, "d") +
                       recordBytes(4, "d") + recordBytes(9, "late") + recordBytes(7, "x") + recordBytes(7, "y");
    root.write(QStringLiteral("a.dat"), bytes);
    RecordFile f;
    ASSERT_EQ(f.OpenFile(root.file(QStringLiteral("a.dat")), kSize), 1);
    EXPECT_FALSE(f.repairText().isEmpty());
    ASSERT_EQ(f.GetCount(), 6);
    QStringList texts;
    for (int i = 0; i < f.GetCount(); ++i) {
        texts << QString::fromLatin1(f.GetRecord(i) + 4);
        if (i > 0) {
            EXPECT_GT(idAt(f, i), idAt(f, i - 1)) << "ids strictly ascending after repair";
        }
    }
    EXPECT_EQ(texts, (QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("x"),
                                  QStringLiteral("late"), QStringLiteral("y")}));
    EXPECT_EQ(idAt(f, 5), 10) << "the clashing record gets an id above every other";
    EXPECT_EQ(f.GetLastId(), 10);
    Rec r = make("next");
    f.Append(&r);
    EXPECT_EQ(r.id, 11);

    RecordFile sound;
    ASSERT_EQ(sound.OpenFile(root.file(QStringLiteral("b.dat")), kSize), 1);
    EXPECT_TRUE(sound.repairText().isEmpty());
}

TEST(RecordFile, OneWriterAtATimeReadersShare)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("a.dat"));
    RecordFile writer;
    ASSERT_EQ(writer.OpenFile(path, kSize), 1);
    Rec r = make("a");
    writer.Append(&r);

    RecordFile second;
    EXPECT_EQ(second.OpenFile(path, kSize), 0);
    EXPECT_TRUE(second.errorText().startsWith(QStringLiteral("File(%1) open failed.").arg(path)));

    // Another process is refused too.
    const pid_t child = fork();
    if (child == 0) {
        RecordFile other;
        _exit(other.OpenFile(path, kSize) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    RecordFile reader;
    ASSERT_EQ(reader.OpenFile(path, kSize, RecordFile::Mode::ReadOnly), 1);
    EXPECT_EQ(reader.GetCount(), 1);
    EXPECT_EQ(reader.Append(&r), 0) << "a reader never writes";
    reader.Close();
    Rec more = make("b");
    EXPECT_EQ(writer.Append(&more), 2) << "closing a reader leaves the writer's lock";
    EXPECT_EQ(second.OpenFile(path, kSize), 0);

    RecordFile missing;
    EXPECT_EQ(missing.OpenFile(root.file(QStringLiteral("none.dat")), kSize, RecordFile::Mode::ReadOnly), 1);
    EXPECT_EQ(missing.GetCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(root.file(QStringLiteral("none.dat"))));
}

TEST(RecordFile, AppendedRecordSurvivesACrashOfTheProcess)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("a.dat"));
    const pid_t child = fork();
    if (child == 0) {
        RecordFile f;
        if (!f.OpenFile(path, kSize))
            _exit(3);
        for (int i = 0; i < 250; ++i) {
            Rec r = make("kept");
            f.Append(&r);
        }
        std::raise(SIGKILL); // no unmap, no close
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    RecordFile f;
    ASSERT_EQ(f.OpenFile(path, kSize), 1);
    EXPECT_EQ(f.GetCount(), 250);
    EXPECT_EQ(f.GetLastId(), 250);
    EXPECT_STREQ(f.GetRecord(249) + 4, "kept");
    EXPECT_TRUE(f.repairText().isEmpty());
    EXPECT_TRUE(f.Flush());
}

TEST(RecordFile, NoAppendPastTheHighestId)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("a.dat"));
    root.write(QStringLiteral("a.dat"), header(1, 0x7ffffffe) + recordBytes(0x7ffffffe, "before"));
    RecordFile f;
    ASSERT_EQ(f.OpenFile(path, kSize), 1);
    EXPECT_TRUE(f.CheckRoom(1).isEmpty());
    EXPECT_FALSE(f.CheckRoom(2).isEmpty()) << "two more records need two ids, one is left";
    Rec r = make("last");
    ASSERT_EQ(f.Append(&r), 2);
    EXPECT_EQ(r.id, 0x7fffffff);
    EXPECT_EQ(f.GetNextId(), 0);

    Rec over = make("over");
    EXPECT_EQ(f.Append(&over), 0);
    EXPECT_EQ(over.id, 0) << "the caller's buffer keeps no id that was not given";
    EXPECT_EQ(f.GetCount(), 2);
    EXPECT_EQ(f.GetLastId(), 0x7fffffff);
    EXPECT_TRUE(f.errorText().contains(path));
    EXPECT_TRUE(f.errorText().contains(QStringLiteral("编号已经用完")));
    EXPECT_EQ(f.CheckRoom(1), f.errorText());
    f.Close();

    RecordFile again;
    ASSERT_EQ(again.OpenFile(path, kSize), 1);
    EXPECT_EQ(again.GetCount(), 2);
    EXPECT_EQ(idAt(again, 1), 0x7fffffff);
    EXPECT_TRUE(again.repairText().isEmpty());
}

TEST(RecordFile, FailuresSayWhetherTheFileIsDamagedInUseOrRefused)
{
    TempRoot root;
    root.write(QStringLiteral("short.dat"), QByteArray(100, '\x01'));
    RecordFile damaged;
    EXPECT_EQ(damaged.OpenFile(root.file(QStringLiteral("short.dat")), kSize), 0);
    EXPECT_EQ(damaged.failure(), RecordFile::Failure::Damaged);
    EXPECT_EQ(damaged.failureReason(), QStringLiteral("文件只有 100 字节，比 256 字节的文件头还短。"));

    root.write(QStringLiteral("over.dat"), header(1000, 5) + recordBytes(1, "a"));
    RecordFile counted;
    EXPECT_EQ(counted.OpenFile(root.file(QStringLiteral("over.dat")), kSize), 0);
    EXPECT_EQ(counted.failureReason(), QStringLiteral("文件头记 1000 条记录，文件只容得下 1 条。"));

    const QString path = root.file(QStringLiteral("a.dat"));
    RecordFile writer;
    ASSERT_EQ(writer.OpenFile(path, kSize), 1);
    EXPECT_EQ(writer.failure(), RecordFile::Failure::None);
    RecordFile second;
    EXPECT_EQ(second.OpenFile(path, kSize), 0);
    EXPECT_EQ(second.failure(), RecordFile::Failure::InUse);

    root.write(QStringLiteral("locked/x"), "");
    QFile::setPermissions(root.file(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    RecordFile refused;
    const bool root_user = ::geteuid() == 0;
    EXPECT_EQ(refused.OpenFile(root.file(QStringLiteral("locked/b.dat")), kSize), root_user ? 1 : 0);
    if (!root_user) {
        EXPECT_EQ(refused.failure(), RecordFile::Failure::System);
        EXPECT_EQ(refused.failureReason(), QStringLiteral("没有读写这个文件的权限。"));
    }
    QFile::setPermissions(root.file(QStringLiteral("locked")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(RecordFile, RepairSaysInChineseWhatItDidAndWhichIdsMoved)
{
    TempRoot root;
    root.write(QStringLiteral("a.dat"), header(3, 3) + recordBytes(2, "b") + recordBytes(2, "c") + recordBytes(1, "a"));
    const QString path = root.file(QStringLiteral("a.dat"));
    RecordFile f;
    ASSERT_EQ(f.OpenFile(path, kSize), 1);
    EXPECT_EQ(f.repairText(),
              QStringLiteral("数据文件%1在一次中断的修改后已修复：去掉重复或空白的记录 0 条，记录已按编号重新排好，"
                             "1 条编号重复的记录换了新编号。")
                  .arg(path));
    ASSERT_EQ(f.renumbered().size(), 1u);
    EXPECT_EQ(f.renumbered()[0], std::make_pair(2, 4));

    root.write(QStringLiteral("b.dat"), header(1, 1) + recordBytes(5, "a"));
    RecordFile lagging;
    ASSERT_EQ(lagging.OpenFile(root.file(QStringLiteral("b.dat")), kSize), 1);
    EXPECT_TRUE(lagging.repairText().startsWith(QStringLiteral("数据文件")));
    EXPECT_TRUE(lagging.renumbered().empty());

    // A clash that needs a new id when none is left cannot be repaired.
    root.write(QStringLiteral("c.dat"),
               header(2, 0x7fffffff) + recordBytes(0x7fffffff, "x") + recordBytes(0x7fffffff, "y"));
    RecordFile full;
    EXPECT_EQ(full.OpenFile(root.file(QStringLiteral("c.dat")), kSize), 0);
    EXPECT_EQ(full.failure(), RecordFile::Failure::Damaged);
}

TEST(RecordFile, AFileAsItWasClosedIsTrustedAnyOtherIsChecked)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("a.dat"));
    RecordFile::Stamp closed;
    {
        RecordFile f;
        ASSERT_EQ(f.OpenFile(path, kSize), 1);
        for (const char *t : {"a", "b", "c"}) {
            Rec r = make(t);
            f.Append(&r);
        }
        ASSERT_TRUE(f.Flush());
        closed = *f.CurrentStamp();
        EXPECT_EQ(closed.count, 3);
        EXPECT_EQ(closed.lastId, 3);
    }
    RecordFile trusted;
    trusted.TrustCleanClose(closed);
    ASSERT_EQ(trusted.OpenFile(path, kSize), 1);
    EXPECT_TRUE(trusted.openedClean());
    trusted.Close();
    ASSERT_EQ(trusted.OpenFile(path, kSize), 1);
    EXPECT_FALSE(trusted.openedClean()) << "a stamp is trusted for one open only";
    trusted.Close();

    // Changed behind the program's back (here: an out-of-order record written
    // in place): the stamp no longer fits, the file is checked and repaired.
    // (File times move in clock ticks of a few milliseconds.)
    QThread::msleep(20);
    {
        QFile raw(path);
        ASSERT_TRUE(raw.open(QIODevice::ReadWrite));
        raw.seek(RecordFile::kHeaderSize);
        raw.write(recordBytes(7, "moved"));
    }
    RecordFile changed;
    changed.TrustCleanClose(closed);
    ASSERT_EQ(changed.OpenFile(path, kSize), 1);
    EXPECT_FALSE(changed.openedClean());
    EXPECT_FALSE(changed.repairText().isEmpty());
    EXPECT_EQ(changed.GetLastId(), 7);
}
