#include "PreInputFixture.h"

#include "excel/ExcelSession.h"
#include "excel/ImportHeaderFile.h"
#include "preinput/PreInputImport.h"
#include "preinput/WaybillNumber.h"
#include "support/MemorySheetEngine.h"

#include <ostream>

using namespace quarvel;
using Outcome = SheetImportReport::Outcome;
using H = PreInputImport::Header;

namespace {

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

const QDate kToday(2009, 3, 5);

QString text(const char *bytes)
{
    return Gbk::toUnicode(QByteArray(bytes));
}

// Imports of the engine's sheet into the fixture's pre-entry records.
struct ImportFixture : PreInputFixture {
    MemorySheetEngine sheet;
    QList<int> listed;
    int clientId = 0;

    SheetImportReport run()
    {
        const QString path = root.file(QStringLiteral("sheet.xls"));
        QFile(path).open(QIODevice::WriteOnly);
        ExcelSession session(&sheet, prompter, root.file(QStringLiteral("DATA_TEMP")));
        PreInputImport rules(context.preInputs(), {context.baseData(), context.settings(), clientId, kToday});
        rules.setWritten([this](const PreInputRecord &r) { listed.append(r.iid); });
        return SheetImport(session, rules).Run(path);
    }

    const PreInputRecord &record(int index) { return *context.preInputs().At(index); }
    int count() { return context.preInputs().GetCount(); }
};

QString lineOf(const SheetImportReport &report, int row, SheetImportReport::Kind kind)
{
    for (const SheetImportReport::Line &l : report.lines)
        if (l.row == row && l.kind == kind)
            return l.what + u'|' + l.why;
    return QString();
}

} // namespace

TEST(PreInputImport, NumberAndDestinationAloneGiveLockedRecordsWithTheDefaults)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地")});
    f.sheet.row({QStringLiteral("ab1234567"), QStringLiteral("北京市")});
    f.sheet.row({QStringLiteral("XY7654321"), QStringLiteral("usa")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.message, QStringLiteral("本次导入共成功写入2条预录单记录。"));
    ASSERT_EQ(f.count(), 2);
    const PreInputRecord &r = f.record(0);
    EXPECT_EQ(text(r.cnum), QStringLiteral("AB1234567"));
    EXPECT_EQ(text(r.cdes), QStringLiteral("北京市"));
    EXPECT_EQ(text(r.cemskind), QStringLiteral("特快专递"));
    EXPECT_EQ(r.npieces, 1);
    EXPECT_EQ(r.nquantity, 1);
    EXPECT_EQ(r.npayway, 1);
    EXPECT_EQ(text(r.cpaydir), QStringLiteral("PP"));
    EXPECT_EQ(r.nlocked, 1);
    EXPECT_EQ(r.nmarked, 0);
    EXPECT_EQ(r.nitemtype, 1);
    EXPECT_EQ(r.ddate.year, 2009);
    EXPECT_EQ(r.ddate.month, 3);
    EXPECT_EQ(r.ddate.day, 5);
    EXPECT_EQ(r.ngoodslines, 0);
    // A known destination is stored under its own name with its region.
    EXPECT_EQ(text(f.record(1).cdes), QStringLiteral("USA"));
    EXPECT_EQ(f.record(1).nlanguage, 2);
    EXPECT_EQ(report.incomplete, 2);
    EXPECT_EQ(lineOf(report, 2, SheetImportReport::Kind::Incomplete),
              QStringLiteral("AB1234567|表格没有收件人列、表格没有收件地址列、表格没有收件电话列,已锁定,不会上传。"));
    EXPECT_EQ(f.listed.size(), 2);
}

