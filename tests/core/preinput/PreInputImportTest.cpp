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
    EXPECT_EQ(report.message, QStringLiteral("本次导入共成功写入2条预录单记录。表中数据2行(第2行至第3行):"
                                             "完整写入0条,不完整写入2条,跳过0行,空行0行。"));
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
    // A known destination fills the receiver's country, province and city as picking it on the page does.
    EXPECT_EQ(text(r.creceivercountry), QStringLiteral("中国"));
    EXPECT_EQ(text(r.creceiverprov), QStringLiteral("北京"));
    EXPECT_EQ(text(r.creceivercity), QStringLiteral("北京市"));
    EXPECT_EQ(text(r.creceiverzip), QStringLiteral("100000"));
    EXPECT_EQ(text(f.record(1).creceivercountry), QStringLiteral("United States"));
    EXPECT_EQ(text(f.record(1).creceiverprov), QString());
    EXPECT_EQ(report.incomplete, 2);
    EXPECT_EQ(
        lineOf(report, 2, SheetImportReport::Kind::Incomplete),
        QStringLiteral("AB1234567|表格没有收件人列、表格没有收件地址列、表格没有收件电话列,已锁定,改正后才会上传。"));
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
    EXPECT_EQ(lineOf(report, 3, SheetImportReport::Kind::Changed),
              QStringLiteral("DE90002000042|没有运单号,用生成的运单号DE90002000042。"));

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
    EXPECT_EQ(report.message, QStringLiteral("本次导入共成功写入0条预录单记录。表中数据3行(第2行至第4行):"
                                             "完整写入0条,不完整写入0条,跳过3行,空行0行。"));
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
    const QStringList pieces{
        QString(),          QStringLiteral("0"), QStringLiteral("２"), QStringLiteral("7件"), QStringLiteral("12"),
        QStringLiteral("1")};
    const QStringList weights{QStringLiteral("500g"), QStringLiteral("1.25kg"), QStringLiteral("1,234.5"),
                              QStringLiteral("1e1"),  QStringLiteral("0.0006"), QStringLiteral("１.５")};
    for (int i = 0; i < 6; ++i)
        f.sheet.row({QStringLiteral("NUM000%1").arg(i), QStringLiteral("北京市"), types[i], pays[i], pieces[i],
                     weights[i], QStringLiteral("12.345"), QString()});
    const SheetImportReport report = f.run();
    ASSERT_EQ(report.written, 6) << report.Text().toStdString();
    const int itemTypes[] = {0, 0, 0, 2, 1, 1};
    const int payWays[] = {0, 1, 2, 1, 1, 0};
    const int pieceCounts[] = {1, 1, 2, 7, 12, 1};
    // Weights are kept to the gram, as the page keeps them.
    const double kilos[] = {0.5, 1.25, 1234.5, 10, 0.001, 1.5};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(f.record(i).nitemtype, itemTypes[i]) << i;
        EXPECT_EQ(f.record(i).npayway, payWays[i]) << i;
        EXPECT_EQ(text(f.record(i).cpaydir), payWays[i] == 2 ? QStringLiteral("CC") : QStringLiteral("PP")) << i;
        EXPECT_EQ(f.record(i).npieces, pieceCounts[i]) << i;
        EXPECT_DOUBLE_EQ(f.record(i).fweight, kilos[i]) << i;
        EXPECT_DOUBLE_EQ(f.record(i).fweighed, kilos[i]) << i;
        EXPECT_EQ(f.record(i).iprice, 1234) << i;
        EXPECT_EQ(f.record(i).nquantity, 1) << i;
    }
    EXPECT_EQ(lineOf(report, 6, SheetImportReport::Kind::Changed),
              QStringLiteral("支票|付款方式不是月结、现付或到付,按现付导入。"));
}

// Whatever a number field cannot take skips its row, naming the column and
// the text; the rows after it are read.
TEST(PreInputImport, NumbersThatCannotBeTakenSkipTheirRowWithColumnAndText)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地"), QStringLiteral("件数"), QStringLiteral("重量")});
    const QStringList pieces{QStringLiteral("abc"), QStringLiteral("-2"), QStringLiteral("2.9"), QStringLiteral("1"),
                             QStringLiteral("1"),   QStringLiteral("1"),  QStringLiteral("1")};
    const QStringList weights{QStringLiteral("1"),  QStringLiteral("1"),       QStringLiteral("1"),
                              QStringLiteral("-1"), QStringLiteral("约2公斤"), QStringLiteral("abc"),
                              QStringLiteral("2.5")};
    for (int i = 0; i < 7; ++i)
        f.sheet.row({QStringLiteral("NUM000%1").arg(i), QStringLiteral("北京市"), pieces[i], weights[i]});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(report.skipped, 6);
    EXPECT_EQ(report.rowLines().mid(0, 6), (QStringList{QStringLiteral("2\tNUM0000\t[件数]不是可识别的数值:abc"),
                                                        QStringLiteral("3\tNUM0001\t[件数]不能是负数:-2"),
                                                        QStringLiteral("4\tNUM0002\t[件数]必须是整数:2.9"),
                                                        QStringLiteral("5\tNUM0003\t[重量]不能是负数:-1"),
                                                        QStringLiteral("6\tNUM0004\t[重量]不是可识别的数值:约2公斤"),
                                                        QStringLiteral("7\tNUM0005\t[重量]不是可识别的数值:abc")}));
    EXPECT_DOUBLE_EQ(f.record(0).fweight, 2.5);
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
              QStringLiteral("AB0000002|收件地址为空,已锁定,改正后才会上传。"));
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

