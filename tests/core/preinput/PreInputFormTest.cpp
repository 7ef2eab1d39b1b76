#include "PreInputFixture.h"

#include "preinput/Hundredths.h"
#include "preinput/WaybillNumber.h"

using namespace quarvel;

namespace {

QString field(const char *bytes)
{
    return Gbk::toUnicode(QByteArray(bytes));
}

} // namespace

TEST(PreInputForm, ChecksRunInOrderAndNothingIsWrittenUntilAllPass)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    EXPECT_EQ(form.title(), QStringLiteral("添加新业务记录"));
    EXPECT_EQ(form.titleColor(), 0x008000u);

    // An empty page meets the receiver checks one after the other.
    const QStringList expected{
        QStringLiteral("[收件地址]不得短于 5 字符。"), QStringLiteral("[收件国家]不得短于 2 字符。"),
        QStringLiteral("[收件人]不得短于 1 字符。"), QStringLiteral("[收件电话]不得短于 7 字符。"),
        QStringLiteral("[收件省州]不得短于 2 字符。")};
    const std::function<void(PreInputValues &)> fixes[] = {
        [](PreInputValues &v) { v.creceiveraddr = QStringLiteral("  朝阳区建国路1号  "); },
        [](PreInputValues &v) { v.creceivercountry = QStringLiteral("中国"); },
        [](PreInputValues &v) { v.creceiver = QStringLiteral("王五"); },
        [](PreInputValues &v) { v.cphone = QStringLiteral("1380013"); },
        // Two Chinese characters: 2 characters towards the minimum, 4 bytes towards 30.
        [](PreInputValues &v) { v.creceiverprov = QStringLiteral("广东"); },
    };
    for (int i = 0; i < expected.size(); ++i) {
        f.prompter.clear();
        EXPECT_FALSE(form.SaveRecord());
        ASSERT_EQ(f.prompter.shown().size(), 1);
        EXPECT_EQ(f.prompter.shown().first().title, QStringLiteral("数据错误"));
        EXPECT_EQ(f.prompter.lastText(), expected.at(i));
        EXPECT_EQ(f.context.preInputs().GetCount(), 0);
        fixes[i](form.values());
    }
    // A refused save keeps the page as typed, trimmed.
    EXPECT_EQ(form.values().creceiveraddr, QStringLiteral("朝阳区建国路1号"));

    form.values().cremark = QString(128, QChar(0x4E2D)); // 128 Chinese characters = 256 bytes
    f.prompter.clear();
    EXPECT_FALSE(form.SaveRecord());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("[备注]长度不得超过 254 字符。"));
    form.values().cremark = QString(127, QChar(0x4E2D));

    form.values().ddate = QStringLiteral("2009");
    EXPECT_FALSE(form.SaveRecord());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("[业务日期]不得短于 8 字符。"));
    form.values().ddate = QStringLiteral("2009/2/30");
    EXPECT_FALSE(form.SaveRecord());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("业务日期数据不合法。"));
    EXPECT_EQ(f.context.preInputs().GetCount(), 0);

    form.values().ddate = QStringLiteral("2009-2-3");
    form.values().creceiverzip = QStringLiteral("ab-1");
    f.prompter.clear();
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_TRUE(f.prompter.shown().isEmpty());
    ASSERT_EQ(f.context.preInputs().GetCount(), 1);
    const PreInputRecord stored = *f.context.preInputs().At(0);
    EXPECT_EQ(int(stored.ddate.year), 2009);
    EXPECT_EQ(int(stored.ddate.month), 2);
    EXPECT_EQ(int(stored.ddate.day), 3);
    EXPECT_EQ(field(stored.creceiverzip), QStringLiteral("AB-1"));
    EXPECT_EQ(field(stored.creceiveraddr), QStringLiteral("朝阳区建国路1号"));
    EXPECT_EQ(+stored.nlocked, 0);
    EXPECT_EQ(field(stored.cconsignnote), QString());

    ASSERT_TRUE(form.LoadRecord(stored.iid));
    EXPECT_EQ(form.values().ddate, QStringLiteral("2009.02.03"));
    EXPECT_EQ(form.title(), QStringLiteral("修改业务记录:%1").arg(stored.iid));
    EXPECT_EQ(form.titleColor(), 0xFF0000u);
    EXPECT_FALSE(form.LoadRecord(999));
    EXPECT_EQ(form.iid(), stored.iid);
}

