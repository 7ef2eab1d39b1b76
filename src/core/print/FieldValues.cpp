#include "print/FieldValues.h"

#include "net/BaseData.h"
#include "print/AddressLines.h"
#include "print/ServerRecord.h"
#include "storage/PreInputRecord.h"
#include "text/Gbk.h"

#include <algorithm>

namespace quarvel {

namespace {

using V = FieldVocabulary;

const QString kCheck = QStringLiteral("√");

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// Which one of a group of three check marks a code fills: 0, 1, any other.
int groupChoice(int code)
{
    return code == 0 || code == 1 ? code : 2;
}

// A freight below this is no price yet: the box stays free for the counter's pen.
constexpr double kNoFreight = 0.001;

bool isCode39(QChar c)
{
    static const QString kSymbols = QStringLiteral(" -.$/+%");
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || kSymbols.contains(c);
}

} // namespace

QString FieldValues::NumericText(const QString &text)
{
    const auto numeric = [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.'; };
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), numeric))
        return text;
    return u'\'' + text;
}

QString FieldValues::Money(qint64 hundredths)
{
    return u'\'' + fixed(hundredths / 100.0, 2);
}

QString FieldValues::Weight(double kilograms)
{
    return fixed(kilograms, 3) + QStringLiteral("kg");
}

QString FieldValues::ItemTypeName(int itemType)
{
    switch (groupChoice(itemType)) {
    case 0:
        return QStringLiteral("文件");
    case 1:
        return QStringLiteral("包裹");
    default:
        return QStringLiteral("防水袋");
    }
}

QString FieldValues::PayWayName(int payWay)
{
    switch (groupChoice(payWay)) {
    case 0:
        return QStringLiteral("月结");
    case 1:
        return QStringLiteral("现付");
    default:
        return QStringLiteral("到付");
    }
}

QString FieldValues::Code39(const QString &number)
{
    QString kept;
    for (const QChar c : number.toUpper())
        if (isCode39(c))
            kept += c;
    return kept.trimmed().isEmpty() ? QString() : u'*' + kept + u'*';
}

QString FieldValues::named(const QString &name) const
{
    for (const Named &n : named_)
        if (n.name == name)
            return n.text;
    return QString();
}

void FieldValues::setWaybillExtras(const QString &expressKind, double freight)
{
    named_ = {{FieldVocabulary::BarcodeName(), Code39(number())}, {FieldVocabulary::ExpressKindName(), expressKind}};
    if (freight > kNoFreight)
        set(V::CustomerFee, u'\'' + fixed(freight, 2));
}

QString FieldValues::number() const
{
    QString n = at(V::Number);
    return n.startsWith(u'\'') ? n.mid(1) : n;
}

void FieldValues::setAddressLines(int first, const QByteArray &address)
{
    const std::array<QByteArray, 3> lines = AddressLines::Split(address);
    for (int i = 0; i < 3; ++i)
        set(first + i, Gbk::toUnicode(lines[std::size_t(i)]));
}

void FieldValues::setCheckMark(int first, int count, int chosen)
{
    for (int i = 0; i < count; ++i)
        set(first + i, i == chosen ? kCheck : QString());
}

void FieldValues::setDestination(const QString &name, const BaseData &baseData)
{
    set(V::Destination, name);
    if (const DestinationEntry *d = baseData.destinationByName(name)) {
        set(V::DestinationCode, d->text(DestinationEntry::FirstKey));
        set(V::DestinationEnglish, d->text(DestinationEntry::SecondKey));
    }
}

FieldValues FieldValues::FromRecord(const PreInputRecord &r, const QString &account, const BaseData &baseData)
{
    FieldValues v;
    const auto text = [](const auto &field) { return Gbk::field(field); };
    v.set(V::Sender, text(r.csender));
    v.set(V::SenderCorp, text(r.csendercorp));
    v.set(V::SenderAddress, text(r.csenderaddr));
    v.set(V::SenderPhone, NumericText(text(r.csenderphone)));
    v.set(V::SenderCity, text(r.csendercity));
    v.set(V::SenderZip, NumericText(text(r.csenderzip)));
    v.set(V::SenderProvince, text(r.csenderprov));
    v.set(V::SenderCountry, text(r.csendercountry));
    v.set(V::Receiver, text(r.creceiver));
    v.set(V::ReceiverCorp, text(r.creceivercorp));
    v.set(V::ReceiverAddress, text(r.creceiveraddr));
    v.set(V::ReceiverPhone, NumericText(text(r.cphone)));
    v.set(V::ReceiverCity, text(r.creceivercity));
    v.set(V::ReceiverZip, NumericText(text(r.creceiverzip)));
    v.set(V::ReceiverProvince, text(r.creceiverprov));
    v.set(V::ReceiverCountry, text(r.creceivercountry));
    v.set(V::Weight, Weight(r.fweight));
    v.set(V::Date, QString::asprintf("'%d-%02d-%02d", r.ddate.year, r.ddate.month, r.ddate.day));
    v.set(V::From, text(r.cfrom));
    v.set(V::Goods, text(r.cgoods));
    v.set(V::Pack, text(r.cpack));
    v.set(V::ConsignNote, text(r.cconsignnote));
    v.set(V::Declared, Money(r.ideclare));
    v.set(V::Insured, Money(r.iinsure));
    v.set(V::Pieces, QString::number(r.npieces));
    if (r.npayway == 2)
        v.set(V::CollectFreight, u'\'' + fixed(r.ffee, 2));
    if (r.fcod > 0.001)
        v.set(V::CashOnDelivery, text(r.ccurrency) + fixed(r.fcod, 2));
    v.set(V::Account, account);
    v.set(V::Number, NumericText(text(r.cnum)));
    v.set(V::Mark, text(r.cmark));
    v.setAddressLines(V::ReceiverLine1, Gbk::fromUnicode(text(r.creceiveraddr)));
    v.setAddressLines(V::SenderLine1, Gbk::fromUnicode(text(r.csenderaddr)));
    v.set(V::ItemType, ItemTypeName(r.nitemtype));
    v.setCheckMark(V::DocumentMark, 3, groupChoice(r.nitemtype));
    v.set(V::Department, text(r.cdepart));
    v.set(V::SenderMail, text(r.csendermail));
    v.set(V::ReceiverMail, text(r.creceivermail));
    v.set(V::ReceiverSms, NumericText(text(r.creceiversms)));
    v.set(V::PayDirection, text(r.cpaydir));
    v.set(V::Weighed, Weight(r.fweighed));
    v.setCheckMark(V::MonthlyMark, 3, groupChoice(r.npayway));
    v.setDestination(text(r.cdes), baseData);
    v.set(V::SenderSms, NumericText(text(r.csendersms)));
    v.setWaybillExtras(text(r.cemskind), r.ffee);
    return v;
}

