#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "preinput/CCollectDlg.h"
#include "preinput/CGoodsDlg.h"
#include "preinput/CLinkLabel.h"
#include "preinput/CPieceWeightDlg.h"
#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "preinput/CSuggestionList.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "shell/ClientStartup.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "support/ScriptedFiles.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace quarvel;

namespace {

QByteArray gbk(const char16_t *text)
{
    return Gbk::fromUnicode(QString::fromUtf16(text));
}

QByteArray baseText()
{
    return "xx\nEMB\nEMS\t" + gbk(u"特快专递") + "\n\nEME\n\nGPB\n" + "0,1\tBJ\tBEIJING\t100000\t" + gbk(u"北京市") +
           "\t" + gbk(u"中国") + "\n" + "0,2\tSZ\tSHENZHEN\t518000\t" + gbk(u"广东深圳") + "\t" + gbk(u"中国") + "\n" +
           "0,3\tGZ\tGUANGZHOU\t510000\t" + gbk(u"广东广州") + "\t" + gbk(u"中国") + "\n\nGPE\n\nEPB\nEMS\n" +
           gbk(u"广东深圳") + "\t\n\nEPE\n";
}

QByteArray xored(const QByteArray &text)
{
    QByteArray out = text;
    for (char &c : out)
        c = static_cast<char>(c ^ 8);
    return out;
}

// The desktop client as quarvel starts it, offline, with a small base data
// and one contact, showing the pre-entry page.
struct Fixture : ClientWindow {
    Fixture()
        : ClientWindow(Options{false, false, true, 5000,
                               [](TempRoot &root) { root.write(QStringLiteral("DATA_SYS/0.dat"), xored(baseText())); }})
    {
        ContactRecord c{};
        Gbk::setField(c.ccode, QStringLiteral("zs"));
        Gbk::setField(c.cname, QStringLiteral("张三"));
        Gbk::setField(c.cphone, QStringLiteral("02088886666"));
        Gbk::setField(c.caddr, QStringLiteral("天河路100号"));
        Gbk::setField(c.ccountry, QStringLiteral("中国"));
        Gbk::setField(c.cprov, QStringLiteral("广东"));
        Gbk::setField(c.ccity, QStringLiteral("广州"));
        context().contacts().Append(&c);
        pane = showPage<CPreInputPane>(PageCatalog::PreInput);
    }

    // Shows what was written into the files meanwhile, as 刷新 does.
    void refresh() { frame().execute(CmdRefresh); }

    CPreInputPane *pane = nullptr;
};

// The widget that has (or would have) the keyboard in the pane's window.
QWidget *focused(QWidget *any)
{
    return any->window()->focusWidget();
}

void press(QWidget *any, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = focused(any);
    QKeyEvent override(QEvent::ShortcutOverride, key, modifiers);
    QCoreApplication::sendEvent(target, &override);
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &up);
}

void type(QWidget *any, const QString &text)
{
    typeInto(focused(any), text);
}

} // namespace

