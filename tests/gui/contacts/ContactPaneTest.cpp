#include "OfficeEngine.h"
#include "contacts/CContactPage.h"
#include "contacts/CContactPane.h"
#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "sheetimport/CImportSummaryDlg.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using namespace quarvel;

namespace {

ClientWindow::Options offline()
{
    ClientWindow::Options o;
    o.server = false;
    return o;
}

// Sends a key to whichever widget of the window has the keyboard.
void press(QWidget *any, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = any->window()->focusWidget() ? any->window()->focusWidget() : any;
    QKeyEvent override(QEvent::ShortcutOverride, key, modifiers);
    QCoreApplication::sendEvent(target, &override);
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &up);
}

void typeField(CContactPage &page, const char *field, const QString &text)
{
    QWidget *w = page.control(QString::fromLatin1(field));
    w->setFocus();
    if (auto *box = qobject_cast<QPlainTextEdit *>(w))
        box->setPlainText(text);
    else
        typeInto(w, text);
}

QString fieldText(CContactPage &page, const char *field)
{
    QWidget *w = page.control(QString::fromLatin1(field));
    if (auto *box = qobject_cast<QPlainTextEdit *>(w))
        return box->toPlainText();
    return qobject_cast<QLineEdit *>(w)->text();
}

CImportSummaryDlg *summary()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<CImportSummaryDlg *>(w); d && d->isVisible())
            return d;
    return nullptr;
}