TEST(PreInputForm, GeneratedNumbersCarryTheNextIdAndTheClientOnceLoggedIn)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    const QString day = DateCode(QDate::currentDate());

    f.fillValid(QStringLiteral("12345")); // shorter than 7: replaced
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_EQ(field(f.context.preInputs().At(0)->cnum), day + QStringLiteral("00010XXXXX"));

    f.login(42);
    f.context.settings().programNumber = 3;
    f.fillValid(QString());
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_EQ(field(f.context.preInputs().At(1)->cnum), day + QStringLiteral("0002300042"));

    // Seven characters stay, upper-cased.
    f.fillValid(QStringLiteral("ab12345"));
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_EQ(field(f.context.preInputs().At(2)->cnum), QStringLiteral("AB12345"));

    // The caption click fills a number only while a new record is entered.
    EXPECT_TRUE(form.FillGeneratedNumber());
    EXPECT_EQ(form.values().cnum, day + QStringLiteral("0004300042"));
    ASSERT_TRUE(form.LoadRecord(1));
    EXPECT_FALSE(form.FillGeneratedNumber());
    EXPECT_EQ(form.values().cnum, day + QStringLiteral("00010XXXXX"));
}

TEST(PreInputForm, DuplicateNumbersAreRefusedButARecordKeepsItsOwn)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    f.fillValid(QStringLiteral("DUP0001"));
    ASSERT_TRUE(form.SaveRecord());
    f.fillValid(QStringLiteral("OTHER01"));
    ASSERT_TRUE(form.SaveRecord());

    f.fillValid(QStringLiteral("dup0001"));
    EXPECT_FALSE(form.SaveRecord());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("相同运单号的记录已经存在。"));
    EXPECT_EQ(f.context.preInputs().GetCount(), 2);

    ASSERT_TRUE(form.LoadRecord(2));
    form.values().cnum = QStringLiteral("DUP0001");
    EXPECT_FALSE(form.SaveRecord());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("相同运单号的记录已经存在。"));
    form.values().cnum = QStringLiteral("OTHER01");
    form.values().cremark = QStringLiteral("改过");
    f.prompter.clear();
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_TRUE(f.prompter.shown().isEmpty());
    EXPECT_EQ(f.context.preInputs().GetCount(), 2);
    EXPECT_EQ(field(f.context.preInputs().Find(2)->cremark), QStringLiteral("改过"));
    EXPECT_TRUE(form.isNew());

    // A stored record that went away meanwhile is not reported as saved.
    ASSERT_TRUE(form.LoadRecord(1));
    f.context.preInputs().DeleteById(1);
    EXPECT_FALSE(form.SaveRecord());
    EXPECT_TRUE(f.prompter.lastText().contains(QStringLiteral("已经不存在")));
    EXPECT_EQ(f.context.preInputs().GetCount(), 1);
}

TEST(PreInputForm, SizeAndWeighedWeightComeFromThePieceLines)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    WeightRecord piece{};
    piece.nlength = 30;
    piece.nwidth = 20;
    piece.nheight = 10;
    piece.nweight = 1500;
    piece.nvolpercent = 100;

    f.fillValid(QStringLiteral("ONE0001"));
    form.values().fweight = 2.0;
    form.pieceLines().push_back(piece);
    form.PiecesEdited(true);
    EXPECT_DOUBLE_EQ(form.values().fweight, 1.5);
    ASSERT_TRUE(form.SaveRecord());
    PreInputRecord r = *f.context.preInputs().At(0);
    EXPECT_EQ(field(r.csize), QStringLiteral("30*20*10"));
    EXPECT_DOUBLE_EQ(double(r.fweighed), 1.5);
    EXPECT_EQ(+r.nweightlines, 1);
    ASSERT_EQ(f.context.weights().GetCount(), 1);
    EXPECT_EQ(+f.context.weights().At(0)->iparent, +r.iid);
    EXPECT_TRUE(form.pieceLines().empty());

    // Two lines with one piece on the page: only the first counts.
    f.fillValid(QStringLiteral("TWO0001"));
    form.values().fweight = 9.0;
    piece.nweight = 1000;
    form.pieceLines().push_back(piece);
    piece.nweight = 4000;
    form.pieceLines().push_back(piece);
    ASSERT_TRUE(form.SaveRecord());
    r = *f.context.preInputs().At(1);
    EXPECT_EQ(field(r.csize), QString());
    EXPECT_DOUBLE_EQ(double(r.fweighed), 1.0);
    EXPECT_DOUBLE_EQ(double(r.fweight), 9.0);

    // Without lines the weighed weight is the weight.
    f.fillValid(QStringLiteral("NONE001"));
    form.values().fweight = 3.25;
    ASSERT_TRUE(form.SaveRecord());
    r = *f.context.preInputs().At(2);
    EXPECT_DOUBLE_EQ(double(r.fweighed), 3.25);
    EXPECT_EQ(+r.nweightlines, 0);

    // A stored record rewrites its lines only when the piece dialog changed them.
    ASSERT_TRUE(form.LoadRecord(1));
    ASSERT_EQ(form.pieceLines().size(), 1u);
    form.pieceLines().front().nweight = 2500;
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_EQ(+f.context.weights().At(0)->nweight, 1500);
    ASSERT_TRUE(form.LoadRecord(1));
    form.pieceLines().front().nweight = 2500;
    form.PiecesEdited(true);
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_EQ(f.context.weights().GetCount(), 3);
    EXPECT_EQ(+f.context.weights().At(2)->nweight, 2500);
    EXPECT_EQ(+f.context.weights().At(2)->iparent, 1);
}

