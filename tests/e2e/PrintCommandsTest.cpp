#include "excel/PrintDestination.h"
#include "support/Quarvelctl.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>

using namespace quarvel;

namespace {

QStringList args(const TempRoot &root, const QStringList &rest)
{
    return QStringList{QStringLiteral("--root"), root.path()} + rest;
}

CtlResult ctl(const TempRoot &root, const QStringList &rest, const QByteArray &input = QByteArray())
{
    return runQuarvelctl(args(root, rest), input);
}

QStringList lines(const QByteArray &out)
{
    return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void addRecord(const TempRoot &root, const QString &number)
{
    const CtlResult r = ctl(
        root, {QStringLiteral("records"), QStringLiteral("add"), QStringLiteral("cnum=") + number,
               QStringLiteral("cdes=北京市"), QStringLiteral("creceiver=王五"), QStringLiteral("cphone=01066668888"),
               QStringLiteral("creceiveraddr=朝阳区建国路1号"), QStringLiteral("creceivercountry=中国"),
               QStringLiteral("creceiverprov=北京"), QStringLiteral("goods=茶叶:2:10")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
}

} // namespace

TEST(PrintCommands, TemplatesAndTheGoodsDictionaryOfAFreshInstallation)
{
    TempRoot root;
    const CtlResult listed = ctl(root, {QStringLiteral("templates"), QStringLiteral("list")});
    ASSERT_EQ(listed.code, 0) << listed.err.toStdString();
    EXPECT_EQ(lines(listed.out),
              (QStringList{QStringLiteral("形式发票\t默认形式发票\t*"), QStringLiteral("快件面单\t默认面单\t*"),
                           QStringLiteral("快件标签\t默认标签\t*"), QStringLiteral("交接单\t默认交接单\t*")}));
    const CtlResult suggested =
        ctl(root, {QStringLiteral("dictionary"), QStringLiteral("suggest"), QStringLiteral("手机")});
    ASSERT_EQ(suggested.code, 0);
    EXPECT_EQ(lines(suggested.out).size(), 4);
    EXPECT_TRUE(lines(suggested.out).first().contains(QStringLiteral("\t手机\tMobile phone")));
    EXPECT_EQ(ctl(root, {QStringLiteral("dictionary"), QStringLiteral("translate"), QStringLiteral("--to"),
                         QStringLiteral("en"), QStringLiteral("茶叶"), QStringLiteral("手机壳")})
                  .out,
              "Tea,Phone case\n");
    EXPECT_EQ(ctl(root, {QStringLiteral("dictionary"), QStringLiteral("translate"), QStringLiteral("--to"),
                         QStringLiteral("zh"), QStringLiteral("green"), QStringLiteral("TEA")})
                  .out,
              QStringLiteral("绿茶\n").toUtf8());
    EXPECT_EQ(ctl(root, {QStringLiteral("dictionary"), QStringLiteral("translate"), QStringLiteral("--to"),
                         QStringLiteral("fr"), QStringLiteral("tea")})
                  .code,
              2);
    EXPECT_EQ(ctl(root, {QStringLiteral("templates"), QStringLiteral("remove")}).code, 2);
}

TEST(PrintCommands, TemplatesDownloadFromTheDemoServer)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    TempRoot root;
    ASSERT_EQ(ctl(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("host"), server.host()}).code,
              0);
    ASSERT_EQ(
        ctl(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("site"), QStringLiteral("DEMO")})
            .code,
        0);
    const CtlResult download = ctl(root, {QStringLiteral("templates"), QStringLiteral("download")});
    ASSERT_EQ(download.code, 0) << download.err.toStdString();
    EXPECT_EQ(download.out, QStringLiteral("共下载更新 4 个打印模版。\n").toUtf8());
    EXPECT_TRUE(lines(ctl(root, {QStringLiteral("templates"), QStringLiteral("list")}).out)
                    .contains(QStringLiteral("快件面单\t简易面单")));
}

