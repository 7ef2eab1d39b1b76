#include "OfficeTestSupport.h"

#include <QFileInfo>

using namespace quarvel;
using namespace officetest;

namespace {

// Ends the office when the test program ends and checks that nothing of it is left.
class OfficeEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        const qint64 pid = engine().officeProcessId();
        OfficeEngine::shutdownProcessEngine();
        EXPECT_EQ(engine().officeProcessId(), 0);
        EXPECT_TRUE(processEnds(pid, 0)) << "office " << pid << " still runs after shutdown";
    }
};
[[maybe_unused]] const ::testing::Environment *const environment =
    ::testing::AddGlobalTestEnvironment(new OfficeEnvironment);

} // namespace

// The template of the tests as an .xls file, made by the office from the text source.
QByteArray officetest::templateBytes(const Folder &folder)
{
    QString error;
    auto document = engine().open(QStringLiteral(QUARVEL_SOURCE_DIR "/tests/data/office/waybill-template.fods"),
                                  SpreadsheetEngine::Access::Edit, &error);
    EXPECT_TRUE(document) << error.toStdString();
    if (!document)
        return {};
    const QString path = folder.file(QStringLiteral("template.xls"));
    EXPECT_TRUE(document->save(path)) << document->errorText().toStdString();
    document->close();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(OfficeSession, NewWorkbookKeepsChineseTextDigitsAsTextAndExcelWidths)
{
    Folder folder;
    ScriptedPrompter prompter;
    const QString path = folder.file(QStringLiteral("新建.xls"));
    ExcelSession session(&engine(), prompter, folder.path());
    ASSERT_TRUE(session.OpenNew(QStringLiteral("预录单格式"), path)) << session.GetErrorText().toStdString();
    EXPECT_TRUE(QFileInfo::exists(path));
    session.SetCellText(1, 1, QStringLiteral("收件人：张三（北京）"));
    session.SetCellText(1, 2, QStringLiteral("'0123"));
    session.SetCellText(1, 3, QStringLiteral("0456"));
    session.SetCellText(1, 4, QStringLiteral("'"));
    session.SetCellText(1, 5, QStringLiteral("=1+2"));
    session.SetColumnWidth(1, 64);
    session.SetColumnWidth(2, 65);
    // Every cell named by CellAddress holds its own address, as xlrd names cells.
    for (const auto &[row, column] : {std::pair{3, 1}, {4, 26}, {5, 27}, {6, 28}, {7, 52}, {8, 53}, {9, 256}})
        session.SetCellText(row, column, ExcelSession::CellAddress(row, column));
    EXPECT_EQ(session.GetCellText(1, 2), QStringLiteral("0123"));
    EXPECT_EQ(session.GetCellText(1, 1), QStringLiteral("收件人：张三（北京）"));
    ASSERT_TRUE(session.SaveAndClose()) << session.GetErrorText().toStdString();
    EXPECT_TRUE(prompter.shown().isEmpty());

    const QJsonObject book = readXls(path);
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray().first().toString(), QStringLiteral("预录单格式"));
    EXPECT_EQ(cell(book, "A1")[QStringLiteral("value")].toString(), QStringLiteral("收件人：张三（北京）"));
    for (const auto &[address, text] : {std::pair{"B1", "0123"}, {"C1", "0456"}, {"E1", "=1+2"}}) {
        EXPECT_EQ(cell(book, address)[QStringLiteral("type")].toString(), QStringLiteral("text")) << address;
        EXPECT_EQ(cell(book, address)[QStringLiteral("value")].toString(), QLatin1String(text)) << address;
    }
    EXPECT_TRUE(cell(book, "D1").isEmpty() || cell(book, "D1")[QStringLiteral("value")].toString().isEmpty());
    for (const char *address : {"A3", "Z4", "AA5", "AB6", "AZ7", "BA8", "IV9"})
        EXPECT_EQ(cell(book, address)[QStringLiteral("value")].toString(), QLatin1String(address));
    const QJsonObject widths = book[QStringLiteral("widths")].toObject();
    EXPECT_DOUBLE_EQ(excelColumnWidth(widths[QStringLiteral("A")].toInt()), 8.0) << widths[QStringLiteral("A")].toInt();
    EXPECT_DOUBLE_EQ(excelColumnWidth(widths[QStringLiteral("B")].toInt()), 9.0) << widths[QStringLiteral("B")].toInt();
}

