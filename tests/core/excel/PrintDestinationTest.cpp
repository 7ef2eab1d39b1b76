#include "excel/PrintDestination.h"
#include "support/TempRoot.h"

using namespace quarvel;

TEST(PrintDestination, DefaultPrinterUnlessTheInstallationSaysOtherwise)
{
    TempRoot root;
    const PrintDestination none = PrintDestination::Load(root.path());
    EXPECT_FALSE(none.isFolder());
    EXPECT_TRUE(none.printer().isEmpty());
    EXPECT_EQ(none.lpProgram(), QStringLiteral("lp"));

    root.write(QStringLiteral("DATA_SYS/print.conf"), "# kept PDFs\n\n  Folder = DATA_TEMP/打印 \nprinter=\nother=1\n");
    const PrintDestination folder = PrintDestination::Load(root.path());
    EXPECT_TRUE(folder.isFolder());
    EXPECT_EQ(folder.folder(), root.path() + QStringLiteral("DATA_TEMP/打印"));

    ASSERT_TRUE(PrintDestination::Printer(QStringLiteral(" Office_Laser ")).Save(root.path()));
    const PrintDestination printer = PrintDestination::Load(root.path());
    EXPECT_FALSE(printer.isFolder());
    EXPECT_EQ(printer.printer(), QStringLiteral("Office_Laser"));

    ASSERT_TRUE(PrintDestination::Folder(QStringLiteral("/srv/pdf")).Save(root.path()));
    EXPECT_EQ(PrintDestination::Load(root.path()).folder(), QStringLiteral("/srv/pdf"));
}