TEST(PreInputImport, UnknownDestinationsAndKindsComeInLockedUntilCorrected)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地"), QStringLiteral("网络渠道"),
                 QStringLiteral("收件人"), QStringLiteral("收件电话"), QStringLiteral("收件地址")});
    const QStringList receiver{QStringLiteral("王五"), QStringLiteral("13800138000"), QStringLiteral("某路1号")};
    f.sheet.row(QStringList{QStringLiteral("AB0000001"), QString(), QStringLiteral("经济快递")} + receiver);
    f.sheet.row(QStringList{QStringLiteral("AB0000002"), QStringLiteral("火星"), QString()} + receiver);
    f.sheet.row(QStringList{QStringLiteral("AB0000003"), QStringLiteral(" 广州 "), QStringLiteral("火箭")} + receiver);
    f.sheet.row(QStringList{QStringLiteral("AB0000004"), QStringLiteral("北京"), QStringLiteral("经济快递")} +
                receiver);
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(report.incomplete, 2);
    EXPECT_EQ(lineOf(report, 2, SheetImportReport::Kind::Skipped), QStringLiteral("AB0000001|没有目的地"));
    // Kept as typed, region 0, locked: F3 does not upload it.
    EXPECT_EQ(text(f.record(0).cdes), QStringLiteral("火星"));
    EXPECT_EQ(f.record(0).nlanguage, 0);
    EXPECT_EQ(f.record(0).nlocked, 1);
    EXPECT_EQ(lineOf(report, 3, SheetImportReport::Kind::Incomplete),
              QStringLiteral("AB0000002|目的地“火星”不在基本数据中,已锁定,改正后才会上传。"));
    // 广州 names no destination of this base data.
    EXPECT_EQ(text(f.record(1).cemskind), QStringLiteral("特快专递"));
    EXPECT_EQ(f.record(1).nlocked, 1);
    EXPECT_EQ(lineOf(report, 4, SheetImportReport::Kind::Incomplete),
              QStringLiteral("AB0000003|目的地“广州”不在基本数据中、网络渠道“火箭”不在基本数据中,已改为特快专递,"
                             "已锁定,改正后才会上传。"));
    // 北京 is the base data's 北京市, with its place.
    EXPECT_EQ(text(f.record(2).cdes), QStringLiteral("北京市"));
    EXPECT_EQ(text(f.record(2).cemskind), QStringLiteral("经济快递"));
    EXPECT_EQ(f.record(2).nlocked, 0);
    EXPECT_EQ(text(f.record(2).creceiverprov), QStringLiteral("北京"));
}

TEST(PreInputImport, RowsWithoutNumbersAllComeInWithGeneratedNumbers)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地")});
    for (int row = 2; row <= 22; ++row)
        f.sheet.row({QString(), QStringLiteral("北京市")});
    f.sheet.row({});
    f.sheet.row({QStringLiteral("AB0000099"), QStringLiteral("北京市")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::Finished);
    EXPECT_EQ(report.written, 22);
    EXPECT_EQ(report.blank, 1);
    EXPECT_EQ(report.dataRows(), 23);
    EXPECT_NE(f.context.preInputs().FindLastByNumber(QStringLiteral("AB0000099")), nullptr);
}

