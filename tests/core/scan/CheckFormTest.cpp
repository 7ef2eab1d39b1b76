#include "CheckFixture.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

using V = CheckValues;

TEST(CheckForm, StartsAsANewArrivalScanBeforeTheFlight)
{
    CheckFixture t;
    t.login();
    CheckForm &form = t.make();
    const CheckValues &v = form.values();
    EXPECT_EQ(v.version, V::Chinese);
    EXPECT_EQ(v.category, V::Arrival);
    EXPECT_EQ(v.exception, 0);
    EXPECT_EQ(v.flight, 1);
    EXPECT_EQ(form.flightText(), QStringLiteral("〇位置在航班前"));
    EXPECT_EQ(form.flightColor(), 0x008000u);
    EXPECT_EQ(form.modeText(), QStringLiteral("▼离线模式"));
    EXPECT_EQ(form.modeColor(), 0xC00000u);
    EXPECT_EQ(form.title(), QStringLiteral("检查点信息扫描"));
    EXPECT_EQ(form.titleColor(), 0x008000u);
    EXPECT_EQ(v.time, QStringLiteral("2026-03-04 05:06"));
    EXPECT_EQ(v.next, QStringLiteral("SZX01")) << "arrival: the checkpoint's own station";
    EXPECT_TRUE(form.signerLocked());
    EXPECT_EQ(form.lockText(), QStringLiteral("◆"));
    EXPECT_FALSE(form.nextEnabled());
}

TEST(CheckForm, CategorySelectionSetsTheOtherFields)
{
    CheckFixture t;
    t.login();
    CheckForm &form = t.make();
    struct Expect {
        int category;
        const char16_t *next;
        bool nextEnabled, locked, flight, exception;
        CheckForm::Focus focus;
        const char16_t *caption;
    };
    const Expect table[] = {
        {V::Departure, u"OWN", true, true, true, false, CheckForm::Focus::Waybill, u"签收人:"},
        {V::Delivery, u"SZX01", false, false, false, false, CheckForm::Focus::Signer, u"派件人:"},
        {V::Exception, u"OWN", true, true, false, true, CheckForm::Focus::Waybill, u"派件人:"},
        {V::Signature, u"SZX01", false, false, false, false, CheckForm::Focus::Signer, u"签收人:"},
        {V::Arrival, u"SZX01", false, true, true, false, CheckForm::Focus::Waybill, u"签收人:"},
    };
    for (const Expect &e : table) {
        form.values().signer = QStringLiteral("someone");
        form.values().next = QStringLiteral("OWN");
        form.SelectCategory(e.category);
        SCOPED_TRACE(e.category);
        EXPECT_EQ(form.values().category, e.category);
        EXPECT_TRUE(form.values().signer.isEmpty());
        EXPECT_EQ(form.values().next, QString::fromUtf16(e.next));
        EXPECT_EQ(form.nextEnabled(), e.nextEnabled);
        EXPECT_EQ(form.signerLocked(), e.locked);
        EXPECT_EQ(form.flightShown(), e.flight);
        EXPECT_EQ(form.exceptionShown(), e.exception);
        EXPECT_EQ(form.focusAfterCategory(), e.focus);
        EXPECT_EQ(form.signerCaption(), QString::fromUtf16(e.caption));
    }
}