TEST(PreInputForm, DivisorModeDMarksTheSize)
{
    PreInputFixture f(true);
    PreInputForm &form = *f.form;
    f.fillValid(QStringLiteral("MODED01"));
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_EQ(field(f.context.preInputs().At(0)->csize), QStringLiteral("D"));

    WeightRecord piece{};
    piece.nlength = 40;
    piece.nwidth = 30;
    piece.nheight = 20;
    piece.nweight = 3000;
    piece.nvolpercent = 100;
    f.fillValid(QStringLiteral("MODED02"));
    form.pieceLines().push_back(piece);
    form.PiecesEdited(true);
    EXPECT_DOUBLE_EQ(form.values().fweight, 4.8);
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_EQ(field(f.context.preInputs().At(1)->csize), QStringLiteral("40*30*20D"));
}

TEST(PreInputForm, GoodsLinesSummariseAndAreStoredWithANewRecord)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    form.SummariseGoods(); // no lines: nothing changes
    EXPECT_EQ(form.values().cgoods, QString());
    EXPECT_EQ(form.values().nquantity, 1);

    GoodsRecord a{};
    Gbk::setField(a.cname, QStringLiteral("A"));
    a.nquantity = 2;
    a.fprice = 10.0;
    GoodsRecord b{};
    Gbk::setField(b.cname, QStringLiteral("B"));
    b.nquantity = 3;
    b.fprice = 5.0;
    form.goodsLines() = {a, b};
    form.GoodsEdited(); // empty goods name: summarised
    EXPECT_EQ(form.values().cgoods, QStringLiteral("A B"));
    EXPECT_EQ(form.values().nquantity, 5);
    EXPECT_DOUBLE_EQ(form.values().ideclare, 35.0);
    EXPECT_DOUBLE_EQ(form.values().iprice, 7.0);

    form.values().cgoods = QStringLiteral("自己写的");
    form.GoodsEdited();
    EXPECT_EQ(form.values().cgoods, QStringLiteral("自己写的"));

    f.fillValid(QStringLiteral("GOODS01"));
    ASSERT_TRUE(form.SaveRecord());
    const PreInputRecord r = *f.context.preInputs().At(0);
    EXPECT_EQ(+r.ngoodslines, 2);
    EXPECT_EQ(+r.ideclare, 3500);
    EXPECT_EQ(+r.iprice, 700);
    ASSERT_EQ(f.context.goods().GetCount(), 2);
    EXPECT_EQ(+f.context.goods().At(1)->iparent, +r.iid);
    EXPECT_EQ(field(f.context.goods().At(1)->cname), QStringLiteral("B"));

    // A summary that would pass the name's byte limit is cut to fit it.
    std::vector<GoodsRecord> many;
    for (int i = 0; i < 20; ++i) {
        GoodsRecord g{};
        Gbk::setField(g.cname, QStringLiteral("电子配件一批"));
        g.nquantity = 0;
        many.push_back(g);
    }
    form.goodsLines() = many;
    form.SummariseGoods();
    EXPECT_TRUE(form.values().cgoods.endsWith(QStringLiteral("...")));
    EXPECT_LE(Gbk::fromUnicode(form.values().cgoods).size(), 254);
    EXPECT_EQ(form.values().nquantity, 1);
}

