#include "excel/ImportHeader.h"
#include "contacts/ContactImport.h"
#include "excel/ColumnMapForm.h"
#include "excel/HeaderText.h"
#include "excel/ImportLayouts.h"
#include "preinput/PreInputImport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

using namespace quarvel;

namespace {

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

QList<SheetCell> row(const QStringList &texts)
{
    QList<SheetCell> cells;
    for (const QString &t : texts)
        cells.append(t.isEmpty() ? SheetCell() : SheetCell::Text(t));
    return cells;
}

QStringList texts(std::initializer_list<const char16_t *> items)
{
    QStringList out;
    for (const char16_t *item : items)
        out << QString::fromUtf16(item);
    return out;
}

// Captions by column, "-" where a column feeds nothing.
QStringList fieldsOf(const ImportHeader &header)
{
    QStringList out;
    for (int c = 1; c <= int(header.texts().size()); ++c) {
        const int f = header.fieldOfColumn(c);
        out << (f < 0 ? QStringLiteral("-") : header.caption(f));
    }
    return out;
}

} // namespace

TEST(HeaderText, MarksSpacesAndLineBreaksAreNoPartOfTheName)
{
    EXPECT_EQ(HeaderText::Name(QStringLiteral("收件人*")), QStringLiteral("收件人"));
    EXPECT_EQ(HeaderText::Name(QStringLiteral("*收件人(必填)")), QStringLiteral("收件人"));
    EXPECT_EQ(HeaderText::Name(QStringLiteral("收件人（必填）")), QStringLiteral("收件人"));
    EXPECT_EQ(HeaderText::Name(QStringLiteral("收 件\n人：")), QStringLiteral("收件人"));
    EXPECT_EQ(HeaderText::Name(QStringLiteral("\xFEFF运单号")), QStringLiteral("运单号"));
    EXPECT_EQ(HeaderText::Name(QStringLiteral("E-Mail")), QStringLiteral("e-mail"));
    const HeaderText::Key grams = HeaderText::Read(QStringLiteral("重量（克）"));
    EXPECT_EQ(grams.name, QStringLiteral("重量"));
    EXPECT_EQ(grams.unit, SheetValue::Unit::Gram);
    EXPECT_EQ(HeaderText::Read(QStringLiteral("重量(单位:kg)")).unit, SheetValue::Unit::Kilogram);
    // A bracket that names no unit stays part of the name.
    EXPECT_EQ(HeaderText::Read(QStringLiteral("备注(内部)")).name, QStringLiteral("备注(内部)"));
}

TEST(ImportHeader, ShopExportsAreRecognisedByTheHeadersCustomersUse)
{
    const ImportHeader records(PreInputImport::Columns(),
                               row({QStringLiteral("快递单号"), QStringLiteral("收货人姓名"),
                                    QStringLiteral("手机号码"), QStringLiteral("详细地址"), QStringLiteral("目的城市"),
                                    QStringLiteral("重量(kg)"), QStringLiteral("订单状态")}));
    EXPECT_EQ(fieldsOf(records), texts({u"运单号", u"收件人", u"收件电话", u"收件地址", u"目的地", u"重量", u"-"}));
    EXPECT_TRUE(records.missing().isEmpty());
    EXPECT_EQ(records.unused(), QList<int>{7});
    EXPECT_EQ(records.unit(PreInputImport::Weight), SheetValue::Unit::Kilogram);

    const ImportHeader contacts(ContactImport::Columns(),
                                row({QStringLiteral("姓名"), QStringLiteral("手机"), QStringLiteral("详细地址")}));
    EXPECT_EQ(fieldsOf(contacts), texts({u"姓名", u"电话", u"地址"}));
    EXPECT_TRUE(contacts.missing().isEmpty());

    const ImportHeader lacking(ContactImport::Columns(), row({QStringLiteral("名称"), QStringLiteral("备注")}));
    EXPECT_EQ(lacking.missing(), texts({u"电话", u"地址"}));
}

