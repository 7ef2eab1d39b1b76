#include "core/preinput/PreInputFixture.h"
#include "support/CtlCounter.h"
#include "support/TarvoData.h"
#include "support/TarvoSeed.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

CtlResult ctl(const TempRoot &root, const QStringList &args)
{
    return runQuarvelctl(QStringList{QStringLiteral("--root"), root.path()} + args);
}

// The control characters (other than the line feeds that end lines and the
// tabs between columns) in what a command printed.
QByteArray controlsIn(const QByteArray &printed)
{
    QByteArray found;
    for (const char c : printed) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\n' && c != '\t') || u == 0x7f)
            found += c;
    }
    return found;
}

// Every line holds exactly `tabs` tabs: no field spilled into another column.
bool columnsHold(const QByteArray &printed, int tabs)
{
    for (const QByteArray &line : printed.split('\n'))
        if (!line.isEmpty() && line.count('\t') != tabs)
            return false;
    return true;
}

const QString kEscape = QStringLiteral("\x1b[2J\x1b]0;owned\x07");

} // namespace

// A customer's sheet with a terminal's escape sequences, a bell, a tab and a
// line break in its cells: what is stored is one line of plain text, and
// what the command line prints can neither move the terminal nor break the
// tab-separated columns.
TEST(ControlCharacters, ImportedCellsAreStoredPlainAndPrintedEscaped)
{
    TempRoot root;
    // The destinations and express kinds of the page (base data as downloaded, XOR 8).
    QByteArray base = PreInputFixture::baseText(false);
    for (char &c : base)
        c = char(c ^ 8);
    root.write(QStringLiteral("DATA_SYS/0.dat"), base);
    // Quoted CSV cells may hold the line break and the tab.
    root.write(QStringLiteral("records.csv"),
               (QStringLiteral("运单号,目的地,收件人,收件电话,收件地址\r\n") + QStringLiteral("CC0000001,北京,\"王") +
                kEscape + QStringLiteral("五\",13800138000,\"朝阳区\r\n建国路\t1号\x07\"\r\n"))
                   .toUtf8());
    root.write(QStringLiteral("contacts.csv"), (QStringLiteral("编码,姓名,电话,地址\r\n,张") + kEscape +
                                                QStringLiteral("三,020\x07 8888,\"广州市\r\n天河路1号\"\r\n"))
                                                   .toUtf8());
    const CtlResult imported =
        ctl(root, {QStringLiteral("records"), QStringLiteral("import"), root.file(QStringLiteral("records.csv"))});
    ASSERT_EQ(imported.code, 0) << imported.errText().toStdString();
    const CtlResult contacts =
        ctl(root, {QStringLiteral("contacts"), QStringLiteral("import"), root.file(QStringLiteral("contacts.csv"))});
    ASSERT_EQ(contacts.code, 0) << contacts.errText().toStdString();

    const QJsonObject record = QJsonDocument::fromJson(ctl(root, {QStringLiteral("records"), QStringLiteral("show"),
                                                                  QStringLiteral("1"), QStringLiteral("--json")})
                                                           .out)
                                   .object();
    EXPECT_EQ(record[QStringLiteral("creceiver")].toString(), QStringLiteral("王 [2J ]0;owned 五"));
    EXPECT_EQ(record[QStringLiteral("creceiveraddr")].toString(), QStringLiteral("朝阳区 建国路 1号"));
    const QJsonObject contact = QJsonDocument::fromJson(ctl(root, {QStringLiteral("contacts"), QStringLiteral("show"),
                                                                   QStringLiteral("1"), QStringLiteral("--json")})
                                                            .out)
                                    .object();
    EXPECT_EQ(contact[QStringLiteral("cname")].toString(), QStringLiteral("张 [2J ]0;owned 三"));
    EXPECT_EQ(contact[QStringLiteral("caddr")].toString(), QStringLiteral("广州市 天河路1号"));

    for (const char *kind : {"records", "contacts"}) {
        const CtlResult list = ctl(root, {QString::fromLatin1(kind), QStringLiteral("list")});
        EXPECT_EQ(controlsIn(list.out), QByteArray()) << kind;
        EXPECT_TRUE(columnsHold(list.out, 3)) << list.out.toStdString();
        const CtlResult shown = ctl(root, {QString::fromLatin1(kind), QStringLiteral("show"), QStringLiteral("1")});
        EXPECT_EQ(controlsIn(shown.out), QByteArray()) << kind;
    }
}