TEST(PreInputForm, ANewRecordKeepsKindPaymentCurrencyDateAndLockedDeparture)
{
    PreInputFixture f;
    f.context.settings().origin = QStringLiteral("深圳");
    f.context.settings().department = QStringLiteral("市场部");
    f.context.settings().senderName = QStringLiteral("张三");
    f.context.settings().sms = QStringLiteral("13900000000");
    PreInputForm form(f.context, f.prompter);
    PreInputValues &v = form.values();
    EXPECT_EQ(v.cemskind, QStringLiteral("特快专递"));
    EXPECT_EQ(v.npayway, 1);
    EXPECT_EQ(v.ccurrency, QStringLiteral("USD"));
    EXPECT_EQ(v.ddate, QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")));
    EXPECT_EQ(v.cfrom, QStringLiteral("深圳"));
    EXPECT_EQ(v.cdepart, QStringLiteral("市场部"));
    EXPECT_EQ(v.csender, QStringLiteral("张三"));
    EXPECT_EQ(v.csendersms, QStringLiteral("13900000000"));
    EXPECT_EQ(v.nitemtype, 1);
    EXPECT_EQ(v.cgoodsorigin, QStringLiteral("CN"));
    EXPECT_DOUBLE_EQ(v.iprice, 1.0);

    v.cnum = QStringLiteral("KEEP001");
    v.cdes = QStringLiteral("北京市");
    v.creceiver = QStringLiteral("王五");
    v.cphone = QStringLiteral("13800138000");
    v.creceiveraddr = QStringLiteral("朝阳区建国路1号");
    v.creceivercountry = QStringLiteral("中国");
    v.creceiverprov = QStringLiteral("北京");
    v.cemskind = QStringLiteral("经济快递");
    form.SetPayWay(2);
    EXPECT_EQ(v.cpaydir, QStringLiteral("CC"));
    v.ccurrency = QStringLiteral("EUR");
    v.ddate = QStringLiteral("2026.01.05");
    v.cfrom = QStringLiteral("广州");
    v.nmarked = true;
    v.cpack = QStringLiteral("木箱");
    v.ffee = 12.5;
    form.ToggleLock(PreInputForm::LockFrom);
    int notified = 0;
    form.setRecordChanged([&](bool saved, const PreInputRecord &r) {
        ++notified;
        EXPECT_TRUE(saved);
        EXPECT_EQ(field(r.cnum), QStringLiteral("KEEP001"));
        EXPECT_EQ(+r.nmarked, 1);
        EXPECT_EQ(field(r.cpaydir), QStringLiteral("CC"));
    });
    ASSERT_TRUE(form.SaveRecord());
    EXPECT_EQ(notified, 1);

    EXPECT_EQ(v.cemskind, QStringLiteral("经济快递"));
    EXPECT_EQ(v.npayway, 2);
    EXPECT_EQ(v.ccurrency, QStringLiteral("EUR"));
    EXPECT_EQ(v.ddate, QStringLiteral("2026.01.05"));
    EXPECT_EQ(v.cfrom, QStringLiteral("广州")); // locked
    EXPECT_EQ(v.cpaydir, QStringLiteral("PP"));
    EXPECT_EQ(v.cnum, QString());
    EXPECT_EQ(v.cdes, QString());
    EXPECT_EQ(v.creceiver, QString());
    EXPECT_EQ(v.cpack, QString());
    EXPECT_DOUBLE_EQ(v.ffee, 0.0);
    EXPECT_FALSE(v.nmarked);
    EXPECT_EQ(v.csender, QStringLiteral("张三"));
    form.ToggleLock(PreInputForm::LockFrom);
    form.NewRecord();
    EXPECT_EQ(v.cfrom, QStringLiteral("深圳"));
    EXPECT_EQ(PreInputForm::LockText(form.locked(PreInputForm::LockFrom)), QStringLiteral("◇"));
}

TEST(PreInputForm, DeleteAsksAndTakesTheLinesWithTheRecord)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    for (const char *number : {"DEL0001", "DEL0002"}) {
        f.fillValid(QString::fromLatin1(number));
        GoodsRecord g{};
        Gbk::setField(g.cname, QString::fromLatin1(number));
        g.nquantity = 1;
        form.goodsLines().push_back(g);
        WeightRecord w{};
        w.nweight = 100;
        form.pieceLines().push_back(w);
        ASSERT_TRUE(form.SaveRecord());
    }
    EXPECT_FALSE(form.DeleteRecord()); // a new record: no question
    EXPECT_TRUE(f.prompter.shown().isEmpty());

    // Selecting one row, then another, shows only the second record's lines.
    ASSERT_TRUE(form.LoadRecord(1));
    ASSERT_TRUE(form.LoadRecord(2));
    ASSERT_EQ(form.goodsLines().size(), 1u);
    EXPECT_EQ(field(form.goodsLines().front().cname), QStringLiteral("DEL0002"));
    EXPECT_EQ(form.pieceLines().size(), 1u);

    f.prompter.queueAnswer(false);
    EXPECT_FALSE(form.DeleteRecord());
    EXPECT_EQ(f.prompter.shown().last().title, QStringLiteral("确认提示"));
    EXPECT_EQ(f.prompter.lastText(),
              QStringLiteral("记录数据删除后不能恢复！\r\n━━━━━━━━━━━━\r\n想好了要删除吗？请确认！"));
    EXPECT_EQ(f.context.preInputs().GetCount(), 2);

    int deleted = 0;
    form.setRecordChanged([&](bool saved, const PreInputRecord &r) {
        EXPECT_FALSE(saved);
        deleted = r.iid;
    });
    f.prompter.queueAnswer(true);
    EXPECT_TRUE(form.DeleteRecord());
    EXPECT_EQ(deleted, 2);
    EXPECT_TRUE(form.isNew());
    EXPECT_EQ(f.context.preInputs().GetCount(), 1);
    EXPECT_EQ(f.context.goods().GetCount(), 1);
    EXPECT_EQ(f.context.weights().GetCount(), 1);
    EXPECT_EQ(+f.context.goods().At(0)->iparent, 1);
}

