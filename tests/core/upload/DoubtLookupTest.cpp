#include "upload/DoubtLookup.h"
#include "net/BaseData.h"
#include "net/LoginReply.h"
#include "net/ServerSession.h"
#include "storage/PreInputRecord.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QByteArray g(const char16_t *text)
{
    return Gbk::fromUnicode(QString::fromUtf16(text));
}

BaseData kinds()
{
    BaseData data;
    data.parse("xN\nEMB\nTK\t" + g(u"特快专递") + "\n\nEME\n\nGPB\n0,4\tBJ\tBEIJING\t100000\t" + g(u"北京") + "\t" +
               g(u"中国") + "\n\nGPE\n\nEPB\nTK\n" + g(u"北京") + "\t\n\nEPE\n\a");
    return data;
}

// A session of customer 42 after a login naming the upload target.
struct Session {
    explicit Session(int target)
    {
        s.configure("127.0.0.1:8080", QStringLiteral("S01"));
        s.setLocaleId(2052);
        s.applyLogin(LoginReply::parse("0,42,7001," + QByteArray::number(target)), QStringLiteral("alice"),
                     QStringLiteral("pw"));
    }
    ServerSession s;
};

DoubtLookup lookup(int target, const PreInputRecord &r)
{
    return DoubtLookup::For(Session(target).s, kinds(), r);
}

PreInputRecord sent()
{
    PreInputRecord r{};
    r.ddate = {2026, 1, 7};
    r.nitemtype = 1;
    r.fweight = 1.2;
    Gbk::setField(r.cnum, QStringLiteral("D'42"));
    Gbk::setField(r.cdes, QStringLiteral("北京"));
    Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
    return r;
}

// A record-list row: id, date, number, item type, pieces, weight, amount,
// destination, kind code, then a few of the columns the check ignores.
QByteArray recordRow(const QByteArray &id, const QByteArray &date, const QByteArray &number, const QByteArray &type,
                     const QByteArray &weight, const QByteArray &destination, const QByteArray &kind)
{
    return id + '\n' + date + '\n' + number + '\n' + type + "\n1\n" + weight + "\n12.00\n" + destination + '\n' + kind +
           "\n1\n0\n" + g(u"张三") + '\a';
}

QByteArray reply(int total, const QByteArray &rows)
{
    return QByteArray::number(total) + "\n1\n1\a" + rows;
}

} // namespace

TEST(DoubtLookup, AsksForTheWholeNumberOfTheCustomer)
{
    const DoubtLookup shipments = lookup(1, sent());
    EXPECT_TRUE(shipments.envelope().contains("<OP>1</OP><ID>1</ID><NUMBER>0</NUMBER>"));
    EXPECT_TRUE(shipments.envelope().contains(" FROM tarvo.dbo.client_rec WHERE icid=42 AND cnum='D''42'\a"));
    const DoubtLookup preEntries = lookup(2, sent());
    EXPECT_TRUE(preEntries.envelope().contains("<OP>8</OP>"));
    EXPECT_TRUE(preEntries.envelope().contains(" FROM tarvo.dbo.rec_pre_input WHERE icid=42 AND cnum='D''42'"));

    PreInputRecord unknownKind = sent();
    Gbk::setField(unknownKind.cemskind, QStringLiteral("海运"));
    EXPECT_TRUE(lookup(1, unknownKind).empty());
}

TEST(DoubtLookup, OnlyTheRowAsSentFinishesTheRecord)
{
    const DoubtLookup l = lookup(1, sent());
    const QByteArray bj = g(u"北京");
    using V = DoubtLookup::Verdict;
    const DoubtLookup::Result held = l.Judge(reply(1, recordRow("731", "2026-01-07", "D'42", "1", "1.200", bj, "TK")));
    EXPECT_EQ(held.verdict, V::Held);
    EXPECT_EQ(held.serverId, 731);
    EXPECT_EQ(l.Judge(reply(1, recordRow("731", "2026.1.7", "D'42", "1", "1.2", bj, "TK"))).verdict, V::Held)
        << "the date and weight as another server may write them";
    // A second row of the number, then the one sent.
    EXPECT_EQ(l.Judge(reply(2, recordRow("9", "2026-01-08", "D'42", "1", "1.200", bj, "TK") +
                                   recordRow("10", "2026-01-07", "D'42", "1", "1.200", bj, "TK")))
                  .serverId,
              10);

    // Each compared field differing: another record holds the number.
    const QByteArray others[] = {
        recordRow("5", "2026-01-08", "D'42", "1", "1.200", bj, "TK"),
        recordRow("5", "2026-01-07", "D'421", "1", "1.200", bj, "TK"),
        recordRow("5", "2026-01-07", "D'42", "0", "1.200", bj, "TK"),
        recordRow("5", "2026-01-07", "D'42", "1", "1.201", bj, "TK"),
        recordRow("5", "2026-01-07", "D'42", "1", "1.200", g(u"上海"), "TK"),
        recordRow("5", "2026-01-07", "D'42", "1", "1.200", bj, "JJ"),
        recordRow("5", "2026-01-07 x", "D'42", "1", "1.200", bj, "TK"),
        "5\n2026-01-07\nD'42\n1\n1\n1.200\n12.00\n" + bj + '\a', // cut before the kind
    };
    for (const QByteArray &row : others)
        EXPECT_EQ(l.Judge(reply(1, row)).verdict, V::NotHeld) << row.constData();
    EXPECT_EQ(l.Judge("0\n1\n0\a").verdict, V::NotHeld);
    EXPECT_EQ(l.Judge("0\n").verdict, V::NotHeld);

    // Nothing is learnt from a refusal, a reply that is no list, a row
    // without an id, or rows beyond the ones that came.
    const QByteArray unknown[] = {
        "-5\n",
        "",
        "garbage\n",
        "200 OK\n",
        reply(1, recordRow("0", "2026-01-07", "D'42", "1", "1.200", bj, "TK")),
        reply(2, recordRow("5", "2026-01-08", "D'42", "1", "1.200", bj, "TK")),
    };
    for (const QByteArray &r : unknown)
        EXPECT_EQ(l.Judge(r).verdict, V::Unknown) << r.constData();
}

TEST(DoubtLookup, ThePreEntryListHasItsOwnColumns)
{
    const DoubtLookup l = lookup(2, sent());
    // id, date, number, item type, pieces, weight, destination, kind code, ...
    const QByteArray row = "88\n2026-01-07\nD'42\n1\n1\n1.200\n" + g(u"北京") + "\nTK\n1\n" + g(u"张三") + '\a';
    const DoubtLookup::Result r = l.Judge(reply(1, row));
    EXPECT_EQ(r.verdict, DoubtLookup::Verdict::Held);
    EXPECT_EQ(r.serverId, 88);
    EXPECT_EQ(lookup(1, sent()).Judge(reply(1, row)).verdict, DoubtLookup::Verdict::NotHeld)
        << "read as a record-list row it is not the shipment";
}
