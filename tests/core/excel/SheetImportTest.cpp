#include "excel/SheetImport.h"
#include "app/ScriptedPrompter.h"
#include "excel/ExcelSession.h"
#include "support/MemorySheetEngine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quarvel;
using Outcome = SheetImportReport::Outcome;

namespace {

// Rules that take every row with a key and note what they were given.
class CountingRules : public SheetImportRules {
public:
    QList<int> rows;
    QList<QStringList> values;
    int refuseAt = 0;

    const QList<ImportColumn> &columns() const override
    {
        static const QList<ImportColumn> columns{{u"号", 10}, {u"名", 10}};
        return columns;
    }
    QString checkHeader(const ImportHeader &header) override
    {
        return header.has(0) ? QString() : SheetImport::MissingColumnsText({QStringLiteral("号")});
    }
    int keyColumn() const override { return 0; }
    int lastRowWithoutKey() const override { return 5; }
    RowResult importRow(int row, const QStringList &v, SheetImportReport &report) override
    {
        if (row == refuseAt) {
            report.message = QStringLiteral("第%1行不行").arg(row);
            return RowResult::Refused;
        }
        rows.append(row);
        values.append(v);
        ++report.written;
        return RowResult::Written;
    }
    QString finishedText(int written) const override { return QStringLiteral("写入%1").arg(written); }
};

struct Fixture {
    QTemporaryDir dir;
    MemorySheetEngine sheet;
    ScriptedPrompter prompter;
    CountingRules rules;
    QList<std::pair<int, int>> progress;
    int stopAtRow = 0;

    Fixture() { sheet.row({QStringLiteral("号"), QStringLiteral("名")}); }

    void rowsUpTo(int last)
    {
        while (sheet.cells.size() < last)
            sheet.row({QStringLiteral("N%1").arg(sheet.cells.size() + 1), QStringLiteral("x")});
    }

    SheetImportReport run()
    {
        const QString path = dir.filePath(QStringLiteral("s.xlsx"));
        QFile(path).open(QIODevice::WriteOnly);
        ExcelSession session(&sheet, prompter, dir.path());
        SheetImport reader(session, rules);
        reader.setProgress([this](int row, int last) {
            progress.append({row, last});
            return stopAtRow == 0 || row < stopAtRow;
        });
        return reader.Run(path);
    }
}; // namespace

} // namespace

TEST(SheetImport, ReadsTheSheetInBlocksAndEndsAfterTheUsedArea)
{
    Fixture f;
    f.rowsUpTo(2500);
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.message, QStringLiteral("写入2499"));
    EXPECT_EQ(f.rules.rows.size(), 2499);
    EXPECT_EQ(f.rules.rows.last(), 2500);
    EXPECT_EQ(f.rules.values.last(), (QStringList{QStringLiteral("N2500"), QStringLiteral("x")}));
    // One read of the header and one per thousand rows, never cell by cell.
    EXPECT_EQ(f.sheet.blockReads, 1 + 3);
    ASSERT_FALSE(f.progress.isEmpty());
    EXPECT_EQ(f.progress.first(), std::make_pair(2, 2500));
    EXPECT_EQ(f.progress.size(), 2500 / SheetImport::kProgressStep);
}

TEST(SheetImport, EmptyAndHugeSheetsAreRefusedBeforeAnyRow)
{
    Fixture empty;
    empty.sheet.cells.clear();
    SheetImportReport report = empty.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message, QStringLiteral("文件的第一个工作表是空的,没有可导入的数据。"));

    Fixture huge;
    huge.rowsUpTo(10);
    huge.sheet.usedRows = 1000000;
    report = huge.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message,
              QStringLiteral("工作表有1000000行,超过了一次最多导入65536行的限度。\r\n请把表格分成几个文件再导入。"));
    EXPECT_TRUE(huge.rules.rows.isEmpty());
    EXPECT_EQ(huge.sheet.blockReads, 0);

    Fixture noHeader;
    noHeader.sheet.cells[0] = {SheetCell::Text(QStringLiteral("名"))};
    report = noHeader.run();
    EXPECT_EQ(report.message, QStringLiteral("缺少基本数据,不能导入!\r\n基本数据为:\r\n号"));
}

