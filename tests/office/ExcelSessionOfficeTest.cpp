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

// The template of the tests as an .xls file, made by the office from the text source.
QByteArray templateBytes(const Folder &folder)
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

} // namespace

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
