#include "storage/RecordFile.h"
#include "support/TempRoot.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

constexpr int kSize = 96;

// A record whose every byte after the id follows from the id, so a copy
// made while records move (half of one, half of another) shows at once.
QByteArray recordOf(std::int32_t id)
{
    QByteArray r(kSize, '\0');
    std::memcpy(r.data(), &id, 4);
    for (int k = 4; k < kSize; ++k)
        r[k] = static_cast<char>((id * 31 + k) & 0xff);
    return r;
}

bool whole(const char *record, std::int32_t *id)
{
    std::memcpy(id, record, 4);
    return QByteArray(record, kSize) == recordOf(*id);
}

// Appends and deletes (from the middle, so the records after it move)
// until it is killed; the file stays between 200 and 600 records.
[[noreturn]] void writeForever(const QString &path)
{
    RecordFile file;
    if (!file.OpenFile(path, kSize))
        ::_exit(3);
    QRandomGenerator random(7);
    for (;;) {
        QByteArray r = recordOf(file.GetNextId());
        if (!file.Append(r.data()))
            ::_exit(4);
        if (file.GetCount() > 600 || (file.GetCount() > 200 && random.bounded(2) == 0))
            file.DeleteAt(static_cast<int>(random.bounded(file.GetCount())));
    }
}

} // namespace

TEST(ReaderBesideWriter, EveryRecordReadIsWholeAndTheOneAskedFor)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("race.dat"));
    {
        RecordFile seed;
        ASSERT_TRUE(seed.OpenFile(path, kSize));
        for (int i = 0; i < 300; ++i) {
            QByteArray r = recordOf(seed.GetNextId());
            seed.Append(r.data());
        }
    }
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0)
        writeForever(path);

    RecordFile reader;
    ASSERT_TRUE(reader.OpenFile(path, kSize, RecordFile::Mode::ReadOnly));
    QRandomGenerator random(11);
    int found = 0, torn = 0, wrongId = 0, unordered = 0;
    std::int32_t top = 300;
    for (int i = 0; i < 100000; ++i) {
        // Ids near the newest, where the writer appends and deletes.
        const int asked = std::max(1, top - static_cast<int>(random.bounded(800)));
        if (const char *r = reader.FindById(asked)) {
            std::int32_t id = 0;
            torn += whole(r, &id) ? 0 : 1;
            wrongId += id == asked ? 0 : 1;
            ++found;
        }
        // Now and then the whole file, walked by id as a listing does.
        if (i % 500 == 0) {
            std::int32_t last = 0;
            while (const char *r = reader.ReadAfter(last)) {
                std::int32_t id = 0;
                torn += whole(r, &id) ? 0 : 1;
                unordered += id > last ? 0 : 1;
                last = id;
            }
            top = std::max(top, last);
        }
    }
    ::kill(writer, SIGKILL);
    int status = 0;
    ::waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the writer ran all the while (exit " << WEXITSTATUS(status) << ")";
    EXPECT_GT(found, 1000) << "reads met records";
    EXPECT_EQ(torn, 0) << "records copied while they moved";
    EXPECT_EQ(wrongId, 0) << "another record returned for an id";
    EXPECT_EQ(unordered, 0) << "a listing that showed a record twice";

    // A writer killed in the middle of a change does not stop later readers,
    // and the next writer's open ends that change.
    RecordFile next;
    ASSERT_TRUE(next.OpenFile(path, kSize));
    EXPECT_GT(next.GetCount(), 0);
}