TEST(PreInputForm, CopyAndPasteLeaveMarkCollectAndLinesAlone)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    EXPECT_FALSE(form.hasCopy());
    f.fillValid(QStringLiteral("COPY001"));
    form.values().ffee = 30;
    form.values().fweight = 1.25;
    form.values().csender = QStringLiteral("李四");
    form.CopyAll();
    EXPECT_TRUE(form.hasCopy());

    form.NewRecord();
    form.values().nmarked = true;
    form.SetPayWay(2);
    CollectForm collect = form.OpenCollect();
    collect.cod = 100;
    ASSERT_TRUE(collect.Confirm(f.prompter));
    form.ApplyCollect(collect);
    form.PasteAll();
    EXPECT_EQ(form.values().cnum, QStringLiteral("COPY001"));
    EXPECT_EQ(form.values().creceiver, QStringLiteral("王五"));
    EXPECT_EQ(form.values().csender, QStringLiteral("李四"));
    EXPECT_DOUBLE_EQ(form.values().fweight, 1.25);
    EXPECT_EQ(form.values().npayway, 1);
    EXPECT_TRUE(form.values().nmarked);
    EXPECT_DOUBLE_EQ(form.cod(), 100.0);
    EXPECT_DOUBLE_EQ(form.codSettle(), 100.0);
}

TEST(PreInputForm, DestinationLookUpFillsRegionCountryProvinceAndCity)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    PreInputValues &v = form.values();
    EXPECT_EQ(form.destinationIndicator(), QStringLiteral("※"));

    QList<const DestinationEntry *> found = form.DestinationSuggestions(QStringLiteral("广东"));
    ASSERT_EQ(found.size(), 1);
    form.LookupDestination(found.first());
    EXPECT_EQ(v.cdes, QStringLiteral("广东深圳"));
    EXPECT_EQ(v.creceiverzip, QStringLiteral("518000"));
    EXPECT_EQ(v.creceivercountry, QStringLiteral("中国"));
    EXPECT_EQ(v.creceiverprov, QStringLiteral("广东"));
    EXPECT_EQ(v.creceivercity, QStringLiteral("深圳"));
    EXPECT_EQ(form.destinationIndicator(), QStringLiteral("√"));
    EXPECT_EQ(form.destinationIndicatorColor(), 0x008000u);

    found = form.DestinationSuggestions(QStringLiteral("bei"));
    ASSERT_EQ(found.size(), 1);
    form.LookupDestination(found.first());
    EXPECT_EQ(v.creceiverprov, QStringLiteral("北京"));
    EXPECT_EQ(v.creceivercity, QStringLiteral("北京市")); // rest shorter than 3 bytes

    found = form.DestinationSuggestions(QStringLiteral("US"));
    ASSERT_FALSE(found.isEmpty());
    EXPECT_FALSE(form.Serves(*found.first()));
    form.LookupDestination(found.first());
    EXPECT_EQ(v.nlanguage, 2);
    EXPECT_EQ(v.creceivercountry, QStringLiteral("United States"));
    EXPECT_EQ(v.creceiverprov, QString());
    EXPECT_EQ(v.creceivercity, QString());
    EXPECT_EQ(form.destinationIndicator(), QStringLiteral("※"));
    EXPECT_EQ(form.destinationIndicatorColor(), 0x800000u);

    // Region 1 splits like region 0.
    found = form.DestinationSuggestions(QStringLiteral("香"));
    ASSERT_EQ(found.size(), 1);
    form.LookupDestination(found.first());
    EXPECT_EQ(v.nlanguage, 1);
    EXPECT_EQ(v.creceiverprov, QStringLiteral("香港"));
    EXPECT_EQ(v.creceivercity, QStringLiteral("香港"));

    v.cdes = QStringLiteral("无此地");
    form.LookupDestination(nullptr);
    EXPECT_EQ(v.nlanguage, 0);
    EXPECT_EQ(v.cdes, QStringLiteral("无此地"));

    // Another kind serves nothing; without a known kind every suggestion counts as served.
    form.ChooseExpressKind(QStringLiteral("经济快递"));
    v.cdes = QStringLiteral("北京市");
    EXPECT_EQ(form.destinationIndicator(), QStringLiteral("※"));
    form.ChooseExpressKind(QStringLiteral("未知"));
    EXPECT_TRUE(form.Serves(*form.DestinationSuggestions(QStringLiteral("US")).first()));
}

