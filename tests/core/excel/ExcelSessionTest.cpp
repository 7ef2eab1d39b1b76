#include "excel/ExcelSession.h"
#include "RecordingEngine.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/TempRoot.h"

using namespace quarvel;

namespace {

const QString kCannotStart = QStringLiteral("无法启动LibreOffice服务!\r\n请在本机上安装LibreOffice Calc !");

QStringList withoutStart(QStringList log)
{
    log.removeAll(QStringLiteral("start"));
    return log;
}

} // namespace

TEST(ExcelSession, CellAddressesAndColumnWidths)
{
    const std::pair<std::pair<int, int>, const char *> addresses[] = {
        {{3, 1}, "A3"},    {{1, 26}, "Z1"},   {{7, 27}, "AA7"},   {{1, 28}, "AB1"}, {{2, 52}, "AZ2"}, {{2, 53}, "BA2"},
        {{9, 256}, "IV9"}, {{1, 702}, "ZZ1"}, {{1, 703}, "AAA1"}, {{0, 1}, ""},     {{1, 0}, ""}};
    for (const auto &[cell, address] : addresses)
        EXPECT_EQ(ExcelSession::CellAddress(cell.first, cell.second), QLatin1String(address)) << address;

    const std::pair<int, int> widths[] = {{64, 8}, {65, 9}, {1, 1}, {8, 1}, {9, 2}, {0, 0}, {-5, 0}};
    for (const auto &[pixels, characters] : widths)
        EXPECT_EQ(ExcelSession::ColumnWidthForPixels(pixels), characters) << pixels;
}

TEST(ExcelSession, SheetNamesFollowExcelsRules)
{
    for (const QString &good : {QStringLiteral("LIST"), QStringLiteral("预录单格式"), QStringLiteral("Invoice"),
                                QString(31, u'x'), QStringLiteral("a'b")})
        EXPECT_TRUE(ExcelSession::SheetNameProblem(good).isEmpty()) << good.toStdString();
    for (const QString &bad :
         {QString(), QStringLiteral("  "), QString(32, u'x'), QStringLiteral("a/b"), QStringLiteral("a\\b"),
          QStringLiteral("a?"), QStringLiteral("*"), QStringLiteral("[1]"), QStringLiteral("a:b"), QStringLiteral("'a"),
          QStringLiteral("a'"), QStringLiteral("history")})
        EXPECT_FALSE(ExcelSession::SheetNameProblem(bad).isEmpty()) << bad.toStdString();

    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    ExcelSession session(&engine, prompter, root.path());
    EXPECT_FALSE(session.OpenNew(QStringLiteral("运单/2024"), root.file(QStringLiteral("a.xls"))));
    EXPECT_TRUE(session.GetErrorText().startsWith(QStringLiteral("工作表名称\"运单/2024\"无效")));
    EXPECT_TRUE(engine.log.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(root.file(QStringLiteral("a.xls"))));
}

TEST(ExcelSession, StartingWorkbooksFromBytesFromACopyOrEmpty)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    root.write(QStringLiteral("source.xls"), "SOURCE");
    {
        ExcelSession session(&engine, prompter, root.path());
        ASSERT_TRUE(session.OpenFromBytes(QStringLiteral("BILL"), root.file(QStringLiteral("BILL_1.xls")), "TEMPLATE"));
    }
    {
        ExcelSession session(&engine, prompter, root.path());
        ASSERT_TRUE(
            session.OpenNew(QString(), root.file(QStringLiteral("copy.xls")), root.file(QStringLiteral("source.xls"))));
    }
    {
        ExcelSession session(&engine, prompter, root.path());
        ASSERT_TRUE(session.OpenNew(QStringLiteral("LIST"), root.file(QStringLiteral("new.xls")),
                                    root.file(QStringLiteral("missing.xls"))));
    }
    {
        ExcelSession session(&engine, prompter, root.path());
        ASSERT_TRUE(session.OpenFromBytes(QString(), root.file(QStringLiteral("empty.xls")), QByteArray()));
    }
    EXPECT_EQ(withoutStart(engine.log),
              (QStringList{QStringLiteral("open edit BILL_1.xls TEMPLATE"), QStringLiteral("rename BILL"),
                           QStringLiteral("close"), QStringLiteral("open edit copy.xls SOURCE"),
                           QStringLiteral("close"), QStringLiteral("create new.xls"), QStringLiteral("rename LIST"),
                           QStringLiteral("close"), QStringLiteral("create empty.xls"), QStringLiteral("close")}));
    EXPECT_EQ(engine.log.count(QStringLiteral("start")), 4);
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(root.read(QStringLiteral("source.xls")), QByteArray("SOURCE"));
}

