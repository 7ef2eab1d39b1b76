// The desktop client started as `quarvel` starts it, on Qt's offscreen
// platform, saving shipments on its pre-entry page one after the other
// through the frame's own commands until it is killed. It prints "ready"
// once the window is up and then the id of every record saved, so that the
// kill-torture knows which records the window confirmed.
//
//   torture_window ROOT PREFIX [COUNT]
//
// With COUNT it saves that many and ends; a refused save is then printed as
// "refused N: TEXT" on stderr and the next shipment is tried (the disk-full
// test runs it on a failing disk).
#include "app/ScriptedPrompter.h"
#include "preinput/CPreInputPage.h"
#include "preinput/CPreInputPane.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "shell/ClientProgram.h"
#include "shell/FileChooser.h"
#include "storage/GoodsRecord.h"
#include "storage/WeightRecord.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

using namespace quarvel;

namespace {

class NoFiles : public FileChooser {
public:
    QString saveFileName(QWidget *, const QString &, const QStringList &, int *) override { return {}; }
    QString openFileName(QWidget *, const QString &, const QStringList &) override { return {}; }
};

void fill(CPreInputPage &page, const QString &number)
{
    PreInputForm &form = page.form();
    const std::pair<const char *, QString> values[] = {
        {"cnum", number},
        {"cdes", QStringLiteral("北京")},
        {"cemskind", QStringLiteral("特快专递")},
        {"creceiver", QStringLiteral("李四")},
        {"creceiveraddr", QStringLiteral("北京市朝阳区建国路1号")},
        {"creceivercountry", QStringLiteral("中国")},
        {"creceiverprov", QStringLiteral("北京")},
        {"cphone", QStringLiteral("13800000000")},
    };
    for (const auto &[name, value] : values)
        form.values().set(QString::fromLatin1(name), value);
    for (const char16_t *name : {u"茶叶", u"瓷器"}) {
        GoodsRecord g{};
        g.iid = static_cast<std::int32_t>(form.goodsLines().size());
        g.nquantity = 2;
        g.fprice = 3.5;
        Gbk::setField(g.cname, QString::fromUtf16(name));
        form.goodsLines().push_back(g);
    }
    form.GoodsEdited();
    for (int grams : {1200, 800}) {
        WeightRecord w{};
        w.nlength = 30;
        w.nwidth = 20;
        w.nheight = 10;
        w.nweight = grams;
        w.nvolpercent = 100;
        w.nquantity = 1;
        w.iprice = 100;
        form.pieceLines().push_back(w);
    }
    form.PiecesEdited(true);
    page.showValues();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: torture_window ROOT PREFIX [COUNT]\n");
        return 2;
    }
    const int count = argc == 4 ? std::atoi(argv[3]) : 0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    ScriptedPrompter prompter;
    NoFiles files;
    ClientProgram program(root, prompter, files);
    if (!program.InitInstance(false)) {
        std::fprintf(stderr, "start-up failed: %s\n", prompter.lastText().toUtf8().constData());
        return 1;
    }
    // What the start-up said (a repair after a kill, say) is not a refusal.
    for (const QString &text : prompter.texts())
        std::fprintf(stderr, "start-up: %s\n", text.toUtf8().constData());
    prompter.clear();
    CMainFrame &frame = *program.frame();
    frame.execute(CmdShowPreInput);
    auto *pane = dynamic_cast<CPreInputPane *>(frame.view().page(0));
    if (!pane)
        return 1;
    CPreInputPage &page = pane->page();
    QObject::connect(&page, &CPreInputPage::recordChanged, [](bool saved, const PreInputRecord &record) {
        if (saved) {
            std::printf("%d\n", record.iid);
            std::fflush(stdout);
        }
    });
    std::printf("ready\n");
    std::fflush(stdout);
    for (int n = 1; count == 0 || n <= count; ++n) {
        frame.execute(CmdNew);
        fill(page, prefix + QString::number(n));
        frame.execute(CmdSave);
        QCoreApplication::processEvents();
        if (!prompter.shown().isEmpty() && count == 0) {
            std::fprintf(stderr, "refused: %s\n", prompter.lastText().toUtf8().constData());
            return 1;
        }
        if (!prompter.shown().isEmpty()) {
            const QString said = prompter.texts().join(u' ').replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            std::fprintf(stderr, "refused %d: %s\n", n, said.toUtf8().constData());
            prompter.clear();
            // The operator gives the refused shipment up and keys in the next.
            prompter.queueSaveChoice(Prompter::SaveChoice::Discard);
        }
    }
    program.ExitInstance();
    return 0;
}