TEST(OfficeSession, TemplateKeepsFontsBordersMergesAndWidthsWhenFilled)
{
    Folder folder;
    const QByteArray bytes = templateBytes(folder);
    ASSERT_FALSE(bytes.isEmpty());
    const QJsonObject designed = readXls(folder.file(QStringLiteral("template.xls")));
    // The template as designed, read without LibreOffice.
    ASSERT_EQ(designed[QStringLiteral("merged")].toArray(), QJsonArray{QStringLiteral("A1:C1")});
    ASSERT_EQ(cell(designed, "A1")[QStringLiteral("font")][QStringLiteral("name")].toString(), QStringLiteral("宋体"));
    ASSERT_EQ(cell(designed, "A1")[QStringLiteral("font")][QStringLiteral("weight")].toInt(), 700);
    ASSERT_TRUE(cell(designed, "B2")[QStringLiteral("font")][QStringLiteral("italic")].toBool());
    ASSERT_EQ(cell(designed, "C2")[QStringLiteral("format")].toString(), QStringLiteral("@"));

    // An old working file of the same name is replaced without a question.
    const QString path = folder.file(QStringLiteral("BILL_1.xls"));
    ASSERT_TRUE(QFile::copy(folder.file(QStringLiteral("template.xls")), path));
    ScriptedPrompter prompter;
    ExcelSession session(&engine(), prompter, folder.path());
    session.SetConfirmOverwrite(false);
    ASSERT_TRUE(session.OpenFromBytes(QStringLiteral("BILL"), path, bytes)) << session.GetErrorText().toStdString();
    session.SetCellText(1, 1, QStringLiteral("国际快递运单"));
    session.SetCellText(2, 1, session.GetCellText(2, 1) + QStringLiteral("李四"));
    session.SetCellText(2, 2, QStringLiteral("王五 Wang"));
    session.SetCellText(2, 3, QStringLiteral("0123"));
    session.MergeCells(5, 2, 4, 1);
    ASSERT_TRUE(session.SaveAndClose()) << session.GetErrorText().toStdString();
    EXPECT_TRUE(prompter.shown().isEmpty());

    const QJsonObject filled = readXls(path);
    EXPECT_EQ(filled[QStringLiteral("sheets")].toArray(), (QJsonArray{QStringLiteral("BILL"), QStringLiteral("说明")}));
    EXPECT_EQ(filled[QStringLiteral("merged")].toArray(),
              (QJsonArray{QStringLiteral("A1:C1"), QStringLiteral("A4:B5")}));
    EXPECT_EQ(cell(filled, "A1")[QStringLiteral("value")].toString(), QStringLiteral("国际快递运单"));
    EXPECT_EQ(cell(filled, "A2")[QStringLiteral("value")].toString(), QStringLiteral("收件人:李四"));
    EXPECT_EQ(cell(filled, "B2")[QStringLiteral("value")].toString(), QStringLiteral("王五 Wang"));
    EXPECT_EQ(cell(filled, "C2")[QStringLiteral("type")].toString(), QStringLiteral("text"));
    EXPECT_EQ(cell(filled, "C2")[QStringLiteral("value")].toString(), QStringLiteral("0123"));
    // Every cell of the template keeps its font, borders and number format,
    // Chinese text included (it must not move to a substitute Asian font).
    const QJsonObject designedCells = designed[QStringLiteral("cells")].toObject();
    for (auto it = designedCells.begin(); it != designedCells.end(); ++it) {
        const QJsonObject before = it.value().toObject();
        const QJsonObject after = filled[QStringLiteral("cells")].toObject()[it.key()].toObject();
        for (const char *property : {"font", "border", "format"})
            EXPECT_EQ(after[QLatin1String(property)], before[QLatin1String(property)])
                << it.key().toStdString() << " " << property << ": "
                << QJsonDocument(after).toJson(QJsonDocument::Compact).toStdString();
    }
    const QJsonObject designedWidths = designed[QStringLiteral("widths")].toObject();
    const QJsonObject filledWidths = filled[QStringLiteral("widths")].toObject();
    for (const char *column : {"A", "B", "C"})
        EXPECT_NEAR(filledWidths[QLatin1String(column)].toInt(), designedWidths[QLatin1String(column)].toInt(), 10)
            << column;
    // The template itself is untouched.
    QFile original(folder.file(QStringLiteral("template.xls")));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), bytes);
}