TEST(CheckForm, InformationTemplatesAreExpandedAndTheTemplateStays)
{
    CheckFixture t;
    t.login();
    CheckForm &form = t.make();
    form.SelectCategory(V::Signature);
    CheckValues &v = form.values();
    v.signer = QStringLiteral("张三");
    v.next = QStringLiteral("SHA");
    v.info = QStringLiteral("快件已由%s签收，下一站[下一站]");
    ASSERT_TRUE(t.scan(QStringLiteral("d1010000001")));
    const CheckRecord &r = t.reported.back().record;
    EXPECT_EQ(Gbk::field(r.cinfo), QStringLiteral("快件已由张三签收，下一站SHA"));
    EXPECT_STREQ(r.cnum, "D1010000001") << "upper-cased";
    EXPECT_STREQ(r.cnext, "") << "a signature stores no next station";
    EXPECT_EQ(v.info, QStringLiteral("快件已由%s签收，下一站[下一站]")) << "the page keeps the template";
    EXPECT_TRUE(v.number.isEmpty());

    // "[地点]" takes the place of the template's own language; "%s" without a
    // signer category is replaced by the (empty) signer.
    form.SelectCategory(V::Departure);
    v.version = V::Both;
    v.next = QStringLiteral("CAN02");
    v.place = QStringLiteral("深圳");
    v.placeEn = QStringLiteral("Shenzhen");
    v.info = QStringLiteral("[地点]→[下一站] %s");
    v.infoEn = QStringLiteral("Left [地点] for [下一站] [地点]");
    ASSERT_TRUE(t.scan(QStringLiteral("D1010000002")));
    const CheckRecord &both = t.reported.back().record;
    EXPECT_EQ(Gbk::field(both.cinfo), QStringLiteral("深圳→CAN02"));
    EXPECT_EQ(Gbk::field(both.cinfoen), QStringLiteral("Left Shenzhen for CAN02 Shenzhen"));
    EXPECT_EQ(Gbk::field(both.cplace), QStringLiteral("深圳"));
    EXPECT_STREQ(both.cnext, "CAN02");
    EXPECT_EQ(both.nversion, 2);
    EXPECT_EQ(both.nkind, V::Departure);
}

TEST(CheckForm, TheVersionDecidesWhichTextsAreStored)
{
    CheckFixture t;
    CheckForm &form = t.make();
    CheckValues &v = form.values();
    v.place = QStringLiteral("深圳");
    v.info = QStringLiteral("到达");
    v.placeEn = QStringLiteral("Shenzhen");
    v.infoEn = QStringLiteral("Arrived");
    v.version = V::English;
    ASSERT_TRUE(t.scan(QStringLiteral("EN00000001")));
    const CheckRecord english = t.reported.back().record;
    EXPECT_STREQ(english.cplace, "");
    EXPECT_STREQ(english.cinfo, "");
    EXPECT_STREQ(english.cplaceen, "Shenzhen");
    EXPECT_STREQ(english.cinfoen, "Arrived");
    v.version = V::Chinese;
    ASSERT_TRUE(t.scan(QStringLiteral("CN00000001")));
    const CheckRecord chinese = t.reported.back().record;
    EXPECT_EQ(Gbk::field(chinese.cplace), QStringLiteral("深圳"));
    EXPECT_STREQ(chinese.cplaceen, "");
    EXPECT_STREQ(chinese.cinfoen, "");
    // A text of the version not stored is not checked either.
    v.version = V::Chinese;
    v.infoEn = QString(300, u'x');
    EXPECT_TRUE(t.scan(QStringLiteral("CN00000002")));
    v.version = V::Both;
    EXPECT_FALSE(t.scan(QStringLiteral("CN00000003")));
    EXPECT_EQ(t.prompter.lastText(), QStringLiteral("[英文_信息]长度不得超过 254 字符。"));
}

TEST(CheckForm, ASignatureStoresItsSigningTimeAndNeedsASigner)
{
    CheckFixture t;
    CheckForm &form = t.make();
    CheckValues &v = form.values();
    v.time = QStringLiteral("2009-05-06 14:30");
    ASSERT_TRUE(t.scan(QStringLiteral("AR00000001")));
    EXPECT_STREQ(t.reported.back().record.csigntime, "") << "an arrival stores no signing time";
    EXPECT_STREQ(t.reported.back().record.cdate, "2009-05-06 14:30");

    form.SelectCategory(V::Signature);
    EXPECT_FALSE(t.scan(QStringLiteral("SG00000001")));
    EXPECT_EQ(t.prompter.shown().last().title, QStringLiteral("数据错误"));
    EXPECT_EQ(t.prompter.lastText(), QStringLiteral("[签收人]不得短于 1 字符。"));
    v.signer = QStringLiteral("  李四 ");
    ASSERT_TRUE(t.scan(QStringLiteral("SG00000001")));
    EXPECT_STREQ(t.reported.back().record.csigntime, "2009.05.06 14:30:00");
    EXPECT_EQ(Gbk::field(t.reported.back().record.csigner), QStringLiteral("李四"));

    v.time = QStringLiteral("2009/5/6 9h7m5");
    v.signer = QStringLiteral("李四");
    ASSERT_TRUE(t.scan(QStringLiteral("SG00000002")));
    EXPECT_STREQ(t.reported.back().record.csigntime, "2009.05.06 09:07:05");

    form.SelectCategory(V::Delivery);
    EXPECT_TRUE(t.scan(QStringLiteral("DL00000001"))) << "a delivery may name no courier";
    EXPECT_STREQ(t.reported.back().record.csigner, "");
}