TEST(PreInputPaneGui, AShipmentTypedWithTheKeyboardIsSavedWithCtrlSAndListed)
{
    Fixture f;
    ASSERT_TRUE(f.started());
    CPreInputPane &pane = *f.pane;
    f.frame().activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &f.frame());
    CPreInputPage &page = pane.page();
    EXPECT_EQ(page.titleLabel()->text(), QStringLiteral("添加新业务记录"));
    EXPECT_EQ(pane.list().rowCount(), 0);
    EXPECT_TRUE(pane.flags().canSave);
    EXPECT_FALSE(pane.flags().canDelete);
    EXPECT_EQ(page.edit(QStringLiteral("cemskind"))->text(), QStringLiteral("特快专递"));

    page.edit(QStringLiteral("cnum"))->setFocus();
    type(&page, QStringLiteral("ab12345"));
    press(&page, Qt::Key_Return);
    ASSERT_EQ(focused(&page), page.control(QStringLiteral("cdes")));

    // The destination: two suggestions, Page Down to the second, Enter takes it.
    type(&page, QStringLiteral("广东"));
    ASSERT_TRUE(page.suggestions()->isVisible());
    ASSERT_EQ(page.suggestions()->count(), 2);
    EXPECT_EQ(page.suggestions()->item(0)->text(), QStringLiteral("广东广州  ※"));
    EXPECT_EQ(page.suggestions()->item(1)->text(), QStringLiteral("广东深圳  √"));
    press(&page, Qt::Key_PageDown);
    press(&page, Qt::Key_Return);
    EXPECT_FALSE(page.suggestions()->isVisible());
    EXPECT_EQ(page.edit(QStringLiteral("cdes"))->text(), QStringLiteral("广东深圳"));
    EXPECT_EQ(page.edit(QStringLiteral("creceiverprov"))->text(), QStringLiteral("广东"));
    EXPECT_EQ(page.edit(QStringLiteral("creceivercity"))->text(), QStringLiteral("深圳"));
    EXPECT_EQ(page.edit(QStringLiteral("creceiverzip"))->text(), QStringLiteral("518000"));
    EXPECT_EQ(page.destinationIndicator()->text(), QStringLiteral("√"));
    ASSERT_EQ(focused(&page), page.control(QStringLiteral("ddate")));

    press(&page, Qt::Key_Down);
    ASSERT_EQ(focused(&page), page.control(QStringLiteral("fweight")));
    type(&page, QStringLiteral("1.5"));
    press(&page, Qt::Key_Return);
    type(&page, QStringLiteral("30"));
    press(&page, Qt::Key_Return);
    ASSERT_EQ(focused(&page), page.control(QStringLiteral("npayway")));
    press(&page, Qt::Key_Return);
    ASSERT_EQ(focused(&page), page.control(QStringLiteral("creceiver")));

    // The receiver from the address book by its code.
    type(&page, QStringLiteral("zs"));
    ASSERT_TRUE(page.suggestions()->isVisible());
    EXPECT_EQ(page.suggestions()->item(0)->text(), QStringLiteral("zs  张三[02088886666]"));
    press(&page, Qt::Key_Return);
    EXPECT_EQ(page.edit(QStringLiteral("creceiver"))->text(), QStringLiteral("张三"));
    EXPECT_EQ(page.edit(QStringLiteral("cphone"))->text(), QStringLiteral("02088886666"));
    EXPECT_EQ(qobject_cast<QPlainTextEdit *>(page.control(QStringLiteral("creceiveraddr")))->toPlainText(),
              QStringLiteral("天河路100号"));
    ASSERT_EQ(focused(&page), page.control(QStringLiteral("csender")));
    type(&page, QStringLiteral("李四"));
    press(&page, Qt::Key_Return);
    ASSERT_EQ(focused(&page), page.control(QStringLiteral("csenderphone")));
    press(&page, Qt::Key_Escape); // ignored

    press(&page, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(f.prompter.shown().isEmpty()) << f.prompter.lastText().toStdString();
    ASSERT_EQ(pane.list().rowCount(), 1);
    EXPECT_EQ(pane.captionText(), QStringLiteral("●预录未上传业务记录列表  共 1 条记录"));
    EXPECT_EQ(pane.list().GetRowId(0), 1);
    EXPECT_EQ(pane.list().cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(pane.list().cell(0, 3), QStringLiteral("AB12345"));
    EXPECT_EQ(pane.list().cell(0, 6), QStringLiteral("1.500"));
    EXPECT_EQ(pane.list().cell(0, 7), QStringLiteral("30.00"));
    EXPECT_EQ(pane.list().cell(0, 8), QStringLiteral("广东深圳"));
    EXPECT_EQ(pane.list().cell(0, 11), QStringLiteral("李四"));
    EXPECT_EQ(pane.list().cell(0, 13), QStringLiteral("张三"));
    // Ready for the next shipment: empty, on the waybill number.
    EXPECT_EQ(page.edit(QStringLiteral("cnum"))->text(), QString());
    EXPECT_EQ(page.edit(QStringLiteral("creceiver"))->text(), QString());
    EXPECT_EQ(focused(&page), page.control(QStringLiteral("cnum")));

    // A refused save keeps the page and shows the message.
    page.edit(QStringLiteral("cnum"))->setText(QStringLiteral("AB12345"));
    press(&page, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(f.prompter.lastText(), QStringLiteral("[收件地址]不得短于 5 字符。"));
    EXPECT_EQ(pane.list().rowCount(), 1);

    // Choosing the row shows the stored record; delete asks and removes the row.
    pane.OpenRow(0);
    EXPECT_EQ(page.titleLabel()->text(), QStringLiteral("修改业务记录:1"));
    EXPECT_TRUE(page.titleLabel()->styleSheet().contains(QStringLiteral("ff0000")));
    EXPECT_EQ(page.edit(QStringLiteral("fweight"))->text(), QStringLiteral("1.500"));
    EXPECT_TRUE(pane.flags().canDelete);
    page.edit(QStringLiteral("cmark"))->setText(QStringLiteral("L9"));
    pane.SaveRecord();
    ASSERT_EQ(pane.list().rowCount(), 1);
    EXPECT_EQ(pane.list().cell(0, 14), QStringLiteral("L9"));
    pane.OpenRow(0);
    f.prompter.queueAnswer(true);
    pane.DeleteRecord();
    EXPECT_EQ(pane.list().rowCount(), 0);
    EXPECT_EQ(f.context().preInputs().GetCount(), 0);
    EXPECT_FALSE(pane.flags().canDelete);
}

TEST(PreInputPaneGui, FilterHideCopyPasteAndUploadResults)
{
    Fixture f;
    ASSERT_TRUE(f.started());
    for (int i = 1; i <= 3; ++i) {
        PreInputRecord r{};
        r.ddate = {2026, 1, static_cast<unsigned char>(i)};
        r.nmarked = i == 2 ? 1 : 0;
        r.nlocked = i == 3 ? 1 : 0;
        Gbk::setField(r.cnum, QStringLiteral("N%1").arg(i));
        f.context().preInputs().Append(&r);
    }
    f.refresh();
    CPreInputPane &pane = *f.pane;
    ASSERT_EQ(pane.list().rowCount(), 3);
    EXPECT_EQ(pane.list().row(2).text, 0x0000FFu);
    EXPECT_TRUE(pane.flags().canExport);

    CPreInputPage &page = pane.page();
    page.markedFilter()->click(); // only "未标记" ticked
    EXPECT_EQ(pane.filterMode(), PreInputRows::Unmarked);
    EXPECT_EQ(pane.list().rowCount(), 2);
    page.unmarkedFilter()->click(); // neither: all
    EXPECT_EQ(pane.list().rowCount(), 3);
    page.markedFilter()->click(); // only "已标记"
    ASSERT_EQ(pane.list().rowCount(), 1);
    EXPECT_EQ(pane.list().GetRowId(0), 2);
    page.unmarkedFilter()->click();

    // Copy, then paste into a new record.
    EXPECT_FALSE(pane.flags().canPaste);
    pane.OpenRow(0);
    pane.CopyAll();
    EXPECT_TRUE(pane.flags().canPaste);
    pane.NewRecord();
    EXPECT_EQ(page.edit(QStringLiteral("cnum"))->text(), QString());
    pane.PasteAll();
    EXPECT_EQ(page.edit(QStringLiteral("cnum"))->text(), QStringLiteral("N1"));

    // "C" hides the form and saving with it.
    page.hideButton()->click();
    EXPECT_TRUE(pane.formHidden());
    EXPECT_FALSE(pane.flags().canSave);
    pane.SetFormHidden(false);
    EXPECT_TRUE(pane.flags().canSave);

    // Upload: the selected ids, then the per-record answers.
    pane.listCtrl().selectAll();
    QList<int> ids;
    EXPECT_EQ(pane.CollectUploadIds(ids), 3);
    EXPECT_EQ(ids, (QList<int>{1, 2, 3}));
    pane.ApplyUploadResult(2, false, QStringLiteral("目的地不正确"));
    EXPECT_EQ(pane.list().cell(1, 2), QStringLiteral("目的地不正确"));
    EXPECT_EQ(pane.list().row(1).text, CPreInputPane::kRefusedText);
    PreInputRecord priced = *f.context().preInputs().Find(3);
    priced.ffee = 88.5;
    f.context().preInputs().WriteAt(f.context().preInputs().FindIndexById(3), &priced);
    pane.RefreshRecordRow(3);
    EXPECT_EQ(pane.list().cell(2, 7), QStringLiteral("88.50"));
    EXPECT_EQ(pane.list().row(2).text, 0x0000FFu);
    pane.OpenRow(0);
    pane.ApplyUploadResult(1, true, QString());
    EXPECT_EQ(pane.list().rowCount(), 2);
    EXPECT_EQ(pane.list().cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(page.titleLabel()->text(), QStringLiteral("添加新业务记录"));
}

TEST(PreInputPaneGui, CaptionsOpenTheDialogsAndChoosers)
{
    Fixture f;
    ASSERT_TRUE(f.started());
    f.context().SavePromptPhrases(QStringLiteral("易碎品\r\n加急\r\n"));
    CPreInputPane &pane = *f.pane;
    CPreInputPage &page = pane.page();
    QStringList asked;
    page.setChooser([&](const QString &title, const QStringList &items) {
        asked << title;
        return items.last();
    });
    page.caption(QStringLiteral("备注:"))->click();
    page.caption(QStringLiteral("备注:"))->click();
    EXPECT_EQ(qobject_cast<QPlainTextEdit *>(page.control(QStringLiteral("cremark")))->toPlainText(),
              QStringLiteral("加急"));
    page.caption(QStringLiteral("类别:"))->click();
    EXPECT_EQ(asked.last(), QStringLiteral("快递类别列表（双击选取！）"));
    EXPECT_EQ(asked.first(), QStringLiteral("常用提示输入(双击选取！)"));

    // Locks: ◆ and a disabled field; the departure survives a new record.
    page.edit(QStringLiteral("cfrom"))->setText(QStringLiteral("深圳"));
    page.lockMarker(PreInputForm::LockFrom)->setText(QString());
    page.ToggleLock(PreInputForm::LockFrom);
    EXPECT_EQ(page.lockMarker(PreInputForm::LockFrom)->text(), QStringLiteral("◆"));
    EXPECT_FALSE(page.control(QStringLiteral("cfrom"))->isEnabled());
    pane.NewRecord();
    EXPECT_EQ(page.edit(QStringLiteral("cfrom"))->text(), QStringLiteral("深圳"));

    // "重量:": two pieces in the piece dialog become the weight.
    page.edit(QStringLiteral("npieces"))->setText(QStringLiteral("2"));
    page.setDialogRunner([](QDialog &dialog) {
        auto *pieces = qobject_cast<CPieceWeightDlg *>(&dialog);
        if (!pieces)
            return int(QDialog::Rejected);
        EXPECT_EQ(pieces->titleLabel()->text(), QStringLiteral("第 1 件/共 2 件"));
        EXPECT_EQ(pieces->divisorLabel()->text(), QStringLiteral("÷6000"));
        pieces->weightBox()->setText(QStringLiteral("3"));
        pieces->lengthBox()->setText(QStringLiteral("40"));
        pieces->widthBox()->setText(QStringLiteral("30"));
        pieces->heightBox()->setText(QStringLiteral("20"));
        pieces->copiesBox()->setText(QStringLiteral("5"));
        pieces->ConfirmAndClose();
        EXPECT_EQ(pieces->table()->rowCount(), 2);
        EXPECT_EQ(pieces->totalLabel()->text(), QStringLiteral("累计重量：8.000公斤"));
        return dialog.result();
    });
    page.caption(QStringLiteral("重量:"))->click();
    EXPECT_EQ(page.edit(QStringLiteral("fweight"))->text(), QStringLiteral("8.000"));
    EXPECT_EQ(page.form().pieceLines().size(), 2u);

    // "品名:": goods lines summarised into the empty goods name.
    page.setDialogRunner([](QDialog &dialog) {
        auto *goods = qobject_cast<CGoodsDlg *>(&dialog);
        if (!goods)
            return int(QDialog::Rejected);
        goods->nameBox()->setText(QStringLiteral("A"));
        goods->quantityBox()->setText(QStringLiteral("2"));
        goods->priceBox()->setText(QStringLiteral("10"));
        goods->AddOrModify();
        goods->nameBox()->setText(QStringLiteral("B"));
        goods->quantityBox()->setText(QStringLiteral("3"));
        goods->priceBox()->setText(QStringLiteral("5"));
        goods->AddOrModify();
        EXPECT_EQ(goods->table()->rowCount(), 2);
        EXPECT_FALSE(goods->deleteButton()->isEnabled());
        goods->SelectRow(0);
        EXPECT_EQ(goods->addButton()->text(), QStringLiteral("修改&S"));
        EXPECT_TRUE(goods->deleteButton()->isEnabled());
        goods->Ok();
        return dialog.result();
    });
    page.caption(QStringLiteral("品名:"))->click();
    EXPECT_EQ(page.edit(QStringLiteral("cgoods"))->text(), QStringLiteral("A B"));
    EXPECT_EQ(page.edit(QStringLiteral("nquantity"))->text(), QStringLiteral("5"));
    EXPECT_EQ(page.edit(QStringLiteral("iprice"))->text(), QStringLiteral("7.00"));
    EXPECT_EQ(page.edit(QStringLiteral("ideclare"))->text(), QStringLiteral("35.00"));

    // "付款:" with "现付": the settled freight cannot be edited.
    page.setDialogRunner([&](QDialog &dialog) {
        auto *collect = qobject_cast<CCollectDlg *>(&dialog);
        if (!collect)
            return int(QDialog::Rejected);
        EXPECT_FALSE(collect->collectSettleBox()->isEnabled());
        collect->codBox()->setText(QStringLiteral("80"));
        collect->codSettleBox()->setText(QStringLiteral("90"));
        collect->Confirm();
        EXPECT_EQ(f.prompter.lastText(), QStringLiteral("返还客户货款错误：大于实收代收货款。"));
        EXPECT_NE(dialog.result(), int(QDialog::Accepted));
        collect->codSettleBox()->setText(QString());
        collect->Confirm();
        return dialog.result();
    });
    page.caption(QStringLiteral("付款:"))->click();
    EXPECT_DOUBLE_EQ(page.form().cod(), 80.0);
    EXPECT_DOUBLE_EQ(page.form().codSettle(), 80.0);

    // "日期:" cycles back to today after three clicks.
    const QString today = page.edit(QStringLiteral("ddate"))->text();
    for (int i = 0; i < 3; ++i)
        page.caption(QStringLiteral("日期:"))->click();
    EXPECT_EQ(page.edit(QStringLiteral("ddate"))->text(), today);
}

TEST(PreInputPaneGui, PageZeroOfTheWindowTakesTheFramesRecordCommands)
{
    Fixture f;
    ASSERT_TRUE(f.started());
    CMainFrame &frame = f.frame();
    auto *pane = qobject_cast<CPreInputPane *>(frame.view().currentPage());
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(frame.isCommandEnabled(CmdSave));
    EXPECT_FALSE(frame.isCommandEnabled(CmdPaste));
    EXPECT_FALSE(frame.isCommandEnabled(CmdDelete));
    CPreInputPage &page = pane->page();
    page.edit(QStringLiteral("cdes"))->setText(QStringLiteral("北京"));
    page.edit(QStringLiteral("creceiver"))->setText(QStringLiteral("王五"));
    page.edit(QStringLiteral("cphone"))->setText(QStringLiteral("13800138000"));
    qobject_cast<QPlainTextEdit *>(page.control(QStringLiteral("creceiveraddr")))
        ->setPlainText(QStringLiteral("朝阳区1号"));
    page.edit(QStringLiteral("creceivercountry"))->setText(QStringLiteral("中国"));
    page.edit(QStringLiteral("creceiverprov"))->setText(QStringLiteral("北京"));
    frame.execute(CmdCopy);
    EXPECT_TRUE(frame.isCommandEnabled(CmdPaste));
    frame.execute(CmdSave);
    ASSERT_EQ(pane->list().rowCount(), 1);
    EXPECT_EQ(f.context().preInputs().GetCount(), 1);
    frame.execute(CmdPaste);
    EXPECT_EQ(page.edit(QStringLiteral("creceiver"))->text(), QStringLiteral("王五"));
    frame.execute(CmdNew);
    EXPECT_EQ(page.edit(QStringLiteral("creceiver"))->text(), QString());
    pane->OpenRow(0);
    EXPECT_TRUE(frame.isCommandEnabled(CmdDelete));
}