TEST(OfficeSession, ExistingFileIsReplacedOnlyWhenTheOperatorAgrees)
{
    Folder folder;
    const QString path = folder.file(QStringLiteral("导出.xls"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    const QString question = QStringLiteral("文件:\"") + path + QStringLiteral("\"已经存在,\r\n替换掉吗?");

    ScriptedPrompter prompter;
    ExcelSession refused(&engine(), prompter, folder.path());
    prompter.queueAnswer(false);
    EXPECT_FALSE(refused.OpenNew(QStringLiteral("LIST"), path));
    EXPECT_EQ(refused.GetErrorText(), QStringLiteral("用户选择放弃操作。"));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().kind, ScriptedPrompter::Kind::Ask);
    EXPECT_EQ(prompter.lastText(), question);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    old.close();

    // OpenNew asks even when the question was switched off; Yes replaces the file.
    prompter.clear();
    ExcelSession agreed(&engine(), prompter, folder.path());
    agreed.SetConfirmOverwrite(false);
    prompter.queueAnswer(true);
    ASSERT_TRUE(agreed.OpenNew(QStringLiteral("LIST"), path)) << agreed.GetErrorText().toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{question});
    agreed.SetCellText(1, 1, QStringLiteral("新内容"));
    ASSERT_TRUE(agreed.SaveAndClose());
    EXPECT_EQ(cell(readXls(path), "A1")[QStringLiteral("value")].toString(), QStringLiteral("新内容"));

    // A file that cannot be removed (here a folder of that name) is not replaced.
    prompter.clear();
    const QString folderInTheWay = folder.file(QStringLiteral("busy.xls"));
    ASSERT_TRUE(QDir().mkpath(folderInTheWay + QStringLiteral("/inside")));
    ExcelSession blocked(&engine(), prompter, folder.path());
    prompter.queueAnswer(true);
    EXPECT_FALSE(blocked.OpenFromBytes(QStringLiteral("BILL"), folderInTheWay, QByteArray("x")));
    EXPECT_EQ(blocked.GetErrorText(), QStringLiteral("文件替换失败,可能是共享冲突。"));
}

