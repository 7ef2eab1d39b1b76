#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "net/LoginReply.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"
#include "upload/UploadRun.h"

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

QByteArray g(const char16_t *text)
{
    return Gbk::fromUnicode(QString::fromUtf16(text));
}

int addShipment(ClientContext &c, const char *number, bool withDestination)
{
    PreInputRecord r{};
    r.ddate = {2009, 1, 2};
    Gbk::setField(r.cnum, sizeof r.cnum, number);
    Gbk::setField(r.cemskind, sizeof r.cemskind, g(u"特快专递"));
    if (withDestination)
        Gbk::setField(r.cdes, sizeof r.cdes, g(u"北京"));
    c.preInputs().Append(&r);
    return r.iid;
}

} // namespace

TEST(UploadPrepare, CompletesProvisionalNumbersOfRecordsThatWillBeSent)
{
    TempRoot root;
    ScriptedPrompter prompter;
    ClientContext c(root.path());
    ASSERT_TRUE(c.Start(prompter));
    c.baseData().parse("xN\nEMB\nTK\t" + g(u"特快专递") + "\n\nEME\n\a");
    c.session().applyLogin(LoginReply::parse("0,42,7001,1"), QStringLiteral("a"), QStringLiteral("p"));
    const int sent = addShipment(c, "2009XXXXX", true);
    const int lower = addShipment(c, "2009xxXxx", true);
    const int refused = addShipment(c, "2009XXXXX", false);

    UploadRun run(c, UploadKind::Shipments);
    const QList<WaybillTidy::Change> changes = run.Prepare({sent, lower, refused, 999});
    EXPECT_EQ(run.total(), 4);
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0].id, sent);
    EXPECT_EQ(changes[0].number, QStringLiteral("200900042"));
    EXPECT_EQ(Gbk::field(c.preInputs().Find(sent)->cnum), QStringLiteral("200900042"));
    EXPECT_EQ(Gbk::field(c.preInputs().Find(lower)->cnum), QStringLiteral("200900042"));
    EXPECT_EQ(Gbk::field(c.preInputs().Find(refused)->cnum), QStringLiteral("2009XXXXX"))
        << "a record that cannot be sent keeps its number";
    EXPECT_FALSE(c.session().uploadBusy());
}
