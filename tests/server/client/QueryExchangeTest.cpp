#include "app/ScriptedPrompter.h"
#include "net/BaseData.h"
#include "net/LoginReply.h"
#include "net/ServerSession.h"
#include "query/PreEntryDeletion.h"
#include "query/RecordQueryForm.h"
#include "query/ServerListQuery.h"
#include "query/ShipmentInfoQuery.h"
#include "query/WaybillLookup.h"
#include "server/ServerData.h"
#include "support/ScriptedHttpServer.h"
#include "support/UploadCounter.h"

#include <gtest/gtest.h>

#include <climits>

using namespace quarvel;

namespace {

struct QueryFixture {
    explicit QueryFixture(const QByteArray &host)
    {
        session.configure(host, QStringLiteral("S01"));
        session.setTimeouts({400, 400, 400});
        session.setLocaleId(2052);
        session.applyLogin(LoginReply::parse("0,42,7001,1"), QStringLiteral("alice"), QString());
    }
    ServerSession session;
    BaseData base;
    ScriptedPrompter prompter;
};

QByteArray envelope(const QByteArray &op, const QByteArray &id, const QByteArray &number, const QByteArray &payload)
{
    return "<WER>1</WER><WCID>S01</WCID><AC>alice</AC><OP>" + op + "</OP><ID>" + id + "</ID><NUMBER>" + number +
           "</NUMBER><LCID>2052</LCID><RAND>7001</RAND><DATA>" + payload + "\a</DATA>\n";
}

QByteArray body(const QByteArray &request)
{
    return request.mid(request.indexOf("\r\n\r\n") + 4);
}

const QByteArray kCondition = " FROM tarvo.dbo.client_rec WHERE icid=42 AND ddate BETWEEN 'a' AND 'b'";

} // namespace

TEST(QueryExchange, PagesSendTheirNumberAndThePreviousTotal)
{
    ScriptedHttpServer server;
    QueryFixture f(server.host());
    ServerListQuery list(ServerListKind::Records);
    list.setCondition(kCondition);
    server.reply(ScriptedHttpServer::ok("250\n1\n3\a1\n2026-03-01\nD1\a2\n2026-03-01\nD2\a"));
    ASSERT_TRUE(list.FetchPage(f.session, f.base, 1, f.prompter));
    server.reply(ScriptedHttpServer::ok("250\n2\n3\a3\n2026-03-01\nD3\a"));
    ASSERT_TRUE(list.FetchPage(f.session, f.base, 2, f.prompter));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_EQ(body(server.requests()[0]), envelope("1", "1", "0", kCondition));
    EXPECT_EQ(body(server.requests()[1]), envelope("1", "2", "250", kCondition));
    EXPECT_EQ(list.current().rows.size(), 1u);
    EXPECT_EQ(list.current().rows[0].cells[0], u" 101");
    EXPECT_TRUE(f.prompter.shown().isEmpty());

    list.setCondition(kCondition);
    server.reply(ScriptedHttpServer::ok("0\n1\n0\a"));
    EXPECT_FALSE(list.FetchPage(f.session, f.base, 1, f.prompter));
    EXPECT_EQ(body(server.requests()[2]), envelope("1", "1", "0", kCondition)) << "a new query starts at total 0";
}

TEST(QueryExchange, FailuresKeepThePreviousRows)
{
    ScriptedHttpServer server;
    QueryFixture f(server.host());
    ServerListQuery list(ServerListKind::PreEntries);
    list.setCondition(" FROM tarvo.dbo.rec_pre_input WHERE icid=42 AND irid=0");
    server.reply(ScriptedHttpServer::ok("2\n1\n1\a7\n2026-03-01\nP7\a8\n2026-03-01\nP8\a"));
    ASSERT_TRUE(list.FetchPage(f.session, f.base, 1, f.prompter));

    server.reply(ScriptedHttpServer::ok("-15"));
    EXPECT_FALSE(list.FetchPage(f.session, f.base, 1, f.prompter));
    EXPECT_EQ(f.prompter.lastText(), u"查询失败。返回值：-15");
    server.reply(ScriptedHttpServer::ok("0\n1\a"));
    EXPECT_FALSE(list.FetchPage(f.session, f.base, 1, f.prompter));
    EXPECT_EQ(f.prompter.lastText(), u"没有符合条件的记录。");
    server.reply(ScriptedHttpServer::ok("5\n1 and no BEL"));
    EXPECT_FALSE(list.FetchPage(f.session, f.base, 1, f.prompter));
    EXPECT_EQ(f.prompter.lastText(), u"没有符合条件的记录。");
    server.closeAfterRequest();
    EXPECT_FALSE(list.FetchPage(f.session, f.base, 1, f.prompter));
    EXPECT_TRUE(f.prompter.lastText().startsWith(u"与服务器通讯失败。返回值：-"))
        << f.prompter.lastText().toStdString();

    ASSERT_EQ(list.current().rows.size(), 2u);
    EXPECT_EQ(list.current().rows[1].id, 8);
    EXPECT_EQ(list.Summary(), u"●未处理预录单共 2 票，1 页。◇当前为第1页：2票0件,重量0.000公斤");

    // After a deletion an empty list is a result, not a message.
    f.prompter.clear();
    server.reply(ScriptedHttpServer::ok("0\n1\n0\a"));
    EXPECT_TRUE(list.FetchPage(f.session, f.base, 1, f.prompter, true));
    EXPECT_TRUE(list.current().rows.empty());
    EXPECT_TRUE(f.prompter.shown().isEmpty());
}