TEST(PreInputImport, EveryColumnReachesItsField)
{
    ImportFixture f;
    QStringList header;
    for (const ImportColumn &c : PreInputImport::Columns())
        header << c.caption();
    f.sheet.row(header);
    const QStringList values{QStringLiteral("EE123456789CN"),
                             QStringLiteral("上海"),
                             QStringLiteral("广东深圳"),
                             QStringLiteral("经济快递"),
                             QStringLiteral("防水袋"),
                             QStringLiteral("3"),
                             QStringLiteral("2.5"),
                             QStringLiteral("赵发"),
                             QStringLiteral("发件公司"),
                             QStringLiteral("上海市发件路1号"),
                             QStringLiteral("021-1234567"),
                             QStringLiteral("200000"),
                             QStringLiteral("中国"),
                             QStringLiteral("上海"),
                             QStringLiteral("上海市"),
                             QStringLiteral("钱收"),
                             QStringLiteral("收件公司"),
                             QStringLiteral("深圳市收件路2号"),
                             QStringLiteral("0755-7654321"),
                             QStringLiteral("518000"),
                             QStringLiteral("中国"),
                             QStringLiteral("广东"),
                             QStringLiteral("深圳"),
                             QStringLiteral("样品"),
                             QStringLiteral("4"),
                             QStringLiteral("12.34"),
                             QStringLiteral("纸箱"),
                             QStringLiteral("轻放"),
                             QStringLiteral("49.36"),
                             QStringLiteral("100"),
                             QStringLiteral("USD"),
                             QStringLiteral("CN"),
                             QStringLiteral("80"),
                             QStringLiteral("75.5"),
                             QStringLiteral("到付"),
                             QStringLiteral("备注文字"),
                             QStringLiteral("13900000001"),
                             QStringLiteral("f@example.com"),
                             QStringLiteral("s@example.com"),
                             QStringLiteral("13900000002"),
                             QStringLiteral("不用1"),
                             QStringLiteral("不用2"),
                             QStringLiteral("不用3"),
                             QStringLiteral("不用4"),
                             QStringLiteral("不用5"),
                             QStringLiteral("不用6")};
    f.sheet.row(values);
    const SheetImportReport report = f.run();
    ASSERT_EQ(report.written, 1) << report.message.toStdString();
    const PreInputRecord &r = f.record(0);
    EXPECT_EQ(text(r.cnum), QStringLiteral("EE123456789CN"));
    EXPECT_EQ(text(r.cfrom), QStringLiteral("上海"));
    EXPECT_EQ(text(r.cdes), QStringLiteral("广东深圳"));
    EXPECT_EQ(text(r.cemskind), QStringLiteral("经济快递"));
    EXPECT_EQ(r.nitemtype, 2);
    EXPECT_EQ(r.npieces, 3);
    EXPECT_DOUBLE_EQ(r.fweight, 2.5);
    EXPECT_DOUBLE_EQ(r.fweighed, 2.5);
    EXPECT_EQ(text(r.csender), QStringLiteral("赵发"));
    EXPECT_EQ(text(r.csenderaddr), QStringLiteral("上海市发件路1号"));
    EXPECT_EQ(text(r.csendercity), QStringLiteral("上海市"));
    EXPECT_EQ(text(r.creceiver), QStringLiteral("钱收"));
    EXPECT_EQ(text(r.creceiveraddr), QStringLiteral("深圳市收件路2号"));
    EXPECT_EQ(text(r.cphone), QStringLiteral("0755-7654321"));
    EXPECT_EQ(text(r.creceivercity), QStringLiteral("深圳"));
    EXPECT_EQ(text(r.cgoods), QStringLiteral("样品"));
    EXPECT_EQ(r.nquantity, 4);
    EXPECT_EQ(r.iprice, 1234);
    EXPECT_EQ(text(r.cpack), QStringLiteral("纸箱"));
    EXPECT_EQ(text(r.cconsignnote), QStringLiteral("轻放"));
    EXPECT_EQ(r.ideclare, 4936);
    EXPECT_EQ(r.iinsure, 10000);
    EXPECT_EQ(text(r.ccurrency), QStringLiteral("USD"));
    EXPECT_DOUBLE_EQ(r.fcod, 80);
    EXPECT_DOUBLE_EQ(r.fcodsettle, 75.5);
    EXPECT_EQ(r.npayway, 2);
    EXPECT_EQ(text(r.cpaydir), QStringLiteral("CC"));
    EXPECT_EQ(text(r.cremark), QStringLiteral("备注文字"));
    EXPECT_EQ(text(r.csendersms), QStringLiteral("13900000001"));
    EXPECT_EQ(text(r.creceivermail), QStringLiteral("s@example.com"));
    EXPECT_EQ(text(r.creceiversms), QStringLiteral("13900000002"));
    EXPECT_EQ(r.nlocked, 0);
    EXPECT_EQ(r.nlanguage, 0);
    EXPECT_TRUE(report.lines.isEmpty());
}