TEST(CheckForm, DatesThatAreNoCalendarDateAreRefused)
{
    CheckFixture t;
    CheckForm &form = t.make();
    CheckValues &v = form.values();
    const struct {
        const char *time;
        const char16_t *message;
    } cases[] = {
        {"2009-5", u"[业务日期]不得短于 8 字符。"},    {"2009-02-30 10:00", u"业务日期数据不合法。"},
        {"0000-01-01 10:00", u"业务日期数据不合法。"}, {"abcdefghij", u"业务日期数据不合法。"},
        {"2009-13-01 10:00", u"业务日期数据不合法。"},
    };
    for (const auto &c : cases) {
        v.time = QString::fromLatin1(c.time);
        EXPECT_FALSE(t.scan(QStringLiteral("DT00000001"))) << c.time;
        EXPECT_EQ(t.prompter.lastText(), QString::fromUtf16(c.message)) << c.time;
    }
    form.SelectCategory(V::Signature);
    v.signer = QStringLiteral("王五");
    v.time = QStringLiteral("2009-05-06 24:10");
    EXPECT_FALSE(t.scan(QStringLiteral("DT00000001"))) << "a signing time the server could not read";
    EXPECT_EQ(t.prompter.lastText(), QStringLiteral("业务日期数据不合法。"));
    EXPECT_EQ(t.context.checks().GetCount(), 0);
    EXPECT_TRUE(t.reported.empty());
}

TEST(CheckForm, TheSameWaybillIsScannedOnceUntilItsScanIsGone)
{
    CheckFixture t;
    CheckForm &form = t.make();
    ASSERT_TRUE(t.scan(QStringLiteral("DUP0000001")));
    const int first = t.reported.back().record.iid;
    EXPECT_FALSE(t.scan(QStringLiteral("dup0000001")));
    EXPECT_EQ(t.prompter.lastText(), QStringLiteral("相同运单号的扫描记录已经存在。"));
    EXPECT_EQ(form.values().number, QStringLiteral("DUP0000001")) << "a refused scan stays in the field";
    EXPECT_TRUE(t.scan(QStringLiteral("DUP00000012"))) << "a longer number is another number";

    // The upload deletes accepted scans; then the waybill can be scanned again.
    t.context.checks().DeleteById(first);
    EXPECT_TRUE(t.scan(QStringLiteral("DUP0000001")));
    const int second = t.reported.back().record.iid;
    EXPECT_GT(second, first);
    // Batch deletes of the upload go around the index: still found right.
    t.context.checks().DeleteWhere(
        [second](const char *r) { return reinterpret_cast<const CheckRecord *>(r)->iid == second; });
    EXPECT_TRUE(t.scan(QStringLiteral("DUP0000001")));
    EXPECT_FALSE(t.scan(QStringLiteral("DUP0000001")));

    // A stored scan may keep its own number when it is saved again.
    ASSERT_TRUE(form.LoadScan(t.reported.back().record.iid));
    form.values().place = QStringLiteral("改过");
    EXPECT_TRUE(form.SaveScan());
    EXPECT_EQ(t.reported.back().change, CheckForm::Change::Rewritten);
}

