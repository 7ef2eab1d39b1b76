#include "excel/SheetImport.h"
#include "app/ScriptedPrompter.h"
#include "excel/ExcelSession.h"
#include "excel/ImportLayouts.h"
#include "support/MemorySheetEngine.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

using namespace quarvel;
using Outcome = SheetImportReport::Outcome;

namespace {

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// Rules that take every row with a key, skip the others, and note what they were given.
class CountingRules : public SheetImportRules {
public:
    QList<int> rows;
    QList<QStringList> values;

    QString kind() const override { return QStringLiteral("test"); }
    const QList<ImportColumn> &columns() const override
    {
        static const QList<ImportColumn> columns{{u"号", 10, SheetValue::Type::Digits, u"编号|单号", true},
                                                 {u"名", 10, SheetValue::Type::Text, u"名称|姓名", true},
                                                 {u"备注", 10}};
        return columns;
    }
    QString missingColumnsText() const override
    {
        return SheetImport::MissingColumnsText({QStringLiteral("号"), QStringLiteral("名")});
    }
    void takeHeader(const ImportHeader &) override {}
    RowResult importRow(int row, const ImportRow &cells, SheetImportReport &report) override
    {
        const QString key = cells.text(0).text;
        if (key.isEmpty()) {
            report.add(row, SheetImportReport::Kind::Skipped, cells.text(1).text, QStringLiteral("没有号"));
            return RowResult::Skipped;
        }
        rows.append(row);
        values.append({key, cells.text(1).text});
        ++report.written;
        return RowResult::Written;
    }
    QString finishedText(int written) const override { return QStringLiteral("写入%1。").arg(written); }
};

struct Fixture {
    QTemporaryDir dir;
    MemorySheetEngine sheet;
    ScriptedPrompter prompter;
    CountingRules rules;
    QList<std::pair<int, int>> progress;
    std::function<bool(int)> onRow;
    int stopAtRow = 0;
    ImportLayouts layouts{dir.filePath(QStringLiteral("DATA_SYS/sheetlayouts.json"))};
    SheetImport::MapQuestion question;
    ColumnMap given;
    bool remember = true;
    QString path = dir.filePath(QStringLiteral("s.xlsx"));

    Fixture()
    {
        QFile(path).open(QIODevice::WriteOnly);
        sheet.row({QStringLiteral("号"), QStringLiteral("名")});
    }

    void rowsUpTo(int last)
    {
        while (sheet.cells.size() < last)
            sheet.row({QStringLiteral("N%1").arg(sheet.cells.size() + 1), QStringLiteral("x")});
    }

    SheetImportReport run()
    {
        ExcelSession session(&sheet, prompter, dir.path());
        SheetImport reader(session, rules);
        reader.setProgress([this](int row, int last) {
            progress.append({row, last});
            if (onRow && !onRow(row))
                return false;
            return stopAtRow == 0 || row < stopAtRow;
        });
        reader.setLayouts(&layouts, remember);
        reader.setMapQuestion(question);
        reader.setColumnMap(given);
        return reader.Run(path);
    }
};

} // namespace

TEST(SheetImport, ReadsTheWholeUsedRangeInBlocksAndEveryRowIsAccountedFor)
{
    Fixture f;
    f.rowsUpTo(2500);
    // Blank rows between blocks of data and a row without its key are no end.
    f.sheet.cells[14] = {};
    f.sheet.cells[250] = {SheetCell::Text(QStringLiteral("  ")), SheetCell()};
    f.sheet.cells[1200] = {SheetCell(), SheetCell::Text(QStringLiteral("无号"))};
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(f.rules.rows.size(), 2496);
    EXPECT_EQ(f.rules.rows.last(), 2500);
    EXPECT_EQ(report.blank, 2);
    EXPECT_EQ(report.skipped, 1);
    EXPECT_EQ(report.written + report.skipped + report.blank, report.dataRows());
    EXPECT_EQ(report.dataRows(), 2499);
    EXPECT_EQ(report.message, QStringLiteral("写入2496。表中数据2499行(第2行至第2500行):完整写入2496条,"
                                             "不完整写入0条,跳过1行,空行2行。"));
    EXPECT_EQ(report.rowLines(), QStringList{QStringLiteral("1201\t无号\t没有号")});
    // The header rows, then one read per thousand rows, never cell by cell.
    EXPECT_EQ(f.sheet.blockReads, 1 + 3);
    ASSERT_FALSE(f.progress.isEmpty());
    EXPECT_EQ(f.progress.first(), std::make_pair(2, 2500));
    EXPECT_EQ(f.progress.size(), (2499 + SheetImport::kProgressStep - 1) / SheetImport::kProgressStep);
}