TEST(PrintCommands, WaybillsInvoicesTheLedgerAndPrintingAgain)
{
    TempRoot root;
    addRecord(root, QStringLiteral("DE90123000001"));
    addRecord(root, QStringLiteral("DE90123000002"));
    addRecord(root, QStringLiteral("DE90123XXXXX"));
    ASSERT_TRUE(PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path()));

    const CtlResult waybills =
        ctl(root, {QStringLiteral("print"), QStringLiteral("waybill"), QStringLiteral("1"), QStringLiteral("2")});
    ASSERT_EQ(waybills.code, 0) << waybills.err.toStdString();
    const QStringList pdfs = lines(waybills.out);
    ASSERT_EQ(pdfs, (QStringList{root.file(QStringLiteral("printed/面单_DE90123000001.pdf")),
                                 root.file(QStringLiteral("printed/面单_DE90123000002.pdf"))}));
    EXPECT_TRUE(pdfText(pdfs[1]).contains(QStringLiteral("DE90123000002")));
    EXPECT_TRUE(pdfText(pdfs[1]).contains(QStringLiteral("01066668888")));

    const CtlResult provisional = ctl(root, {QStringLiteral("print"), QStringLiteral("waybill"), QStringLiteral("3")});
    EXPECT_EQ(provisional.code, 1);
    EXPECT_TRUE(provisional.errText().contains(QStringLiteral("选择打印的含有未整理的运单号。")));
    const CtlResult unknown = ctl(root, {QStringLiteral("print"), QStringLiteral("waybill"), QStringLiteral("1"),
                                         QStringLiteral("--template"), QStringLiteral("没有")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_EQ(unknown.errText(), QStringLiteral("模版加载失败，选择未完成。\n"));

    const CtlResult saved =
        ctl(root, {QStringLiteral("print"), QStringLiteral("invoice"), QStringLiteral("1"), QStringLiteral("--save")});
    ASSERT_EQ(saved.code, 0) << saved.err.toStdString();
    EXPECT_EQ(lines(saved.out), QStringList{root.file(QStringLiteral("DATA_TEMP/INVOICE_DE90123000001.xls"))});

    const CtlResult history = ctl(root, {QStringLiteral("print"), QStringLiteral("history"), QStringLiteral("--json")});
    ASSERT_EQ(history.code, 0);
    const QJsonArray entries = QJsonDocument::fromJson(history.out).array();
    ASSERT_EQ(entries.size(), 2) << "a saved invoice is no printout";
    EXPECT_EQ(entries[0][QStringLiteral("number")].toInt(), 2);
    EXPECT_EQ(entries[0][QStringLiteral("waybill")].toString(), QStringLiteral("DE90123000002"));
    EXPECT_EQ(entries[0][QStringLiteral("kind")].toString(), QStringLiteral("面单"));
    EXPECT_EQ(entries[0][QStringLiteral("pdf")].toString(), pdfs[1]);

    const CtlResult again = ctl(root, {QStringLiteral("print"), QStringLiteral("again"), QStringLiteral("1")});
    ASSERT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_EQ(lines(again.out), QStringList{pdfs[0]});
    EXPECT_EQ(lines(ctl(root, {QStringLiteral("print"), QStringLiteral("history")}).out).size(), 3);
    EXPECT_EQ(ctl(root, {QStringLiteral("print"), QStringLiteral("again"), QStringLiteral("9")}).code, 1);

    // A ledger that cannot be written: the waybill is printed all the same,
    // but the command says so and does not end as a success.
    const QString ledger = root.file(QStringLiteral("DATA_SYS/printlog.txt"));
    ASSERT_TRUE(QFile::remove(ledger));
    ASSERT_TRUE(QDir().mkpath(ledger + QStringLiteral("/blocked")));
    const CtlResult unrecorded = ctl(root, {QStringLiteral("print"), QStringLiteral("waybill"), QStringLiteral("2")});
    EXPECT_EQ(unrecorded.code, 2) << unrecorded.errText().toStdString();
    ASSERT_EQ(lines(unrecorded.out).size(), 1);
    EXPECT_TRUE(pdfText(lines(unrecorded.out).first()).contains(QStringLiteral("DE90123000002")));
    EXPECT_TRUE(unrecorded.errText().contains(QStringLiteral("已打印，但打印记录没能写入")))
        << unrecorded.errText().toStdString();
}

TEST(PrintCommands, TwoProgramsPrintingTheSameWaybillAtOnceBothSucceedWithTheirOwnPdf)
{
    TempRoot root;
    addRecord(root, QStringLiteral("DE90123000001"));
    ASSERT_TRUE(PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path()));
    QSet<QString> pdfs;
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds; ++round) {
        QProcess first;
        QProcess second;
        const QStringList print = args(root, {QStringLiteral("print"), QStringLiteral("waybill"), QStringLiteral("1")});
        first.start(QStringLiteral(QUARVELCTL_PATH), print);
        second.start(QStringLiteral(QUARVELCTL_PATH), print);
        for (QProcess *p : {&first, &second}) {
            ASSERT_TRUE(p->waitForFinished(120000));
            ASSERT_EQ(p->exitCode(), 0) << "round " << round << ": " << p->readAllStandardError().toStdString();
            const QStringList out = lines(p->readAllStandardOutput());
            ASSERT_EQ(out.size(), 1);
            EXPECT_TRUE(pdfText(out[0]).contains(QStringLiteral("DE90123000001"))) << out[0].toStdString();
            pdfs.insert(out[0]);
        }
    }
    EXPECT_EQ(pdfs.size(), 2 * kRounds) << "every printout has its own PDF";
    EXPECT_TRUE(QDir(root.file(QStringLiteral("DATA_TEMP"))).entryList({QStringLiteral("BILL_*")}).isEmpty())
        << "the working files went with their documents";
    const CtlResult history = ctl(root, {QStringLiteral("print"), QStringLiteral("history")});
    EXPECT_EQ(lines(history.out).size(), 2 * kRounds);
}

