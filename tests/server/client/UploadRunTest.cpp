#include "upload/UploadRun.h"
#include "support/TarvoData.h"
#include "support/UploadCounter.h"

#include <QDeadlineTimer>
#include <QThread>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QStringList numbers(const char *prefix, int count)
{
    QStringList all;
    for (int i = 1; i <= count; ++i)
        all << QString::fromLatin1(prefix) + QString::number(i);
    return all;
}

// Runs one upload of these ids to its end.
RecordingDisplay upload(UploadCounter &c, const QList<int> &ids, UploadKind kind = UploadKind::Shipments)
{
    RecordingDisplay display;
    UploadRun run(c.context, kind);
    run.Prepare(ids);
    EXPECT_TRUE(run.Start());
    run.DrainUntilEnded(display);
    return display;
}

std::string serverCount(const UploadCounter &c, const char *number, const std::string &table = "client_rec")
{
    return TarvoData(c.server.dataFile()).text("SELECT count(*) FROM " + table + " WHERE cnum = ?", {number});
}

// Waits until the server stored a record it held past the counter's time-out.
bool storedAtLast(const UploadCounter &c, const std::string &table, const char *number)
{
    const QDeadlineTimer deadline(10000);
    while (serverCount(c, number, table) != "1" && !deadline.hasExpired())
        QThread::msleep(10);
    return serverCount(c, number, table) == "1";
}

} // namespace

TEST(UploadRun, AcceptedRecordsLeaveWithTheirLinesRefusedOnesStay)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    const QList<int> ids = c.addShipments(numbers("UA", 3));
    // The demo already holds D1010000001: the server refuses it as a repeat.
    const int repeat = c.addShipment(QStringLiteral("D1010000001"));
    PreInputRecord nowhere{};
    Gbk::setField(nowhere.cnum, QStringLiteral("UA9"));
    Gbk::setField(nowhere.cemskind, QStringLiteral("特快专递"));
    const int unbuildable = c.addShipment(nowhere, {}, {});

    const RecordingDisplay d = upload(c, {ids[0], repeat, ids[1], unbuildable, ids[2]});
    EXPECT_EQ(d.endings, 1);
    EXPECT_EQ(d.ending, UploadEnding::AllSent);
    EXPECT_EQ(d.endText, QStringLiteral("共 5 条，已处理 5 条(100%)。3 成功; 2 失败。"));
    EXPECT_EQ(d.progress.size(), 5);
    ASSERT_EQ(d.results.size(), 5u);
    const int order[] = {ids[0], repeat, ids[1], unbuildable, ids[2]};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(d.results[static_cast<std::size_t>(i)].id, order[i]) << "results come in list order";
    EXPECT_EQ(d.results[1].status, -2);
    EXPECT_EQ(d.results[1].text, QStringLiteral("单号重复"));
    EXPECT_EQ(d.results[3].status, -1);
    EXPECT_EQ(d.results[3].text, QStringLiteral("数据错误"));
    EXPECT_EQ(d.removedIds(), ids);
    for (int id : ids) {
        EXPECT_EQ(c.context.preInputs().Find(id), nullptr);
        EXPECT_EQ(c.linesOf(id), 0);
    }
    EXPECT_NE(c.context.preInputs().Find(repeat), nullptr);
    EXPECT_NE(c.context.preInputs().Find(unbuildable), nullptr);
    EXPECT_FALSE(c.context.session().uploadBusy()) << "the end clears the busy flag";

    TarvoData data(c.server.dataFile());
    const std::string irid = data.text("SELECT irid FROM client_rec WHERE cnum = 'UA2'");
    EXPECT_EQ(data.text("SELECT cname FROM client_rec_goods WHERE irid = ?", {irid}), "货");
    EXPECT_EQ(data.text("SELECT cname FROM client_rec_weight_detail WHERE irid = ?", {irid}), "件");
}

