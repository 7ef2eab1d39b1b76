#include "storage/CheckFile.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace quarvel;

namespace {

CheckRecord scanOf(const QByteArray &number)
{
    CheckRecord r{};
    std::memcpy(r.cnum, number.constData(), static_cast<std::size_t>(number.size()));
    return r;
}

// What the index must answer: the last record holding the number.
int lastByScanning(const CheckFile &file, const QByteArray &number)
{
    for (int i = file.GetCount() - 1; i >= 0; --i)
        if (std::strncmp(file.At(i)->cnum, number.constData(), sizeof file.At(i)->cnum) == 0 &&
            std::strlen(file.At(i)->cnum) == static_cast<std::size_t>(number.size()))
            return file.At(i)->iid;
    return 0;
}

int indexed(CheckFile &file, const QByteArray &number)
{
    const CheckRecord *r = file.FindLastByNumber(number);
    return r ? r->iid : 0;
}

TEST(CheckFile, TheNumberIndexAgreesWithAScanOfTheFileAfterEveryKindOfChange)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("reccheck.dat"));
    CheckFile file;
    ASSERT_EQ(file.OpenRecords(path), 0);
    std::mt19937 random(15);
    const auto number = [&random] { return QByteArray("N") + QByteArray::number(int(random() % 40)); };
    for (int step = 0; step < 3000; ++step) {
        const int what = int(random() % 10);
        const int count = file.GetCount();
        if (what < 5 || count == 0) {
            CheckRecord r = scanOf(number());
            file.Append(&r);
        } else if (what == 5) {
            CheckRecord r = scanOf(number());
            const int at = int(random() % unsigned(count));
            r.iid = file.At(at)->iid;
            file.WriteAt(at, &r);
        } else if (what == 6) {
            file.DeleteAt(int(random() % unsigned(count)));
        } else if (what == 7) {
            const QByteArray gone = number();
            file.DeleteWhere([&gone](const char *r) { return QByteArray(r + 8) == gone; });
        } else if (what == 8 && step % 50 == 0) {
            file.Close();
            file.OpenRecords(path);
        }
        const QByteArray probe = number();
        ASSERT_EQ(indexed(file, probe), lastByScanning(file, probe)) << "step " << step << " " << probe.constData();
    }
    EXPECT_EQ(file.FindLastByNumber(QByteArray(32, 'x')), nullptr) << "longer than the field holds";
}

} // namespace
