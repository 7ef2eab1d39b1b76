#include "upload/UploadProgress.h"
#include "upload/UploadStatus.h"

#include <gtest/gtest.h>

using namespace quarvel;

TEST(UploadStatus, TheLeadingNumberOfTheReplyCounts)
{
    EXPECT_EQ(UploadStatus::read("123\n"), 123);
    EXPECT_EQ(UploadStatus::read("  7 \r\nmore text"), 7);
    EXPECT_EQ(UploadStatus::read("-2\n"), -2);
    EXPECT_EQ(UploadStatus::read("-10"), -10);
    EXPECT_EQ(UploadStatus::read("+5\n"), 5);
    // What follows the number is the server's own comment.
    EXPECT_EQ(UploadStatus::read("15 OK"), 15);
    EXPECT_EQ(UploadStatus::read("7abc\n"), 7);
    EXPECT_EQ(UploadStatus::read("-2,单号重复"), -2);
    // No leading number: a refusal.
    EXPECT_EQ(UploadStatus::read("<html>1</html>"), 0);
    EXPECT_EQ(UploadStatus::read("OK 15"), 0);
    EXPECT_EQ(UploadStatus::read(""), 0);
    EXPECT_EQ(UploadStatus::read("-\n"), 0);
    EXPECT_EQ(UploadStatus::read("- 5"), 0);
    EXPECT_EQ(UploadStatus::read("\n5\n"), 0);
    EXPECT_EQ(UploadStatus::read("\v5"), 0);
    EXPECT_EQ(UploadStatus::read("99999999999 OK"), 2147483647) << "a huge number is held, not wrapped";
}

TEST(UploadStatus, ReasonTextsPerKind)
{
    using K = UploadKind;
    EXPECT_EQ(UploadStatus::text(K::Shipments, 5), QString());
    EXPECT_EQ(UploadStatus::text(K::Shipments, -1), QStringLiteral("数据错误"));
    EXPECT_EQ(UploadStatus::text(K::Shipments, -2), QStringLiteral("单号重复"));
    EXPECT_EQ(UploadStatus::text(K::Shipments, -9), QStringLiteral("通讯错-9"));
    EXPECT_EQ(UploadStatus::text(K::Shipments, -108), QStringLiteral("通讯错-108"));
    EXPECT_EQ(UploadStatus::text(K::Shipments, 0), QStringLiteral("未知错误"));
    EXPECT_EQ(UploadStatus::text(K::Shipments, -3), QStringLiteral("未知错误"));
    EXPECT_EQ(UploadStatus::text(K::Scans, -2), QStringLiteral("不存在"));
    EXPECT_EQ(UploadStatus::text(K::Scans, -3), QStringLiteral("已送达"));
    EXPECT_EQ(UploadStatus::text(K::Scans, -18), QStringLiteral("通讯错-18"));
    EXPECT_EQ(UploadStatus::text(K::Scans, -1), QStringLiteral("错误[-1]"));
    EXPECT_EQ(UploadStatus::text(K::Scans, 0), QStringLiteral("错误[0]"));
}

TEST(UploadProgress, TextsOfEveryEnding)
{
    EXPECT_EQ(UploadProgress::counts(3, 1, 0), QStringLiteral("共 3 条，已处理 1 条(33%)。1 成功; 0 失败。"));
    EXPECT_EQ(UploadProgress::final(UploadEnding::AllSent, 0, 5, 4, 1),
              QStringLiteral("共 5 条，已处理 5 条(100%)。4 成功; 1 失败。"));
    EXPECT_EQ(UploadProgress::final(UploadEnding::Cancelled, 0, 5, 3, 0),
              QStringLiteral("共 5 条，已处理 3 条(60%)。3 成功; 0 失败。终止传送"));
    EXPECT_EQ(UploadProgress::final(UploadEnding::StoppedByServer, -10, 5, 1, 1),
              QStringLiteral("共 5 条，已处理 2 条(40%)。1 成功; 1 失败。"));
    EXPECT_EQ(UploadProgress::final(UploadEnding::EmptyReply, 0, 5, 0, 0),
              QStringLiteral("共 5 条，已处理 0 条(0%)。0 成功; 0 失败。服务器没有返回数据，终止传送"));
    EXPECT_EQ(UploadProgress::final(UploadEnding::TransportFailed, -5, 5, 2, 0), QStringLiteral("服务器连接失败。"));
    EXPECT_EQ(UploadProgress::transportText(-6), QStringLiteral("服务器返回错误状态码,请求不支持或不存在。"));
    EXPECT_EQ(UploadProgress::transportText(-1), QStringLiteral("数据不正确或未知错误。"));
    EXPECT_EQ(UploadProgress::transportText(-7), QStringLiteral("服务器返回数据不完整。"));
    EXPECT_EQ(UploadProgress::transportText(-8), QStringLiteral("服务器应答超时。"));
    EXPECT_EQ(UploadProgress::transportText(-9), QStringLiteral("数据不正确或未知错误。"));
    EXPECT_EQ(UploadProgress::counts(10000, 9999, 0),
              QStringLiteral("共 10000 条，已处理 9999 条(99%)。9999 成功; 0 失败。"))
        << "percent rounded down";
}