TEST(UploadRun, StatusMinusTenOnTheSecondOfFiveStopsTheRun)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    ASSERT_TRUE(c.server.setHooks("waybill=UB2 status -10"));
    const QList<int> ids = c.addShipments(numbers("UB", 5));
    const RecordingDisplay d = upload(c, ids);
    EXPECT_EQ(d.endings, 1);
    EXPECT_EQ(d.ending, UploadEnding::StoppedByServer);
    EXPECT_EQ(d.endText, QStringLiteral("共 5 条，已处理 2 条(40%)。1 成功; 1 失败。"));
    ASSERT_EQ(d.results.size(), 2u);
    EXPECT_EQ(d.results[1].text, QStringLiteral("通讯错-10"));
    EXPECT_EQ(c.context.preInputs().Find(ids[0]), nullptr);
    for (int i = 1; i < 5; ++i) {
        ASSERT_NE(c.context.preInputs().Find(ids[i]), nullptr);
        EXPECT_EQ(c.linesOf(ids[i]), 2) << "a record not accepted keeps its lines";
    }
    EXPECT_EQ(serverCount(c, "UB3"), "0");

    ASSERT_TRUE(c.server.setHooks("clear"));
    const RecordingDisplay again = upload(c, ids.mid(1));
    EXPECT_EQ(again.removedIds(), ids.mid(1));
    EXPECT_EQ(c.context.preInputs().GetCount(), 0);
}

TEST(UploadRun, StoppingDuringTheThirdCompletesIt)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    ASSERT_TRUE(c.server.setHooks("waybill=UC3 times=1 stall 60"));
    const QList<int> ids = c.addShipments(numbers("UC", 5));
    UploadRun run(c.context, UploadKind::Shipments);
    run.Prepare(ids);
    ASSERT_TRUE(run.Start());
    RecordingDisplay d;
    ASSERT_TRUE(c.waitUntilHooksTaken(10000, [&] { run.Drain(d); })) << "the third record is under way";
    run.RequestStop();
    ASSERT_TRUE(c.server.setHooks("clear")); // the server goes on with the third
    run.DrainUntilEnded(d);
    EXPECT_EQ(d.ending, UploadEnding::Cancelled);
    EXPECT_EQ(d.endText, QStringLiteral("共 5 条，已处理 3 条(60%)。3 成功; 0 失败。终止传送"));
    EXPECT_EQ(d.removedIds(), ids.mid(0, 3));
    EXPECT_NE(c.context.preInputs().Find(ids[3]), nullptr);
    EXPECT_NE(c.context.preInputs().Find(ids[4]), nullptr);
    EXPECT_EQ(serverCount(c, "UC3"), "1");
    EXPECT_EQ(serverCount(c, "UC4"), "0");
}

TEST(UploadRun, ServerKilledInTheMiddle)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    ASSERT_TRUE(c.server.setHooks("waybill=UD3 times=1 stall 60"));
    const QList<int> ids = c.addShipments(numbers("UD", 5));
    UploadRun run(c.context, UploadKind::Shipments);
    run.Prepare(ids);
    ASSERT_TRUE(run.Start());
    RecordingDisplay d;
    ASSERT_TRUE(c.waitUntilHooksTaken(10000, [&] { run.Drain(d); }));
    c.server.kill();
    run.DrainUntilEnded(d);
    EXPECT_EQ(d.endings, 1);
    EXPECT_EQ(d.ending, UploadEnding::TransportFailed);
    EXPECT_EQ(d.endText, QStringLiteral("服务器返回错误状态码,请求不支持或不存在。"));
    EXPECT_EQ(d.removedIds(), ids.mid(0, 2));
    for (int i = 2; i < 5; ++i)
        EXPECT_NE(c.context.preInputs().Find(ids[i]), nullptr);
    EXPECT_FALSE(c.context.session().uploadBusy());

    // The same data file on a new port: the rest goes through.
    TarvoServer::Options o;
    o.dataFile = c.server.dataFile();
    o.extra = QStringList{QStringLiteral("--test-hooks"), QStringLiteral("--quiet")};
    ASSERT_TRUE(c.server.start(o));
    ASSERT_TRUE(c.connect(QStringLiteral("demo")));
    const RecordingDisplay again = upload(c, ids.mid(2));
    EXPECT_EQ(again.ending, UploadEnding::AllSent);
    EXPECT_EQ(again.removedIds(), ids.mid(2));
}

