#include "contacts/ContactImport.h"
#include "core/contacts/ContactFixture.h"
#include "excel/ExcelSession.h"
#include "excel/ImportHeaderFile.h"
#include "support/MemorySheetEngine.h"

using namespace quarvel;
using Outcome = SheetImportReport::Outcome;
using Kind = SheetImportReport::Kind;

namespace {

const QStringList kHeader{QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址")};

// An address-book import of the engine's sheet into the fixture's book.
struct ImportFixture : ContactFixture {
    MemorySheetEngine sheet;
    QList<int> listed;

    SheetImportReport run()
    {
        const QString path = root.file(QStringLiteral("contacts.xls"));
        QFile(path).open(QIODevice::WriteOnly);
        ExcelSession session(&sheet, prompter, root.file(QStringLiteral("DATA_TEMP")));
        ContactImport rules(book());
        rules.setWritten([this](const ContactRecord &r) { listed.append(r.iid); });
        return SheetImport(session, rules).Run(path);
    }

    const ContactRecord *named(const QString &name) { return book().FindLastByName(name); }
};

QString lineOf(const SheetImportReport &report, int row)
{
    for (const SheetImportReport::Line &l : report.lines)
        if (l.row == row)
            return SheetImportReport::KindText(l.kind) + u'|' + l.what + u'|' + l.why;
    return QString();
}

} // namespace

TEST(ContactImport, HeadersInAnyOrderAnywhereInTheRow)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("备注"), QStringLiteral(" 地址 "), QString(), QStringLiteral("电话"),
                 QStringLiteral("姓名"), QStringLiteral("城市"), QString(), QString(), QString(), QString(), QString(),
                 QString(), QStringLiteral("编码")});
    f.sheet.row({QStringLiteral("常客"),
                 QStringLiteral("北京市朝阳区建国路1号"),
                 QStringLiteral("x"),
                 QStringLiteral("13800138000"),
                 QStringLiteral("张三"),
                 QStringLiteral("北京"),
                 {},
                 {},
                 {},
                 {},
                 {},
                 {},
                 QStringLiteral("KH001")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.message, QStringLiteral("本次导入共成功写入1条名录。表中数据1行(第2行至第2行):完整写入1条,"
                                             "不完整写入0条,跳过0行,空行0行。"));
    ASSERT_EQ(f.book().GetCount(), 1);
    const ContactValues v = ContactValues::Of(*f.book().At(0));
    EXPECT_EQ(v.cname, QStringLiteral("张三"));
    EXPECT_EQ(v.caddr, QStringLiteral("北京市朝阳区建国路1号"));
    EXPECT_EQ(v.cphone, QStringLiteral("13800138000"));
    EXPECT_EQ(v.ccity, QStringLiteral("北京"));
    EXPECT_EQ(v.cremark, QStringLiteral("常客"));
    // Shop exports have many columns: "编码" in column 13 counts too.
    EXPECT_EQ(v.ccode, QStringLiteral("kh001"));
    EXPECT_EQ(f.listed, QList<int>{f.book().At(0)->iid});
}

TEST(ContactImport, MissingBasicColumnRefusesBeforeAnyRow)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("姓名"), QStringLiteral("地址")});
    f.sheet.row({QStringLiteral("张三"), QStringLiteral("北京市朝阳区")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message, QStringLiteral("缺少基本数据,不能导入!\r\n基本数据为:\r\n姓名\r\n电话\r\n地址\r\n"
                                             "工作表“Sheet1”第1行是表头,其中没有:电话。"));
    EXPECT_EQ(f.book().GetCount(), 0);
}

TEST(ContactImport, BlankRowsAreCountedAndRowsWithoutANameAreReportedNeverAnEnd)
{
    ImportFixture f;
    f.sheet.row(kHeader);
    for (int row = 2; row <= 40; ++row) {
        if (row == 4 || row == 12)
            f.sheet.row({});
        else if (row == 15)
            f.sheet.row({QString(), QStringLiteral("13900000000"), QStringLiteral("无名路")});
        else
            f.sheet.row({QStringLiteral("客户%1").arg(row),
                         QStringLiteral("1380000%1").arg(row, 4, 10, QLatin1Char('0')),
                         QStringLiteral("上海市浦东新区%1号").arg(row)});
    }
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.written, 36);
    EXPECT_EQ(report.blank, 2);
    EXPECT_EQ(report.skipped, 1);
    EXPECT_EQ(report.message, QStringLiteral("本次导入共成功写入36条名录。表中数据39行(第2行至第40行):完整写入36条,"
                                             "不完整写入0条,跳过1行,空行2行。"));
    EXPECT_EQ(report.rowLines(), QStringList{QStringLiteral("15\t\t缺少姓名")});
    EXPECT_NE(f.named(QStringLiteral("客户40")), nullptr);
}

