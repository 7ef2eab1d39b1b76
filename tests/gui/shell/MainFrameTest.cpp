#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "listpane/CRecordListPane.h"
#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "shell/ClientProgram.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "support/ScriptedFiles.h"
#include "support/TempRoot.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

using namespace quarvel;

namespace {

// A page that can upload, for the frame's upload command.
class UploadingPage : public CRecordListPane {
public:
    UploadingPage(PageEnv &env, QList<int> ids) : CRecordListPane(env, QStringLiteral("测试")), ids_(std::move(ids))
    {
        mutableFlags().canUpload = true;
    }
    int CollectUploadIds(QList<int> &ids) override
    {
        ids = ids_;
        return static_cast<int>(ids.size());
    }

private:
    QList<int> ids_;
};

struct Fixture {
    TempRoot root;
    ClientContext context{root.path()};
    ScriptedPrompter prompter;
    ScriptedFiles files;
    PageEnv env{context, prompter, files, {}};
};

} // namespace

TEST(ClientStartupGui, StopsWithTheFixedMessagesBeforeAnyWindow)
{
    Fixture f;
    // A plain file where the root folder should be: nothing can be made in it.
    f.root.write(QStringLiteral("notafolder"), "x");
    ClientProgram refused(f.root.file(QStringLiteral("notafolder")), f.prompter, f.files);
    EXPECT_FALSE(refused.InitInstance(false));
    EXPECT_EQ(refused.frame(), nullptr);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("创建数据目录失败!"));

    ClientWindow first(ClientWindow::Options{false, false, false, 5000, {}});
    ASSERT_TRUE(first.started());
    EXPECT_EQ(first.frame().windowTitle(), QStringLiteral("Quarvel-客户端 - 离线状态"));
    EXPECT_EQ(first.view().currentIndex(), 0);

    // A second copy on the same folder stops at the first record file.
    ClientProgram second(first.root.path(), f.prompter, f.files);
    EXPECT_FALSE(second.InitInstance(false));
    EXPECT_EQ(f.prompter.lastText(),
              QStringLiteral("收/发件人数据文件打开失败\r\n请检查是否共享冲突!\r\n程序将不会被启动！\r\n"));
}

TEST(ClientStartupGui, FirstNewRecordCarriesTheDefaultSender)
{
    ClientWindow w(ClientWindow::Options{false, false, false, 5000, [](TempRoot &root) {
                                             ProgramSettings settings;
                                             settings.senderName = QStringLiteral("张三");
                                             settings.origin = QStringLiteral("深圳");
                                             ASSERT_TRUE(settings.Save(root.file(QStringLiteral("prgset.dat"))));
                                         }});
    ASSERT_TRUE(w.started());
    auto *pane = dynamic_cast<CPreInputPane *>(w.view().currentPage());
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->page().form().values().csender, QStringLiteral("张三"));
    EXPECT_EQ(pane->page().form().values().cfrom, QStringLiteral("深圳"));
}