TEST(UploadRun, StalledServerEndsTheRunAndNothingIsLost)
{
    UploadCounter c(QStringLiteral("demo"), 300);
    ASSERT_TRUE(c.ready());
    ASSERT_TRUE(c.server.setHooks("waybill=UE2 times=1 stall 60"));
    const QList<int> ids = c.addShipments(numbers("UE", 4));
    const RecordingDisplay d = upload(c, ids);
    EXPECT_EQ(d.ending, UploadEnding::TransportFailed);
    EXPECT_EQ(d.removedIds(), ids.mid(0, 1));
    for (int i = 1; i < 4; ++i)
        EXPECT_NE(c.context.preInputs().Find(ids[i]), nullptr);

    // Released, the server stores the second after the counter gave up on
    // it: sent again it is a repeat, the look-up finds the counter's own
    // record, and it goes with its lines like the others.
    ASSERT_TRUE(c.server.setHooks("clear"));
    ASSERT_TRUE(c.waitUntilHooksTaken());
    ASSERT_TRUE(storedAtLast(c, "client_rec", "UE2"));
    EXPECT_TRUE(c.context.uploadJournal().inDoubt(UploadKind::Shipments, ids[1]));
    const RecordingDisplay again = upload(c, ids.mid(1));
    EXPECT_EQ(again.ending, UploadEnding::AllSent);
    EXPECT_EQ(again.endText, QStringLiteral("共 3 条，已处理 3 条(100%)。3 成功; 0 失败。"));
    ASSERT_EQ(again.results.size(), 3u);
    EXPECT_EQ(again.results[0].text, QStringLiteral("已上传(服务器已有此记录)"));
    EXPECT_EQ(std::to_string(again.results[0].status),
              TarvoData(c.server.dataFile()).text("SELECT irid FROM client_rec WHERE cnum = 'UE2'"))
        << "the server's id of its row";
    EXPECT_EQ(again.removedIds(), ids.mid(1));
    EXPECT_EQ(c.linesOf(ids[1]), 0);
    EXPECT_FALSE(c.context.uploadJournal().inDoubt(UploadKind::Shipments, ids[1]));
    EXPECT_EQ(serverCount(c, "UE2"), "1");
}

TEST(UploadRun, ARepeatOfAnotherRecordsNumberStaysARepeat)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    // Both sends are cut before the server reads them, so both are in doubt
    // and the server holds neither: D1020001001 is another customer's
    // shipment, UH1 goes to the server from a second record with other bytes.
    ASSERT_TRUE(c.server.setHooks("waybill=D1020001001 times=1 close\nwaybill=UH1 times=1 close"));
    const int others = c.addShipment(QStringLiteral("D1020001001"));
    PreInputRecord first = LocalShipments::shipment(QStringLiteral("UH1"));
    const int mine = c.addShipment(first, {}, {});
    EXPECT_EQ(upload(c, {others}).ending, UploadEnding::TransportFailed);
    EXPECT_EQ(upload(c, {mine}).ending, UploadEnding::TransportFailed);
    ASSERT_TRUE(c.context.uploadJournal().inDoubt(UploadKind::Shipments, others));
    ASSERT_TRUE(c.context.uploadJournal().inDoubt(UploadKind::Shipments, mine));
    PreInputRecord heavier = first;
    heavier.fweight = 1.25;
    const int second = c.addShipment(heavier, {}, {});
    EXPECT_EQ(upload(c, {second}).removedIds(), QList<int>{second});

    const RecordingDisplay d = upload(c, {others, mine});
    ASSERT_EQ(d.results.size(), 2u);
    for (const RecordingDisplay::Result &r : d.results) {
        EXPECT_EQ(r.status, -2);
        EXPECT_FALSE(r.removed);
        EXPECT_EQ(r.text, QStringLiteral("单号重复")) << "the server showed it is not this record";
        EXPECT_FALSE(c.context.uploadJournal().inDoubt(UploadKind::Shipments, r.id));
    }
    EXPECT_NE(c.context.preInputs().Find(others), nullptr);
    EXPECT_NE(c.context.preInputs().Find(mine), nullptr);
    TarvoData data(c.server.dataFile());
    EXPECT_EQ(data.text("SELECT group_concat(icid) FROM client_rec WHERE cnum = 'D1020001001'"), "102");
    EXPECT_EQ(data.text("SELECT group_concat(fweight) FROM client_rec WHERE cnum = 'UH1'"), "1.25");
}

