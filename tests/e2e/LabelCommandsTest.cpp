#include "excel/PrintDestination.h"
#include "support/Quarvelctl.h"
#include "support/TempRoot.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

CtlResult ctl(const TempRoot &root, const QStringList &rest)
{
    return runQuarvelctl(QStringList{QStringLiteral("--root"), root.path()} + rest);
}

QStringList lines(const QByteArray &out)
{
    return QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void addRecord(const TempRoot &root, const QString &number, const QString &receiver)
{
    const CtlResult r =
        ctl(root, {QStringLiteral("records"), QStringLiteral("add"), QStringLiteral("cnum=") + number,
                   QStringLiteral("cdes=北京市"), QStringLiteral("creceiver=") + receiver,
                   QStringLiteral("cphone=01066668888"), QStringLiteral("creceiveraddr=朝阳区建国路1号"),
                   QStringLiteral("creceivercountry=中国"), QStringLiteral("creceiverprov=北京"),
                   QStringLiteral("goods=茶叶:2:10")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
}

} // namespace

TEST(LabelCommands, ElevenRecordsPrintOnTwoSheetsOnePdfPathEach)
{
    TempRoot root;
    for (int i = 1; i <= 11; ++i)
        addRecord(root, QStringLiteral("DE901230%1").arg(i, 5, 10, QLatin1Char('0')),
                  QStringLiteral("收件人%1").arg(i));
    addRecord(root, QStringLiteral("DE90123XXXXX"), QStringLiteral("王五"));
    ASSERT_TRUE(PrintDestination::Folder(root.file(QStringLiteral("printed"))).Save(root.path()));

    QStringList ids;
    for (int i = 1; i <= 11; ++i)
        ids << QString::number(i);
    const CtlResult printed = ctl(root, QStringList{QStringLiteral("print"), QStringLiteral("labels")} + ids);
    ASSERT_EQ(printed.code, 0) << printed.err.toStdString();
    const QStringList pdfs = lines(printed.out);
    ASSERT_EQ(pdfs, (QStringList{root.file(QStringLiteral("printed/标签_DE90123000001-DE90123000010.pdf")),
                                 root.file(QStringLiteral("printed/标签_DE90123000011.pdf"))}));
    const QString first = pdfText(pdfs[0]);
    for (int i = 1; i <= 10; ++i)
        EXPECT_TRUE(first.contains(QStringLiteral("收件人%1 ").arg(i))) << i;
    EXPECT_FALSE(first.contains(QStringLiteral("收件人11")));
    EXPECT_TRUE(pdfText(pdfs[1]).contains(QStringLiteral("DE90123000011")));

    const CtlResult provisional = ctl(root, {QStringLiteral("print"), QStringLiteral("labels"), QStringLiteral("12")});
    EXPECT_EQ(provisional.code, 1);
    EXPECT_TRUE(provisional.errText().contains(QStringLiteral("选择打印的含有未整理的运单号。")));
    const CtlResult unknown = ctl(root, {QStringLiteral("print"), QStringLiteral("labels"), QStringLiteral("1"),
                                         QStringLiteral("--template"), QStringLiteral("没有")});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_EQ(unknown.errText(), QStringLiteral("模版加载失败，选择未完成。\n"));
    EXPECT_EQ(ctl(root, {QStringLiteral("print"), QStringLiteral("labels")}).code, 2);
    EXPECT_EQ(lines(ctl(root, {QStringLiteral("print"), QStringLiteral("history")}).out).size(), 2);
}