// A contact sheet of `rows` data rows, saved by the office as .xlsx.
QString contactSheet(const QString &path, int rows)
{
    QList<QList<QVariant>> cells{
        {QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址"), QStringLiteral("城市")}};
    for (int i = 1; i <= rows; ++i)
        cells.append({QStringLiteral("客户%1").arg(i), QStringLiteral("0%1").arg(2000000000 + i),
                      QStringLiteral("上海市浦东新区世纪大道%1号").arg(i), QStringLiteral("上海")});
    QString error;
    auto document = OfficeEngine::processEngine().create(path, &error);
    EXPECT_TRUE(document) << error.toStdString();
    if (!document)
        return QString();
    EXPECT_TRUE(document->setBlock(1, 1, cells));
    EXPECT_TRUE(document->save(path));
    document->close();
    return path;
}

} // namespace

TEST(ContactPaneGui, SaveLookUpOnEnterAndDelete)
{
    // Shown, so that Enter finds the next field to move to.
    ClientWindow::Options o = offline();
    o.show = true;
    ClientWindow w(o);
    ASSERT_TRUE(w.started());
    auto *pane = w.showPage<CContactPane>(PageCatalog::Contacts);
    ASSERT_NE(pane, nullptr);
    CContactPage &page = pane->page();
    EXPECT_TRUE(pane->isVisible());
    EXPECT_EQ(page.titleLabel()->text(), QStringLiteral("添加新收/发件人信息记录"));
    EXPECT_TRUE(w.action(CmdImport)->isEnabled());

    typeField(page, "ccode", QStringLiteral("ZS"));
    typeField(page, "cname", QStringLiteral("张三"));
    typeField(page, "cphone", QStringLiteral("02088886666"));
    typeField(page, "caddr", QStringLiteral("广州市天河区天河路100号"));
    typeField(page, "ccity", QStringLiteral("广州"));
    press(&page, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(w.context().contacts().GetCount(), 1) << w.prompter.lastText().toStdString();
    ASSERT_EQ(pane->list().rowCount(), 1);
    EXPECT_EQ(pane->list().cell(0, 1), QStringLiteral("zs"));
    EXPECT_EQ(pane->list().cell(0, 2), QStringLiteral("张三"));
    EXPECT_EQ(pane->list().cell(0, 5), QStringLiteral("02088886666"));
    EXPECT_EQ(pane->list().cell(0, 7), QStringLiteral("广州"));
    EXPECT_EQ(pane->captionText(), QStringLiteral("●收/发件人记录列表  共 1 条记录"));
    EXPECT_TRUE(fieldText(page, "cname").isEmpty());

    // A second contact through the menu command; an empty code is made from the name.
    typeField(page, "cname", QStringLiteral("赵四"));
    typeField(page, "cphone", QStringLiteral("13800138000"));
    typeField(page, "caddr", QStringLiteral("北京市朝阳区建国路1号"));
    w.action(CmdSave)->trigger();
    ASSERT_EQ(pane->list().rowCount(), 2);
    EXPECT_EQ(pane->list().cell(1, 1), QStringLiteral("zs0"));

    // Enter in the name field loads the contact and moves on to the phone.
    typeField(page, "ccity", QStringLiteral("typed"));
    typeField(page, "cname", QStringLiteral("张三"));
    press(&page, Qt::Key_Return);
    EXPECT_EQ(page.titleLabel()->text(), QStringLiteral("修改信息记录:1"));
    EXPECT_EQ(fieldText(page, "cphone"), QStringLiteral("02088886666"));
    EXPECT_EQ(fieldText(page, "ccity"), QStringLiteral("广州"));
    EXPECT_EQ(page.window()->focusWidget(), page.control(QStringLiteral("cphone")));
    EXPECT_TRUE(w.action(CmdDelete)->isEnabled()) << "the contact shown can be deleted";

    // Enter in the phone field does the same by phone, then on to the company.
    w.action(CmdNew)->trigger();
    typeField(page, "cphone", QStringLiteral("13800138000"));
    press(&page, Qt::Key_Return);
    EXPECT_EQ(fieldText(page, "cname"), QStringLiteral("赵四"));
    EXPECT_EQ(page.window()->focusWidget(), page.control(QStringLiteral("ccorp")));

    // Renaming it to the first contact's name is refused, with nothing changed.
    page.edit(QStringLiteral("cname"))->setText(QStringLiteral("张三"));
    w.action(CmdSave)->trigger();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("相同姓名的记录已经存在。"));
    EXPECT_EQ(pane->list().cell(1, 2), QStringLiteral("赵四"));

    // Delete asks; No keeps the contact, Yes removes it and its row.
    w.prompter.queueAnswer(false);
    w.action(CmdDelete)->trigger();
    EXPECT_EQ(w.context().contacts().GetCount(), 2);
    w.prompter.queueAnswer(true);
    w.action(CmdDelete)->trigger();
    EXPECT_EQ(w.prompter.shown().last().title, QStringLiteral("确认提示"));
    EXPECT_EQ(w.context().contacts().GetCount(), 1);
    ASSERT_EQ(pane->list().rowCount(), 1);
    EXPECT_EQ(pane->list().cell(0, 2), QStringLiteral("张三"));
    EXPECT_EQ(page.titleLabel()->text(), QStringLiteral("添加新收/发件人信息记录"));
    EXPECT_FALSE(w.action(CmdDelete)->isEnabled());

    // Choosing a row loads it.
    pane->OpenRow(0);
    EXPECT_EQ(fieldText(page, "caddr"), QStringLiteral("广州市天河区天河路100号"));
    EXPECT_TRUE(w.action(CmdDelete)->isEnabled());
}

TEST(ContactPaneGui, ListIsFilledOnceFromTheAddressBook)
{
    ClientWindow::Options o = offline();
    o.prepare = [](TempRoot &root) {
        ClientContext context(root.path());
        ScriptedPrompter prompter;
        ASSERT_TRUE(context.Start(prompter));
        for (const char16_t *name : {u"甲", u"乙", u"丙"}) {
            ContactRecord c{};
            Gbk::setField(c.cname, QString::fromUtf16(name));
            Gbk::setField(c.caddr, QStringLiteral("某地某街某号"));
            context.contacts().Append(&c);
        }
        context.Shutdown();
    };
    ClientWindow w(o);
    ASSERT_TRUE(w.started());
    auto *pane = w.showPage<CContactPane>(PageCatalog::Contacts);
    ASSERT_EQ(pane->list().rowCount(), 3);
    EXPECT_EQ(pane->list().cell(2, 0), QStringLiteral("3"));
    EXPECT_EQ(pane->list().cell(2, 2), QStringLiteral("丙"));
}

TEST(ContactPaneGui, ImportShowsProgressCanBeStoppedAndEndsWithASummary)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    auto *pane = w.showPage<CContactPane>(PageCatalog::Contacts);
    w.files.openName = contactSheet(w.root.file(QStringLiteral("客户.xlsx")), 400);
    ASSERT_FALSE(w.files.openName.isEmpty());

    // The progress dialog appears; its stop button ends the import between rows.
    // The watch runs at every pass of the events the dialog lets through, so a
    // fast machine cannot write all rows between two looks.
    int shownMaximum = 0;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget *top : QApplication::topLevelWidgets())
            for (auto *progress : top->findChildren<QProgressDialog *>())
                if (progress->isVisible() && progress->value() >= 150) {
                    shownMaximum = progress->maximum();
                    progress->cancel();
                }
    });
    watch.start();
    w.action(CmdImport)->trigger();
    watch.stop();
    EXPECT_EQ(shownMaximum, 401);
    CImportSummaryDlg *dialog = summary();
    ASSERT_NE(dialog, nullptr);
    const int written = w.context().contacts().GetCount();
    EXPECT_GE(written, 149);
    EXPECT_LT(written, 400);
    EXPECT_EQ(pane->list().rowCount(), written);
    EXPECT_EQ(dialog->messageLabel()->text(),
              QStringLiteral("导入已停止,第%1行及以后的行没有导入。\n此前写入的%2条记录已保存。")
                  .arg(written + 2)
                  .arg(written));

    // The summary saves as text.
    w.files.saveName = w.root.file(QStringLiteral("结果"));
    ASSERT_TRUE(dialog->SaveAsText());
    QFile saved(w.root.file(QStringLiteral("结果.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(saved.readAll()).contains(QStringLiteral("导入已停止")));
    dialog->close();

    // The same sheet again: the rows already in skip as known names, the rest come in.
    w.action(CmdImport)->trigger();
    dialog = summary();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->messageLabel()->text(),
              QStringLiteral("本次导入共成功写入%1条名录。表中数据400行(第2行至第401行):"
                             "完整写入%1条,不完整写入0条,跳过%2行,空行0行。")
                  .arg(400 - written)
                  .arg(written));
    EXPECT_EQ(dialog->table()->rowCount(), written);
    EXPECT_EQ(dialog->table()->item(0, 3)->text(), QStringLiteral("名录中已有此姓名"));
    EXPECT_EQ(w.context().contacts().GetCount(), 400);
    EXPECT_EQ(pane->list().rowCount(), 400);
    EXPECT_EQ(pane->list().cell(399, 2), QStringLiteral("客户400"));
    EXPECT_EQ(pane->list().cell(0, 5), QStringLiteral("02000000001"));
    dialog->close();
}

TEST(ContactPaneGui, HeaderButtonsWriteToTheDesktopElseToDataTemp)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Desktop")));

    auto *contacts = w.showPage<CContactPane>(PageCatalog::Contacts);
    contacts->page().exportHeaderButton()->click();
    const QString onDesktop = QDir(home.path()).filePath(QStringLiteral("Desktop/名录格式.xls"));
    EXPECT_TRUE(QFileInfo::exists(onDesktop)) << w.prompter.lastText().toStdString();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("文件保存在:\r\n") + onDesktop);

    // Without a desktop folder the file goes to DATA_TEMP.
    QFile::remove(onDesktop);
    ASSERT_TRUE(QDir(home.path()).rmdir(QStringLiteral("Desktop")));
    auto *records = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    EXPECT_TRUE(w.action(CmdImport)->isEnabled());
    emit records->page().headerExportRequested();
    const QString inTemp = w.root.file(QStringLiteral("DATA_TEMP/预录单格式.xls"));
    EXPECT_TRUE(QFileInfo::exists(inTemp)) << w.prompter.lastText().toStdString();
    EXPECT_EQ(w.prompter.lastText(), QStringLiteral("文件保存在:\r\n") + inTemp);
    qputenv("HOME", oldHome);
}