TEST(SheetImport, TheHeaderIsFoundUnderATitleAndOnTheFirstSheetThatHasOne)
{
    Fixture f;
    // The first sheet is instructions; the second has a title above its header.
    f.sheet.cells = {{SheetCell::Text(QStringLiteral("填写说明"))}, {SheetCell::Text(QStringLiteral("号:必填"))}};
    f.sheet.firstName = QStringLiteral("说明");
    const SheetBlock orders{{SheetCell::Text(QStringLiteral("2024年3月发货清单"))},
                            {},
                            {SheetCell::Text(QStringLiteral("单号*")), SheetCell::Text(QStringLiteral("姓名\n(必填)"))},
                            {SheetCell::Text(QStringLiteral("A1")), SheetCell::Text(QStringLiteral("甲"))}};
    f.sheet.moreSheets.append({QStringLiteral("订单"), orders});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished) << report.message.toStdString();
    EXPECT_EQ(report.sheet, QStringLiteral("订单"));
    EXPECT_EQ(report.headerRow, 3);
    EXPECT_EQ(f.rules.values, (QList<QStringList>{{QStringLiteral("A1"), QStringLiteral("甲")}}));
    EXPECT_EQ(report.firstDataRow, 4);
}

TEST(SheetImport, MissingColumnsAreNamedWithTheSheetRead)
{
    Fixture f;
    f.sheet.cells = {{SheetCell::Text(QStringLiteral("号")), SheetCell::Text(QStringLiteral("电话")),
                      SheetCell::Text(QStringLiteral("备注"))},
                     {SheetCell::Text(QStringLiteral("A1"))}};
    SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message, QStringLiteral("缺少基本数据,不能导入!\r\n基本数据为:\r\n号\r\n名\r\n"
                                             "工作表“Sheet1”第1行是表头,其中没有:名。"));
    EXPECT_TRUE(f.rules.rows.isEmpty());

    Fixture none;
    none.sheet.cells = {{SheetCell::Text(QStringLiteral("订单"))}, {SheetCell::Text(QStringLiteral("x"))}};
    report = none.run();
    EXPECT_TRUE(report.message.endsWith(QStringLiteral("工作表“Sheet1”的前10行中没有找到表头。")))
        << report.message.toStdString();
}

TEST(SheetImport, EmptyAndHugeSheetsAreRefusedBeforeAnyRow)
{
    Fixture empty;
    empty.sheet.cells.clear();
    SheetImportReport report = empty.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message, QStringLiteral("文件的工作表都是空的,没有可导入的数据。"));

    Fixture huge;
    huge.rowsUpTo(10);
    huge.sheet.usedRows = 1048576;
    report = huge.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message, QStringLiteral("工作表“Sheet1”有1048576行,超过了一次最多导入65536行的限度。\r\n"
                                             "请把表格分成几个文件再导入。"));
    EXPECT_TRUE(huge.rules.rows.isEmpty());
    // Only the header rows were read.
    EXPECT_EQ(huge.sheet.blockReads, 1);
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

TEST(SheetImport, AFileRemovedOrRewrittenUnderTheImportEndsItWithTheRowsWritten)
{
    for (const bool remove : {true, false}) {
        Fixture f;
        f.rowsUpTo(300);
        f.onRow = [&](int row) {
            if (row == 102) {
                if (remove)
                    QFile::remove(f.path);
                else {
                    QFile file(f.path);
                    file.open(QIODevice::WriteOnly);
                    file.write("another sheet");
                }
            }
            return true;
        };
        const SheetImportReport report = f.run();
        EXPECT_EQ(report.outcome, Outcome::Failed);
        EXPECT_EQ(report.stopRow, 127);
        EXPECT_EQ(report.written, 125);
        EXPECT_EQ(report.message,
                  QStringLiteral("文件“%1”在导入过程中被删除或改写,导入停在第127行,此前写入的125条记录已保存。")
                      .arg(QDir::toNativeSeparators(f.path)));
        EXPECT_TRUE(report.isError());
    }
}