TEST(MainFrameGui, PagesAreMadeOnFirstUseAndCommandsFollowThePage)
{
    Fixture f;
    ASSERT_TRUE(f.context.Start(f.prompter));
    int made = 0;
    auto *view = new CTarvoClientView([&](int index, QWidget *parent) {
        ++made;
        auto *page = new CRecordListPane(f.env, PageCatalog::Title(index), parent);
        page->list().setColumns(PageCatalog::Columns(index));
        return page;
    });
    CMainFrame frame(view, f.prompter);
    EXPECT_EQ(view->currentPage(), nullptr);
    EXPECT_FALSE(frame.isCommandEnabled(CmdSave)) << "no page showing";

    frame.execute(CmdShowPreInput);
    frame.execute(CmdShowContacts);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(view->currentIndex(), 3);
    EXPECT_TRUE(frame.action(CmdShowContacts)->isChecked());
    EXPECT_FALSE(frame.action(CmdShowPreInput)->isChecked());
    CRecordListPane *contacts = view->currentPage();
    frame.execute(CmdShowContacts);
    EXPECT_EQ(view->currentPage(), contacts);
    frame.execute(CmdShowPreInput);
    EXPECT_EQ(made, 2) << "a page already made is only shown";
    EXPECT_EQ(view->currentPage()->captionText(), QStringLiteral("●预录未上传业务记录列表  共 0 条记录"));

    // Commands of parts not yet built stay off; once available they follow the page.
    EXPECT_FALSE(frame.isCommandEnabled(CmdPrintWaybills));
    frame.setPageCommandAvailable(CmdPrintWaybills, true);
    EXPECT_TRUE(frame.isCommandEnabled(CmdPrintWaybills));
    frame.execute(CmdShowRecordCheck);
    EXPECT_TRUE(frame.action(CmdPrintWaybills)->isEnabled());
    frame.execute(CmdShowScan);
    EXPECT_FALSE(frame.action(CmdPrintWaybills)->isEnabled());
    EXPECT_FALSE(frame.isCommandEnabled(CmdLogin)) << "no login handler yet";
    frame.setHandler(CmdLogin, [] {});
    EXPECT_TRUE(frame.action(CmdLogin)->isEnabled());

    // Toolbar buttons carry the short names; the animation buttons are hidden.
    QToolButton *scan = qobject_cast<QToolButton *>(frame.toolBar().widgetForAction(frame.action(CmdShowScan)));
    ASSERT_NE(scan, nullptr);
    EXPECT_EQ(scan->text(), QStringLiteral("检查"));
    EXPECT_EQ(scan->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_FALSE(frame.action(CmdUploadFrame2)->isVisible());

    // The clock pane shows the time with the English weekday.
    frame.Tick();
    bool clockFound = false;
    for (QLabel *label : frame.statusBar()->findChildren<QLabel *>())
        clockFound |= QRegularExpression(QStringLiteral("^\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d "
                                                        "(Sun|Mon|Tue|Wed|Thur|Fri|Sat)\\.$"))
                          .match(label->text())
                          .hasMatch();
    EXPECT_TRUE(clockFound);
}

TEST(MainFrameGui, UploadNeedsSelectedRowsAndCanBeStopped)
{
    Fixture f;
    ASSERT_TRUE(f.context.Start(f.prompter));
    QList<int> collected;
    auto *view = new CTarvoClientView([&](int, QWidget *parent) {
        auto *page = new UploadingPage(f.env, collected);
        page->setParent(parent);
        return page;
    });
    CMainFrame frame(view, f.prompter);
    CMainFrame::SessionView session;
    session.ensureLoggedIn = [] { return true; };
    frame.setSessionView(session);
    QList<int> started;
    frame.setUploadStarter([&](int, const QList<int> &ids) {
        started = ids;
        return true;
    });
    int stops = 0;
    frame.setUploadStopper([&] { ++stops; });
    frame.execute(CmdShowPreInput);

    frame.execute(CmdUpload);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("没有选择需要上传的数据！"));
    EXPECT_FALSE(frame.uploading());
    EXPECT_TRUE(started.isEmpty());

    collected = {4, 7};
    frame.execute(CmdShowScan);
    frame.execute(CmdUpload);
    EXPECT_EQ(started, (QList<int>{4, 7}));
    ASSERT_TRUE(frame.uploading());
    EXPECT_EQ(frame.uploadButton()->iconText(), QStringLiteral("在传"));
    EXPECT_FALSE(frame.action(CmdUpload)->isEnabled()) << "the menu entry is off while an upload runs";
    frame.Tick();
    frame.Tick();
    EXPECT_EQ(frame.animationFrame(), 2);

    f.prompter.queueAnswer(false);
    frame.uploadButton()->trigger();
    EXPECT_EQ(f.prompter.shown().last().title, QStringLiteral("终止上传确认提示"));
    EXPECT_EQ(stops, 0);
    frame.execute(CmdUploadFrame3);
    EXPECT_EQ(stops, 1);
    frame.SetUploading(false);
    EXPECT_EQ(frame.uploadButton()->iconText(), QStringLiteral("上传"));
}