TEST(SheetImport, StoppingKeepsWhatWasWrittenAndSaysWhere)
{
    Fixture f;
    f.rowsUpTo(600);
    f.stopAtRow = 252;
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Stopped);
    EXPECT_EQ(report.stopRow, 252);
    EXPECT_EQ(f.rules.rows.size(), 250);
    EXPECT_EQ(report.message, QStringLiteral("导入已停止,第252行及以后的行没有导入。\r\n此前写入的250条记录已保存。"));
}

TEST(SheetImport, ALostOfficeEndsTheImportWhereTheBlockStarts)
{
    Fixture f;
    f.rowsUpTo(2500);
    f.sheet.failFromRow = 1002;
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Failed);
    EXPECT_EQ(report.stopRow, 1002);
    EXPECT_EQ(f.rules.rows.size(), 1000);
    EXPECT_TRUE(report.message.startsWith(
        QStringLiteral("读取表格失败,导入停在第1002行,此前写入的1000条记录已保存:\r\nLibreOffice服务意外中止")))
        << report.message.toStdString();
}

TEST(SheetImport, RowsWithoutKeyBeforeTheLimitAndEmptyRowsArePassedOn)
{
    Fixture f;
    f.sheet.row({QString(), QStringLiteral("无号")});
    f.sheet.row({});
    f.sheet.row({QStringLiteral("N4")});
    f.sheet.row({QString(), QStringLiteral("也无号")});
    f.sheet.row({QString(), QStringLiteral("第6行")});
    f.sheet.row({QStringLiteral("N7")});
    const SheetImportReport report = f.run();
    // Row 3 is empty and passed over; row 6 lacks its key after row 5 and ends.
    EXPECT_EQ(f.rules.rows, (QList<int>{2, 4, 5}));
    EXPECT_EQ(report.outcome, Outcome::Finished);
}

TEST(SheetImport, ARefusedRowEndsTheImport)
{
    Fixture f;
    f.rowsUpTo(10);
    f.rules.refuseAt = 4;
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Refused);
    EXPECT_EQ(report.message, QStringLiteral("第4行不行"));
    EXPECT_EQ(f.rules.rows, (QList<int>{2, 3}));
    EXPECT_TRUE(report.isError());
}

TEST(SheetImport, OpenFailuresGiveTheSpreadsheetsText)
{
    Fixture f;
    f.sheet.openError = QStringLiteral("文件打开失败:\r\n文件有密码保护,不能打开。");
    SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message, f.sheet.openError);

    ScriptedPrompter prompter;
    CountingRules rules;
    MemorySheetEngine sheet;
    ExcelSession session(&sheet, prompter, QString());
    report = SheetImport(session, rules).Run(QStringLiteral("/nonexistent/x.xls"));
    EXPECT_EQ(report.message, QStringLiteral("文件不存在。"));
}

