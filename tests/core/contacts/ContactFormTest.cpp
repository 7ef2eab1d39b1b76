#include "core/contacts/ContactFixture.h"

using namespace quarvel;

namespace {

const QString kDeleteQuestion = QStringLiteral("记录数据删除后不能恢复！\r\n━━━━━━━━━━━━\r\n想好了要删除吗？请确认！");

} // namespace

TEST(ContactForm, NewContactIsEmptyWithGreenTitle)
{
    ContactFixture f;
    ContactForm form(f.context, f.prompter);
    form.values().cname = QStringLiteral("张三");
    form.NewContact();
    EXPECT_EQ(form.values(), ContactValues());
    EXPECT_EQ(form.iid(), -1);
    EXPECT_EQ(form.title(), QStringLiteral("添加新收/发件人信息记录"));
    EXPECT_EQ(form.titleColor(), 0x008000u);
}

TEST(ContactForm, SaveWritesEveryFieldAndStartsAgain)
{
    ContactFixture f;
    ContactForm form(f.context, f.prompter);
    f.watch(form);
    ContactValues &v = form.values();
    v.cname = QStringLiteral("  李四 ");
    v.cphone = QStringLiteral("0755-88886666");
    v.ccorp = QStringLiteral("深圳贸易公司");
    v.caddr = QStringLiteral("深圳市福田区深南大道1号");
    v.ccountry = QStringLiteral("中国");
    v.cprov = QStringLiteral("广东");
    v.ccity = QStringLiteral("深圳");
    v.czip = QStringLiteral("518000");
    v.cmail = QStringLiteral("li@example.com");
    v.csms = QStringLiteral("13800138000");
    v.cremark = QStringLiteral("周一到周五\r\n9点以后");
    ASSERT_TRUE(form.SaveContact()) << f.prompter.lastText().toStdString();

    ASSERT_EQ(f.book().GetCount(), 1);
    const ContactRecord &r = *f.book().At(0);
    ContactValues expected = ContactValues::Of(r);
    EXPECT_EQ(expected.cname, QStringLiteral("李四"));
    EXPECT_EQ(expected.ccode, QStringLiteral("ls"));
    EXPECT_EQ(expected.cremark, QStringLiteral("周一到周五\r\n9点以后"));
    EXPECT_EQ(expected.csms, QStringLiteral("13800138000"));
    ASSERT_EQ(f.changes.size(), 1);
    EXPECT_TRUE(f.changes[0].first);
    EXPECT_EQ(int(f.changes[0].second.iid), int(r.iid));
    EXPECT_EQ(form.values(), ContactValues());
    EXPECT_TRUE(form.isNew());
    EXPECT_TRUE(f.prompter.shown().isEmpty());
}

TEST(ContactForm, CodesComeFromInitialsAndStayUnique)
{
    ContactFixture f;
    const int first = f.add(QStringLiteral("张三"), QStringLiteral("111"));
    const int second = f.add(QStringLiteral("赵四"), QStringLiteral("222"));
    const int third = f.add(QStringLiteral("张珊"), QStringLiteral("333"));
    EXPECT_EQ(f.codeOf(first), QStringLiteral("zs"));
    EXPECT_EQ(f.codeOf(second), QStringLiteral("zs0"));
    EXPECT_EQ(f.codeOf(third), QStringLiteral("zs1"));
    // A name without Chinese initials gets a number that no one holds.
    const int latin = f.add(QStringLiteral("Smith"), QStringLiteral("444"));
    bool number = false;
    f.codeOf(latin).toLongLong(&number);
    EXPECT_TRUE(number) << f.codeOf(latin).toStdString();
}

TEST(ContactForm, CodeInCapitalsIsStoredInLowerCase)
{
    ContactFixture f;
    const int id = f.add(QStringLiteral("王五"), QStringLiteral("555"), QStringLiteral("WW01"));
    EXPECT_EQ(f.codeOf(id), QStringLiteral("ww01"));
    // The look-up by code (lower-case first letter) finds it.
    const QList<const ContactRecord *> found = f.book().LookupByCodeOrName(QStringLiteral("ww"));
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0]->iid, id);
    // The same code in another case is taken.
    EXPECT_EQ(f.add(QStringLiteral("王六"), QStringLiteral("556"), QStringLiteral("Ww01")), -1);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("编码重复，不能保存。"));
}