TEST(PreInputImport, ShortNumbersAreGeneratedAndTheSameSheetTwiceWritesNothing)
{
    ImportFixture f;
    f.clientId = 42;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地")});
    f.sheet.row({QStringLiteral("12345"), QStringLiteral("北京市")});
    f.sheet.row({QString(), QStringLiteral("香港")});
    f.sheet.row({QStringLiteral("AB7654321"), QStringLiteral("北京市")});
    // NUL characters make a number no longer: it is stored up to the first.
    f.sheet.row({QStringLiteral("AB0000") + QString(8, QChar(0)), QStringLiteral("北京市")});
    SheetImportReport report = f.run();
    ASSERT_EQ(report.written, 4);
    EXPECT_EQ(text(f.record(3).cnum), QStringLiteral("DE90004000042"));
    EXPECT_EQ(text(f.record(0).cnum), MakeWaybillNumber(kToday, 1, 0, 42));
    EXPECT_EQ(text(f.record(0).cnum), QStringLiteral("DE90001000042"));
    EXPECT_EQ(text(f.record(1).cnum), QStringLiteral("DE90002000042"));
    EXPECT_EQ(f.record(1).nlanguage, 1);
    EXPECT_EQ(lineOf(report, 2, SheetImportReport::Kind::Changed),
              QStringLiteral("12345|运单号不足7位,改用生成的运单号DE90001000042。"));

    f.listed.clear();
    report = f.run();
    // The numbered row is a duplicate now; the rows without a number get new ones.
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(lineOf(report, 4, SheetImportReport::Kind::Skipped), QStringLiteral("AB7654321|运单号已存在"));
}

TEST(PreInputImport, RowsWithTheirOwnNumbersComeInOnce)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地")});
    f.sheet.row({QStringLiteral("AB0000001"), QStringLiteral("北京市")});
    f.sheet.row({QStringLiteral("AB0000002"), QStringLiteral("北京市")});
    f.sheet.row({QStringLiteral("ab0000001"), QStringLiteral("北京市")});
    SheetImportReport report = f.run();
    EXPECT_EQ(report.written, 2);
    EXPECT_EQ(lineOf(report, 4, SheetImportReport::Kind::Skipped), QStringLiteral("AB0000001|与表中第2行运单号相同"));
    report = f.run();
    EXPECT_EQ(report.written, 0);
    EXPECT_EQ(report.skipped, 3);
    EXPECT_EQ(report.message, QStringLiteral("本次导入共成功写入0条预录单记录。"));
    EXPECT_EQ(f.count(), 2);
}

TEST(PreInputImport, ItemTypesPaymentsAndNumbers)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地"), QStringLiteral("类型"), QStringLiteral("付款方式"),
                 QStringLiteral("件数"), QStringLiteral("重量"), QStringLiteral("物品单价"),
                 QStringLiteral("物品数量")});
    const QStringList types{QStringLiteral("doc"),    QStringLiteral("DOC"),  QStringLiteral("文件"),
                            QStringLiteral("防水袋"), QStringLiteral("包裹"), QStringLiteral("箱子")};
    const QStringList pays{QStringLiteral("月结"), QStringLiteral("现付"), QStringLiteral("到付"), QString(),
                           QStringLiteral("支票"), QStringLiteral("月结")};
    const QStringList pieces{QStringLiteral("abc"), QStringLiteral("0"),   QStringLiteral("-2"),
                             QStringLiteral("7件"), QStringLiteral("2.9"), QStringLiteral("1")};
    const QStringList weights{QStringLiteral("-3"),  QStringLiteral("1.25kg"), QStringLiteral("x"),
                              QStringLiteral("1e1"), QStringLiteral("0.0005"), QStringLiteral("2")};
    for (int i = 0; i < 6; ++i)
        f.sheet.row({QStringLiteral("NUM000%1").arg(i), QStringLiteral("北京市"), types[i], pays[i], pieces[i],
                     weights[i], QStringLiteral("12.345"), QString()});
    const SheetImportReport report = f.run();
    ASSERT_EQ(report.written, 6);
    const int itemTypes[] = {0, 0, 0, 2, 1, 1};
    const int payWays[] = {0, 1, 2, 1, 1, 0};
    const int pieceCounts[] = {1, 1, 1, 7, 2, 1};
    const double kilos[] = {0, 1.25, 0, 10, 0.0005, 2};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(f.record(i).nitemtype, itemTypes[i]) << i;
        EXPECT_EQ(f.record(i).npayway, payWays[i]) << i;
        EXPECT_EQ(text(f.record(i).cpaydir), payWays[i] == 2 ? QStringLiteral("CC") : QStringLiteral("PP")) << i;
        EXPECT_EQ(f.record(i).npieces, pieceCounts[i]) << i;
        EXPECT_DOUBLE_EQ(f.record(i).fweight, kilos[i]) << i;
        EXPECT_EQ(f.record(i).iprice, 1234) << i;
        EXPECT_EQ(f.record(i).nquantity, 1) << i;
    }
    EXPECT_EQ(lineOf(report, 6, SheetImportReport::Kind::Changed),
              QStringLiteral("支票|付款方式不是月结、现付或到付,按现付导入。"));
}

