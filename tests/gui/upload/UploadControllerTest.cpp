#include "upload/UploadController.h"
#include "listpane/CRecordListPane.h"
#include "query/CQuoteDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "shell/FrameTexts.h"
#include "support/ScriptedFiles.h"
#include "support/UploadCounter.h"
#include "support/UploadWindow.h"
#include "upload/UploadResultSink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHeaderView>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace quarvel;

namespace {

// A page that hands over fixed ids and keeps what the controller tells it.
class FakeUploadPage : public CRecordListPane, public UploadResultSink {
public:
    explicit FakeUploadPage(PageEnv &env) : CRecordListPane(env, QStringLiteral("测试"))
    {
        mutableFlags().canUpload = true;
    }
    int CollectUploadIds(QList<int> &selected) override
    {
        selected = ids;
        return static_cast<int>(selected.size());
    }
    void applyUploadResult(int id, int status, bool removed, const QString &text) override
    {
        (removed ? removedIds : refused) << id;
        if (!removed)
            texts << text;
        lastStatus = status;
    }
    void applyWaybillNumber(int id, const QString &number) override
    {
        numbers << QStringLiteral("%1=%2").arg(id).arg(number);
    }
    void uploadEnded() override { ++ends; }

    QList<int> ids;
    QList<int> removedIds;
    QList<int> refused;
    QStringList texts;
    QStringList numbers;
    int lastStatus = 0;
    int ends = 0;
};

struct Window : UploadWindow<FakeUploadPage> {
    explicit Window(UploadCounter &c)
        : UploadWindow(c, [](PageEnv &env, QWidget *parent) {
              auto *page = new FakeUploadPage(env);
              page->setParent(parent);
              return page;
          })
    {
    }
};

} // namespace

TEST(UploadControllerGui, TheFrameRunsAnUploadToItsEnd)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    Window w(c);
    const QList<int> ids =
        c.addShipments({QStringLiteral("GA1XXXXX"), QStringLiteral("D1010000001"), QStringLiteral("GA3")});
    w.page->ids = ids;
    w.frame->execute(CmdUpload);
    EXPECT_TRUE(w.frame->uploading());
    EXPECT_TRUE(c.context.session().uploadBusy());
    EXPECT_FALSE(w.controller->start(0, ids)) << "one upload at a time";

    UploadEnding ending{};
    ASSERT_TRUE(w.waitForEnd(ending));
    EXPECT_EQ(w.page->numbers, QStringList{QStringLiteral("%1=GA100101").arg(ids[0])})
        << "the number completed as the record was sent";
    EXPECT_EQ(ending, UploadEnding::AllSent);
    EXPECT_FALSE(w.frame->uploading());
    EXPECT_FALSE(c.context.session().uploadBusy());
    EXPECT_EQ(w.frame->operationText(), QStringLiteral("共 3 条，已处理 3 条(100%)。2 成功; 1 失败。"));
    EXPECT_EQ(w.page->removedIds, (QList<int>{ids[0], ids[2]}));
    EXPECT_EQ(w.page->refused, QList<int>{ids[1]});
    EXPECT_EQ(w.page->texts, QStringList{QStringLiteral("单号重复")});
    EXPECT_EQ(w.page->ends, 1);
    EXPECT_EQ(c.context.preInputs().GetCount(), 1);
}

TEST(UploadControllerGui, StoppedFromTheToolbarAndEndedByAFailure)
{
    UploadCounter c;
    ASSERT_TRUE(c.ready());
    Window w(c);
    ASSERT_TRUE(c.server.setHooks("waybill=GB2 times=1 stall 60"));
    w.page->ids = c.addShipments({QStringLiteral("GB1"), QStringLiteral("GB2"), QStringLiteral("GB3")});
    w.frame->execute(CmdUpload);
    ASSERT_TRUE(c.waitUntilHooksTaken(10000, [] { QCoreApplication::processEvents(); }));
    c.prompter.queueAnswer(true);
    w.frame->execute(CmdUploadFrame0);
    EXPECT_EQ(c.prompter.lastText(), QStringLiteral("正在上传数据！\r\n━━━━━━━━━━━━\r\n现在终止上传吗？请确认！"));
    ASSERT_TRUE(c.server.setHooks("clear"));
    UploadEnding ending{};
    ASSERT_TRUE(w.waitForEnd(ending));
    EXPECT_EQ(ending, UploadEnding::Cancelled);
    EXPECT_EQ(w.frame->operationText(), QStringLiteral("共 3 条，已处理 2 条(66%)。2 成功; 0 失败。终止传送"));
    EXPECT_FALSE(w.frame->uploading());

    // The server is gone: the run still ends and the frame with it.
    c.server.kill();
    w.page->ids = {w.page->ids.last()};
    w.frame->execute(CmdUpload);
    ASSERT_TRUE(w.waitForEnd(ending));
    EXPECT_EQ(ending, UploadEnding::TransportFailed);
    EXPECT_EQ(w.frame->operationText(), QStringLiteral("服务器连接失败。"));
    EXPECT_FALSE(w.frame->uploading());
    EXPECT_FALSE(c.context.session().uploadBusy());
    EXPECT_EQ(c.context.preInputs().GetCount(), 1);
}

TEST(QuoteDialogGui, ColumnsAndRows)
{
    CQuoteDlg dlg(QStringLiteral("客户报价查询结果[北京,1.200kg,包裹]"),
                  {{QStringLiteral("特快专递"), QStringLiteral("26.00"), QStringLiteral("预计 2 - 3 天")},
                   {QStringLiteral("经济快递"), QStringLiteral("13.50"), QString()}});
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("客户报价查询结果[北京,1.200kg,包裹]"));
    QTreeWidget &list = dlg.list();
    EXPECT_EQ(list.headerItem()->text(0), QStringLiteral("快递类别"));
    EXPECT_EQ(list.headerItem()->text(2), QStringLiteral("备注"));
    EXPECT_EQ(list.columnWidth(0), 110);
    EXPECT_EQ(list.columnWidth(1), 80);
    EXPECT_EQ(list.columnWidth(2), 200);
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(1), QStringLiteral("26.00"));
    EXPECT_TRUE(list.topLevelItem(0)->textAlignment(1) & Qt::AlignRight);
    EXPECT_EQ(list.topLevelItem(1)->text(2), QString());
}