TEST(ContactForm, ChecksComeInOrderAndNothingIsWrittenOnRefusal)
{
    ContactFixture f;
    ASSERT_GT(f.add(QStringLiteral("张三"), QStringLiteral("13800000000"), QStringLiteral("a1")), 0);
    struct Case {
        QString name, code, phone, address, zip;
        QString message;
    };
    const Case cases[] = {
        {QStringLiteral("  "), {}, {}, {}, {}, QStringLiteral("[姓名]不得短于 1 字符。")},
        {QStringLiteral("一二三四五六七八九十一二三四五六"),
         {},
         {},
         {},
         {},
         QStringLiteral("[姓名]长度不得超过 30 字符。")},
        {QStringLiteral("张三"), {}, {}, {}, {}, QStringLiteral("相同姓名的记录已经存在。")},
        {QStringLiteral("李四"), QStringLiteral("A1"), {}, {}, {}, QStringLiteral("编码重复，不能保存。")},
        {QStringLiteral("李四"),
         QStringLiteral("abcdefghijkl"),
         {},
         {},
         {},
         QStringLiteral("[编码]长度不得超过 11 字符。")},
        {QStringLiteral("李四"),
         {},
         QStringLiteral("13800000000"),
         {},
         {},
         QStringLiteral("相同电话号码的记录已经存在。")},
        {QStringLiteral("李四"),
         {},
         QStringLiteral("139"),
         QStringLiteral("北京"),
         {},
         QStringLiteral("[详细地址]不得短于 5 字符。")},
        {QStringLiteral("李四"),
         {},
         QStringLiteral("139"),
         QStringLiteral("北京市朝阳区"),
         QStringLiteral("1234567890123456"),
         QStringLiteral("[邮编]长度不得超过 15 字符。")},
        {QStringLiteral("李𠀀"), {}, {}, {}, {}, QStringLiteral("[姓名]含有不能保存的字符“𠀀”，请改用其他文字。")},
    };
    for (const Case &c : cases) {
        ContactForm form(f.context, f.prompter);
        form.values().cname = c.name;
        form.values().ccode = c.code;
        form.values().cphone = c.phone;
        form.values().caddr = c.address;
        form.values().czip = c.zip;
        f.prompter.clear();
        EXPECT_FALSE(form.SaveContact()) << c.message.toStdString();
        EXPECT_EQ(f.prompter.lastText(), c.message);
        EXPECT_EQ(f.prompter.shown().size(), 1);
        EXPECT_EQ(f.book().GetCount(), 1);
        EXPECT_TRUE(form.isNew());
    }
}

TEST(ContactForm, RenameToAnotherNameIsRefusedButOwnNameSaves)
{
    ContactFixture f;
    const int zhang = f.add(QStringLiteral("张三"), QStringLiteral("111"));
    const int li = f.add(QStringLiteral("李四"), QStringLiteral("222"));
    ContactForm form(f.context, f.prompter);
    ASSERT_TRUE(form.LoadContact(li));
    EXPECT_EQ(form.title(), QStringLiteral("修改信息记录:%1").arg(li));
    EXPECT_EQ(form.titleColor(), 0xFF0000u);
    form.values().cname = QStringLiteral("张三");
    EXPECT_FALSE(form.SaveContact());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("相同姓名的记录已经存在。"));
    form.values().cname = QStringLiteral("李四");
    form.values().ccity = QStringLiteral("上海");
    ASSERT_TRUE(form.SaveContact());
    EXPECT_EQ(f.book().GetCount(), 2);
    EXPECT_EQ(Gbk::field(f.book().Find(li)->ccity), QStringLiteral("上海"));
    EXPECT_EQ(f.codeOf(li), QStringLiteral("ls"));
    // A rename to a free name keeps the id.
    ASSERT_TRUE(form.LoadContact(zhang));
    form.values().cname = QStringLiteral("张三丰");
    ASSERT_TRUE(form.SaveContact());
    EXPECT_EQ(Gbk::field(f.book().Find(zhang)->cname), QStringLiteral("张三丰"));
    EXPECT_EQ(f.book().GetCount(), 2);
}

TEST(ContactForm, AnEmptyPhoneIsAPhoneLikeAnyOther)
{
    ContactFixture f;
    const int zhang = f.add(QStringLiteral("张三"), QString());
    EXPECT_GT(zhang, 0);
    EXPECT_EQ(f.add(QStringLiteral("李四"), QString()), -1);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("相同电话号码的记录已经存在。"));
    EXPECT_EQ(f.book().GetCount(), 1);
    // Enter in an empty phone field finds the contact without phone.
    ContactForm form(f.context, f.prompter);
    EXPECT_TRUE(form.LookupPhone());
    EXPECT_EQ(form.iid(), zhang);
}