TEST(PreInputImport, AddressLinesStandInForAMissingAddressColumn)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地"), QStringLiteral("收件人"),
                 QStringLiteral("收件电话"), QStringLiteral("收件地址1"), QStringLiteral("收件地址2"),
                 QStringLiteral("收件地址3"), QStringLiteral("发件地址2")});
    f.sheet.row({QStringLiteral("AB0000001"), QStringLiteral("北京市"), QStringLiteral("王五"),
                 QStringLiteral("13800138000"), QStringLiteral("北京市"), QStringLiteral("朝阳区"), QString(),
                 QStringLiteral("发件二行")});
    f.sheet.row({QStringLiteral("AB0000002"), QStringLiteral("北京市"), QStringLiteral("王五"),
                 QStringLiteral("13800138000"), QString(), QString(), QString()});
    const SheetImportReport report = f.run();
    ASSERT_EQ(report.written, 2);
    EXPECT_EQ(text(f.record(0).creceiveraddr), QStringLiteral("北京市 朝阳区"));
    EXPECT_EQ(f.record(0).nlocked, 0);
    EXPECT_EQ(text(f.record(0).csenderaddr), QStringLiteral("发件二行"));
    EXPECT_EQ(f.record(1).nlocked, 1);
    EXPECT_EQ(lineOf(report, 3, SheetImportReport::Kind::Incomplete),
              QStringLiteral("AB0000002|收件地址为空,已锁定,不会上传。"));
}

TEST(PreInputImport, MissingColumnsTakeThePagesDefaultsButEmptyCellsStayEmpty)
{
    ImportFixture f;
    ProgramSettings &s = f.context.settings();
    s.origin = QStringLiteral("广州");
    s.senderName = QStringLiteral("默认发件人");
    s.address = QStringLiteral("广州市天河路1号");
    s.phone = QStringLiteral("020-1234567");
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地"), QStringLiteral("发件电话")});
    f.sheet.row({QStringLiteral("AB0000001"), QStringLiteral("北京市"), QString()});
    f.sheet.row({QStringLiteral("AB0000002"), QStringLiteral("北京市"), QStringLiteral("010-7654321")});
    ASSERT_EQ(f.run().written, 2);
    EXPECT_EQ(text(f.record(0).cfrom), QStringLiteral("广州"));
    EXPECT_EQ(text(f.record(0).csender), QStringLiteral("默认发件人"));
    EXPECT_EQ(text(f.record(0).csenderaddr), QStringLiteral("广州市天河路1号"));
    EXPECT_EQ(text(f.record(0).ccurrency), QStringLiteral("CNY"));
    EXPECT_EQ(text(f.record(0).cgoodsorigin), QStringLiteral("CN"));
    EXPECT_EQ(text(f.record(0).csenderphone), QString());
    EXPECT_EQ(text(f.record(1).csenderphone), QStringLiteral("010-7654321"));
}

TEST(PreInputImport, SkippedRowsSayWhyAndUnknownKindsTakeTheDefault)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地"), QStringLiteral("网络渠道")});
    f.sheet.row({QStringLiteral("AB0000001"), QString(), QStringLiteral("经济快递")});
    f.sheet.row({QStringLiteral("AB0000002"), QStringLiteral("火星基地"), QStringLiteral("火箭")});
    f.sheet.row({QStringLiteral("AB0000003"), QStringLiteral(" 广东深圳 "), QStringLiteral("  ")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.written, 2);
    EXPECT_EQ(lineOf(report, 2, SheetImportReport::Kind::Skipped), QStringLiteral("AB0000001|没有目的地"));
    // An unknown destination is kept as typed, region 0.
    EXPECT_EQ(text(f.record(0).cdes), QStringLiteral("火星基地"));
    EXPECT_EQ(f.record(0).nlanguage, 0);
    EXPECT_EQ(text(f.record(0).cemskind), QStringLiteral("特快专递"));
    EXPECT_EQ(lineOf(report, 3, SheetImportReport::Kind::Changed),
              QStringLiteral("火箭|网络渠道不在基础数据中,改为特快专递。"));
    EXPECT_EQ(text(f.record(1).cemskind), QStringLiteral("特快专递"));
    EXPECT_EQ(text(f.record(1).cdes), QStringLiteral("广东深圳"));
}