FieldValues FieldValues::FromServer(const ServerRecord &r, const QString &account, const BaseData &baseData)
{
    FieldValues v;
    v.set(V::Sender, r.text("SNAME"));
    v.set(V::SenderCorp, r.text("SUNIT"));
    v.set(V::SenderAddress, r.text("SADDR"));
    v.set(V::SenderPhone, NumericText(r.text("SPHONE")));
    v.set(V::SenderCity, r.text("SCITY"));
    v.set(V::SenderZip, NumericText(r.text("SPOST")));
    v.set(V::SenderProvince, r.text("SPROVINCE"));
    v.set(V::SenderCountry, r.text("SCOUNTRY"));
    v.set(V::Receiver, r.text("RNAME"));
    v.set(V::ReceiverCorp, r.text("RUNIT"));
    v.set(V::ReceiverAddress, r.text("RADDR"));
    v.set(V::ReceiverPhone, NumericText(r.text("RPHONE")));
    v.set(V::ReceiverCity, r.text("RCITY"));
    v.set(V::ReceiverZip, NumericText(r.text("RPOST")));
    v.set(V::ReceiverProvince, r.text("RPROVINCE"));
    v.set(V::ReceiverCountry, r.text("RCOUNTRY"));
    v.set(V::Weight, Weight(r.real("WEIGHT")));
    v.set(V::Date, u'\'' + r.text("DATE"));
    v.set(V::From, r.text("ADDRFROM"));
    v.set(V::Goods, r.text("GOODS"));
    v.set(V::Pack, r.text("PACK"));
    v.set(V::ConsignNote, r.text("TRANSNOTE"));
    v.set(V::Declared, Money(r.integer("DVALUE")));
    v.set(V::Insured, Money(r.integer("IVALUE")));
    v.set(V::Pieces, QString::number(r.integer("ITEM")));
    const int payWay = r.integer("PAYWAY");
    if (payWay == 2)
        v.set(V::CollectFreight, u'\'' + fixed(r.real("AMOUNT"), 2));
    if (r.real("GOODST") > 0.001)
        v.set(V::CashOnDelivery, r.text("MONEY") + fixed(r.real("GOODST"), 2));
    v.set(V::Account, account);
    v.set(V::Number, NumericText(r.text("NUM")));
    v.set(V::Mark, r.text("MARK"));
    v.setAddressLines(V::ReceiverLine1, r.bytes("RADDR"));
    v.setAddressLines(V::SenderLine1, r.bytes("SADDR"));
    const int itemType = r.integer("ITEMTYPE");
    v.set(V::ItemType, ItemTypeName(itemType));
    v.setCheckMark(V::DocumentMark, 3, groupChoice(itemType));
    v.set(V::Department, r.text("DEPART"));
    v.set(V::SenderMail, r.text("SEMAIL"));
    v.set(V::ReceiverMail, r.text("REMAIL"));
    v.set(V::ReceiverSms, NumericText(r.text("RSMS")));
    v.set(V::PayDirection, r.text("PAYDIR"));
    v.set(V::Weighed, Weight(r.real("WEIGHTB")));
    v.setCheckMark(V::MonthlyMark, 3, groupChoice(payWay));
    v.setDestination(r.text("DES"), baseData);
    v.set(V::SenderSms, NumericText(r.text("SSMS")));
    // The server keeps the express kind's code; the waybill shows its name.
    const ExpressKind *kind = baseData.kindByCode(r.text("EMSKIND"));
    v.setWaybillExtras(kind ? kind->nameText() : r.text("EMSKIND"), r.real("AMOUNT"));
    return v;
}

} // namespace quarvel