TEST(ContactForm, SavingAContactThatWasDeletedMeanwhileIsRefused)
{
    ContactFixture f;
    const int id = f.add(QStringLiteral("张三"), QStringLiteral("111"));
    ContactForm form(f.context, f.prompter);
    ASSERT_TRUE(form.LoadContact(id));
    f.book().DeleteById(id);
    EXPECT_FALSE(form.SaveContact());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("名录记录%1已经不存在，未能保存。").arg(id));
    EXPECT_EQ(f.book().GetCount(), 0);
}

TEST(ContactForm, DeleteAsksAndRemovesOnYesOnly)
{
    ContactFixture f;
    const int id = f.add(QStringLiteral("张三"), QStringLiteral("111"));
    ContactForm form(f.context, f.prompter);
    f.watch(form);
    EXPECT_FALSE(form.DeleteContact()); // a new contact: nothing to delete, nothing asked
    EXPECT_TRUE(f.prompter.shown().isEmpty());
    ASSERT_TRUE(form.LoadContact(id));
    f.prompter.queueAnswer(false);
    EXPECT_FALSE(form.DeleteContact());
    EXPECT_EQ(f.book().GetCount(), 1);
    ASSERT_EQ(f.prompter.shown().size(), 1);
    EXPECT_EQ(f.prompter.shown()[0].title, QStringLiteral("确认提示"));
    EXPECT_EQ(f.prompter.shown()[0].text, kDeleteQuestion);
    f.prompter.queueAnswer(true);
    EXPECT_TRUE(form.DeleteContact());
    EXPECT_EQ(f.book().GetCount(), 0);
    ASSERT_EQ(f.changes.size(), 1);
    EXPECT_FALSE(f.changes[0].first);
    EXPECT_EQ(int(f.changes[0].second.iid), id);
    EXPECT_TRUE(form.isNew());
    // The look-ups no longer find it.
    EXPECT_EQ(f.book().FindLastByName(QStringLiteral("张三")), nullptr);
}

TEST(ContactForm, CopyAndPasteLeaveTheCode)
{
    ContactFixture f;
    ContactForm form(f.context, f.prompter);
    EXPECT_FALSE(form.hasCopy());
    for (const ContactValues::Field &field : ContactValues::fields())
        form.values().*(field.value) = QString::fromLatin1(field.name);
    form.CopyAll();
    EXPECT_TRUE(form.hasCopy());
    form.NewContact();
    form.values().ccode = QStringLiteral("mine");
    form.PasteAll();
    for (const ContactValues::Field &field : ContactValues::fields()) {
        const QString expected = QString::fromLatin1(field.name) == QLatin1String("ccode")
                                     ? QStringLiteral("mine")
                                     : QString::fromLatin1(field.name);
        EXPECT_EQ(form.values().*(field.value), expected) << field.name;
    }
}

TEST(ContactForm, EnterInNameOrPhoneLoadsTheContact)
{
    ContactFixture f;
    const int id = f.add(QStringLiteral("张三"), QStringLiteral("02088886666"));
    ContactForm form(f.context, f.prompter);
    form.values().cname = QStringLiteral(" 张三 ");
    form.values().ccity = QStringLiteral("typed");
    EXPECT_TRUE(form.LookupName());
    EXPECT_EQ(form.iid(), id);
    EXPECT_EQ(form.values().cphone, QStringLiteral("02088886666"));
    EXPECT_TRUE(form.values().ccity.isEmpty());

    form.NewContact();
    form.values().cphone = QStringLiteral("02088886666");
    EXPECT_TRUE(form.LookupPhone());
    EXPECT_EQ(form.values().cname, QStringLiteral("张三"));

    // Nothing found: what was typed stays (trimmed), still a new contact.
    form.NewContact();
    form.values().cname = QStringLiteral("王五 ");
    form.values().ccity = QStringLiteral("北京");
    EXPECT_FALSE(form.LookupName());
    EXPECT_TRUE(form.isNew());
    EXPECT_EQ(form.values().cname, QStringLiteral("王五"));
    EXPECT_EQ(form.values().ccity, QStringLiteral("北京"));
    // An empty phone finds no contact when every contact has one.
    form.values().cphone.clear();
    EXPECT_FALSE(form.LookupPhone());
    EXPECT_TRUE(f.prompter.shown().isEmpty());
    // An empty name is refused by the name's own check.
    form.values().cname.clear();
    EXPECT_FALSE(form.LookupName());
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("[姓名]不得短于 1 字符。"));
}