TEST(PreInputForm, CaptionShortcutsDatePhrasesSmsAndContacts)
{
    PreInputFixture f;
    f.root.write(QStringLiteral("prompt.dat"), QByteArray());
    f.context.SavePromptPhrases(QStringLiteral("易碎品\r\n加急\r\n"));
    PreInputForm &form = *f.form;
    PreInputValues &v = form.values();

    const QString today = v.ddate;
    form.CycleDate();
    EXPECT_EQ(v.ddate, QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy.MM.dd")));
    form.CycleDate();
    form.CycleDate();
    EXPECT_EQ(v.ddate, today);
    v.ddate = QStringLiteral("2001.01.01");
    form.CycleDate();
    EXPECT_EQ(v.ddate, today);

    ASSERT_EQ(form.phrases().size(), 2);
    form.PickPhrase(PreInputForm::PhraseRemark, QStringLiteral("易碎品"));
    form.PickPhrase(PreInputForm::PhraseRemark, QStringLiteral("加急"));
    form.PickPhrase(PreInputForm::PhraseRemark, QStringLiteral("加急"));
    EXPECT_EQ(v.cremark, QStringLiteral("易碎品\r\n加急"));
    form.PickPhrase(PreInputForm::PhrasePack, QStringLiteral("加急"));
    EXPECT_EQ(v.cpack, QStringLiteral("加急"));

    EXPECT_FALSE(form.CheckQuotation());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("在线价格查询：\r\n目的地不能为空。"));
    v.cdes = QStringLiteral("北京市");
    v.fweight = 0.001;
    EXPECT_FALSE(form.CheckQuotation());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("在线价格查询：\r\n必须提供重量。"));
    v.fweight = 0.002;
    EXPECT_TRUE(form.CheckQuotation());

    v.cphone = QStringLiteral("1380013");
    form.CopyPhoneToSms(PreInputValues::Receiver);
    EXPECT_EQ(v.creceiversms, QString());
    v.cphone = QStringLiteral("13800138000");
    form.CopyPhoneToSms(PreInputValues::Receiver);
    EXPECT_EQ(v.creceiversms, QStringLiteral("13800138000"));

    ContactRecord c{};
    Gbk::setField(c.ccode, QStringLiteral("zs"));
    Gbk::setField(c.cname, QStringLiteral("张三"));
    Gbk::setField(c.cphone, QStringLiteral("02088886666"));
    Gbk::setField(c.caddr, QStringLiteral("天河路100号"));
    Gbk::setField(c.ccity, QStringLiteral("广州"));
    Gbk::setField(c.csms, QStringLiteral("13911112222"));
    f.context.contacts().Append(&c);
    QList<const ContactRecord *> found = form.ContactSuggestions(QStringLiteral("zs"), false);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(form.ContactSuggestions(QStringLiteral("0208"), true).size(), 1);
    EXPECT_TRUE(form.ContactSuggestions(QStringLiteral("0209"), true).isEmpty());
    form.PickContact(PreInputValues::Sender, *found.first());
    EXPECT_EQ(v.csender, QStringLiteral("张三"));
    EXPECT_EQ(v.csenderphone, QStringLiteral("02088886666"));
    EXPECT_EQ(v.csenderaddr, QStringLiteral("天河路100号"));
    EXPECT_EQ(v.csendercity, QStringLiteral("广州"));
    EXPECT_EQ(v.csendersms, QStringLiteral("13911112222"));
    EXPECT_EQ(v.csendercorp, QString());
}