TEST(SheetImport, TheOperatorCompletesTheMapOnceAndTheLayoutIsRememberedAfterwards)
{
    Fixture f;
    f.sheet.cells = {{SheetCell::Text(QStringLiteral("订单号")), SheetCell::Text(QStringLiteral("姓名")),
                      SheetCell::Text(QStringLiteral("状态"))},
                     {SheetCell::Text(QStringLiteral("D1")), SheetCell::Text(QStringLiteral("甲")),
                      SheetCell::Text(QStringLiteral("已付"))}};
    int asked = 0;
    QStringList missingShown;
    f.question = [&](ColumnMapForm &form) {
        ++asked;
        missingShown = form.missing();
        EXPECT_FALSE(form.canAccept());
        EXPECT_EQ(form.columns().at(0).samples, QStringList{QStringLiteral("D1")});
        EXPECT_EQ(form.columns().at(1).field, QStringLiteral("名"));
        form.choose(0, QStringLiteral("号"));
        return form.canAccept();
    };
    SheetImportReport report = f.run();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(missingShown, QStringList{QStringLiteral("号")});
    EXPECT_EQ(report.written, 1) << report.message.toStdString();
    EXPECT_EQ(f.rules.values.first(), (QStringList{QStringLiteral("D1"), QStringLiteral("甲")}));

    // The same layout again: no question, the same map.
    report = f.run();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(f.rules.values.last().first(), QStringLiteral("D1"));

    // Cancelled: nothing read, nothing written, nothing to say.
    Fixture other;
    other.sheet.cells = f.sheet.cells;
    other.sheet.cells[0][0] = SheetCell::Text(QStringLiteral("订单编号"));
    other.question = [](ColumnMapForm &) { return false; };
    report = other.run();
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_TRUE(other.rules.rows.isEmpty());
}

TEST(SheetImport, AMapGivenBeforehandIsUsedAndKeptUnlessTheRunIsADryRun)
{
    Fixture f;
    f.sheet.cells = {{SheetCell::Text(QStringLiteral("订单号")), SheetCell::Text(QStringLiteral("姓名"))},
                     {SheetCell::Text(QStringLiteral("D1")), SheetCell::Text(QStringLiteral("甲"))}};
    QString why;
    f.given = *ColumnMap::Parse(QStringLiteral("订单号=编号"), f.rules.columns(), &why);
    f.remember = false;
    EXPECT_EQ(f.run().written, 1);
    f.given = ColumnMap();
    EXPECT_EQ(f.run().outcome, Outcome::NotStarted);

    f.given = *ColumnMap::Parse(QStringLiteral("订单号=号"), f.rules.columns(), &why);
    f.remember = true;
    EXPECT_EQ(f.run().written, 1);
    f.given = ColumnMap();
    EXPECT_EQ(f.run().written, 1);
}

TEST(SheetImport, OpenFailuresGiveTheSpreadsheetsTextAndTheFormatsTried)
{
    Fixture f;
    f.sheet.openError = QStringLiteral("文件打开失败:\r\n/x/a.xls\r\n文件不是电子表格。");
    SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message, f.sheet.openError + QStringLiteral("\r\n") + SheetFileFormat::TriedText());

    f.sheet.openError = QStringLiteral("文件打开失败:\r\n/x/a.ods\r\n文件有密码保护,不能打开。");
    EXPECT_EQ(f.run().message, f.sheet.openError);

    ScriptedPrompter prompter;
    CountingRules rules;
    MemorySheetEngine sheet;
    ExcelSession session(&sheet, prompter, QString());
    report = SheetImport(session, rules).Run(QStringLiteral("/nonexistent/x.xls"));
    EXPECT_EQ(report.message, QStringLiteral("文件不存在。"));
}

TEST(SheetImport, TheFileIsOpenedAsWhatItsContentIs)
{
    Fixture f;
    f.rowsUpTo(3);
    QFile file(f.path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html><body><table><tr><td>号</td></tr></table></body></html>");
    file.close();
    f.run();
    EXPECT_EQ(f.sheet.openedAs.kind, SheetFileFormat::Kind::Html);
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
    r.sheet = QStringLiteral("订单");
    r.headerRow = 2;
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
    EXPECT_TRUE(text.contains(QStringLiteral("工作表: 订单,表头在第2行\r\n")));
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

TEST(SheetImportReport, TheAccountingLineAddsUpOrSaysThereAreNoRows)
{
    SheetImportReport r;
    r.firstDataRow = 3;
    r.lastDataRow = 602;
    r.written = 585;
    r.incomplete = 5;
    r.skipped = 10;
    r.blank = 5;
    EXPECT_EQ(r.Accounting(),
              QStringLiteral("表中数据600行(第3行至第602行):完整写入580条,不完整写入5条,跳过10行,空行5行。"));
    r.lastDataRow = 2;
    EXPECT_EQ(r.Accounting(), QStringLiteral("表头下面没有数据行。"));
}