TEST(QueryExchange, AReplyLongerThanTheBufferLosesOnlyItsCutRecord)
{
    ScriptedHttpServer server;
    QueryFixture f(server.host());
    QByteArray reply = "100\n1\n1\a";
    for (int i = 1; i <= 100; ++i)
        reply += QByteArray::number(i) + "\n2026-03-01\nD" + QByteArray::number(i) + "\n1\n1\n1\n1\n" +
                 QByteArray(1500, 'x') + "\a";
    ASSERT_GT(reply.size(), ServerListQuery::kReplySize);
    server.reply(ScriptedHttpServer::ok(reply));
    ServerListQuery list(ServerListKind::Records);
    list.setCondition(kCondition);
    ASSERT_TRUE(list.FetchPage(f.session, f.base, 1, f.prompter));
    const std::size_t rows = list.current().rows.size();
    // The buffer keeps its last byte for the terminating NUL.
    const QByteArray kept = reply.left(ServerListQuery::kReplySize - 1);
    EXPECT_EQ(rows, static_cast<std::size_t>(kept.count('\a') - 1)) << "every whole record, and only those";
    EXPECT_GT(rows, 70u);
    EXPECT_LT(rows, 100u);
    EXPECT_EQ(list.current().rows.back().cells[7].size(), 1500);
}

TEST(QueryExchange, ShortInformationRepliesAreStatuses)
{
    ScriptedHttpServer server;
    QueryFixture f(server.host());
    for (const QByteArray &reply : {QByteArray("-15\n"), QByteArray("x"), QByteArray(99, '7')}) {
        server.reply(ScriptedHttpServer::ok(reply));
        const ShipmentInfoQuery::Result r = ShipmentInfoQuery::Fetch(f.session, 5);
        EXPECT_FALSE(r.found);
        EXPECT_TRUE(r.answered);
        EXPECT_EQ(r.message, QStringLiteral("查询失败。返回值：%1")
                                 .arg(reply == "-15\n" ? -15
                                      : reply == "x"   ? 0
                                                       : INT_MAX));
    }
    EXPECT_EQ(body(server.requests()[0]), envelope("2", "5", "0", "."));
    server.reply(ScriptedHttpServer::ok(QByteArray(100, ' ') + "\a<NUM>D9</NUM>\a"));
    const ShipmentInfoQuery::Result r = ShipmentInfoQuery::Fetch(f.session, 5);
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.info.waybill, u"D9");
    server.closeAfterRequest();
    EXPECT_FALSE(ShipmentInfoQuery::Fetch(f.session, 5).answered);
}

TEST(QueryExchange, PreEntryDeletionAsksThenSendsTheIds)
{
    ScriptedHttpServer server;
    QueryFixture f(server.host());
    EXPECT_EQ(PreEntryDeletion::Run(f.session, {}, f.prompter).outcome, PreEntryDeletion::Outcome::Nothing);
    EXPECT_EQ(f.prompter.lastText(), u"没有选择需要删除的记录。");

    f.prompter.queueAnswer(false);
    EXPECT_EQ(PreEntryDeletion::Run(f.session, {4, 9, 12}, f.prompter).outcome, PreEntryDeletion::Outcome::Declined);
    EXPECT_EQ(f.prompter.shown().last().title, u"删除记录确认提示");
    EXPECT_EQ(f.prompter.lastText(),
              u"选中的 3 条记录删除后不能恢复！\r\n━━━━━━━━━━━━━━━━━\r\n想好了要删除记录吗？请确认！");
    EXPECT_TRUE(server.requests().isEmpty());

    server.reply(ScriptedHttpServer::ok("3\n"));
    const PreEntryDeletion::Result r = PreEntryDeletion::Run(f.session, {4, 9, 12}, f.prompter);
    EXPECT_EQ(r.outcome, PreEntryDeletion::Outcome::Deleted);
    EXPECT_EQ(r.deleted, 3);
    EXPECT_EQ(body(server.requests()[0]),
              envelope("10", "3", "3", "DELETE tarvo.dbo.rec_pre_input WHERE iid IN(4,9,12)"));

    server.reply(ScriptedHttpServer::ok("-1\n"));
    EXPECT_EQ(PreEntryDeletion::Run(f.session, {4}, f.prompter).outcome, PreEntryDeletion::Outcome::Refused);
    EXPECT_EQ(f.prompter.lastText(), u"操作失败。返回值：-1");
}