TEST(RecordListPaneGui, RemovingARowAsksAndExportWritesTheTextFile)
{
    Fixture f;
    CRecordListPane pane(f.env, QStringLiteral("●业务记录列表"));
    pane.list().setColumns({{QStringLiteral("序号"), 50, ListColumn::Align::Left},
                            {QStringLiteral("运单号"), 100, ListColumn::Align::Left},
                            {QStringLiteral("重量"), 60, ListColumn::Align::Right}});
    pane.list().setTotalsRow(true);
    std::vector<RecordListModel::Row> rows(2);
    rows[0].id = 9;
    rows[0].cells = {QString(), QStringLiteral("0012\t3"), QStringLiteral("1.250")};
    rows[1].cells = {QString(), QString(), QStringLiteral("1.250")};
    pane.list().setRows(std::move(rows));
    pane.listCtrl().SetMenuItems({QStringLiteral("查看"), QStringLiteral("标记"), QStringLiteral("移去")});
    EXPECT_EQ(pane.captionText(), QStringLiteral("●业务记录列表  共 2 条记录"));

    f.files.saveName = f.root.file(QStringLiteral("list"));
    f.files.saveFilter = 1;
    ASSERT_TRUE(pane.ExportList(QStringLiteral("快件记录清单")));
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("文件已经保存。"));
    const QByteArray bytes = f.root.read(QStringLiteral("list.txt"));
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.at(0), QStringLiteral("快件记录清单"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(lines.at(1))
                    .hasMatch());
    EXPECT_EQ(lines.at(3), QStringLiteral("序号\t运单号\t重量\t"));
    EXPECT_EQ(lines.at(4), QStringLiteral("1\t0012 3\t1.250\t"));
    EXPECT_EQ(lines.at(5), QStringLiteral("合计\t\t1.250\t"));

    f.prompter.queueAnswer(false);
    pane.listCtrl().chooseMenuEntry(CRecordListCtrl::kRemoveEntry, 0);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("移去所选列表项(1)，请确认！"));
    EXPECT_EQ(pane.list().rowCount(), 2);
    pane.listCtrl().chooseMenuEntry(CRecordListCtrl::kRemoveEntry, 0);
    EXPECT_EQ(pane.list().rowCount(), 1);
    EXPECT_EQ(pane.list().cell(0, 2), QStringLiteral("0.00")) << "more than one decimal is written with two";
    EXPECT_EQ(pane.captionText(), QStringLiteral("●业务记录列表  共 1 条记录"));

    int chosenId = 0;
    QObject::connect(&pane.listCtrl(), &CRecordListCtrl::menuChosen, [&](int, int id) { chosenId = id; });
    pane.list().insertRow(0, RecordListModel::Row{5, {QString(), QStringLiteral("A"), QStringLiteral("1")}});
    pane.listCtrl().chooseMenuEntry(1, 0);
    EXPECT_EQ(chosenId, 5);
}

TEST(RecordListPaneGui, HeaderClicksSortAndKeepTheTotalsRowLast)
{
    Fixture f;
    CRecordListPane pane(f.env, QStringLiteral("●业务记录列表"));
    pane.list().setColumns({{QStringLiteral("序号"), 50, ListColumn::Align::Left},
                            {QStringLiteral("运单号"), 100, ListColumn::Align::Left},
                            {QStringLiteral("件数"), 60, ListColumn::Align::Right}});
    pane.list().setTotalsRow(true);
    std::vector<RecordListModel::Row> rows(4);
    const QStringList numbers{QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("2")};
    for (int i = 0; i < 3; ++i)
        rows[std::size_t(i)].cells = {QString(), numbers[i], numbers[i]};
    rows[3].cells = {QString(), QString(), QStringLiteral("21")};
    pane.list().setRows(std::move(rows));
    pane.resize(600, 400);
    pane.show();
    QHeaderView *header = pane.listCtrl().horizontalHeader();
    const auto click = [header](int column) {
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &press);
        QApplication::sendEvent(header->viewport(), &release);
    };
    const auto column = [&pane](int c) {
        QStringList out;
        for (int r = 0; r < pane.list().rowCount(); ++r)
            out << pane.list().cell(r, c);
        return out;
    };
    click(2);
    EXPECT_EQ(column(2),
              (QStringList{QStringLiteral("2"), QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("21")}));
    click(2);
    EXPECT_EQ(column(2),
              (QStringList{QStringLiteral("10"), QStringLiteral("9"), QStringLiteral("2"), QStringLiteral("21")}));
    click(1);
    EXPECT_EQ(column(1), (QStringList{QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("9"), QString()}))
        << "a left-aligned column sorts as text";
    EXPECT_EQ(column(0),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("合计")}));
    click(0);
    EXPECT_EQ(column(1), (QStringList{QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("9"), QString()}))
        << "the number column does not sort";
}