TEST(OfficeSession, OpenExistingReadsValuesAsTextAndSavesNothing)
{
    Folder folder;
    ScriptedPrompter prompter;
    // A missing file is refused before any office is started.
    OfficeEngine::Options options;
    options.profileBase = folder.file(QStringLiteral("profiles"));
    OfficeEngine unused(options);
    ExcelSession missing(&unused, prompter, folder.path());
    EXPECT_FALSE(missing.OpenExisting(folder.file(QStringLiteral("没有.xls"))));
    EXPECT_EQ(missing.GetErrorText(), QStringLiteral("文件不存在。"));
    EXPECT_EQ(unused.officeProcessId(), 0);
    EXPECT_FALSE(QFileInfo::exists(options.profileBase));

    const QString path = folder.file(QStringLiteral("import.xls"));
    {
        ExcelSession writer(&engine(), prompter, folder.path());
        ASSERT_TRUE(writer.OpenNew(QString(), path));
        writer.SetCells(1, 1,
                        {{QStringLiteral("运单号"), QStringLiteral("电话"), QStringLiteral("重量")},
                         {QStringLiteral("'0123"), 13812345678.0, 12.5},
                         {QStringLiteral("张三"), QVariant(), -0.25}});
        ASSERT_TRUE(writer.SaveAndClose()) << writer.GetErrorText().toStdString();
    }
    const QDateTime written = QFileInfo(path).lastModified();
    ExcelSession reader(&engine(), prompter, folder.path());
    ASSERT_TRUE(reader.OpenExisting(path)) << reader.GetErrorText().toStdString();
    EXPECT_EQ(reader.GetCellText(1, 1), QStringLiteral("运单号"));
    EXPECT_EQ(reader.GetCellText(2, 1), QStringLiteral("0123"));
    EXPECT_EQ(reader.GetCellText(2, 2), QStringLiteral("13812345678"));
    EXPECT_EQ(reader.GetCellText(2, 3), QStringLiteral("12.5"));
    EXPECT_EQ(reader.GetCellText(3, 1), QStringLiteral("张三"));
    EXPECT_EQ(reader.GetCellText(3, 2), QString());
    EXPECT_EQ(reader.GetCellText(3, 3), QStringLiteral("-0.25"));
    EXPECT_EQ(reader.GetCellText(40, 46), QString());
    EXPECT_TRUE(reader.GetErrorText().isEmpty());
    reader.Quit();
    EXPECT_EQ(QFileInfo(path).lastModified(), written);

    // Dates read as shown, formula results as values.
    templateBytes(folder);
    ExcelSession form(&engine(), prompter, folder.path());
    ASSERT_TRUE(form.OpenExisting(folder.file(QStringLiteral("template.xls"))));
    EXPECT_EQ(form.GetCellText(1, 1), QStringLiteral("运单"));
    EXPECT_EQ(form.GetCellText(3, 2), QStringLiteral("2024-03-05"));
    EXPECT_EQ(form.GetCellText(3, 3), QStringLiteral("6"));
    EXPECT_EQ(form.GetCellText(3, 4), QStringLiteral("#DIV/0!"));
}

TEST(OfficeSession, QuitActsOnceAndLeavesOtherSessionsAlone)
{
    Folder folder;
    ScriptedPrompter prompter;
    const int before = engine().openDocumentCount();
    ExcelSession first(&engine(), prompter, folder.path());
    ExcelSession second(&engine(), prompter, folder.path());
    ASSERT_TRUE(first.OpenNew(QString(), folder.file(QStringLiteral("1.xls"))));
    ASSERT_TRUE(second.OpenNew(QString(), folder.file(QStringLiteral("2.xls"))));
    EXPECT_EQ(engine().openDocumentCount(), before + 2);
    first.Quit();
    EXPECT_EQ(engine().openDocumentCount(), before + 1);
    first.Quit();
    EXPECT_EQ(engine().openDocumentCount(), before + 1);
    EXPECT_FALSE(first.SetCellText(1, 1, QStringLiteral("x")));
    EXPECT_TRUE(second.SetCellText(1, 1, QStringLiteral("第二个")));
    EXPECT_TRUE(second.SaveAndClose());
    EXPECT_EQ(engine().openDocumentCount(), before);
    EXPECT_EQ(cell(readXls(folder.file(QStringLiteral("2.xls"))), "A1")[QStringLiteral("value")].toString(),
              QStringLiteral("第二个"));
}

