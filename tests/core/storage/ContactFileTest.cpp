#include "storage/ContactFile.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

using namespace quarvel;

namespace {

void add(ContactFile &f, const QString &code, const QString &name, const QString &phone = QString())
{
    ContactRecord c{};
    Gbk::setField(c.ccode, code);
    Gbk::setField(c.cname, name);
    Gbk::setField(c.cphone, phone);
    f.Append(&c);
}

QStringList names(const QList<const ContactRecord *> &results)
{
    QStringList out;
    for (const ContactRecord *r : results)
        out << Gbk::field(r->cname);
    return out;
}

class ContactFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(file.OpenRecords(root.file(QStringLiteral("rsdata.dat"))), 0);
        add(file, QStringLiteral("zs"), QStringLiteral("张三"), QStringLiteral("13800000001"));
        add(file, QStringLiteral("ls"), QStringLiteral("李四"), QStringLiteral("13800000002"));
        add(file, QStringLiteral("ZW"), QStringLiteral("王张伟"), QStringLiteral("0755123"));
        add(file, QStringLiteral("zsf"), QStringLiteral("张三丰"), QStringLiteral("13900000003"));
        add(file, QStringLiteral("abc"), QStringLiteral("Alice"), QString());
    }
    TempRoot root;
    ContactFile file;
};

} // namespace

TEST_F(ContactFileTest, LookupChoosesTheIndexByTheTypedText)
{
    // Lower-case letters: the code index, case-insensitively ("ZW" matches "z").
    EXPECT_EQ(names(file.LookupByCodeOrName(QStringLiteral("z"))),
              (QStringList{QStringLiteral("张三"), QStringLiteral("张三丰"), QStringLiteral("王张伟")}));
    // The list runs on from the first match through the index, like a browse list.
    EXPECT_EQ(names(file.LookupByCodeOrName(QStringLiteral("zsf"))),
              (QStringList{QStringLiteral("张三丰"), QStringLiteral("王张伟")}));
    // A Chinese beginning: the name index by prefix ...
    EXPECT_EQ(names(file.LookupByCodeOrName(QStringLiteral("张三"))),
              (QStringList{QStringLiteral("张三"), QStringLiteral("张三丰")}));
    // ... and names containing the text when none starts with it.
    EXPECT_EQ(names(file.LookupByCodeOrName(QStringLiteral("张伟"))), QStringList{QStringLiteral("王张伟")});
    // Upper case first letter: the name index.
    EXPECT_EQ(names(file.LookupByCodeOrName(QStringLiteral("Ali"))).first(), QStringLiteral("Alice"));
    EXPECT_EQ(file.LookupByCodeOrName(QStringLiteral("Ali")).size(), 5);
    // Twelve digits are too long for a code: the name index, then no name holds them.
    EXPECT_TRUE(file.LookupByCodeOrName(QStringLiteral("138000000012")).isEmpty());
    EXPECT_TRUE(file.LookupByCodeOrName(QString()).isEmpty());
    EXPECT_EQ(names(file.LookupByPhone(QStringLiteral("1380"))),
              (QStringList{QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("张三丰")}));
    EXPECT_TRUE(file.LookupByPhone(QStringLiteral("999")).isEmpty());
}

TEST_F(ContactFileTest, LookupReturnsAtMostFiveAndSeesNewRecords)
{
    for (int i = 0; i < 8; ++i)
        add(file, QStringLiteral("t%1").arg(i), QStringLiteral("T%1").arg(i));
    EXPECT_EQ(file.LookupByCodeOrName(QStringLiteral("t")).size(), 5);
    // 张三 is D5C5 C8FD in GBK, and C5C8 is 湃: a byte-wise search would find 湃
    // inside 张三. Matches count only at character boundaries.
    EXPECT_TRUE(file.LookupByCodeOrName(QStringLiteral("湃")).isEmpty());
}

TEST_F(ContactFileTest, FindLastAndCodeChecks)
{
    add(file, QStringLiteral("zs2"), QStringLiteral("张三"), QStringLiteral("13800000001"));
    EXPECT_EQ(file.FindLastByName(QStringLiteral("张三"))->iid, 6);
    EXPECT_EQ(file.FindLastByPhone(QStringLiteral("0755123"))->iid, 3);
    EXPECT_EQ(file.FindLastByName(QStringLiteral("张")), nullptr);

    EXPECT_EQ(file.IsCodeTaken(QString(), 0), 1);
    EXPECT_EQ(file.IsCodeTaken(QStringLiteral("zs"), 0), 1);
    EXPECT_EQ(file.IsCodeTaken(QStringLiteral("zs"), 1), 0) << "a record's own code";
    EXPECT_EQ(file.IsCodeTaken(QStringLiteral("zw"), 0), 0) << "exact comparison: ZW is another code";
    EXPECT_EQ(file.IsCodeTaken(QStringLiteral("ZW"), 0), 1);
    EXPECT_EQ(file.IsCodeTaken(QStringLiteral("nobody"), 0), 0);
}

TEST_F(ContactFileTest, UniqueCodesFromInitials)
{
    EXPECT_EQ(ContactFile::Initials(Gbk::fromUnicode(QStringLiteral("张三"))), QByteArray("zs"));
    EXPECT_EQ(ContactFile::Initials(Gbk::fromUnicode(QStringLiteral("A王b五"))), QByteArray("ww"));
    // Initials taken: zs0 next, then zs1 once zs0 is held too.
    EXPECT_EQ(file.MakeUniqueCode(QStringLiteral("张三")), QStringLiteral("zs0"));
    add(file, QStringLiteral("zs0"), QStringLiteral("赵松"));
    EXPECT_EQ(file.MakeUniqueCode(QStringLiteral("张三")), QStringLiteral("zs1"));
    EXPECT_EQ(file.MakeUniqueCode(QStringLiteral("陈")), QStringLiteral("c"));
    // Eleven initials: the digit replaces the last letter.
    const QString longName = QStringLiteral("张张张张张张张张张张张张");
    add(file, QStringLiteral("zzzzzzzzzzz"), longName);
    EXPECT_EQ(file.MakeUniqueCode(longName), QStringLiteral("zzzzzzzzzz0"));
    // Latin letters only: a random decimal code nobody holds.
    const QString random = file.MakeUniqueCode(QStringLiteral("Bob"));
    bool digits = false;
    random.toLongLong(&digits);
    EXPECT_TRUE(digits) << random.toStdString();
    EXPECT_EQ(file.IsCodeTaken(random, 0), 0);
}
