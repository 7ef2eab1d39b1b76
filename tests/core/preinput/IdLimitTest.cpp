#include "PreInputFixture.h"

#include "preinput/GoodsForm.h"

#include <cstring>

using namespace quarvel;

namespace {

constexpr std::int32_t kHighest = 0x7fffffff;

QByteArray header(std::int32_t count, std::int32_t lastId)
{
    QByteArray h(RecordFile::kHeaderSize, '\0');
    std::memcpy(h.data(), &count, 4);
    std::memcpy(h.data() + 4, &lastId, 4);
    return h;
}

// A started page on a root whose files were prepared first.
struct LimitFixture {
    TempRoot root;
    std::unique_ptr<ClientContext> context;
    ScriptedPrompter prompter;
    std::unique_ptr<PreInputForm> form;

    void start()
    {
        form.reset();
        context = std::make_unique<ClientContext>(root.path());
        ASSERT_TRUE(context->Start(prompter));
        context->baseData().parse(PreInputFixture::baseText(false));
        form = std::make_unique<PreInputForm>(*context, prompter);
    }
    void fill(const QString &number)
    {
        PreInputValues &v = form->values();
        v.cnum = number;
        v.cdes = QStringLiteral("北京市");
        v.creceiver = QStringLiteral("王五");
        v.cphone = QStringLiteral("13800138000");
        v.creceiveraddr = QStringLiteral("朝阳区建国路1号");
        v.creceivercountry = QStringLiteral("中国");
        v.creceiverprov = QStringLiteral("北京");
    }
    void addGoods(const QString &name)
    {
        GoodsRecord line{};
        line.iid = static_cast<std::int32_t>(form->goodsLines().size());
        line.iparent = form->iid();
        line.nquantity = 1;
        Gbk::setField(line.cname, name);
        form->goodsLines().push_back(line);
    }
    void addPiece()
    {
        WeightRecord piece{};
        piece.nweight = 1500;
        form->pieceLines().push_back(piece);
        form->PiecesEdited(true);
    }
};

} // namespace

TEST(IdLimit, TheLastIdIsGivenThenSavingIsRefusedWithAMessage)
{
    LimitFixture f;
    f.root.write(QStringLiteral("DATA/recinput.dat"), header(0, kHighest - 1));
    f.start();
    f.fill(QStringLiteral("LAST0001"));
    ASSERT_TRUE(f.form->SaveRecord()) << f.prompter.lastText().toStdString();
    EXPECT_EQ(f.context->preInputs().At(0)->iid, kHighest);

    f.prompter.clear();
    f.fill(QStringLiteral("OVER0001"));
    EXPECT_FALSE(f.form->SaveRecord());
    ASSERT_EQ(f.prompter.shown().size(), 1);
    EXPECT_EQ(f.prompter.shown().first().kind, ScriptedPrompter::Kind::Error);
    EXPECT_EQ(
        f.prompter.lastText(),
        QStringLiteral("业务记录保存失败：数据文件%1的记录编号已经用完（最后编号已到 2147483647），不能再添加记录。")
            .arg(f.root.file(QStringLiteral("DATA/recinput.dat"))));
    EXPECT_EQ(f.context->preInputs().GetCount(), 1);
    EXPECT_EQ(f.form->values().cnum, QStringLiteral("OVER0001")) << "what was typed stays in the form";
}

TEST(IdLimit, NoRecordIsSavedWhenItsLinesCannotBe)
{
    LimitFixture f;
    f.root.write(QStringLiteral("DATA/recgoods.dat"), header(0, kHighest - 1));
    f.root.write(QStringLiteral("DATA/recweight.dat"), header(0, kHighest));
    f.start();
    f.fill(QStringLiteral("LINES001"));
    f.addGoods(QStringLiteral("茶叶"));
    f.addGoods(QStringLiteral("瓷器"));
    EXPECT_FALSE(f.form->SaveRecord());
    EXPECT_TRUE(f.prompter.lastText().contains(f.root.file(QStringLiteral("DATA/recgoods.dat"))));
    EXPECT_EQ(f.context->preInputs().GetCount(), 0) << "no shipment without its lines";
    EXPECT_EQ(f.context->goods().GetCount(), 0);

    // One goods line fits; the piece does not.
    f.form->goodsLines().pop_back();
    f.addPiece();
    EXPECT_FALSE(f.form->SaveRecord());
    EXPECT_TRUE(f.prompter.lastText().contains(f.root.file(QStringLiteral("DATA/recweight.dat"))));
    EXPECT_EQ(f.context->preInputs().GetCount(), 0);
    EXPECT_EQ(f.context->goods().GetCount(), 0);

    f.form->pieceLines().clear();
    ASSERT_TRUE(f.form->SaveRecord()) << f.prompter.lastText().toStdString();
    ASSERT_EQ(f.context->goods().GetCount(), 1);
    EXPECT_EQ(f.context->goods().At(0)->iid, kHighest);
    EXPECT_EQ(f.context->goods().At(0)->iparent, f.context->preInputs().At(0)->iid);
}

TEST(IdLimit, ChangedPiecesAndGoodsOfAStoredRecordKeepTheirOldLinesWhenRefused)
{
    LimitFixture f;
    f.start();
    f.fill(QStringLiteral("STORED01"));
    f.addGoods(QStringLiteral("茶叶"));
    f.addPiece();
    ASSERT_TRUE(f.form->SaveRecord());
    const int id = f.context->preInputs().At(0)->iid;
    f.context->Shutdown();
    // Both line files have handed out their last id since.
    for (const char *name : {"DATA/recgoods.dat", "DATA/recweight.dat"}) {
        QByteArray bytes = f.root.read(QString::fromLatin1(name));
        std::memcpy(bytes.data() + 4, &kHighest, 4);
        f.root.write(QString::fromLatin1(name), bytes);
    }
    f.prompter.clear();
    f.start();
    ASSERT_TRUE(f.form->LoadRecord(id));
    f.addPiece();
    EXPECT_FALSE(f.form->SaveRecord());
    EXPECT_TRUE(f.prompter.lastText().contains(QStringLiteral("编号已经用完")));
    EXPECT_EQ(f.context->weights().GetCount(), 1) << "the stored piece is kept";

    GoodsForm goods(f.form->goodsLines(), id, *f.context, f.prompter);
    goods.entry.name = QStringLiteral("瓷器");
    ASSERT_TRUE(goods.AddOrModify());
    EXPECT_FALSE(goods.Ok());
    EXPECT_EQ(
        f.prompter.lastText(),
        QStringLiteral("物品明细保存失败：数据文件%1的记录编号已经用完（最后编号已到 2147483647），不能再添加记录。")
            .arg(f.root.file(QStringLiteral("DATA/recgoods.dat"))));
    ASSERT_EQ(f.context->goods().GetCount(), 1) << "the stored goods line is kept";
    EXPECT_EQ(f.context->goods().At(0)->iparent, id);
    EXPECT_EQ(+f.context->preInputs().At(0)->ngoodslines, 1);
}