TEST(ExcelSession, ReplacingAFileAsksUnlessTheBytesCallerSwitchedItOff)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter(false);
    const QString path = root.file(QStringLiteral("x.xls"));
    root.write(QStringLiteral("x.xls"), "OLD");

    ExcelSession session(&engine, prompter, root.path());
    session.SetConfirmOverwrite(false);
    EXPECT_FALSE(session.OpenNew(QString(), path));
    EXPECT_EQ(session.GetErrorText(), QStringLiteral("用户选择放弃操作。"));
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("文件:\"") + path + QStringLiteral("\"已经存在,\r\n替换掉吗?")});
    EXPECT_EQ(root.read(QStringLiteral("x.xls")), QByteArray("OLD"));

    prompter.clear();
    EXPECT_TRUE(session.OpenFromBytes(QString(), path, "NEW"));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(engine.log.last(), QStringLiteral("open edit x.xls NEW"));

    ExcelSession asking(&engine, prompter, root.path());
    EXPECT_FALSE(asking.OpenFromBytes(QString(), path, "NEWER"));
    EXPECT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(asking.GetErrorText(), QStringLiteral("用户选择放弃操作。"));
}

TEST(ExcelSession, OpenFailuresLeaveNothingBehind)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    const QString path = root.file(QStringLiteral("a.xls"));

    engine.startWorks = false;
    root.write(QStringLiteral("a.xls"), "KEEP");
    ExcelSession noOffice(&engine, prompter, root.path());
    EXPECT_FALSE(noOffice.OpenNew(QStringLiteral("LIST"), path));
    EXPECT_EQ(noOffice.GetErrorText(), kCannotStart);
    EXPECT_TRUE(prompter.shown().isEmpty()) << "no question when the office cannot start";
    EXPECT_EQ(root.read(QStringLiteral("a.xls")), QByteArray("KEEP"));

    engine.startWorks = true;
    engine.log.clear();
    ExcelSession missing(&engine, prompter, root.path());
    EXPECT_FALSE(missing.OpenExisting(root.file(QStringLiteral("nothing.xls"))));
    EXPECT_EQ(missing.GetErrorText(), QStringLiteral("文件不存在。"));
    EXPECT_FALSE(missing.OpenExisting(root.path()));
    EXPECT_EQ(missing.GetErrorText(), QStringLiteral("文件不存在。"));
    EXPECT_TRUE(engine.log.isEmpty()) << "the office is not started for a missing file";

    engine.renameRefused = true;
    ExcelSession refused(&engine, prompter, root.path());
    EXPECT_FALSE(refused.OpenFromBytes(QStringLiteral("BILL"), root.file(QStringLiteral("b.xls")), "T"));
    EXPECT_EQ(refused.GetErrorText(), QStringLiteral("名称已被使用"));
    EXPECT_FALSE(QFileInfo::exists(root.file(QStringLiteral("b.xls"))));
    EXPECT_EQ(engine.openDocuments, 0);

    engine.renameRefused = false;
    engine.failing = QStringLiteral("create");
    ExcelSession createFails(&engine, prompter, root.path());
    EXPECT_FALSE(createFails.OpenNew(QString(), root.file(QStringLiteral("c.xls"))));
    EXPECT_EQ(createFails.GetErrorText(), engine.failure);
    EXPECT_FALSE(createFails.SetCellText(1, 1, QStringLiteral("x")));
    EXPECT_EQ(createFails.GetErrorText(), engine.failure) << "the first failure stays";
}

TEST(ExcelSession, CellTextsFollowExcelsApostropheAndStayInTheSheet)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    ExcelSession session(&engine, prompter, root.path());
    ASSERT_TRUE(session.OpenNew(QString(), root.file(QStringLiteral("a.xls"))));
    engine.log.clear();
    EXPECT_TRUE(session.SetCellText(1, 1, QStringLiteral("'0123")));
    EXPECT_TRUE(session.SetCellText(1, 2, QStringLiteral("''x")));
    EXPECT_TRUE(session.SetCellText(1, 3, QStringLiteral("0456")));
    EXPECT_TRUE(session.SetCells(5, 2, {{QStringLiteral("'0789"), 1.5, QVariant()}, {QStringLiteral("张三")}}));
    EXPECT_EQ(session.GetCellText(1, 1), QStringLiteral("0123"));
    EXPECT_TRUE(session.SetColumnWidth(3, 65));
    EXPECT_TRUE(session.MergeCells(4, 3, 2, 1));
    EXPECT_EQ(engine.log, (QStringList{QStringLiteral("setText 1,1 0123"), QStringLiteral("setText 1,2 'x"),
                                       QStringLiteral("setText 1,3 0456"),
                                       QStringLiteral("setBlock 5,2 2x3 [0789|#1.5|-]"), QStringLiteral("cellText 1,1"),
                                       QStringLiteral("width 3 9"), QStringLiteral("merge 2,1 4,3")}));
    EXPECT_TRUE(session.GetErrorText().isEmpty());

    // Beyond an Excel 97 sheet nothing is written, and the session stays failed.
    engine.log.clear();
    EXPECT_FALSE(session.SetCellText(65537, 1, QStringLiteral("x")));
    const QString tooFar = session.GetErrorText();
    EXPECT_EQ(tooFar, QStringLiteral("单元格超出Excel表格的范围:第65537行,第1列。"));
    EXPECT_FALSE(session.SetCells(65536, 1, {{QStringLiteral("a")}, {QStringLiteral("b")}}));
    EXPECT_FALSE(session.SetCellText(1, 257, QStringLiteral("x")));
    EXPECT_FALSE(session.SaveAndClose());
    EXPECT_EQ(session.GetErrorText(), tooFar);
    EXPECT_EQ(engine.log, QStringList{QStringLiteral("close")});
}