TEST(CheckForm, WaybillNumbersThatAreNoWaybillNumbers)
{
    CheckFixture t;
    t.make();
    const struct {
        QString number;
        const char16_t *message;
    } cases[] = {
        {QStringLiteral("D10"), u"[运单号]不得短于 7 字符。"},
        {QString(31, u'9'), u"[运单号]长度不得超过 30 字符。"},
        {QStringLiteral("D101\u001d0000001"), u"[运单号]含有控制字符，不是有效的运单号，请重新扫描。"},
        {QStringLiteral("D101ก000001"), u"[运单号]含有不能保存的字符“ก”，请改用其他文字。"},
        {QStringLiteral("D1010😀00001"), u"[运单号]含有不能保存的字符“😀”，请改用其他文字。"},
    };
    for (const auto &c : cases) {
        EXPECT_FALSE(t.scan(c.number));
        EXPECT_EQ(t.prompter.lastText(), QString::fromUtf16(c.message));
    }
    EXPECT_TRUE(t.scan(QStringLiteral("\t D1010000001 \r"))) << "blanks around a number are trimmed";
    EXPECT_STREQ(t.reported.back().record.cnum, "D1010000001");
    EXPECT_EQ(t.context.checks().GetCount(), 1);
}

TEST(CheckForm, SavingANewScanKeepsEverythingButTheNumber)
{
    CheckFixture t;
    t.login();
    CheckForm &form = t.make();
    form.SelectCategory(V::Exception);
    CheckValues &v = form.values();
    v.exception = 3;
    v.next = QStringLiteral("PEK");
    v.place = QStringLiteral("深圳");
    v.info = QStringLiteral("地址有误");
    v.version = V::Chinese;
    ASSERT_TRUE(t.scan(QStringLiteral("EX00000001")));
    EXPECT_EQ(t.reported.back().change, CheckForm::Change::Added);
    EXPECT_EQ(t.reported.back().record.nstate, 6) << "地址错误";
    EXPECT_EQ(t.reported.back().record.nkind, 4);
    EXPECT_TRUE(form.isNew());
    EXPECT_EQ(v.category, V::Exception);
    EXPECT_EQ(v.exception, 3);
    EXPECT_EQ(v.next, QStringLiteral("PEK"));
    EXPECT_EQ(v.place, QStringLiteral("深圳"));
    EXPECT_EQ(v.info, QStringLiteral("地址有误"));
    EXPECT_TRUE(v.number.isEmpty());
    v.exception = 0;
    ASSERT_TRUE(t.scan(QStringLiteral("EX00000002")));
    EXPECT_EQ(t.reported.back().record.nstate, 0) << "no state chosen";

    // Saving a stored scan starts a new one, which empties the texts.
    ASSERT_TRUE(form.LoadScan(t.reported.front().record.iid));
    EXPECT_EQ(form.title(), QStringLiteral("修改检查点信息:%1").arg(t.reported.front().record.iid));
    EXPECT_EQ(form.titleColor(), 0xFF0000u);
    EXPECT_EQ(v.exception, 3);
    v.number = QStringLiteral("EX00000009");
    ASSERT_TRUE(form.SaveScan());
    EXPECT_EQ(t.reported.back().change, CheckForm::Change::Rewritten);
    EXPECT_STREQ(t.stored(t.reported.front().record.iid)->cnum, "EX00000009");
    EXPECT_TRUE(form.isNew());
    EXPECT_TRUE(v.place.isEmpty());
    EXPECT_TRUE(v.info.isEmpty());
    EXPECT_EQ(t.context.checks().GetCount(), 2);
}