TEST(ContactImport, KnownNamesAndNamesRepeatedInTheSheetAreSkipped)
{
    ImportFixture f;
    f.add(QStringLiteral("张三"), QStringLiteral("111"));
    const QByteArray before(reinterpret_cast<const char *>(f.book().At(0)), sizeof(ContactRecord));
    f.sheet.row(kHeader);
    f.sheet.row({QStringLiteral("张三"), QStringLiteral("999"), QStringLiteral("北京市朝阳区")});
    f.sheet.row({QStringLiteral("李四"), QStringLiteral("222"), QStringLiteral("上海市黄浦区")});
    f.sheet.row({QStringLiteral("李四"), QStringLiteral("333"), QStringLiteral("上海市徐汇区")});
    f.sheet.row({QStringLiteral("王五"), QString(), QStringLiteral("广州市天河区")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(report.skipped, 3);
    EXPECT_EQ(lineOf(report, 2), QStringLiteral("跳过|张三|名录中已有此姓名"));
    EXPECT_EQ(lineOf(report, 4), QStringLiteral("跳过|李四|与表中第3行同名"));
    EXPECT_EQ(lineOf(report, 5), QStringLiteral("跳过|王五|缺少电话"));
    EXPECT_EQ(Gbk::field(f.named(QStringLiteral("李四"))->caddr), QStringLiteral("上海市黄浦区"));
    // An import only appends: the contact already there is as it was.
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(f.book().At(0)), sizeof(ContactRecord)), before);
    EXPECT_EQ(report.rowLines(),
              (QStringList{QStringLiteral("2\t张三\t名录中已有此姓名"), QStringLiteral("4\t李四\t与表中第3行同名"),
                           QStringLiteral("5\t王五\t缺少电话")}));
}

