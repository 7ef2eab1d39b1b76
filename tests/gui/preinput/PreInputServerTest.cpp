#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "support/ScriptedFiles.h"
#include "support/UploadCounter.h"
#include "support/UploadWindow.h"
#include "upload/UploadController.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// The real pre-entry pane in the real frame with the upload controller, as
// the window puts them together, against a demo tarvo-server.
struct Counter : UploadWindow<CPreInputPane> {
    explicit Counter(UploadCounter &c)
        : UploadWindow(c, [](PageEnv &env, QWidget *parent) { return new CPreInputPane(env, parent); })
    {
    }

    int rowOf(int id) const { return page->list().FindRowById(id); }
};

} // namespace

TEST(PreInputServerGui, SelectedRowsAreUploadedAndTheListShowsEachResult)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    const QList<int> ids = c.addShipments({QStringLiteral("PA1000001"), QStringLiteral("PA1000002")});
    ASSERT_TRUE(c.server.setHooks("waybill=PA1000002 status -2"));
    Counter w(c);
    ASSERT_EQ(w.page->list().rowCount(), 2);
    w.page->SelectAll();

    w.frame->uploadButton()->trigger();
    UploadEnding ending{};
    ASSERT_TRUE(w.waitForEnd(ending));
    EXPECT_EQ(w.rowOf(ids[0]), -1) << "the accepted record left the list";
    const int refused = w.rowOf(ids[1]);
    ASSERT_GE(refused, 0);
    EXPECT_EQ(w.page->list().cell(refused, 2), QStringLiteral("单号重复"));
    EXPECT_EQ(w.page->list().row(refused).text, CPreInputPane::kRefusedText);
    EXPECT_EQ(w.page->captionText(), QStringLiteral("●预录未上传业务记录列表  共 1 条记录"));
    EXPECT_EQ(c.context.preInputs().GetCount(), 1);
    EXPECT_FALSE(w.frame->uploading());
}

TEST(PreInputServerGui, TidyAndPricingChangeTheRowsInPlace)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    const int provisional = c.addShipment(QStringLiteral("DE901230XXXXX"));
    const int noDestination = [&] {
        PreInputRecord r{};
        r.fweight = 1.0;
        Gbk::setField(r.cnum, QStringLiteral("PB1000002"));
        Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
        return c.addShipment(r, {}, {});
    }();
    Counter w(c);

    w.frame->execute(CmdTidyNumbers);
    const int row = w.rowOf(provisional);
    EXPECT_EQ(w.page->list().cell(row, 3), QStringLiteral("DE90123000101"));
    EXPECT_STREQ(c.context.preInputs().Find(provisional)->cnum, "DE90123000101");

    w.page->SelectAll();
    w.frame->execute(CmdPrice);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!c.context.session().uploadBusy())
            loop.quit();
    });
    poll.start(20);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
    EXPECT_FALSE(c.context.session().uploadBusy());
    EXPECT_GT(double(c.context.preInputs().Find(provisional)->ffee), 0.0);
    EXPECT_EQ(w.page->list().row(row).text, CPreInputPane::kPricedText);
    EXPECT_EQ(w.page->list().cell(row, 7),
              QString::number(double(c.context.preInputs().Find(provisional)->ffee), 'f', 2));
    const int other = w.rowOf(noDestination);
    EXPECT_NE(w.page->list().row(other).text, CPreInputPane::kPricedText) << "a record without destination stays";
    EXPECT_DOUBLE_EQ(double(c.context.preInputs().Find(noDestination)->ffee), 0.0);
}