TEST(UploadRun, ADoubtStaysWhileTheServerCannotSayOrTheRecordChanged)
{
    UploadCounter c(QStringLiteral("demo"), 300);
    ASSERT_TRUE(c.ready());
    const QList<int> ids = c.addShipments(numbers("UI", 2));
    ASSERT_TRUE(c.server.setHooks("waybill=UI1 times=1 stall 60\nwaybill=UI2 times=1 stall 60"));
    EXPECT_EQ(upload(c, {ids[0]}).ending, UploadEnding::TransportFailed);
    EXPECT_EQ(upload(c, {ids[1]}).ending, UploadEnding::TransportFailed);
    ASSERT_TRUE(c.server.setHooks("clear"));
    ASSERT_TRUE(c.waitUntilHooksTaken());
    ASSERT_TRUE(storedAtLast(c, "client_rec", "UI1"));
    ASSERT_TRUE(storedAtLast(c, "client_rec", "UI2"));
    // Edited after the uncertain send: what the server holds is not what the
    // record holds now, so the record stays and the edit with it.
    Gbk::setField(c.context.preInputs().Find(ids[1])->cremark, QStringLiteral("改过"));
    c.context.FlushRecords();

    // The look-up cut off, then answered with something that is no list.
    const QByteArray failures[] = {"op=1 close", "op=1 reply garbage\\n", "op=1 status -5"};
    for (const QByteArray &rule : failures) {
        ASSERT_TRUE(c.server.setHooks("clear\n" + rule));
        const RecordingDisplay d = upload(c, ids);
        ASSERT_EQ(d.results.size(), 2u) << rule.constData();
        for (const RecordingDisplay::Result &r : d.results)
            EXPECT_EQ(r.text, QStringLiteral("单号重复(服务器可能已有此记录)")) << rule.constData();
        EXPECT_EQ(c.context.preInputs().GetCount(), 2);
        EXPECT_TRUE(c.context.uploadJournal().inDoubt(UploadKind::Shipments, ids[0]));
    }
    ASSERT_TRUE(c.server.setHooks("clear"));
    const RecordingDisplay d = upload(c, ids);
    EXPECT_EQ(d.removedIds(), QList<int>{ids[0]});
    ASSERT_EQ(d.results.size(), 2u);
    EXPECT_EQ(d.results[1].text, QStringLiteral("单号重复(服务器可能已有此记录)"));
    EXPECT_TRUE(c.context.uploadJournal().inDoubt(UploadKind::Shipments, ids[1]));
    EXPECT_EQ(Gbk::field(c.context.preInputs().Find(ids[1])->cremark), QStringLiteral("改过"));
    EXPECT_EQ(serverCount(c, "UI1"), "1");
    EXPECT_EQ(serverCount(c, "UI2"), "1");
}

TEST(UploadRun, GarbageAndEmptyReplies)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    ASSERT_TRUE(c.server.setHooks("waybill=UF1 reply 15 OK\\n\n"
                                  "waybill=UF2 reply garbage\n"
                                  "waybill=UF3 reply <b>7</b>\\n\n"
                                  "waybill=UF4 reply \\x81\\x07\\a\\n\n"));
    const QList<int> ids = c.addShipments(numbers("UF", 5));
    const RecordingDisplay d = upload(c, ids);
    EXPECT_EQ(d.ending, UploadEnding::AllSent);
    EXPECT_EQ(d.endText, QStringLiteral("共 5 条，已处理 5 条(100%)。2 成功; 3 失败。"));
    EXPECT_EQ(d.results[0].status, 15) << "the reply's leading number is the status";
    EXPECT_EQ(d.removedIds(), (QList<int>{ids[0], ids[4]}));
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(d.results[static_cast<std::size_t>(i)].text, QStringLiteral("未知错误"));
        EXPECT_NE(c.context.preInputs().Find(ids[i]), nullptr);
    }

    ASSERT_TRUE(c.server.setHooks("clear\nwaybill=UF3 reply\n"));
    const RecordingDisplay empty = upload(c, ids.mid(1, 3));
    EXPECT_EQ(empty.ending, UploadEnding::EmptyReply);
    EXPECT_EQ(empty.endText, QStringLiteral("共 3 条，已处理 1 条(33%)。1 成功; 0 失败。服务器没有返回数据，终止传送"));
    EXPECT_EQ(empty.removedIds(), QList<int>{ids[1]});
    EXPECT_NE(c.context.preInputs().Find(ids[2]), nullptr);
}