TEST(ImportHeader, TheOwnHeaderBeatsAnOtherOneAndEqualsTakeTheLaterColumn)
{
    const ImportHeader header(PreInputImport::Columns(),
                              row({QStringLiteral("电话"), QStringLiteral("收件电话"), QStringLiteral("手机"),
                                   QStringLiteral("备注"), QString(), QStringLiteral("备注")}));
    EXPECT_EQ(header.column(PreInputImport::ReceiverPhone), 2);
    EXPECT_EQ(header.column(PreInputImport::Remark), 6);
    ASSERT_EQ(header.repeats().size(), 3);
    for (const ImportHeader::Repeat &r : header.repeats())
        EXPECT_EQ(r.usedColumn, header.column(r.field));
    EXPECT_EQ(header.unused(), (QList<int>{1, 3, 4}));
}

TEST(ImportHeader, TheOperatorsMapComesFirstAndCanLeaveAColumnOut)
{
    ColumnMap map;
    map.set(QStringLiteral("联系手机"), QStringLiteral("收件电话"));
    map.set(QStringLiteral("电话"), QString());
    const ImportHeader header(PreInputImport::Columns(), row({QStringLiteral("电话"), QStringLiteral("联系手机 *")}),
                              map);
    EXPECT_EQ(fieldsOf(header), texts({u"-", u"收件电话"}));
    EXPECT_EQ(header.layout(), QStringLiteral("电话\t联系手机"));
}

// A header text names one field only, or recognising it would depend on the order of the list.
TEST(ImportHeader, NoHeaderTextNamesTwoFields)
{
    for (const QList<ImportColumn> *columns : {&PreInputImport::Columns(), &ContactImport::Columns()}) {
        QMap<QString, QString> owner;
        for (const ImportColumn &c : *columns)
            for (const QString &name : QStringList{c.caption()} + c.synonymList()) {
                const QString key = HeaderText::Name(name);
                EXPECT_FALSE(owner.contains(key) && owner.value(key) != c.caption())
                    << key.toStdString() << " names " << owner.value(key).toStdString() << " and "
                    << c.caption().toStdString();
                owner.insert(key, c.caption());
            }
    }
}

TEST(ColumnMap, ParsesHeaderFieldPairsAndNamesWhatItCannotRead)
{
    QString why;
    const std::optional<ColumnMap> map = ColumnMap::Parse(
        QStringLiteral("手机=收件电话，详细地址 = 地址,订单号=快递单号,状态="), PreInputImport::Columns(), &why);
    ASSERT_TRUE(map) << why.toStdString();
    EXPECT_EQ(map->fieldOf(QStringLiteral("手机")), QStringLiteral("收件电话"));
    EXPECT_EQ(map->fieldOf(QStringLiteral("详细地址")), QStringLiteral("收件地址"));
    EXPECT_EQ(map->fieldOf(QStringLiteral("订单号")), QStringLiteral("运单号"));
    EXPECT_EQ(map->fieldOf(QStringLiteral("状态")), QString());
    EXPECT_FALSE(map->fieldOf(QStringLiteral("别的")).has_value());

    EXPECT_FALSE(ColumnMap::Parse(QStringLiteral("手机"), PreInputImport::Columns(), &why));
    EXPECT_EQ(why, QStringLiteral("列对应“手机”应写成 表头=字段。"));
    EXPECT_FALSE(ColumnMap::Parse(QStringLiteral("手机=火箭"), ContactImport::Columns(), &why));
    EXPECT_TRUE(why.startsWith(QStringLiteral("没有字段“火箭”。可用的字段:编码、姓名、电话"))) << why.toStdString();
}