TEST(ExcelSession, AFailedOperationEndsTheWorkAndNothingIsSaved)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    ExcelSession session(&engine, prompter, root.path());
    ASSERT_TRUE(session.OpenNew(QString(), root.file(QStringLiteral("a.xls"))));
    engine.failing = QStringLiteral("setText");
    engine.log.clear();
    EXPECT_FALSE(session.SetCellText(1, 1, QStringLiteral("a")));
    EXPECT_FALSE(session.SetCellText(1, 2, QStringLiteral("b")));
    EXPECT_EQ(session.GetCellText(1, 1), QString());
    EXPECT_FALSE(session.PrintSheet(1, 1, 1, false));
    EXPECT_FALSE(session.SaveAndClose());
    EXPECT_EQ(session.GetErrorText(), engine.failure);
    EXPECT_EQ(engine.log, (QStringList{QStringLiteral("setText 1,1 a"), QStringLiteral("close")}));

    engine.failing = QStringLiteral("save");
    ExcelSession saveFails(&engine, prompter, root.path());
    ASSERT_TRUE(saveFails.OpenNew(QString(), root.file(QStringLiteral("b.xls"))));
    EXPECT_FALSE(saveFails.SaveAndClose()) << "a failed save is not reported as saved";
    EXPECT_EQ(saveFails.GetErrorText(), engine.failure);
    EXPECT_EQ(engine.openDocuments, 0);
}

TEST(ExcelSession, QuitActsOnlyOnce)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    root.write(QStringLiteral("import.xls"), "ROWS");
    {
        ExcelSession session(&engine, prompter, root.path());
        ASSERT_TRUE(session.OpenExisting(root.file(QStringLiteral("import.xls"))));
        session.Quit();
        session.Quit();
        EXPECT_FALSE(session.OpenNew(QString(), root.file(QStringLiteral("late.xls"))));
    }
    EXPECT_EQ(engine.log.count(QStringLiteral("close")), 1);
    EXPECT_TRUE(engine.log.contains(QStringLiteral("open read import.xls ROWS")));
    EXPECT_FALSE(QFileInfo::exists(root.file(QStringLiteral("late.xls"))));
}

TEST(ExcelSession, PrintingToAFolderKeepsEachPdf)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    const QString folder = root.file(QStringLiteral("pdf"));
    ExcelSession session(&engine, prompter, root.file(QStringLiteral("DATA_TEMP")), PrintDestination::Folder(folder));
    ASSERT_TRUE(session.OpenFromBytes(QStringLiteral("BILL"), root.file(QStringLiteral("BILL_5.xls")), "T"));
    engine.log.clear();
    EXPECT_TRUE(session.PrintSheet(0, -3, 0, false));
    EXPECT_TRUE(session.PrintSheet(2, 4, 1, false));
    EXPECT_EQ(engine.log, (QStringList{QStringLiteral("pdf ") + folder + QStringLiteral("/BILL_5.pdf 1-1"),
                                       QStringLiteral("pdf ") + folder + QStringLiteral("/BILL_5_2.pdf 2-4")}));
    EXPECT_EQ(session.GetPrintedFile(), folder + QStringLiteral("/BILL_5_2.pdf"));
    EXPECT_FALSE(QFileInfo::exists(root.file(QStringLiteral("DATA_TEMP"))));
}

TEST(ExcelSession, TakesEngineTempFolderAndPrintDestinationFromTheContext)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    ClientContext context(root.path());
    {
        ExcelSession noEngine(context, prompter);
        EXPECT_FALSE(noEngine.OpenNew(QString(), root.file(QStringLiteral("a.xls"))));
        EXPECT_EQ(noEngine.GetErrorText(), kCannotStart);
    }
    context.setSpreadsheetEngine(&engine);
    root.write(QStringLiteral("DATA_SYS/print.conf"), "folder=DATA_TEMP/pdf\n");
    ExcelSession session(context, prompter);
    ASSERT_TRUE(
        session.OpenFromBytes(QStringLiteral("Invoice"), root.file(QStringLiteral("DATA_TEMP/INVOICE_9.xls")), "T"));
    ASSERT_TRUE(session.PrintSheet(1, 1, 1, false));
    EXPECT_EQ(session.GetPrintedFile(), root.file(QStringLiteral("DATA_TEMP/pdf/INVOICE_9.pdf")));
    EXPECT_TRUE(session.SaveAndClose());
}