TEST(UploadRun, HostileTextsAreStoredExactlyAsTyped)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    // The quote, BEL and line feed come first so that even a 3-byte field holds them.
    const QString hostile = QStringLiteral("'\a\n<O'Neil''s>&</DATA>')}\r\n中文");
    struct Field {
        const char *name;
        std::size_t offset;
        std::size_t size;
    };
    // Every text the upload carries, each as long as its field allows.
    const char *texts[] = {"cfrom",         "cdes",           "cnum",         "csender",       "creceiver",
                           "cphone",        "creceivercorp",  "creceiverzip", "creceiveraddr", "creceivercountry",
                           "creceivercity", "creceiverprov",  "cremark",      "csize",         "cgoods",
                           "cpack",         "ccurrency",      "csendercorp",  "csenderaddr",   "csenderphone",
                           "csenderzip",    "csendercountry", "csenderprov",  "csendercity",   "cmark",
                           "cpaydir",       "cgoodsorigin",   "csendersms",   "cdepart",       "csendermail",
                           "creceivermail", "creceiversms"};
    PreInputRecord r{};
    r.ddate = {2026, 1, 7};
    r.fweight = 1;
    Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
    std::vector<std::pair<std::string, QString>> typed;
    for (const char *name : texts) {
        const RecordField *f = RecordField::find(PreInputRecord::fields(), QString::fromLatin1(name));
        ASSERT_NE(f, nullptr) << name;
        char *field = reinterpret_cast<char *>(&r) + f->offset;
        QByteArray bytes = Gbk::fromUnicode(hostile + QString::fromLatin1(name));
        Gbk::setField(field, f->size, bytes);
        typed.emplace_back(name, Gbk::toUnicode(field, qstrnlen(field, f->size)));
    }
    const QString goodsName = QStringLiteral("g'\a\n<x>中");
    const QString pieceName = QStringLiteral("p''\a\n</DATA>");
    const int id = c.addShipment(r, {goodsName, goodsName}, {pieceName});
    const RecordingDisplay d = upload(c, {id});
    ASSERT_EQ(d.results.size(), 1u);
    ASSERT_TRUE(d.results[0].removed) << d.results[0].status;

    TarvoData data(c.server.dataFile());
    const std::string number = typed[2].second.toStdString();
    const std::string irid = data.text("SELECT irid FROM client_rec WHERE cnum = ?", {number});
    ASSERT_FALSE(irid.empty());
    for (const auto &[name, value] : typed)
        EXPECT_EQ(data.text("SELECT " + name + " FROM client_rec WHERE irid = ?", {irid}), value.toStdString()) << name;
    const auto goods = data.rows("SELECT nline, cname FROM client_rec_goods WHERE irid = ? ORDER BY nline", {irid});
    ASSERT_EQ(goods.size(), 2u);
    EXPECT_EQ(goods[1][0], "1");
    EXPECT_EQ(goods[1][1], goodsName.toStdString());
    EXPECT_EQ(data.text("SELECT cname FROM client_rec_weight_detail WHERE irid = ?", {irid}), pieceName.toStdString());
}

