#include "shell/FrameCommands.h"
#include "app/ProgramVersion.h"
#include "shell/FrameTexts.h"
#include "shell/PageCatalog.h"

#include <gtest/gtest.h>

using namespace quarvel;

TEST(FrameCommands, EnablementFollowsThePageAndItsFlags)
{
    FrameState s;
    s.page = 0;
    s.flags.canDelete = true;
    s.flags.formHidden = true;
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdDelete, s)) << "delete needs the form shown";
    s.page = 5;
    EXPECT_TRUE(FrameCommands::IsEnabled(CmdDelete, s)) << "except on the uploaded pre-entries page";
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdCopy, s));
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdPrintLabels, s));
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdImport, s));
    s.page = 3;
    EXPECT_TRUE(FrameCommands::IsEnabled(CmdImport, s));
    s.page = 1;
    EXPECT_TRUE(FrameCommands::IsEnabled(CmdPrintWaybills, s));
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdPrintInvoices, s));

    s.page = 0;
    s.flags.formHidden = false;
    s.flags.canPaste = false;
    EXPECT_TRUE(FrameCommands::IsEnabled(CmdCopy, s));
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdPaste, s));
    s.flags.canExport = true;
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdExport, s)) << "an empty list exports nothing";
    s.listHasRows = true;
    EXPECT_TRUE(FrameCommands::IsEnabled(CmdExport, s));
    s.flags.canUpload = true;
    EXPECT_TRUE(FrameCommands::IsEnabled(CmdUpload, s));
    EXPECT_TRUE(FrameCommands::IsEnabled(CmdPrice, s));
    s.uploading = true;
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdUpload, s));
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdPrice, s));
    EXPECT_FALSE(FrameCommands::IsEnabled(CmdSettlementSummary, s));
    s.loggedIn = true;
    s.customerNumber = 101;
    EXPECT_TRUE(FrameCommands::IsEnabled(CmdSettlementSummary, s));
    EXPECT_TRUE(FrameCommands::IsChecked(CmdShowPreInput, s));
    EXPECT_FALSE(FrameCommands::IsChecked(CmdShowContacts, s));
}

TEST(FrameCommands, ToolbarLabelsAndPages)
{
    EXPECT_EQ(FrameCommands::Label(CmdShowScan), QStringLiteral("检查"));
    EXPECT_EQ(FrameCommands::Help(CmdShowScan), QStringLiteral("检查点扫描 "));
    EXPECT_EQ(FrameCommands::Label(CmdUploadFrame3), QStringLiteral("上传"));
    const QList<Command> bar = FrameCommands::ToolbarLayout();
    EXPECT_EQ(bar.size(), 33);
    EXPECT_EQ(bar.count(CmdSeparator), 7);
    EXPECT_EQ(bar.mid(27), FrameCommands::AnimationFrames());
    EXPECT_TRUE(bar.contains(CmdShowDayReport));
    for (int page = 0; page < 6; ++page) {
        EXPECT_EQ(FrameCommands::PageOf(FrameCommands::ShowingCommand(page)), page);
        EXPECT_FALSE(PageCatalog::Title(page).isEmpty());
    }
    EXPECT_EQ(PageCatalog::Columns(PageCatalog::PreInput).size(), 17);
    EXPECT_EQ(PageCatalog::Columns(PageCatalog::RecordCheck).size(), 19);
    EXPECT_EQ(PageCatalog::Columns(PageCatalog::Scan).size(), 18);
}

TEST(FrameTexts, ClockCaptionAndListCaption)
{
    EXPECT_EQ(FrameTexts::Clock(QDateTime(QDate(2026, 12, 7), QTime(8, 5, 9))),
              QStringLiteral("2026.12.07 08:05:09 Mon."));
    EXPECT_EQ(FrameTexts::Clock(QDateTime(QDate(2026, 12, 10), QTime(23, 59, 59))),
              QStringLiteral("2026.12.10 23:59:59 Thur."));
    EXPECT_EQ(FrameTexts::Clock(QDateTime(QDate(2026, 12, 13), QTime(0, 0))),
              QStringLiteral("2026.12.13 00:00:00 Sun."));
    EXPECT_EQ(FrameTexts::Caption(QStringLiteral("Quarvel-客户端"), false, QString(), 0),
              QStringLiteral("Quarvel-客户端 - 离线状态"));
    EXPECT_EQ(FrameTexts::Caption(QStringLiteral("Quarvel-客户端"), true, QStringLiteral("demo"), 101),
              QStringLiteral("Quarvel-客户端 - 已登入[demo :: 101]"));
    EXPECT_EQ(FrameTexts::ListCaption(QStringLiteral("●收/发件人记录列表"), 3),
              QStringLiteral("●收/发件人记录列表  共 3 条记录"));
    EXPECT_EQ(FrameTexts::FromColorRef(0x808000), 0x008080u);
}

TEST(FrameTexts, TheAboutBoxNamesTheVersionAndTheRootFolder)
{
    const QString about =
        FrameTexts::About(QStringLiteral("Quarvel-客户端"), QStringLiteral("/home/op/.local/share/quarvel/"));
    EXPECT_TRUE(about.startsWith(QStringLiteral("Quarvel-客户端\n")));
    EXPECT_TRUE(about.contains(QStringLiteral("版本 ") + ProgramVersion::Text())) << about.toStdString();
    EXPECT_TRUE(about.contains(QStringLiteral("数据目录 /home/op/.local/share/quarvel/"))) << about.toStdString();
    EXPECT_FALSE(ProgramVersion::Text().isEmpty());
}
