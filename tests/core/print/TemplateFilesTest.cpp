#include "print/TemplateFiles.h"
#include "PrintTestSupport.h"
#include "print/PrintTemplates.h"
#include "print/TemplateChooseForm.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

using namespace quarvel;
using printtest::gbk;

namespace {

void pair(const TempRoot &root, const QString &stem, const QByteArray &definition = "x")
{
    root.write(stem + QStringLiteral(".txt"), definition);
    root.write(stem + QStringLiteral(".xls"), printtest::workbook());
}

} // namespace

TEST(TemplateFiles, TheDialogListsPairsOfItsKindUpperCased)
{
    TempRoot root;
    pair(root, QStringLiteral("TAB_默认面单"));
    pair(root, QStringLiteral("tab_Quick"));
    root.write(QStringLiteral("TAB_NoText.xls"), printtest::workbook());
    pair(root, QStringLiteral("IVC_发票"));
    root.write(QStringLiteral("TAB_x.txt"), "x");
    EXPECT_EQ(TemplateFiles::Available(root.path(), TemplateKind::Waybill),
              (QStringList{QStringLiteral("QUICK"), QStringLiteral("默认面单")}));
    EXPECT_EQ(TemplateFiles::Available(root.path(), TemplateKind::Invoice), QStringList{QStringLiteral("发票")});
    EXPECT_TRUE(TemplateFiles::Available(root.path(), TemplateKind::Label).isEmpty());
}

TEST(TemplateFiles, CopyMissingNeverReplacesAnOperatorsFile)
{
    TempRoot shipped;
    TempRoot installed;
    pair(shipped, QStringLiteral("TAB_默认面单"), "shipped");
    pair(shipped, QStringLiteral("IVC_默认形式发票"), "shipped");
    installed.write(QStringLiteral("tab_默认面单.TXT"), "mine");
    EXPECT_EQ(TemplateFiles::CopyMissing(shipped.path(), installed.path()), 3);
    EXPECT_EQ(installed.read(QStringLiteral("tab_默认面单.TXT")), QByteArray("mine"));
    EXPECT_FALSE(QFileInfo::exists(installed.file(QStringLiteral("TAB_默认面单.txt"))));
    EXPECT_EQ(installed.read(QStringLiteral("IVC_默认形式发票.txt")), QByteArray("shipped"));
    EXPECT_EQ(TemplateFiles::CopyMissing(shipped.path(), installed.path()), 0);
}

TEST(TemplateSlots, DefaultsLoadSilentlyAndAFailedChoiceKeepsTheSlot)
{
    TempRoot root;
    pair(root, QStringLiteral("TAB_默认面单"), gbk("<列表定义开始>\r\n收件人=B2\r\n<列表定义结束>\r\n"));
    pair(root, QStringLiteral("IVC_默认形式发票"), gbk("x\r\n运单号 Waybill=B3\r\n"));
    pair(root, QStringLiteral("TAB_简易面单"));
    PrintTemplates templates(root.path());
    int labelBuilds = 0;
    templates.setLabelTemplateLoaded([&](const PrintTemplate &) { ++labelBuilds; });
    templates.LoadDefaultTemplates();
    ASSERT_TRUE(templates.slot(TemplateKind::Waybill));
    EXPECT_EQ(templates.slot(TemplateKind::Waybill)->name(), QStringLiteral("默认面单"));
    EXPECT_FALSE(templates.slot(TemplateKind::Label)) << "no default label template: the slot stays empty";
    EXPECT_EQ(labelBuilds, 0);
    EXPECT_TRUE(templates.invoiceLayout().valid());
    EXPECT_EQ(templates.invoiceLayout().cell(0).row, 3);

    QString message;
    EXPECT_FALSE(templates.ChooseTemplate(TemplateKind::Waybill, QStringLiteral("没有"), &message));
    EXPECT_EQ(message, QStringLiteral("模版加载失败，选择未完成。"));
    EXPECT_EQ(templates.slot(TemplateKind::Waybill)->name(), QStringLiteral("默认面单"));
    EXPECT_TRUE(templates.ChooseTemplate(TemplateKind::Waybill, QStringLiteral("简易面单")));
    EXPECT_EQ(templates.slot(TemplateKind::Waybill)->name(), QStringLiteral("简易面单"));

    pair(root, QStringLiteral("LBL_标签"));
    EXPECT_TRUE(templates.ChooseTemplate(TemplateKind::Label, QStringLiteral("标签")));
    EXPECT_EQ(labelBuilds, 1);
}

TEST(TemplateChooseForm, AChoiceChangesOnlyByDoubleClick)
{
    TempRoot root;
    pair(root, QStringLiteral("TAB_默认面单"));
    pair(root, QStringLiteral("TAB_quick"));
    TemplateChooseForm form(TemplateKind::Waybill, root.path(), QStringLiteral("默认面单"));
    EXPECT_EQ(form.title(), QStringLiteral("选择当前启用的快件面单模版"));
    EXPECT_EQ(form.columnHeader(), QStringLiteral("快件面单模版名称"));
    EXPECT_EQ(form.rows(), (QStringList{QStringLiteral("QUICK"), QStringLiteral("默认面单")}));
    EXPECT_EQ(form.currentRow(), 1);
    EXPECT_EQ(form.choiceText(), QStringLiteral("当前选择：默认面单"));
    form.DoubleClick(0);
    EXPECT_EQ(form.choice(), QStringLiteral("QUICK"));
    EXPECT_EQ(form.choiceText(), QStringLiteral("当前选择：QUICK"));
    form.DoubleClick(5);
    EXPECT_EQ(form.choice(), QStringLiteral("QUICK"));

    TemplateChooseForm fresh(TemplateKind::Waybill, root.path(), QString());
    EXPECT_EQ(fresh.choiceText(), QStringLiteral("↑请选择"));
    EXPECT_EQ(fresh.choice(), QString());
    TemplateChooseForm lower(TemplateKind::Waybill, root.path(), QStringLiteral("quick"));
    EXPECT_EQ(lower.currentRow(), 0) << "names differ only in case";
}
