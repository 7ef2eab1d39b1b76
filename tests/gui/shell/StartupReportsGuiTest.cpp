#include "preinput/CPreInputPane.h"
#include "storage/PreInputRecord.h"
#include "support/ClientWindow.h"

#include <cstring>

using namespace quarvel;

// The window starts through the same core start-up as quarvelctl: a damaged
// settings file and a save that a kill cut short are reported in its message
// boxes before the operator works on, and the window still opens.
TEST(StartupReportsGui, DamagedFilesAndAnInterruptedSaveAreShownByTheWindow)
{
    ClientWindow::Options options;
    options.server = false;
    options.prepare = [](TempRoot &root) {
        root.write(QStringLiteral("prgset.dat"), QByteArray(10, 'x'));
        // A shipment saved with two goods lines whose lines never followed.
        PreInputRecord r{};
        r.iid = 1;
        std::strcpy(r.cnum, "CUT00001");
        r.ngoodslines = 2;
        QByteArray file(RecordFile::kHeaderSize, '\0');
        file[0] = 1;
        file[4] = 1;
        file += QByteArray(reinterpret_cast<const char *>(&r), sizeof r);
        root.write(QStringLiteral("DATA/recinput.dat"), file);
    };
    ClientWindow window(options);
    ASSERT_TRUE(window.started()) << window.prompter.texts().join(u'|').toStdString();
    const QStringList texts = window.prompter.texts();
    ASSERT_EQ(texts.size(), 2) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("预录业务数据文件%1与物品、重量明细不一致")
                                        .arg(window.root.file(QStringLiteral("DATA/recinput.dat")))));
    EXPECT_EQ(texts[1], QStringLiteral("文件%1已损坏：文件长度是 10 字节，应为 1364 字节；全部设置已改用默认值。")
                            .arg(window.root.file(QStringLiteral("prgset.dat"))));
    EXPECT_EQ(+window.context().preInputs().At(0)->ngoodslines, 0);
    EXPECT_NE(dynamic_cast<CPreInputPane *>(window.view().currentPage()), nullptr);
}
