#include "OfficeEngine.h"
#include "preinput/CPreInputPane.h"
#include "sheetimport/CColumnMapDlg.h"
#include "sheetimport/CImportSummaryDlg.h"
#include "shell/PageCatalog.h"
#include "support/ClientWindow.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <ostream>

using namespace quarvel;

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

QByteArray gbk(const char16_t *text)
{
    return Gbk::fromUnicode(QString::fromUtf16(text));
}

// The installation's base data as downloaded (each byte xored with 8).
QByteArray storedBaseData()
{
    QByteArray base = "xx\nEMB\nEMS\t" + gbk(u"特快专递") + "\n\nEME\n\nGPB\n" + "0,1\tBJ\tBEIJING\t100000\t" +
                      gbk(u"北京市") + "\t" + gbk(u"中国") + "\n" + "0,2\tSZ\tSHENZHEN\t518000\t" + gbk(u"广东深圳") +
                      "\t" + gbk(u"中国") + "\n\nGPE\n\nEPB\nEMS\n" + gbk(u"广东深圳") + "\t\n\nEPE\n";
    for (char &c : base)
        c = static_cast<char>(c ^ 8);
    return base;
}

// A web shop's order export saved by the office as .xlsx: a title row, the
// shop's own headers, a blank row and rows the import must skip.
QString shopExport(const QString &path, const QString &first)
{
    const QList<QList<QVariant>> cells{
        {QStringLiteral("某某商城订单导出")},
        {QStringLiteral("订单号"), QStringLiteral("收货人"), QStringLiteral("联系手机"), QStringLiteral("收货地址"),
         QStringLiteral("目的城市"), QStringLiteral("重量(克)"), QStringLiteral("订单状态")},
        {first, QStringLiteral("张三"), QStringLiteral("13800138000"), QStringLiteral("朝阳区建国路1号"),
         QStringLiteral("北京"), 1500.0, QStringLiteral("已付款")},
        {},
        {first + u'2', QStringLiteral("李四"), QStringLiteral("13900000000"), QStringLiteral("南山区科技园"),
         QStringLiteral("深圳"), QStringLiteral("abc"), QStringLiteral("已付款")},
        {first + u'3', QStringLiteral("王五"), QStringLiteral("13700000000"), QStringLiteral("火星基地1号"),
         QStringLiteral("火星"), 800.0, QStringLiteral("待发货")},
    };
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

template <class Dialog> Dialog *shown()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *d = qobject_cast<Dialog *>(w); d && d->isVisible())
            return d;
    return nullptr;
}

// Chooses a field in a column's box as the operator does: focus, type its first characters.
void chooseWithKeys(QComboBox *box, const QString &typed)
{
    box->setFocus();
    typeInto(box, typed);
}

} // namespace