TEST(SheetCell, NumbersComeInAsTheirDigits)
{
    EXPECT_EQ(SheetCell::NumberText(13800138000.0), QStringLiteral("13800138000"));
    EXPECT_EQ(SheetCell::NumberText(518000.0), QStringLiteral("518000"));
    EXPECT_EQ(SheetCell::NumberText(1e15), QStringLiteral("1000000000000000"));
    EXPECT_EQ(SheetCell::NumberText(440106199001011234.0).contains(u'e'), false);
    EXPECT_EQ(SheetCell::NumberText(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(SheetCell::NumberText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(SheetCell::NumberText(-3.0), QStringLiteral("-3"));
    EXPECT_EQ(SheetCell::NumberText(0.00000015), QStringLiteral("0.00000015"));
}

TEST(SheetCell, DatesAndTimesReadAsThePageWritesThem)
{
    SheetCell c;
    c.kind = SheetCell::Kind::Date;
    c.number = 39877; // 2009-03-05
    EXPECT_EQ(c.importText(), QStringLiteral("2009.03.05"));
    c.kind = SheetCell::Kind::DateTime;
    c.number = 39877.75;
    EXPECT_EQ(c.importText(), QStringLiteral("2009.03.05 18:00:00"));
    c.kind = SheetCell::Kind::Time;
    c.number = 0.5;
    EXPECT_EQ(c.importText(), QStringLiteral("12:00:00"));
    c.kind = SheetCell::Kind::Boolean;
    c.number = 1;
    EXPECT_EQ(c.importText(), QStringLiteral("TRUE"));
    EXPECT_EQ(SheetCell::Text(QStringLiteral("007")).importText(), QStringLiteral("007"));
}

TEST(SheetCell, DateCellsBeyondTheCalendarComeInAsTheirNumber)
{
    SheetCell c;
    for (const SheetCell::Kind kind : {SheetCell::Kind::Date, SheetCell::Kind::Time, SheetCell::Kind::DateTime}) {
        c.kind = kind;
        c.number = 1e300;
        EXPECT_EQ(c.importText(), SheetCell::NumberText(1e300));
        EXPECT_TRUE(c.importText().startsWith(QStringLiteral("1000000000")));
        c.number = -1e300;
        EXPECT_TRUE(c.importText().startsWith(QStringLiteral("-1000000000")));
        c.number = std::numeric_limits<double>::infinity();
        EXPECT_EQ(c.importText(), QString());
        c.number = std::nan("");
        EXPECT_EQ(c.importText(), QString());
        c.number = 2958466; // the first day after 9999-12-31
        EXPECT_EQ(c.importText(), QStringLiteral("2958466"));
    }
    // The calendar's ends still read as dates.
    c.kind = SheetCell::Kind::Date;
    c.number = 2958465;
    EXPECT_EQ(c.importText(), QStringLiteral("9999.12.31"));
    c.number = -693593;
    EXPECT_EQ(c.importText(), QStringLiteral("0001.01.01"));
    c.kind = SheetCell::Kind::DateTime;
    c.number = 2958465.5;
    EXPECT_EQ(c.importText(), QStringLiteral("9999.12.31 12:00:00"));
}

TEST(SheetImportReport, TextListsEveryRowAndSavesAsUtf8)
{
    SheetImportReport r;
    r.outcome = Outcome::Finished;
    r.file = QStringLiteral("/tmp/a.xls");
    r.message = QStringLiteral("本次导入共成功写入2条名录。");
    r.written = 2;
    r.incomplete = 1;
    r.add(3, SheetImportReport::Kind::Skipped, QStringLiteral("张三"), QStringLiteral("名录中已有此姓名"));
    r.add(4, SheetImportReport::Kind::Incomplete, QStringLiteral("AB1234567"), QStringLiteral("收件人为空"));
    r.add(5, SheetImportReport::Kind::Changed, QStringLiteral("备注"), QStringLiteral("太长"));
    EXPECT_EQ(r.skipped, 1);
    EXPECT_EQ(r.rowLines(),
              (QStringList{QStringLiteral("3\t张三\t名录中已有此姓名"), QStringLiteral("4\tAB1234567\t收件人为空")}));
    const QString text = r.Text();
    EXPECT_TRUE(text.contains(QStringLiteral("第3行\t跳过\t张三\t名录中已有此姓名\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("第5行\t有改动\t备注\t太长")));
    EXPECT_TRUE(text.contains(QStringLiteral("写入: 2 条(其中不完整 1 条)")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.txt"));
    ASSERT_TRUE(r.SaveText(path, nullptr));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF") + text.toUtf8());
    QString why;
    EXPECT_FALSE(r.SaveText(QStringLiteral("/nonexistent/dir/r.txt"), &why));
    EXPECT_FALSE(why.isEmpty());
}