TEST(UploadRun, PreEntryTargetAndScans)
{
    UploadCounter c(QStringLiteral("demopre"));
    ASSERT_TRUE(c.ready());
    const int id = c.addShipment(QStringLiteral("UG1"), {QStringLiteral("书'籍")}, {QStringLiteral("件")});
    const RecordingDisplay d = upload(c, {id});
    EXPECT_EQ(d.removedIds(), QList<int>{id});
    TarvoData data(c.server.dataFile());
    const std::string iid = data.text("SELECT iid FROM rec_pre_input WHERE cnum = 'UG1'");
    EXPECT_EQ(data.text("SELECT cname FROM rec_pre_input_goods WHERE iid = ?", {iid}), "书'籍");

    UploadCounter scans(QStringLiteral("check"));
    ASSERT_TRUE(scans.ready());
    const char *waybills[] = {"D1010000001", "NOSUCH", "D1010000003"};
    QList<int> ids;
    for (const char *w : waybills) {
        CheckRecord s{};
        s.nversion = 2;
        s.nkind = 0;
        s.nflight = 1;
        Gbk::setField(s.cnum, QString::fromLatin1(w));
        Gbk::setField(s.cdate, QStringLiteral("2026.01.07 9'30"));
        Gbk::setField(s.cplace, QStringLiteral("深圳'\a"));
        Gbk::setField(s.cinfo, QStringLiteral("到<达>\n"));
        Gbk::setField(s.cplaceen, QStringLiteral("SZ"));
        Gbk::setField(s.cinfoen, QStringLiteral("in'"));
        scans.context.checks().Append(&s);
        ids << s.iid;
    }
    const RecordingDisplay sd = upload(scans, ids, UploadKind::Scans);
    EXPECT_EQ(sd.removedIds(), QList<int>{ids[0]});
    ASSERT_EQ(sd.results.size(), 3u);
    EXPECT_EQ(sd.results[1].text, QStringLiteral("不存在"));
    EXPECT_EQ(sd.results[2].text, QStringLiteral("已送达"));
    EXPECT_EQ(scans.context.checks().GetCount(), 2);
    TarvoData sdata(scans.server.dataFile());
    const auto row =
        sdata.rows("SELECT cstation, cdate, cplace, cinfo, cinfoen FROM check_detail WHERE cnum = ?", {"D1010000001"});
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0], (TarvoData::Row{"SZX01", "2026.01.07 9'30", "深圳'\a", "到<达>\n", "in'"}));
}

TEST(UploadRun, DoubtsOnThePreEntryListAndScansInDoubt)
{
    UploadCounter c(QStringLiteral("demopre"), 300);
    ASSERT_TRUE(c.ready());
    const QList<int> ids = c.addShipments(numbers("UJ", 1));
    ASSERT_TRUE(c.server.setHooks("waybill=UJ1 times=1 stall 60"));
    EXPECT_EQ(upload(c, ids).ending, UploadEnding::TransportFailed);
    ASSERT_TRUE(c.server.setHooks("clear"));
    ASSERT_TRUE(c.waitUntilHooksTaken());
    ASSERT_TRUE(storedAtLast(c, "rec_pre_input", "UJ1"));
    const RecordingDisplay d = upload(c, ids);
    EXPECT_EQ(d.removedIds(), ids);
    ASSERT_EQ(d.results.size(), 1u);
    EXPECT_EQ(d.results[0].text, QStringLiteral("已上传(服务器已有此记录)"));
    EXPECT_EQ(serverCount(c, "UJ1", "rec_pre_input"), "1");

    // No operation shows a scan the server holds: one in doubt is not sent
    // again, so the server never stores it twice.
    UploadCounter scans(QStringLiteral("check"), 300);
    ASSERT_TRUE(scans.ready());
    QList<int> scanIds;
    for (const QString &info : {QStringLiteral("第一次"), QStringLiteral("第二次")}) {
        CheckRecord s{};
        s.nversion = 0;
        Gbk::setField(s.cnum, QStringLiteral("D1010000001"));
        Gbk::setField(s.cdate, QStringLiteral("2026.01.07 09:30"));
        Gbk::setField(s.cinfo, info);
        scans.context.checks().Append(&s);
        scanIds << s.iid;
    }
    scans.context.FlushRecords();
    const auto scanCount = [&] {
        return TarvoData(scans.server.dataFile()).text("SELECT count(*) FROM check_detail WHERE cnum = 'D1010000001'");
    };
    const std::string before = scanCount();
    ASSERT_TRUE(scans.server.setHooks("waybill=D1010000001 times=1 stall 60"));
    EXPECT_EQ(upload(scans, scanIds, UploadKind::Scans).ending, UploadEnding::TransportFailed);
    ASSERT_TRUE(scans.server.setHooks("clear"));
    ASSERT_TRUE(scans.waitUntilHooksTaken());
    const QDeadlineTimer stored(10000);
    while (scanCount() == before && !stored.hasExpired())
        QThread::msleep(10);
    ASSERT_EQ(std::stoi(scanCount()), std::stoi(before) + 1);

    for (int run = 0; run < 2; ++run) {
        const RecordingDisplay sd = upload(scans, scanIds, UploadKind::Scans);
        ASSERT_EQ(sd.results.size(), 2u);
        EXPECT_FALSE(sd.results[0].removed);
        EXPECT_EQ(sd.results[0].text, QStringLiteral("服务器可能已有此记录(未重发)"));
        EXPECT_EQ(sd.removedIds(), run == 0 ? scanIds.mid(1) : QList<int>{});
        EXPECT_EQ(std::stoi(scanCount()), std::stoi(before) + 2) << "each scan stored once";
    }
    // The operator, having checked, deletes it: the doubt goes with it.
    scans.context.checks().DeleteById(scanIds[0]);
    scans.context.uploadJournal().Settle(scans.context);
    EXPECT_FALSE(scans.context.uploadJournal().inDoubt(UploadKind::Scans, scanIds[0]));
}