TEST(PrintCommands, APrintoutWhosePdfWasPrunedIsPrintedAnewWhileItsRecordIsHere)
{
    TempRoot root;
    addRecord(root, QStringLiteral("DE90123000001"));
    ASSERT_TRUE(PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path()));
    const CtlResult printed = ctl(root, {QStringLiteral("print"), QStringLiteral("waybill"), QStringLiteral("1")});
    ASSERT_EQ(printed.code, 0) << printed.err.toStdString();
    const QString pdf = lines(printed.out).value(0);
    {
        // Grown past the size the installation keeps.
        QFile grown(pdf);
        ASSERT_TRUE(grown.open(QIODevice::Append));
        grown.write(QByteArray(2 * 1024 * 1024, '\n'));
        QFile conf(root.file(QStringLiteral("DATA_SYS/print.conf")));
        ASSERT_TRUE(conf.open(QIODevice::Append));
        conf.write("keep_mb=1\n");
    }
    const CtlResult history = ctl(root, {QStringLiteral("print"), QStringLiteral("history")});
    ASSERT_EQ(history.code, 0);
    EXPECT_TRUE(history.errText().isEmpty()) << history.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(history.out).contains(QStringLiteral("\t已删除 "))) << history.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));

    const CtlResult again = ctl(root, {QStringLiteral("print"), QStringLiteral("again"), QStringLiteral("1")});
    ASSERT_EQ(again.code, 0) << again.err.toStdString();
    const QString anew = lines(again.out).value(0);
    EXPECT_TRUE(pdfText(anew).contains(QStringLiteral("DE90123000001"))) << anew.toStdString();

    ASSERT_EQ(ctl(root, {QStringLiteral("records"), QStringLiteral("delete"), QStringLiteral("1")}).code, 0);
    QFile::remove(anew);
    const CtlResult gone = ctl(root, {QStringLiteral("print"), QStringLiteral("again"), QStringLiteral("2")});
    EXPECT_EQ(gone.code, 1);
    EXPECT_TRUE(gone.errText().contains(QStringLiteral("也已不在本机记录中"))) << gone.err.toStdString();
}

TEST(PrintCommands, AServerWaybillOfTheCustomersOwnShipment)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    TempRoot root;
    ASSERT_EQ(ctl(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("host"), server.host()}).code,
              0);
    ASSERT_EQ(
        ctl(root, {QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("site"), QStringLiteral("DEMO")})
            .code,
        0);
    ASSERT_TRUE(PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path()));
    const QStringList login{QStringLiteral("--account"), QStringLiteral("demo"), QStringLiteral("--password-stdin")};
    const CtlResult printed = ctl(root,
                                  login + QStringList{QStringLiteral("print"), QStringLiteral("server-waybill"),
                                                      QStringLiteral("1"), QStringLiteral("999")},
                                  "demo\n");
    EXPECT_EQ(printed.code, 1) << "record 999 is not there";
    ASSERT_EQ(lines(printed.out), QStringList{root.file(QStringLiteral("printed/面单_D1010000001.pdf"))})
        << printed.err.toStdString();
    EXPECT_TRUE(printed.errText().contains(QStringLiteral("999\t没有符合条件的记录。")));
    const QString text = pdfText(lines(printed.out).first());
    EXPECT_TRUE(text.contains(QStringLiteral("D1010000001")));
    EXPECT_TRUE(text.contains(QStringLiteral("李四")));
    EXPECT_TRUE(text.contains(QStringLiteral("010-66668888")));
}