TEST(ColumnMapWindow, AShopExportIsMappedOnceInTheDialogAndTheSameLayoutComesInWithoutIt)
{
    ClientWindow w(ClientWindow::Options{false, false, true, 5000, [](TempRoot &root) {
                                             root.write(QStringLiteral("DATA_SYS/0.dat"), storedBaseData());
                                         }});
    ASSERT_TRUE(w.started());
    auto *pane = w.showPage<CPreInputPane>(PageCatalog::PreInput);
    w.files.openName = shopExport(w.root.file(QStringLiteral("三月订单.xlsx")), QStringLiteral("SP000001"));

    int dialogs = 0;
    QString firstStatus;
    bool okAtFirst = true;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        CColumnMapDlg *dialog = shown<CColumnMapDlg>();
        if (!dialog || dialog->property("handled").toBool())
            return;
        dialog->setProperty("handled", true);
        ++dialogs;
        // What the import recognised is there; 运单号 and 收件电话 are the operator's to find.
        QTableWidget *table = dialog->table();
        EXPECT_EQ(table->rowCount(), 7);
        EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("订单号"));
        EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("SP000001 | SP0000012"));
        EXPECT_EQ(dialog->fieldBox(1)->currentData().toString(), QStringLiteral("收件人"));
        EXPECT_EQ(dialog->fieldBox(4)->currentData().toString(), QStringLiteral("目的地"));
        EXPECT_EQ(dialog->fieldBox(2)->currentData().toString(), QString());
        firstStatus = dialog->statusLabel()->text();
        okAtFirst = dialog->buttons()->button(QDialogButtonBox::Ok)->isEnabled();
        chooseWithKeys(dialog->fieldBox(0), QStringLiteral("运单"));
        chooseWithKeys(dialog->fieldBox(2), QStringLiteral("收件电"));
        EXPECT_EQ(dialog->fieldBox(0)->currentData().toString(), QStringLiteral("运单号"));
        EXPECT_EQ(dialog->fieldBox(2)->currentData().toString(), QStringLiteral("收件电话"));
        EXPECT_TRUE(dialog->buttons()->button(QDialogButtonBox::Ok)->isEnabled());
        dialog->buttons()->button(QDialogButtonBox::Ok)->setFocus();
        QTest::keyClick(dialog->buttons()->button(QDialogButtonBox::Ok), Qt::Key_Space);
    });
    watch.start();
    w.action(CmdImport)->trigger();
    ASSERT_TRUE(ClientWindow::waitFor([] { return shown<CImportSummaryDlg>() != nullptr; }));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(firstStatus, QStringLiteral("还缺少:运单号"));
    EXPECT_FALSE(okAtFirst);

    CImportSummaryDlg *summary = shown<CImportSummaryDlg>();
    EXPECT_EQ(summary->messageLabel()->text(),
              QStringLiteral("本次导入共成功写入2条预录单记录。表中数据4行(第3行至第6行):"
                             "完整写入1条,不完整写入1条,跳过1行,空行1行。"));
    // The rows that did not come in as typed, by their sheet row.
    QStringList rows;
    for (int i = 0; i < summary->table()->rowCount(); ++i)
        rows << summary->table()->item(i, 0)->text() + u'|' + summary->table()->item(i, 1)->text() + u'|' +
                    summary->table()->item(i, 3)->text();
    EXPECT_TRUE(rows.contains(QStringLiteral("5|跳过|[重量]不是可识别的数值:abc"))) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("6|不完整|目的地“火星”不在基本数据中,已锁定,改正后才会上传。")))
        << rows.join(u'\n').toStdString();
    summary->close();
    ASSERT_EQ(pane->list().rowCount(), 2);
    const PreInputRecord *first = w.context().preInputs().FindLastByNumber(QStringLiteral("SP000001"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Gbk::field(first->cphone), QStringLiteral("13800138000"));
    EXPECT_DOUBLE_EQ(first->fweight, 1.5);

    // April's export has the same header: it comes in without a question.
    w.files.openName = shopExport(w.root.file(QStringLiteral("四月订单.xlsx")), QStringLiteral("SP000004"));
    w.action(CmdImport)->trigger();
    ASSERT_TRUE(ClientWindow::waitFor([] { return shown<CImportSummaryDlg>() != nullptr; }));
    watch.stop();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(shown<CImportSummaryDlg>()->messageLabel()->text().startsWith(
        QStringLiteral("本次导入共成功写入2条预录单记录。")));
    shown<CImportSummaryDlg>()->close();
    EXPECT_EQ(pane->list().rowCount(), 4);
}

TEST(ColumnMapWindow, CancellingTheDialogImportsNothingAndShowsNoSummary)
{
    ClientWindow w(ClientWindow::Options{false, false, true, 5000, {}});
    ASSERT_TRUE(w.started());
    w.showPage<CPreInputPane>(PageCatalog::PreInput);
    w.files.openName = shopExport(w.root.file(QStringLiteral("订单.xlsx")), QStringLiteral("SP000001"));
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [] {
        if (CColumnMapDlg *dialog = shown<CColumnMapDlg>())
            QTest::keyClick(dialog, Qt::Key_Escape);
    });
    watch.start();
    w.action(CmdImport)->trigger();
    watch.stop();
    EXPECT_EQ(shown<CImportSummaryDlg>(), nullptr);
    EXPECT_EQ(w.context().preInputs().GetCount(), 0);
    EXPECT_TRUE(w.prompter.shown().isEmpty());
}