TEST(OfficeSession, PrintingToAFolderKeepsAPdfOfThePages)
{
    Folder folder;
    const QByteArray bytes = templateBytes(folder);
    ScriptedPrompter prompter;
    const QString printed = folder.file(QStringLiteral("printed"));
    ExcelSession session(&engine(), prompter, folder.file(QStringLiteral("temp")), PrintDestination::Folder(printed));
    ASSERT_TRUE(session.OpenFromBytes(QStringLiteral("BILL"), folder.file(QStringLiteral("BILL_7.xls")), bytes));
    session.SetCellText(1, 1, QStringLiteral("国际快递运单"));
    session.SetCellText(2, 2, QStringLiteral("李四"));
    session.SetCellText(2, 3, QStringLiteral("0123"));
    session.SetCellText(150, 1, QStringLiteral("第二页内容"));
    ASSERT_TRUE(session.PrintSheet(1, 1, 1, false)) << session.GetErrorText().toStdString();
    const QString pageOne = session.GetPrintedFile();
    EXPECT_EQ(pageOne, QDir(printed).filePath(QStringLiteral("BILL_7.pdf")));
    EXPECT_EQ(pdfPages(pageOne), 1);
    const QString text = pdfText(pageOne);
    for (const char *expected : {"国际快递运单", "李四", "0123", "收件人:"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << " missing in " << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("第二页内容")));

    // Both pages of the first sheet; the second sheet is not printed.
    ASSERT_TRUE(session.PrintSheet(1, 9, 2, false)) << session.GetErrorText().toStdString();
    EXPECT_EQ(session.GetPrintedFile(), QDir(printed).filePath(QStringLiteral("BILL_7_2.pdf")));
    EXPECT_EQ(pdfPages(session.GetPrintedFile()), 2);
    const QString both = pdfText(session.GetPrintedFile());
    EXPECT_TRUE(both.contains(QStringLiteral("第二页内容")));
    EXPECT_FALSE(both.contains(QStringLiteral("第二张工作表不打印")));
    EXPECT_TRUE(session.SaveAndClose());
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("temp"))));
}

TEST(OfficeSession, PrintingToThePrinterHandsThePdfToLpWithTheCopies)
{
    Folder folder;
    const QString lp = folder.file(QStringLiteral("lp"));
    const QString argsFile = folder.file(QStringLiteral("lp-args"));
    QFile script(lp);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\n"
                                "if [ \"$QUARVEL_TEST_LP_FAIL\" = 1 ]; then echo 'lp: Error - no default destination "
                                "available.' >&2; exit 1; fi\n"
                                "printf '%s ' \"$@\" > '%1'\n")
                     .arg(argsFile)
                     .toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    PrintDestination printer = PrintDestination::Printer();
    printer.setLpProgram(lp);

    ScriptedPrompter prompter;
    const QString temp = folder.file(QStringLiteral("DATA_TEMP"));
    ExcelSession session(&engine(), prompter, temp, printer);
    ASSERT_TRUE(session.OpenNew(QString(), folder.file(QStringLiteral("INVOICE_A1.xls"))));
    session.SetCellText(1, 1, QStringLiteral("形式发票"));
    ASSERT_TRUE(session.PrintSheet(1, 1, 3, false)) << session.GetErrorText().toStdString();
    const QString pdf = QDir(temp).filePath(QStringLiteral("INVOICE_A1.pdf"));
    EXPECT_EQ(session.GetPrintedFile(), pdf);
    QFile args(argsFile);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(args.readAll()).trimmed(), QStringLiteral("-n 3 -t INVOICE_A1 -- ") + pdf);
    EXPECT_TRUE(pdfText(pdf).contains(QStringLiteral("形式发票")));

    qputenv("QUARVEL_TEST_LP_FAIL", "1");
    EXPECT_FALSE(session.PrintSheet(1, 1, 1, false));
    qunsetenv("QUARVEL_TEST_LP_FAIL");
    EXPECT_EQ(session.GetErrorText(), QStringLiteral("打印失败:\r\nlp: Error - no default destination available."));
    EXPECT_FALSE(session.SaveAndClose());
}
