#include "upload/UploadResultBook.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

using namespace quarvel;

TEST(UploadResultBook, ReasonsOutliveTheRunWhileTheRecordIsUnchanged)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("upresult.txt"));
    {
        UploadResultBook book(path);
        book.Load();
        book.Refused(UploadKind::Shipments, 7, 0xabc, QStringLiteral("单号重复"));
        book.Refused(UploadKind::Scans, 7, 0xdef, QStringLiteral("不存在\t\r\n多行"));
        book.Refused(UploadKind::Shipments, 9, 0x1, QStringLiteral("数据错误"));
        book.Accepted(UploadKind::Shipments, 9);
        ASSERT_TRUE(book.Save());
    }
    UploadResultBook again(path);
    again.Load();
    EXPECT_EQ(again.Reason(UploadKind::Shipments, 7, 0xabc), QStringLiteral("单号重复"));
    EXPECT_EQ(again.Reason(UploadKind::Shipments, 7, 0xabd), QString()) << "edited since: the reason no longer holds";
    EXPECT_EQ(again.Reason(UploadKind::Scans, 7, 0xdef), QStringLiteral("不存在   多行")) << "kinds are apart";
    EXPECT_EQ(again.Reason(UploadKind::Shipments, 9, 0x1), QString()) << "accepted: nothing to say";
    EXPECT_EQ(again.Ids(UploadKind::Shipments), QList<int>{7});

    again.Prune(UploadKind::Shipments, [](int) { return false; });
    EXPECT_TRUE(again.Ids(UploadKind::Shipments).isEmpty());
    EXPECT_EQ(again.Ids(UploadKind::Scans), QList<int>{7});

    // A damaged file gives what it can.
    root.write(QStringLiteral("upresult.txt"), "0\t3\t1f\t好\n0\tx\t1\tbad\n0\t4\n2\t5\tzz\tbad\n");
    again.Load();
    EXPECT_EQ(again.Ids(UploadKind::Shipments), QList<int>{3});
    EXPECT_TRUE(again.Ids(UploadKind::Scans).isEmpty());
}