TEST(UploadRun, EachRecordIsReadAtItsTurn)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    const int clientId = c.context.session().clientId();
    const QString completed = QStringLiteral("2009%1").arg(clientId, 5, 10, QLatin1Char('0'));
    const int first = c.addShipment(QStringLiteral("2009XXXXX"), {QStringLiteral("货")}, {});
    const QList<int> middle = c.addShipments({QStringLiteral("UK2"), QStringLiteral("UK3"), QStringLiteral("UK4")});
    PreInputRecord nowhere = LocalShipments::shipment(QStringLiteral("2009xxXxx"));
    Gbk::setField(nowhere.cdes, QString());
    const int unbuildable = c.addShipment(nowhere, {}, {});

    // Knows when the first record was handed to the worker: its number is
    // completed just then.
    struct Display : RecordingDisplay {
        void uploadNumberCompleted(int, const QString &number) override { completed << number; }
        QStringList completed;
    } d;
    UploadRun run(c.context, UploadKind::Shipments);
    run.Prepare({first, middle[0], middle[1], middle[2], unbuildable, 999});
    ASSERT_TRUE(run.Start());
    while (d.completed.isEmpty() && run.Drain(d))
        run.WaitForEvents(50);
    ASSERT_EQ(d.completed, QStringList{completed});
    ASSERT_TRUE(storedAtLast(c, "client_rec", completed.toLatin1().constData()));
    // While the first is on its way, the operator deletes one record, locks
    // another and edits a third: each goes as the files hold it at its turn.
    c.context.preInputs().DeleteById(middle[0]);
    c.context.goods().DeleteByParent(middle[0]);
    c.context.weights().DeleteByParent(middle[0]);
    c.context.preInputs().Find(middle[1])->nlocked = 1;
    Gbk::setField(c.context.preInputs().Find(middle[2])->cremark, QStringLiteral("途中改过"));
    c.context.FlushRecords();
    run.DrainUntilEnded(d);

    ASSERT_EQ(d.results.size(), 6u);
    EXPECT_EQ(d.removedIds(), (QList<int>{first, middle[2]}));
    for (std::size_t i : {1u, 2u, 4u, 5u})
        EXPECT_EQ(d.results[i].text, QStringLiteral("数据错误")) << i;
    EXPECT_EQ(serverCount(c, completed.toLatin1().constData()), "1") << "the provisional number was completed";
    EXPECT_EQ(serverCount(c, "UK2"), "0") << "a record deleted meanwhile is not sent";
    EXPECT_EQ(serverCount(c, "UK3"), "0") << "a record locked meanwhile is not sent";
    EXPECT_EQ(TarvoData(c.server.dataFile()).text("SELECT cremark FROM client_rec WHERE cnum = 'UK4'"), "途中改过");
    EXPECT_EQ(Gbk::field(c.context.preInputs().Find(unbuildable)->cnum), QStringLiteral("2009xxXxx"))
        << "a record that cannot be sent keeps its provisional number";
    EXPECT_FALSE(c.context.session().uploadBusy());
}
