#include "OfficeTestSupport.h"

#include "excel/ListExcelExport.h"

#include <QElapsedTimer>

#include <iostream>

using namespace quarvel;
using namespace officetest;

namespace {

ListSnapshot shipmentList(int rows)
{
    ListSnapshot list;
    list.title = QStringLiteral("预录业务记录");
    list.columns = {{QStringLiteral("序号"), 40, true},    {QStringLiteral("运单号"), 120, false},
                    {QStringLiteral("收件人"), 80, false}, {QStringLiteral("重量"), 64, true},
                    {QStringLiteral("电话"), 100, false},  {QStringLiteral("备注"), 65, false}};
    for (int i = 0; i < rows; ++i)
        list.rows.append({QString::number(i + 1), QStringLiteral("%1").arg(i, 10, 10, QLatin1Char('0')),
                          QStringLiteral("收件人%1").arg(i), QStringLiteral("%1.5").arg(i % 30),
                          QStringLiteral("+86 0755-8%1").arg(i % 1000, 3, 10, QLatin1Char('0')),
                          i % 2 ? QStringLiteral("易碎") : QString()});
    list.rows.append({QStringLiteral("合计"), QString(), QString(), QStringLiteral("148500.0"), QString(), QString()});
    return list;
}

} // namespace

TEST(OfficeListExport, TenThousandRowsInSecondsWithTextAndNumbers)
{
    Folder folder;
    ScriptedPrompter prompter;
    const QString path = folder.file(QStringLiteral("列表.xls"));
    const ListSnapshot list = shipmentList(10000);
    ListExcelExport exporter(&engine(), prompter);
    ASSERT_TRUE(engine().start(nullptr));
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(exporter.Export(list, path, QDateTime(QDate(2024, 3, 5), QTime(8, 9, 10))))
        << prompter.lastText().toStdString();
    const qint64 ms = timer.elapsed();
    std::cout << "10,000-row list exported in " << ms << " ms\n";
    EXPECT_LT(ms, 10000);
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("文件已经保存。")});
    EXPECT_EQ(prompter.shown().first().kind, ScriptedPrompter::Kind::Inform);

    const QJsonObject book = readXls(path, true);
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray(), QJsonArray{QStringLiteral("LIST")});
    EXPECT_EQ(book[QStringLiteral("rows")].toInt(), 4 + 10001);
    EXPECT_EQ(cell(book, "A1")[QStringLiteral("value")].toString(), QStringLiteral("预录业务记录"));
    EXPECT_EQ(cell(book, "A2")[QStringLiteral("value")].toString(), QStringLiteral("(2024-03-05 08:09:10)"));
    EXPECT_TRUE(cell(book, "A3").isEmpty());
    EXPECT_EQ(cell(book, "B4")[QStringLiteral("value")].toString(), QStringLiteral("运单号"));
    EXPECT_EQ(cell(book, "F4")[QStringLiteral("value")].toString(), QStringLiteral("备注"));
    // Left-aligned: text, leading zeros kept; right-aligned: numbers.
    const auto expectCell = [&](const char *address, const char *type, const QJsonValue &value) {
        EXPECT_EQ(cell(book, address)[QStringLiteral("type")].toString(), QLatin1String(type)) << address;
        EXPECT_EQ(cell(book, address)[QStringLiteral("value")], value) << address;
    };
    expectCell("A5", "number", 1.0);
    expectCell("B5", "text", QStringLiteral("0000000000"));
    expectCell("C5", "text", QStringLiteral("收件人0"));
    expectCell("D5", "number", 0.5);
    expectCell("E5", "text", QStringLiteral("+86 0755-8000"));
    expectCell("F6", "text", QStringLiteral("易碎"));
    expectCell("A10004", "number", 10000.0);
    expectCell("B10004", "text", QStringLiteral("0000009999"));
    expectCell("D10004", "number", 9.5);
    expectCell("A10005", "text", QStringLiteral("合计"));
    expectCell("D10005", "number", 148500.0);
    EXPECT_TRUE(cell(book, "F5").isEmpty()) << "an empty text leaves the cell empty";

    const QJsonObject widths = readXls(path)[QStringLiteral("widths")].toObject();
    const std::pair<const char *, double> expected[] = {{"A", 5}, {"B", 15}, {"C", 10}, {"D", 8}, {"E", 13}, {"F", 9}};
    for (const auto &[column, width] : expected)
        EXPECT_DOUBLE_EQ(excelColumnWidth(widths[QLatin1String(column)].toInt()), width) << column;
}

TEST(OfficeListExport, AFailedExportShowsTheSpreadsheetError)
{
    Folder folder;
    ScriptedPrompter prompter;
    ListExcelExport exporter(&engine(), prompter);
    // A file stands where the folder of the target should be.
    QFile blocker(folder.file(QStringLiteral("报表")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = folder.file(QStringLiteral("报表/列表.xls"));
    EXPECT_FALSE(exporter.Export(shipmentList(3), path));
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().kind, ScriptedPrompter::Kind::Error);
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("文件创建失败:\r\n") + path))
        << prompter.lastText().toStdString();
}