TEST(PreInputForm, CollectDialogRules)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    form.values().ffee = 50;

    // 月结: opening clears the settled freight, which cannot be edited.
    form.SetPayWay(0);
    CollectForm first(50, 20, 0, 0, true);
    form.ApplyCollect(first);
    CollectForm monthly = form.OpenCollect();
    EXPECT_DOUBLE_EQ(form.collectSettle(), 0.0);
    EXPECT_FALSE(monthly.collectSettleEditable());
    monthly.collectSettle = 30;
    monthly.cod = 80;
    monthly.codSettle = 90;
    EXPECT_FALSE(monthly.Confirm(f.prompter));
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("返还客户货款错误：大于实收代收货款。"));
    monthly.codSettle = 0;
    EXPECT_TRUE(monthly.Confirm(f.prompter));
    EXPECT_DOUBLE_EQ(monthly.collectSettle, 0.0);
    EXPECT_DOUBLE_EQ(monthly.codSettle, 80.0);

    // 到付: the settled freight may not pass the fee; 0 takes the fee.
    form.SetPayWay(2);
    CollectForm onDelivery = form.OpenCollect();
    EXPECT_TRUE(onDelivery.collectSettleEditable());
    EXPECT_DOUBLE_EQ(onDelivery.fee(), 50.0);
    onDelivery.collectSettle = 60;
    f.prompter.clear();
    EXPECT_FALSE(onDelivery.Confirm(f.prompter));
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("到付运费错误：下家结算小于向客户返款。"));
    onDelivery.collectSettle = 0;
    EXPECT_TRUE(onDelivery.Confirm(f.prompter));
    EXPECT_DOUBLE_EQ(onDelivery.collectSettle, 50.0);
    form.ApplyCollect(onDelivery);
    EXPECT_DOUBLE_EQ(form.collectSettle(), 50.0);

    // "重写" clears the amounts but keeps the fee.
    onDelivery.Clear();
    EXPECT_DOUBLE_EQ(onDelivery.collectSettle, 0.0);
    EXPECT_DOUBLE_EQ(onDelivery.cod, 0.0);
    EXPECT_DOUBLE_EQ(onDelivery.fee(), 50.0);

    // The collect values travel with the saved record.
    f.fillValid(QStringLiteral("COLL001"));
    ASSERT_TRUE(form.SaveRecord());
    const PreInputRecord r = *f.context.preInputs().At(0);
    EXPECT_DOUBLE_EQ(double(r.fcollectsettle), 50.0);
    EXPECT_DOUBLE_EQ(double(r.ffee), 50.0);
    EXPECT_DOUBLE_EQ(form.collectSettle(), 0.0);
}

TEST(PreInputForm, HundredthsRoundTowardsTheSign)
{
    EXPECT_EQ(Hundredths(12.34), 1234);
    EXPECT_EQ(Hundredths(0.29), 29); // 28.999999999999996 × 100
    EXPECT_EQ(Hundredths(1.005), 100);
    EXPECT_EQ(Hundredths(0.0), 0);
    EXPECT_EQ(Hundredths(-5.0), -500);
    EXPECT_EQ(Hundredths(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(Thousandths(1.5), 1500);
    EXPECT_EQ(Thousandths(0.0015), 1);
}

TEST(PreInputForm, ScaleReadingsOnlyWhileANewRecordIsEntered)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    EXPECT_FALSE(form.ScaleReading(0)); // "0" is already shown after a reset
    EXPECT_EQ(form.ScaleReading(1234), QStringLiteral("1.234"));
    EXPECT_DOUBLE_EQ(form.values().fweight, 1.234);
    EXPECT_FALSE(form.ScaleReading(-5));
    EXPECT_EQ(form.ScaleReading(0), QStringLiteral("0"));
    EXPECT_FALSE(form.ScaleReading(0));
    form.setSaving(true);
    EXPECT_FALSE(form.ScaleReading(500));
    form.setSaving(false);

    f.fillValid(QStringLiteral("SCALE01"));
    ASSERT_TRUE(form.SaveRecord());
    ASSERT_TRUE(form.LoadRecord(1));
    EXPECT_FALSE(form.ScaleReading(800));
    EXPECT_DOUBLE_EQ(form.values().fweight, 0.0);
}

TEST(PreInputForm, EditsAreNoticedBeforeTheyAreLeftBehindAndWorkersChangesReachACleanForm)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    EXPECT_FALSE(form.hasEdits()) << "a new record as shown";
    EXPECT_TRUE(form.ConfirmLeave());
    EXPECT_TRUE(f.prompter.shown().isEmpty()) << "nothing to ask about";

    f.fillValid();
    EXPECT_TRUE(form.hasEdits());
    f.prompter.queueSaveChoice(Prompter::SaveChoice::Cancel);
    EXPECT_FALSE(form.ConfirmLeave());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("新记录还没有保存。\r\n保存这条记录吗？"));
    EXPECT_EQ(f.prompter.shown().last().title, QStringLiteral("确认提示"));
    EXPECT_EQ(form.values().creceiver, QStringLiteral("王五")) << "取消 keeps the edits";
    f.prompter.queueSaveChoice(Prompter::SaveChoice::Save);
    ASSERT_TRUE(form.ConfirmLeave());
    ASSERT_EQ(f.context.preInputs().GetCount(), 1) << "保存 saved the record";
    const int iid = f.context.preInputs().At(0)->iid;

    // A save that its checks refuse stays on the record.
    ASSERT_TRUE(form.LoadRecord(iid));
    form.values().cphone = QStringLiteral("12");
    f.prompter.queueSaveChoice(Prompter::SaveChoice::Save);
    EXPECT_FALSE(form.ConfirmLeave());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("[收件电话]不得短于 7 字符。"));
    f.prompter.queueSaveChoice(Prompter::SaveChoice::Discard);
    EXPECT_TRUE(form.ConfirmLeave());

    // A worker prices the stored record: a clean form takes the new fee ...
    ASSERT_TRUE(form.LoadRecord(iid));
    f.context.preInputs().Find(iid)->ffee = 23.5;
    EXPECT_TRUE(form.ReloadIfUnchanged(iid));
    EXPECT_DOUBLE_EQ(form.values().ffee, 23.5);
    EXPECT_FALSE(form.ReloadIfUnchanged(iid + 1)) << "another record changed";
    // ... a form with edits of its own keeps them.
    form.values().cremark = QStringLiteral("易碎");
    f.context.preInputs().Find(iid)->ffee = 30;
    EXPECT_FALSE(form.ReloadIfUnchanged(iid));
    EXPECT_DOUBLE_EQ(form.values().ffee, 23.5);
    EXPECT_EQ(form.values().cremark, QStringLiteral("易碎"));
    // A record that is gone (uploaded) gives a clean new record.
    form.values().cremark.clear();
    f.context.preInputs().DeleteById(iid);
    EXPECT_TRUE(form.ReloadIfUnchanged(iid));
    EXPECT_TRUE(form.isNew());

    // Unsaved lines count as edits: pieces always, goods of a new record.
    form.goodsLines().push_back(GoodsRecord{});
    EXPECT_TRUE(form.hasEdits());
    form.NewRecord();
    form.PiecesEdited(true);
    EXPECT_TRUE(form.hasEdits());
}