TEST(ContactImport, RowsWithTheSameInitialsGetDifferentCodes)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址"), QStringLiteral("编码")});
    f.sheet.row({QStringLiteral("张三"), QStringLiteral("111"), QStringLiteral("北京市朝阳区")});
    f.sheet.row({QStringLiteral("赵四"), QStringLiteral("222"), QStringLiteral("北京市海淀区")});
    f.sheet.row({QStringLiteral("钱五"), QStringLiteral("333"), QStringLiteral("北京市东城区"), QStringLiteral("ZS0")});
    f.sheet.row({QStringLiteral("孙六"), QStringLiteral("444"), QStringLiteral("北京市西城区"), QStringLiteral("QW")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(Gbk::field(f.named(QStringLiteral("张三"))->ccode), QStringLiteral("zs"));
    EXPECT_EQ(Gbk::field(f.named(QStringLiteral("赵四"))->ccode), QStringLiteral("zs0"));
    // A typed code is kept in lower case, as the page saves it; taken codes skip the row.
    EXPECT_EQ(lineOf(report, 4), QStringLiteral("跳过|钱五|编码zs0已被使用"));
    EXPECT_EQ(lineOf(report, 0), QString());
    EXPECT_EQ(Gbk::field(f.named(QStringLiteral("孙六"))->ccode), QStringLiteral("qw"));
    // The pre-entry look-ups see imported contacts at once.
    EXPECT_EQ(f.book().LookupByCodeOrName(QStringLiteral("zs")).size(), 2);
}

// Thousands of namesakes each get their own code, and a code freed by a
// delete is found again.
TEST(ContactImport, ManyNamesakesGetCodesInTurnAndAFreedCodeIsUsedAgain)
{
    ImportFixture f;
    f.sheet.row(kHeader);
    for (int i = 0; i < 3000; ++i)
        f.sheet.row({QStringLiteral("张三%1").arg(i), QStringLiteral("1%1").arg(i), QStringLiteral("北京市朝阳区")});
    ASSERT_EQ(f.run().written, 3000);
    QSet<QString> codes;
    for (int i = 0; i < 3000; ++i)
        codes.insert(Gbk::field(f.book().At(i)->ccode));
    EXPECT_EQ(codes.size(), 3000);
    EXPECT_EQ(Gbk::field(f.book().At(2999)->ccode), QStringLiteral("zs2998"));
    ASSERT_EQ(f.book().DeleteAt(5), 1);
    EXPECT_EQ(f.book().MakeUniqueCode(QStringLiteral("张三")), QStringLiteral("zs4"));
}

// A row converted on its own, with a value where the sheet has no code
// column: the code is still made from the name, never left empty.
TEST(ContactImport, AColumnTheSheetLacksGivesNoValue)
{
    ContactFixture f;
    ContactImport rules(f.book());
    QList<SheetCell> titles;
    for (const int h : {ContactImport::Name, ContactImport::Phone, ContactImport::Address})
        titles << SheetCell::Text(ContactImport::Columns().at(h).caption());
    const ImportHeader header(ContactImport::Columns(), titles);
    rules.takeHeader(header);
    const QList<SheetCell> cells{
        SheetCell::Text(QStringLiteral("张三")), SheetCell::Text(QStringLiteral("13800138000")),
        SheetCell::Text(QStringLiteral("北京市朝阳区")), SheetCell::Text(QStringLiteral("0a0b00"))};
    const ContactImport::Converted c = rules.Convert(ImportRow(header, cells));
    ASSERT_EQ(c.kind, ContactImport::Converted::Kind::Record) << c.why.toStdString();
    EXPECT_EQ(Gbk::field(c.record.ccode), QStringLiteral("zs"));
}

// One bad row never ends the import: an over-long text or a character GBK
// cannot hold skips its row, with the limit in the unit it is in.
TEST(ContactImport, ValuesBreakingTheirLimitSkipTheirRowOnly)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址"), QStringLiteral("备注")});
    f.sheet.row({QStringLiteral("张三"), QStringLiteral("111"), QStringLiteral("北京市朝阳区"), QString(300, u'备')});
    f.sheet.row({QStringLiteral("李𠀀"), QStringLiteral("222"), QStringLiteral("上海市黄浦区")});
    f.sheet.row({QStringLiteral("钱七"), QString(63, u'1'), QStringLiteral("北京市朝阳区")});
    f.sheet.row({QStringLiteral("孙八"), QStringLiteral("333"), QString(100000, u'址')});
    f.sheet.row({QStringLiteral("王五"), QStringLiteral("333"), QStringLiteral("广州市天河区")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(report.rowLines(), (QStringList{QStringLiteral("2\t张三\t[备注]超过 254 字节(此行有 600 字节)"),
                                              QStringLiteral("3\t李𠀀\t[姓名]含有不能保存的字符“𠀀”，请改用其他文字。"),
                                              QStringLiteral("4\t钱七\t[电话]超过 62 字节(此行有 63 字节)"),
                                              QStringLiteral("5\t孙八\t[地址]超过 126 字节(此行有 200000 字节)")}));
    EXPECT_NE(f.named(QStringLiteral("王五")), nullptr);
}

TEST(ContactImport, FormulaErrorsSkipTheirRowAndRepeatedHeadersTakeTheLaterColumn)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址"), QStringLiteral("电话")});
    f.sheet.row({QStringLiteral("张三"), QStringLiteral("old"), QStringLiteral("北京市朝阳区"), QStringLiteral("111")});
    f.sheet.row({QStringLiteral("李四"), {}, QStringLiteral("上海市黄浦区"), {}});
    SheetCell error;
    error.kind = SheetCell::Kind::Error;
    error.text = QStringLiteral("#DIV/0!");
    f.sheet.set(3, 4, error);
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(Gbk::field(f.named(QStringLiteral("张三"))->cphone), QStringLiteral("111"));
    EXPECT_EQ(lineOf(report, 0), QStringLiteral("有改动|电话|第2列“电话”和第4列“电话”都是这一列,按第4列导入。"));
    EXPECT_EQ(lineOf(report, 3), QStringLiteral("跳过|李四|[电话]单元格的公式有错误(#DIV/0!)"));
}

TEST(ContactImport, HeaderSheetHasElevenColumns)
{
    ContactFixture f;
    MemorySheetEngine sheet;
    ExcelSession session(&sheet, f.prompter, f.root.file(QStringLiteral("DATA_TEMP")));
    const QString path = f.root.file(QStringLiteral("DATA_TEMP/") + ContactImport::FileName());
    ASSERT_TRUE(ImportHeaderFile::Export(session, f.prompter, ContactImport::SheetName(), path,
                                         ContactImport::ExportColumns()));
    EXPECT_EQ(sheet.written.size(), 11);
    EXPECT_EQ(sheet.written.value({1, 1}), QStringLiteral("编码"));
    EXPECT_EQ(sheet.written.value({1, 11}), QStringLiteral("短信电话"));
    EXPECT_EQ(sheet.widths.value(3), 14); // 110 pixels
    EXPECT_EQ(sheet.savedPath, path);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("文件保存在:\r\n") + path);
}