TEST(CheckForm, LoadingAScanShowsItsValues)
{
    CheckFixture t;
    t.login();
    CheckForm &form = t.make();
    form.ToggleFlight();
    form.values().version = V::Both;
    form.values().placeEn = QStringLiteral("Hub");
    ASSERT_TRUE(t.scan(QStringLiteral("LD00000001")));
    const int arrival = t.reported.back().record.iid;
    form.SelectCategory(V::Signature);
    form.values().signer = QStringLiteral("赵六");
    form.values().time = QStringLiteral("2026-01-02 03:04");
    ASSERT_TRUE(t.scan(QStringLiteral("LD00000002")));
    const int signature = t.reported.back().record.iid;

    form.ToggleFlight();
    ASSERT_TRUE(form.LoadScan(arrival));
    EXPECT_EQ(form.values().category, V::Arrival);
    EXPECT_EQ(form.values().flight, 51) << "the stored flight position";
    EXPECT_EQ(form.flightText(), QStringLiteral("●位置在航班后"));
    EXPECT_EQ(form.values().version, V::Both);
    EXPECT_EQ(form.values().placeEn, QStringLiteral("Hub"));
    EXPECT_EQ(form.values().number, QStringLiteral("LD00000001"));
    ASSERT_TRUE(form.LoadScan(signature));
    EXPECT_EQ(form.values().signer, QStringLiteral("赵六"));
    EXPECT_EQ(form.values().time, QStringLiteral("2026-01-02 03:04"));
    EXPECT_FALSE(form.signerLocked());

    EXPECT_FALSE(form.LoadScan(999));
    EXPECT_TRUE(form.isNew()) << "a missing scan leaves a new scan, never an edit of nothing";
    EXPECT_TRUE(form.values().number.isEmpty());
}

TEST(CheckForm, AStoredScanGoneMeanwhileIsNotSavedAsANewOne)
{
    CheckFixture t;
    CheckForm &form = t.make();
    ASSERT_TRUE(t.scan(QStringLiteral("GN00000001")));
    const int id = t.reported.back().record.iid;
    ASSERT_TRUE(form.LoadScan(id));
    t.context.checks().DeleteById(id); // accepted by the server meanwhile
    form.values().place = QStringLiteral("改");
    EXPECT_FALSE(form.SaveScan());
    EXPECT_EQ(t.prompter.lastText(), QStringLiteral("扫描记录%1已经不存在（可能已上传或删除），未能保存。").arg(id));
    EXPECT_EQ(t.context.checks().GetCount(), 0);
}

TEST(CheckForm, DeleteAsksAndOnlyDeletesAStoredScan)
{
    CheckFixture t;
    CheckForm &form = t.make();
    EXPECT_FALSE(form.DeleteScan());
    EXPECT_TRUE(t.prompter.shown().isEmpty()) << "nothing is asked while a new scan is entered";
    ASSERT_TRUE(t.scan(QStringLiteral("DE00000001")));
    const int id = t.reported.back().record.iid;
    ASSERT_TRUE(form.LoadScan(id));
    t.prompter.queueAnswer(false);
    EXPECT_FALSE(form.DeleteScan());
    EXPECT_EQ(t.prompter.shown().last().kind, ScriptedPrompter::Kind::Ask);
    EXPECT_EQ(t.prompter.shown().last().title, QStringLiteral("确认提示"));
    EXPECT_EQ(t.prompter.lastText(),
              QStringLiteral("记录数据删除后不能恢复！\r\n━━━━━━━━━━━━\r\n想好了要删除吗？请确认！"));
    EXPECT_NE(t.stored(id), nullptr);
    EXPECT_FALSE(form.isNew());
    t.prompter.queueAnswer(true);
    EXPECT_TRUE(form.DeleteScan());
    EXPECT_EQ(t.stored(id), nullptr);
    EXPECT_EQ(t.reported.back().change, CheckForm::Change::Deleted);
    EXPECT_EQ(t.reported.back().record.iid, id);
    EXPECT_STREQ(t.reported.back().record.cnum, "DE00000001");
    EXPECT_TRUE(form.isNew());
    EXPECT_TRUE(t.scan(QStringLiteral("DE00000001")));
}