TEST(PreInputImport, EmptyNumbersAfterRowTwentyEndTheImport)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地")});
    for (int row = 2; row <= 22; ++row)
        f.sheet.row({QString(), QStringLiteral("北京市")});
    f.sheet.row({QStringLiteral("AB0000099"), QStringLiteral("北京市")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    // Rows 2-20 get numbers; row 21 ends it, the numbered row 23 stays out.
    EXPECT_EQ(report.written, 19);
    EXPECT_EQ(f.context.preInputs().FindLastByNumber(QStringLiteral("AB0000099")), nullptr);
}

TEST(PreInputImport, RefusalsNameTheRowAndFieldAndWriteNothingOfThatRow)
{
    struct Case {
        QString header;
        QString value;
        QString message;
    };
    const Case cases[] = {
        {QStringLiteral("收件人"), QStringLiteral("王𠀀"),
         QStringLiteral("第3行[收件人]含有不能保存的字符“𠀀”，请改用其他文字。")},
        {QStringLiteral("收件人"), QString(31, u'x'), QStringLiteral("第3行[收件人]长度不得超过 30 字符。")},
        {QStringLiteral("目的地"), QString(63, u'y'), QStringLiteral("第3行[目的地]长度不得超过 62 字符。")},
        {QStringLiteral("声明价值"), QStringLiteral("1e12"), QStringLiteral("第3行[声明价值]数值超出范围。")},
        {QStringLiteral("件数"), QStringLiteral("99999999999"), QStringLiteral("第3行[件数]数值超出范围。")},
        {QStringLiteral("重量"), QStringLiteral("1e999"), QStringLiteral("第3行[重量]数值超出范围。")},
        {QStringLiteral("运单号"), QString(31, u'Z'), QStringLiteral("第3行[运单号]长度不得超过 30 字符。")},
    };
    for (const Case &c : cases) {
        ImportFixture f;
        const bool destination = c.header == QLatin1String("目的地");
        const bool number = c.header == QLatin1String("运单号");
        f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地"), destination || number ? QString() : c.header});
        f.sheet.row({QStringLiteral("AB0000001"), QStringLiteral("北京市"), QStringLiteral("1")});
        f.sheet.row({number ? c.value : QStringLiteral("AB0000002"), destination ? c.value : QStringLiteral("北京市"),
                     c.value});
        f.sheet.row({QStringLiteral("AB0000003"), QStringLiteral("北京市"), QStringLiteral("1")});
        const SheetImportReport report = f.run();
        EXPECT_EQ(report.outcome, Outcome::Refused) << c.message.toStdString();
        EXPECT_EQ(report.message, c.message);
        EXPECT_EQ(report.stopRow, 3);
        EXPECT_EQ(f.count(), 1) << c.message.toStdString();
    }
}

TEST(PreInputImport, MissingNumberOrDestinationColumnRefusesTheSheet)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("收件人")});
    f.sheet.row({QStringLiteral("AB0000001"), QStringLiteral("王五")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message, QStringLiteral("缺少基本数据,不能导入!\r\n基本数据为:\r\n运单号\r\n目的地\r\n"));
    EXPECT_EQ(f.count(), 0);
}

TEST(PreInputImport, HeaderSheetHasFortyFourColumnsAndTheFullSheetImports)
{
    const QList<ImportColumn> columns = PreInputImport::ExportColumns();
    ASSERT_EQ(columns.size(), 44);
    QStringList captions;
    for (const ImportColumn &c : columns)
        captions << c.caption();
    EXPECT_FALSE(captions.contains(QStringLiteral("物品包装")));
    EXPECT_FALSE(captions.contains(QStringLiteral("托运备注")));
    EXPECT_EQ(captions.first(), QStringLiteral("运单号"));
    EXPECT_EQ(captions.last(), QStringLiteral("收件地址3"));

    ImportFixture f;
    ExcelSession session(&f.sheet, f.prompter, f.root.file(QStringLiteral("DATA_TEMP")));
    const QString path =
        ImportHeaderFile::DefaultPath(f.root.file(QStringLiteral("DATA_TEMP")), PreInputImport::FileName());
    ASSERT_TRUE(ImportHeaderFile::Export(session, f.prompter, PreInputImport::SheetName(), path, columns));
    EXPECT_EQ(f.sheet.written.size(), 44);
    EXPECT_EQ(f.sheet.written.value({1, 27}), QStringLiteral("声明价值"));
    EXPECT_EQ(f.sheet.widths.value(1), 14);
}
