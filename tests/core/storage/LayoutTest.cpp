#include "storage/CheckFile.h"
#include "storage/GoodsFile.h"
#include "storage/PreInputFile.h"
#include "storage/WeightFile.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QJsonObject>

#include <cstring>

using namespace quarvel;

TEST(Layout, PreInputRecordRoundTripsThroughTheFileWithFullTextFields)
{
    TempRoot root;
    const QString path = root.file(QStringLiteral("recinput.dat"));
    PreInputRecord r{};
    r.ddate = {2026, 12, 7};
    r.nitemtype = 2;
    r.npayway = 1;
    r.iprice = 12345;
    r.fweight = 1.25;
    r.fcod = 99.5;
    Gbk::setField(r.cnum, QStringLiteral("A2612070001"));
    Gbk::setField(r.cdes, QStringLiteral("北京市朝阳区"));
    // Longer than the field: cut at a character boundary with a NUL in the last byte.
    Gbk::setField(r.cremark, QString(200, QChar(0x4E2D)));
    Gbk::setField(r.cgoods, QString(400, u'g'));
    r.nmarked = 1;
    {
        PreInputFile f;
        ASSERT_EQ(f.OpenRecords(path), 0);
        EXPECT_EQ(f.recordSize(), 2396);
        f.Append(&r);
    }
    PreInputFile f;
    ASSERT_EQ(f.OpenRecords(path), 1);
    const PreInputRecord *back = f.At(0);
    EXPECT_EQ(std::memcmp(back, &r, sizeof r), 0);
    EXPECT_EQ(back->cremark[255], '\0');
    EXPECT_EQ(std::strlen(back->cremark), 254u) << "127 double-byte characters, no half character";
    EXPECT_EQ(back->cgoods[255], '\0');
    EXPECT_EQ(Gbk::field(back->cdes), QStringLiteral("北京市朝阳区"));

    const QJsonObject json = RecordField::toJson(back, PreInputRecord::fields());
    EXPECT_EQ(json.value(QStringLiteral("ddate")).toString(), QStringLiteral("2026.12.07"));
    EXPECT_EQ(json.value(QStringLiteral("iprice")).toInt(), 12345);
    EXPECT_DOUBLE_EQ(json.value(QStringLiteral("fweight")).toDouble(), 1.25);
    EXPECT_EQ(json.value(QStringLiteral("cdes")).toString(), QStringLiteral("北京市朝阳区"));
    EXPECT_EQ(json.value(QStringLiteral("nmarked")).toInt(), 1);
    EXPECT_EQ(json.value(QStringLiteral("iid")).toInt(), 1);
    EXPECT_FALSE(json.contains(QStringLiteral("reserved2138")));
}

TEST(Layout, WeightRecordUnalignedFieldsSitAtTheirBytes)
{
    WeightRecord w{};
    w.iid = 1;
    w.nvolpercent = 50;
    w.nquantity = 0x11223344;
    w.iprice = 0x55667788;
    const auto *bytes = reinterpret_cast<const unsigned char *>(&w);
    EXPECT_EQ(bytes[24], 50);
    EXPECT_EQ(bytes[25], 0x44);
    EXPECT_EQ(bytes[28], 0x11);
    EXPECT_EQ(bytes[29], 0x88);
    EXPECT_EQ(bytes[32], 0x55);

    TempRoot root;
    WeightFile f;
    ASSERT_EQ(f.OpenRecords(root.file(QStringLiteral("w.dat"))), 0);
    f.Append(&w);
    f.Append(&w);
    EXPECT_EQ(+f.At(1)->nquantity, 0x11223344);
    EXPECT_EQ(+f.At(1)->iprice, 0x55667788);
    EXPECT_EQ(+f.At(1)->iid, 2);
}

TEST(Layout, ChargeableGramsFollowsTheVolumetricShare)
{
    WeightRecord w{};
    w.nlength = 30;
    w.nwidth = 40;
    w.nheight = 50;
    w.nweight = 5000;
    w.nvolpercent = 100;
    EXPECT_EQ(ChargeableGrams(w, false), 10000);
    EXPECT_EQ(ChargeableGrams(w, true), 12000) << "divisor 5 in D mode";
    w.nvolpercent = 50;
    EXPECT_EQ(ChargeableGrams(w, false), 7500);
    w.nvolpercent = 0;
    EXPECT_EQ(ChargeableGrams(w, false), 5000);
    w.nvolpercent = 150;
    EXPECT_EQ(ChargeableGrams(w, false), 10000);
    w.nweight = 12000;
    w.nvolpercent = 100;
    EXPECT_EQ(ChargeableGrams(w, false), 12000) << "the heavier actual weight wins";
    w = {};
    w.nlength = w.nwidth = w.nheight = 2000;
    w.nweight = 1;
    w.nvolpercent = 100;
    EXPECT_EQ(ChargeableGrams(w, false), 1333333333) << "the product of large sides must not wrap";
}

TEST(Layout, LinesOfAShipmentAreFoundCopiedAndDeletedByParent)
{
    TempRoot root;
    GoodsFile f;
    ASSERT_EQ(f.OpenRecords(root.file(QStringLiteral("g.dat"))), 0);
    const int parents[] = {7, 7, 8, 7, 9, 8};
    for (int p : parents) {
        GoodsRecord g{};
        g.iparent = p;
        g.nquantity = p * 10;
        f.Append(&g);
    }
    EXPECT_EQ(f.FindFirstByParent(8), 2);
    EXPECT_EQ(f.FindFirstByParent(5), -1);

    std::vector<GoodsRecord> lines;
    EXPECT_EQ(f.CopyByParent(lines, 7), 2) << "only the first run of the parent's lines";
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].iid, 2);
    EXPECT_EQ(f.CopyByParent(lines, 5), -1);
    EXPECT_EQ(lines.size(), 2u);

    f.DeleteByParent(7);
    ASSERT_EQ(f.GetCount(), 3);
    EXPECT_EQ(f.FindFirstByParent(7), -1);
    EXPECT_EQ(f.DeleteByParents({8, 9}), 3);
    EXPECT_EQ(f.GetCount(), 0);
}

TEST(Layout, PreInputNumberLookupFindsTheLastHolder)
{
    TempRoot root;
    PreInputFile f;
    ASSERT_EQ(f.OpenRecords(root.file(QStringLiteral("p.dat"))), 0);
    for (const char *n : {"A1", "B2", "A1", "A12"}) {
        PreInputRecord r{};
        Gbk::setField(r.cnum, QString::fromLatin1(n));
        f.Append(&r);
    }
    ASSERT_NE(f.FindLastByNumber(QStringLiteral("A1")), nullptr);
    EXPECT_EQ(f.FindLastByNumber(QStringLiteral("A1"))->iid, 3);
    EXPECT_EQ(f.FindLastByNumber(QStringLiteral("a1")), nullptr) << "byte for byte";
    EXPECT_EQ(f.FindLastByNumber(QStringLiteral("A")), nullptr);
    EXPECT_EQ(f.FindLastByNumber(QString(40, u'A')), nullptr);
}