TEST(PreInputForm, ADestinationGivenAsTextFillsWhatThePickWouldWhereEmpty)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    PreInputValues &v = form.values();
    v.cdes = QStringLiteral("北京市朝阳区");
    ASSERT_TRUE(form.CompleteDestination()) << "the longest name it starts with";
    EXPECT_EQ(v.cdes, QStringLiteral("北京市")) << "the base data's name, which pricing knows";
    EXPECT_EQ(v.creceiverzip, QStringLiteral("100000"));
    EXPECT_EQ(v.creceivercountry, QStringLiteral("中国"));
    EXPECT_EQ(v.creceiverprov, QStringLiteral("北京"));
    EXPECT_EQ(v.creceivercity, QStringLiteral("北京市")) << "as picking 北京市 gives";

    form.NewRecord();
    v.cdes = QStringLiteral("广东深圳");
    v.creceiverzip = QStringLiteral("518048");
    ASSERT_TRUE(form.CompleteDestination());
    EXPECT_EQ(v.creceiverzip, QStringLiteral("518048")) << "a given postcode is kept";
    EXPECT_EQ(v.creceiverprov, QStringLiteral("广东"));
    EXPECT_EQ(v.creceivercity, QStringLiteral("深圳"));

    form.NewRecord();
    v.cdes = QStringLiteral("usa");
    ASSERT_TRUE(form.CompleteDestination()) << "the only suggestion";
    EXPECT_EQ(v.nlanguage, 2);
    EXPECT_EQ(v.creceivercountry, QStringLiteral("United States"));
    EXPECT_EQ(v.creceiverprov, QString());

    form.NewRecord();
    v.cdes = QStringLiteral("火星");
    EXPECT_FALSE(form.CompleteDestination());
    EXPECT_EQ(v.creceivercountry, QString());
}

TEST(PreInputForm, ASaveTakesTheBaseDataNameOrRefusesAnUnknownDestination)
{
    PreInputFixture f;
    PreInputForm &form = *f.form;
    PreInputValues &v = form.values();
    f.fillValid();
    v.cdes = QStringLiteral("深圳");
    v.creceivercountry.clear();
    v.creceiverprov.clear();
    ASSERT_TRUE(form.SaveRecord()) << f.prompter.lastText().toStdString();
    const PreInputRecord &saved = *f.context.preInputs().At(0);
    EXPECT_STREQ(saved.cdes, Gbk::fromUnicode(QStringLiteral("广东深圳")).constData());
    EXPECT_EQ(Gbk::field(saved.creceivercountry), QStringLiteral("中国")) << "filled as a pick fills it";
    EXPECT_EQ(Gbk::field(saved.creceivercity), QStringLiteral("深圳"));

    // Unknown: refused by name before any other receiver check.
    f.fillValid(QStringLiteral("AB12346"));
    v.cdes = QStringLiteral("火星");
    v.creceivercountry.clear();
    EXPECT_FALSE(form.SaveRecord());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("目的地不在基本数据中：火星"));
    v.cdes = QStringLiteral("广东深");
    EXPECT_FALSE(form.SaveRecord());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("目的地不在基本数据中：广东深\r\n相近的目的地：广东深圳"));
    EXPECT_EQ(f.context.preInputs().GetCount(), 1);
}