TEST(PreInputImport, ValuesBreakingTheirLimitSkipTheirRowAndTheRowsAfterAreRead)
{
    struct Case {
        QString header;
        QString value;
        QString why;
    };
    const Case cases[] = {
        {QStringLiteral("收件人"), QStringLiteral("王𠀀"),
         QStringLiteral("[收件人]含有不能保存的字符“𠀀”，请改用其他文字。")},
        {QStringLiteral("收件人"), QString(31, u'x'), QStringLiteral("[收件人]超过 30 字节(此行有 31 字节)")},
        {QStringLiteral("收件地址"), QString(64, u'路'), QStringLiteral("[收件地址]超过 126 字节(此行有 128 字节)")},
        {QStringLiteral("备注"), QString(100000, u'长'), QStringLiteral("[备注]超过 254 字节(此行有 200000 字节)")},
        {QStringLiteral("目的地"), QString(63, u'y'), QStringLiteral("[目的地]超过 62 字节(此行有 63 字节)")},
        {QStringLiteral("声明价值"), QStringLiteral("1e12"), QStringLiteral("[声明价值]数值超出范围")},
        {QStringLiteral("件数"), QStringLiteral("99999999999"), QStringLiteral("[件数]数值超出范围")},
        {QStringLiteral("重量"), QStringLiteral("1e999"), QStringLiteral("[重量]数值超出范围:1e999")},
        {QStringLiteral("运单号"), QString(31, u'Z'), QStringLiteral("[运单号]超过 30 字节(此行有 31 字节)")},
        {QStringLiteral("运单号"), QStringLiteral("7.73000E+14"), QStringLiteral("运单号被表格改成了科学计数法")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why.toStdString());
        ImportFixture f;
        const bool destination = c.header == QStringLiteral("目的地");
        const bool number = c.header == QStringLiteral("运单号");
        f.sheet.row({QStringLiteral("运单号"), QStringLiteral("目的地"), destination || number ? QString() : c.header});
        f.sheet.row({QStringLiteral("AB0000001"), QStringLiteral("北京市"), QStringLiteral("1")});
        f.sheet.row({number ? c.value : QStringLiteral("AB0000002"), destination ? c.value : QStringLiteral("北京市"),
                     c.value});
        f.sheet.row({QStringLiteral("AB0000003"), QStringLiteral("北京市"), QStringLiteral("1")});
        const SheetImportReport report = f.run();
        EXPECT_EQ(report.outcome, Outcome::Finished);
        EXPECT_EQ(report.skipped, 1);
        EXPECT_EQ(lineOf(report, 3, SheetImportReport::Kind::Skipped).section(u'|', 1), c.why);
        EXPECT_LE(lineOf(report, 3, SheetImportReport::Kind::Skipped).section(u'|', 0, 0).size(), 31);
        EXPECT_EQ(f.count(), 2);
        EXPECT_NE(f.context.preInputs().FindLastByNumber(QStringLiteral("AB0000003")), nullptr);
    }
}

TEST(PreInputImport, AShopExportUnderATitleRowComesInAndStoredRecordsStayAsTheyWere)
{
    ImportFixture f;
    f.fillValid(QStringLiteral("AB0000001"));
    ASSERT_TRUE(f.form->SaveRecord());
    f.fillValid(QStringLiteral("AB0000002"));
    ASSERT_TRUE(f.form->SaveRecord());
    const QByteArray before(reinterpret_cast<const char *>(f.context.preInputs().At(0)), 2 * sizeof(PreInputRecord));

    f.sheet.row({QStringLiteral("某某商城订单导出 2024-03")});
    f.sheet.row({QStringLiteral("快递单号*"), QStringLiteral("收货人"), QStringLiteral("手机号码"),
                 QStringLiteral("收货地址"), QStringLiteral("目的城市"), QStringLiteral("重量(g)"),
                 QStringLiteral("订单状态")});
    f.sheet.row({QStringLiteral("SP0000001"), QStringLiteral("张三"), QStringLiteral("13800138000"),
                 QStringLiteral("朝阳区建国路1号"), QStringLiteral("北京"), QStringLiteral("1500"),
                 QStringLiteral("已付款")});
    f.sheet.row({});
    f.sheet.row({QStringLiteral("AB0000002"), QStringLiteral("李四"), QStringLiteral("13900000000"),
                 QStringLiteral("南山区科技园"), QStringLiteral("深圳"), QStringLiteral("800"), QString()});
    f.sheet.row({QStringLiteral("SP0000003"), QString(), QStringLiteral("13700000000"), QStringLiteral("某路"),
                 QStringLiteral("深圳"), QStringLiteral("2kg"), QString()});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.headerRow, 2);
    EXPECT_EQ(report.written, 2);
    EXPECT_EQ(report.incomplete, 1);
    EXPECT_EQ(report.message, QStringLiteral("本次导入共成功写入2条预录单记录。表中数据4行(第3行至第6行):"
                                             "完整写入1条,不完整写入1条,跳过1行,空行1行。"));
    EXPECT_EQ(report.rowLines(), (QStringList{QStringLiteral("5\tAB0000002\t运单号已存在"),
                                              QStringLiteral("6\tSP0000003\t收件人为空,已锁定,改正后才会上传。")}));
    ASSERT_EQ(f.count(), 4);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(f.context.preInputs().At(0)), 2 * sizeof(PreInputRecord)),
              before);
    const PreInputRecord &shop = f.record(2);
    EXPECT_EQ(text(shop.creceiver), QStringLiteral("张三"));
    EXPECT_EQ(text(shop.cdes), QStringLiteral("北京市"));
    EXPECT_DOUBLE_EQ(shop.fweight, 1.5);
    EXPECT_EQ(text(f.record(3).cdes), QStringLiteral("广东深圳"));
    EXPECT_DOUBLE_EQ(f.record(3).fweight, 2);
}

TEST(PreInputImport, MissingNumberOrDestinationColumnRefusesTheSheet)
{
    ImportFixture f;
    f.sheet.row({QStringLiteral("运单号"), QStringLiteral("收件人")});
    f.sheet.row({QStringLiteral("AB0000001"), QStringLiteral("王五")});
    const SheetImportReport report = f.run();
    EXPECT_EQ(report.outcome, Outcome::NotStarted);
    EXPECT_EQ(report.message, QStringLiteral("缺少基本数据,不能导入!\r\n基本数据为:\r\n运单号\r\n目的地\r\n"
                                             "工作表“Sheet1”第1行是表头,其中没有:目的地。"));
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