// Text that reached the files some other way (an older program, an edited
// file) is escaped when printed: \t, \n, \r and \xHH.
TEST(ControlCharacters, TheCommandLineEscapesWhatItPrints)
{
    TempRoot root;
    ASSERT_EQ(ctl(root, {QStringLiteral("records"), QStringLiteral("add"), QStringLiteral("cnum=CC0000002"),
                         QStringLiteral("creceiver=王五"), QStringLiteral("cphone=13800138000"),
                         QStringLiteral("creceiveraddr=朝阳区建国路1号"), QStringLiteral("creceivercountry=中国"),
                         QStringLiteral("creceiverprov=北京"), QStringLiteral("cremark=a\tb\x1b[31mc\x07")})
                  .code,
              0);
    const CtlResult shown = ctl(root, {QStringLiteral("records"), QStringLiteral("show"), QStringLiteral("1")});
    EXPECT_EQ(controlsIn(shown.out), QByteArray());
    EXPECT_TRUE(columnsHold(shown.out, 1)) << shown.out.toStdString();
    const QString text = QString::fromUtf8(shown.out);
    // Stored as the operator typed it, or plain: printed without a raw control either way.
    EXPECT_TRUE(text.contains(QStringLiteral("cremark\ta\\tb\\x1b[31mc\\x07\n")) ||
                text.contains(QStringLiteral("cremark\ta b [31mc \n")))
        << shown.out.toStdString();
}

// A server reply holding control characters: `info` prints its fields one
// line each, escaped.
TEST(ControlCharacters, AServerReplyIsPrintedWithoutItsControls)
{
    TarvoServer server;
    ASSERT_TRUE(server.start());
    CtlCounter c(server, "demo", "demo");
    c.addShipments({QStringLiteral("CC0000003")});
    ASSERT_EQ(c.ctl({"upload", "--all"}).code, 0);
    const std::string id = TarvoData(server.dataFile()).text("SELECT irid FROM client_rec WHERE cnum = 'CC0000003'");
    ASSERT_FALSE(id.empty());
    TarvoSeed seed(server.dataFile());
    ASSERT_TRUE(seed.exec("UPDATE client_rec SET creceiver = '王' || char(27) || '[2J' || char(7) || char(9) || "
                          "'五' || char(13) || char(10) || '伪造: 行' WHERE irid = " +
                          id))
        << seed.error();

    const CtlResult info = c.ctl({"info", id});
    ASSERT_EQ(info.code, 0) << info.errText().toStdString();
    EXPECT_EQ(controlsIn(info.out), QByteArray()) << info.out.toStdString();
    // The name stays on its own line, whatever stood between its parts.
    const QStringList lines = QString::fromUtf8(info.out).split(u'\n');
    const auto name = std::find_if(lines.begin(), lines.end(),
                                   [](const QString &line) { return line.startsWith(QStringLiteral("姓名: 王 [2J")); });
    ASSERT_NE(name, lines.end()) << info.out.toStdString();
    EXPECT_TRUE(name->contains(QStringLiteral(" 五 ")) && name->endsWith(QStringLiteral("伪造: 行")))
        << name->toStdString();
    for (const QString &line : lines)
        EXPECT_FALSE(line.startsWith(QStringLiteral("伪造"))) << "a reply's line break made a line of its own";
}
