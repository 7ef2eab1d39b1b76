#include "excel/ListExcelExport.h"
#include "RecordingEngine.h"
#include "app/ScriptedPrompter.h"
#include "support/TempRoot.h"

using namespace quarvel;

namespace {

ListSnapshot list(int rows)
{
    ListSnapshot l;
    l.title = QStringLiteral("收/发件人");
    l.columns = {
        {QStringLiteral("编码"), 40, true}, {QStringLiteral("电话"), 100, false}, {QStringLiteral("重量"), 65, true}};
    for (int i = 0; i < rows; ++i)
        l.rows.append({QString::number(i + 1), QStringLiteral("0%1").arg(i), QStringLiteral("2.5")});
    return l;
}

} // namespace

TEST(ListExcelExport, LeftAlignedCellsStayTextRightAlignedBecomeNumbers)
{
    const auto value = &ListExcelExport::CellValue;
    EXPECT_EQ(value(QStringLiteral("0123"), false), QVariant(QStringLiteral("'0123")));
    EXPECT_EQ(value(QStringLiteral("13812345678"), false), QVariant(QStringLiteral("'13812345678")));
    EXPECT_EQ(value(QStringLiteral("张三"), false), QVariant(QStringLiteral("张三")));
    EXPECT_EQ(value(QStringLiteral("-12"), false), QVariant(QStringLiteral("-12")));
    EXPECT_TRUE(value(QString(), false).isNull());
    EXPECT_EQ(value(QStringLiteral("12.50"), true), QVariant(12.5));
    EXPECT_EQ(value(QStringLiteral(" 7 "), true), QVariant(7.0));
    EXPECT_EQ(value(QStringLiteral("合计"), true), QVariant(QStringLiteral("合计")));
    EXPECT_EQ(value(QStringLiteral("nan"), true), QVariant(QStringLiteral("nan")));
    EXPECT_EQ(value(QStringLiteral("inf"), true), QVariant(QStringLiteral("inf")));
    EXPECT_TRUE(value(QString(), true).isNull());
}

TEST(ListExcelExport, WritesTitleStampHeadersWidthsAndRowsInBlocks)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    ListExcelExport exporter(&engine, prompter);
    ASSERT_TRUE(exporter.Export(list(4500), root.file(QStringLiteral("l.xls")),
                                QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58))));
    EXPECT_EQ(engine.log,
              (QStringList{QStringLiteral("start"), QStringLiteral("create l.xls"), QStringLiteral("rename LIST"),
                           QStringLiteral("setText 1,1 收/发件人"), QStringLiteral("setText 2,1 (2023-12-31 23:59:58)"),
                           QStringLiteral("setText 4,1 编码"), QStringLiteral("width 1 5"),
                           QStringLiteral("setText 4,2 电话"), QStringLiteral("width 2 13"),
                           QStringLiteral("setText 4,3 重量"), QStringLiteral("width 3 9"),
                           QStringLiteral("setBlock 5,1 2000x3 [#1|00|#2.5]"),
                           QStringLiteral("setBlock 2005,1 2000x3 [#2001|02000|#2.5]"),
                           QStringLiteral("setBlock 4005,1 500x3 [#4001|04000|#2.5]"), QStringLiteral("save l.xls"),
                           QStringLiteral("close")}));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("文件已经保存。")});
}

TEST(ListExcelExport, ListsAnExcelSheetCannotHoldAreRefused)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    ListExcelExport exporter(&engine, prompter);
    EXPECT_TRUE(exporter.Export(list(65532), root.file(QStringLiteral("full.xls"))));
    EXPECT_TRUE(engine.log.contains(QStringLiteral("setBlock 64005,1 1532x3 [#64001|064000|#2.5]")));

    engine.log.clear();
    prompter.clear();
    EXPECT_FALSE(exporter.Export(list(65533), root.file(QStringLiteral("over.xls"))));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("列表有65533行,Excel表格最多只能保存65532行,\r\n请导出为文本文件。"));
    EXPECT_TRUE(engine.log.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(root.file(QStringLiteral("over.xls"))));

    ListSnapshot wide;
    wide.columns.resize(257);
    EXPECT_FALSE(exporter.Export(wide, root.file(QStringLiteral("wide.xls"))));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("列表有257列,Excel表格最多只能保存256列,\r\n请导出为文本文件。"));
}

TEST(ListExcelExport, AFailureShowsTheSpreadsheetErrorInsteadOfSuccess)
{
    TempRoot root;
    RecordingEngine engine;
    ScriptedPrompter prompter;
    ListExcelExport exporter(&engine, prompter);
    engine.failing = QStringLiteral("setBlock");
    EXPECT_FALSE(exporter.Export(list(3), root.file(QStringLiteral("l.xls"))));
    EXPECT_EQ(prompter.texts(), QStringList{engine.failure});
    EXPECT_EQ(prompter.shown().first().kind, ScriptedPrompter::Kind::Error);
    EXPECT_FALSE(engine.log.contains(QStringLiteral("save l.xls")));

    prompter.clear();
    engine.startWorks = false;
    EXPECT_FALSE(exporter.Export(list(3), root.file(QStringLiteral("m.xls"))));
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("无法启动LibreOffice服务!\r\n请在本机上安装LibreOffice Calc !")});
}
