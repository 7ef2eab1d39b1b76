#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "support/ScriptedFiles.h"
#include "support/UploadCounter.h"
#include "upload/UploadController.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// The real pre-entry pane in the real frame with the upload controller, as
// the window puts them together, against a demo tarvo-server.
struct Counter {
    explicit Counter(UploadCounter &c) : counter(c)
    {
        auto *view = new CTarvoClientView([this](int, QWidget *parent) {
            pane = new CPreInputPane(env, parent);
            return pane;
        });
        frame = std::make_unique<CMainFrame>(view, c.prompter);
        CMainFrame::SessionView s;
        s.loggedIn = [&c] { return c.context.session().loggedIn(); };
        s.ensureLoggedIn = [&c] { return c.context.session().loggedIn(); };
        frame->setSessionView(s);
        view->ShowPage(0);
        controller = std::make_unique<UploadController>(c.context, *frame);
        controller->registerPage(0, UploadKind::Shipments, pane);
        controller->attach();
    }

    int rowOf(int id) const { return pane->list().FindRowById(id); }

    bool waitForUploadEnd()
    {
        QEventLoop loop;
        bool fired = false;
        QObject::connect(controller.get(), &UploadController::ended, &loop, [&] {
            fired = true;
            loop.quit();
        });
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        loop.exec();
        return fired;
    }

    UploadCounter &counter;
    ScriptedFiles files;
    PageEnv env{counter.context, counter.prompter, files, {}};
    CPreInputPane *pane = nullptr;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<UploadController> controller;
};

} // namespace

TEST(PreInputServerGui, SelectedRowsAreUploadedAndTheListShowsEachResult)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    const QList<int> ids = c.addShipments({QStringLiteral("PA1000001"), QStringLiteral("PA1000002")});
    ASSERT_TRUE(c.server.setHooks("waybill=PA1000002 status -2"));
    Counter w(c);
    ASSERT_EQ(w.pane->list().rowCount(), 2);
    w.pane->SelectAll();

    w.frame->uploadButton()->trigger();
    ASSERT_TRUE(w.waitForUploadEnd());
    EXPECT_EQ(w.rowOf(ids[0]), -1) << "the accepted record left the list";
    const int refused = w.rowOf(ids[1]);
    ASSERT_GE(refused, 0);
    EXPECT_EQ(w.pane->list().cell(refused, 2), QStringLiteral("单号重复"));
    EXPECT_EQ(w.pane->list().row(refused).text, CPreInputPane::kRefusedText);
    EXPECT_EQ(w.pane->captionText(), QStringLiteral("●预录未上传业务记录列表  共 1 条记录"));
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
    EXPECT_EQ(w.pane->list().cell(row, 3), QStringLiteral("DE90123000101"));
    EXPECT_STREQ(c.context.preInputs().Find(provisional)->cnum, "DE90123000101");

    w.pane->SelectAll();
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
    EXPECT_EQ(w.pane->list().row(row).text, CPreInputPane::kPricedText);
    EXPECT_EQ(w.pane->list().cell(row, 7),
              QString::number(double(c.context.preInputs().Find(provisional)->ffee), 'f', 2));
    const int other = w.rowOf(noDestination);
    EXPECT_NE(w.pane->list().row(other).text, CPreInputPane::kPricedText) << "a record without destination stays";
    EXPECT_DOUBLE_EQ(double(c.context.preInputs().Find(noDestination)->ffee), 0.0);
}