TEST(ContactPaneGui, PreEntryImportAddsItsRows)
{
    ClientWindow w(offline());
    ASSERT_TRUE(w.started());
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    const QString path = w.root.file(QStringLiteral("预录.xlsx"));
    QString error;
    auto document = OfficeEngine::processEngine().create(path, &error);
    ASSERT_TRUE(document) << error.toStdString();
    document->setBlock(1, 1,
                       {{QStringLiteral("运单号"), QStringLiteral("目的地"), QStringLiteral("网络渠道")},
                        {QStringLiteral("AB0000001"), QStringLiteral("北京"), QStringLiteral("特快")},
                        {QStringLiteral("AB0000002"), QStringLiteral("上海"), QStringLiteral("特快")}});
    ASSERT_TRUE(document->save(path));
    document->close();
    w.files.openName = path;
    w.action(CmdImport)->trigger();
    CImportSummaryDlg *dialog = summary();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->messageLabel()->text(),
              QStringLiteral("本次导入共成功写入2条预录单记录。表中数据2行(第2行至第3行):"
                             "完整写入0条,不完整写入2条,跳过0行,空行0行。"));
    ASSERT_EQ(pane->list().rowCount(), 2);
    EXPECT_EQ(pane->list().cell(1, 3), QStringLiteral("AB0000002"));
    EXPECT_EQ(pane->list().row(0).text, PreInputRows::kLockedText);
    dialog->close();
}