TEST(ColumnMapForm, OneColumnPerFieldAndAcceptedOnceTheRequiredHaveColumns)
{
    const ImportHeader header(ContactImport::Columns(), row({QStringLiteral("客户"), QStringLiteral("手机"),
                                                             QStringLiteral("收货地"), QStringLiteral("状态")}));
    SheetBlock samples{row({QStringLiteral("甲"), QStringLiteral("138"), QStringLiteral("北京"), QString()})};
    ColumnMapForm form(QStringLiteral("订单"), 2, header, samples);
    EXPECT_EQ(form.title(), QStringLiteral("工作表“订单”第2行的表头对应到哪些字段"));
    ASSERT_EQ(form.columns().size(), 4);
    EXPECT_EQ(form.columns().at(1).field, QStringLiteral("电话"));
    EXPECT_EQ(form.columns().at(3).samples, QStringList());
    EXPECT_EQ(form.missing(), texts({u"姓名", u"地址"}));
    EXPECT_EQ(form.statusText(), QStringLiteral("还缺少:姓名、地址"));
    form.choose(0, QStringLiteral("姓名"));
    form.choose(2, QStringLiteral("地址"));
    EXPECT_TRUE(form.canAccept());
    // Choosing a field another column had takes it from that column.
    form.choose(3, QStringLiteral("电话"));
    EXPECT_EQ(form.columns().at(1).field, QString());
    EXPECT_EQ(form.missing(), QStringList());
    // Letting it go again gives it back: typing a field's name passes through others.
    form.choose(3, ColumnMapForm::NotImported());
    EXPECT_EQ(form.columns().at(1).field, QStringLiteral("电话"));
    form.choose(3, QStringLiteral("姓名"));
    form.choose(3, QStringLiteral("电话"));
    EXPECT_EQ(form.columns().at(0).field, QStringLiteral("姓名"));
    EXPECT_EQ(form.columns().at(1).field, QString());
    form.choose(3, ColumnMapForm::NotImported());
    form.choose(1, QStringLiteral("电话"));
    const ColumnMap map = form.map();
    EXPECT_EQ(map.fieldOf(QStringLiteral("客户")), QStringLiteral("姓名"));
    EXPECT_EQ(map.fieldOf(QStringLiteral("状态")), QString());
    EXPECT_EQ(fieldsOf(ImportHeader(ContactImport::Columns(), row(texts({u"客户", u"手机", u"收货地", u"状态"})), map)),
              texts({u"姓名", u"电话", u"地址", u"-"}));
}

TEST(ImportLayouts, MapsAreKeptPerKindAndLayoutAndTheNewestFirst)
{
    QTemporaryDir dir;
    ImportLayouts layouts(dir.filePath(QStringLiteral("DATA_SYS/sheetlayouts.json")));
    EXPECT_FALSE(layouts.find(QStringLiteral("records"), QStringLiteral("a\tb")));
    ColumnMap map;
    map.set(QStringLiteral("a"), QStringLiteral("运单号"));
    ASSERT_TRUE(layouts.Remember(QStringLiteral("records"), QStringLiteral("a\tb"), map));
    EXPECT_FALSE(layouts.find(QStringLiteral("contacts"), QStringLiteral("a\tb")));
    ASSERT_TRUE(layouts.find(QStringLiteral("records"), QStringLiteral("a\tb")));
    EXPECT_EQ(layouts.find(QStringLiteral("records"), QStringLiteral("a\tb"))->fieldOf(QStringLiteral("a")),
              QStringLiteral("运单号"));
    for (int i = 0; i < ImportLayouts::kKept + 5; ++i)
        ASSERT_TRUE(layouts.Remember(QStringLiteral("records"), QStringLiteral("l%1").arg(i), map));
    EXPECT_TRUE(layouts.find(QStringLiteral("records"), QStringLiteral("l%1").arg(ImportLayouts::kKept + 4)));
    EXPECT_FALSE(layouts.find(QStringLiteral("records"), QStringLiteral("a\tb")));

    QString why;
    ImportLayouts nowhere(QStringLiteral("/proc/none/sheetlayouts.json"));
    EXPECT_FALSE(nowhere.Remember(QStringLiteral("records"), QStringLiteral("x"), map, &why));
    EXPECT_TRUE(why.startsWith(QStringLiteral("表格列对应无法保存:"))) << why.toStdString();
}