TEST(CheckForm, CaptionShortcuts)
{
    CheckFixture t;
    CheckForm &form = t.make();
    CheckValues &v = form.values();
    EXPECT_FALSE(form.ApplyDefaults());
    EXPECT_EQ(t.prompter.lastText(), QStringLiteral("请先登入服务器。"));
    EXPECT_FALSE(form.ToggleMode());
    EXPECT_EQ(form.modeText(), QStringLiteral("▼离线模式"));
    t.login();
    EXPECT_TRUE(form.ApplyDefaults());
    EXPECT_EQ(v.place, QStringLiteral("深圳转运中心"));
    EXPECT_EQ(v.info, QStringLiteral("快件已到达[地点]"));
    EXPECT_EQ(v.placeEn, QStringLiteral("Shenzhen Hub"));
    EXPECT_EQ(v.infoEn, QStringLiteral("Arrived at [地点]"));
    EXPECT_TRUE(form.ToggleMode());
    EXPECT_EQ(form.modeText(), QStringLiteral("▼在线模式"));
    EXPECT_EQ(form.modeColor(), 0x008000u);
    form.NextFromLogin();
    EXPECT_EQ(v.next, QStringLiteral("CAN02"));

    EXPECT_FALSE(form.ToggleSignerLock()) << "no lock toggle for an arrival";
    EXPECT_TRUE(form.signerLocked());
    form.SelectCategory(V::Delivery);
    EXPECT_TRUE(form.ToggleSignerLock());
    EXPECT_TRUE(form.signerLocked());
    EXPECT_EQ(form.lockText(), QStringLiteral("◆"));

    form.PickPhrase(CheckForm::PhraseSigner, QStringLiteral("快递员甲"));
    form.PickPhrase(CheckForm::PhraseInfoEn, QStringLiteral("Out for delivery"));
    form.PickPhrase(CheckForm::PhrasePlace, QString());
    EXPECT_EQ(v.signer, QStringLiteral("快递员甲"));
    EXPECT_EQ(v.infoEn, QStringLiteral("Out for delivery"));
    EXPECT_EQ(v.place, QStringLiteral("深圳转运中心")) << "no phrase picked, nothing changes";

    v.time.clear();
    form.TimeNow();
    EXPECT_EQ(v.time, QStringLiteral("2026-03-04 05:06"));
    form.ToggleFlight();
    EXPECT_EQ(form.flightText(), QStringLiteral("●位置在航班后"));
    EXPECT_EQ(form.flightColor(), 0xC80000u);
    form.ToggleFlight();
    EXPECT_EQ(v.flight, 1);
}

} // namespace

TEST(CheckForm, EachNewScanTakesTheTimeOfItsSaveUnlessOneWasTyped)
{
    CheckFixture t;
    QDateTime clock(QDate(2026, 3, 4), QTime(21, 55));
    t.context.setClock([&clock] { return clock; });
    t.form = std::make_unique<CheckForm>(t.context, t.prompter);
    CheckForm &form = *t.form;
    EXPECT_EQ(form.values().time, QStringLiteral("2026-03-04 21:55"));
    ASSERT_TRUE(t.scan(QStringLiteral("TM00000001")));
    clock = clock.addSecs(61 * 60);
    ASSERT_TRUE(t.scan(QStringLiteral("TM00000002")));
    const CheckRecord *later = t.context.checks().FindLastByNumber(QByteArray("TM00000002"));
    ASSERT_NE(later, nullptr);
    EXPECT_STREQ(later->cdate, "2026-03-04 22:56") << "an hour of scanning is not stamped with the first scan's time";
    const int laterId = later->iid;
    EXPECT_EQ(form.values().time, QStringLiteral("2026-03-04 22:56"));

    // A typed time is the operator's: it stays for the scans that follow.
    form.values().time = QStringLiteral("2026-03-04 08:00");
    clock = clock.addSecs(120);
    ASSERT_TRUE(t.scan(QStringLiteral("TM00000003")));
    EXPECT_STREQ(t.context.checks().FindLastByNumber("TM00000003")->cdate, "2026-03-04 08:00");
    EXPECT_FALSE(form.RefreshTime());
    // "时间:" goes back to the clock.
    form.TimeNow();
    clock = clock.addSecs(60);
    EXPECT_TRUE(form.RefreshTime());
    EXPECT_EQ(form.values().time, QStringLiteral("2026-03-04 22:59"));

    // A stored scan keeps its own time when it is loaded and saved again.
    ASSERT_TRUE(form.LoadScan(laterId));
    clock = clock.addSecs(3600);
    EXPECT_FALSE(form.RefreshTime());
    form.values().info = QStringLiteral("改");
    ASSERT_TRUE(form.SaveScan());
    EXPECT_STREQ(t.context.checks().FindLastByNumber("TM00000002")->cdate, "2026-03-04 22:56");
}