TEST(QueryExchange, ManyPreEntriesGoInSeveralRequests)
{
    ScriptedHttpServer server;
    QueryFixture f(server.host());
    QList<int> ids;
    for (int i = 1; i <= 450; ++i)
        ids.append(100000 + i);
    server.reply(ScriptedHttpServer::ok("200\n"));
    server.reply(ScriptedHttpServer::ok("999\n")); // more than it was sent: counted as the 200 sent
    server.reply(ScriptedHttpServer::ok("50\n"));
    const PreEntryDeletion::Result r = PreEntryDeletion::Run(f.session, ids, f.prompter);
    EXPECT_EQ(r.outcome, PreEntryDeletion::Outcome::Deleted);
    EXPECT_EQ(r.deleted, 450);
    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_TRUE(body(server.requests()[2]).contains("<ID>50</ID><NUMBER>50</NUMBER>"));
    for (const QByteArray &request : server.requests())
        EXPECT_LT(body(request).size(), 4400);
}

// The dialog's condition against the stand-in server: what the counter
// builds is exactly what the server's grammar takes.
TEST(QueryExchange, DialogConditionsFindTheirRecordsOnTheServer)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    const auto clock = [] { return QDateTime::currentDateTime(); };
    RecordQueryForm form(clock);
    RecordQueryForm::Values &v = form.values();
    v.from = QDate::currentDate().addDays(-60).toString(QStringLiteral("yyyy.MM.dd"));
    v.itemTypes = {true, false, true};
    v.regions = {true, false, false};
    v.payStates = {false, true};
    v.state = RecordQueryForm::Undelivered;
    v.pieces = -4;
    v.kind = QStringLiteral("特快专递");
    v.department = QStringLiteral("销售部");
    v.weightFrom = 0.5;
    v.feeTo = 200;
    ASSERT_TRUE(form.Confirm(c.prompter));
    ServerListQuery list(ServerListKind::Records);
    list.setCondition(Gbk::fromUnicode(form.Condition(c.context.session().clientId(), c.context.baseData())));
    ASSERT_TRUE(list.FetchPage(c.context.session(), c.context.baseData(), 1, c.prompter))
        << c.prompter.lastText().toStdString();
    ASSERT_FALSE(list.current().rows.empty());
    for (const RecordListModel::Row &row : list.current().rows) {
        EXPECT_TRUE(row.cells[3] == u"文件" || row.cells[3] == u"防水袋");
        EXPECT_NE(row.cells[4], u"4");
        EXPECT_EQ(row.cells[8], u"特快专递");
        EXPECT_EQ(row.cells[10], u"√");
        EXPECT_EQ(row.cells[12], u"销售部");
        EXPECT_NE(row.cells[16], u"送达");
    }

    // A receiver typed with a quote finds the shipment that has it.
    ASSERT_EQ(runSql(c.server.dataFile(), "UPDATE client_rec SET creceiver = 'O''Neil' WHERE cnum = 'D1010001020'"),
              "");
    form.Reset();
    v.from = QDate::currentDate().addDays(-60).toString(QStringLiteral("yyyy.MM.dd"));
    v.receiver = QStringLiteral(" O'Neil ");
    ASSERT_TRUE(form.Confirm(c.prompter));
    list.setCondition(Gbk::fromUnicode(form.Condition(c.context.session().clientId(), c.context.baseData())));
    ASSERT_TRUE(list.FetchPage(c.context.session(), c.context.baseData(), 1, c.prompter));
    ASSERT_EQ(list.current().rows.size(), 1u);
    EXPECT_EQ(list.current().rows[0].cells[2], u"D1010001020");
}

TEST(QueryExchange, WaybillLookupComparesWholeNumbers)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    const ServerSession &s = c.context.session();
    EXPECT_EQ(WaybillLookup::Condition(101, 1, QStringLiteral("A'1")),
              u" FROM tarvo.dbo.client_rec WHERE icid=101 AND cnum LIKE '%A''1%'");
    const WaybillLookup::Result held = WaybillLookup::Find(s, c.context.baseData(), QStringLiteral("D1010001001"));
    EXPECT_EQ(held.presence, WaybillLookup::Presence::Held);
    EXPECT_GT(held.code, 0);
    EXPECT_EQ(WaybillLookup::Find(s, c.context.baseData(), QStringLiteral("D101000100")).presence,
              WaybillLookup::Presence::Absent)
        << "a number that only starts the ten numbers D1010001000..9";
    EXPECT_EQ(WaybillLookup::Find(s, c.context.baseData(), QStringLiteral("D1020001001")).presence,
              WaybillLookup::Presence::Absent)
        << "another customer's";
    ASSERT_TRUE(c.connect(QStringLiteral("demopre")));
    EXPECT_EQ(WaybillLookup::Condition(101, 2, QStringLiteral("X")),
              u" FROM tarvo.dbo.rec_pre_input WHERE icid=101 AND cnum LIKE '%X%'");
    EXPECT_EQ(WaybillLookup::Find(s, c.context.baseData(), QStringLiteral("D1010000004")).presence,
              WaybillLookup::Presence::Held);
    c.server.stop();
    EXPECT_EQ(WaybillLookup::Find(s, c.context.baseData(), QStringLiteral("D1010000004")).presence,
              WaybillLookup::Presence::Unknown);
}
