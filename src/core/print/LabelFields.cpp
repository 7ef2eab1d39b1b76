#include "print/LabelFields.h"

#include "net/BaseData.h"
#include "print/AddressLines.h"
#include "print/FieldValues.h"
#include "print/FieldVocabulary.h"
#include "print/PrintTemplate.h"
#include "storage/PreInputRecord.h"
#include "text/Gbk.h"

#include <array>
#include <utility>

namespace quarvel {

namespace {

using V = FieldVocabulary;
using Replacement = std::pair<const char16_t *, QString>;

// A pattern shorter than this is no pattern: the name alone is printed.
constexpr int kMinPatternLength = 6;

QByteArray gbk(const char16_t *text)
{
    return Gbk::fromUnicode(QString::fromUtf16(text));
}

QString fixed(double value)
{
    return u'\'' + QString::number(value, 'f', 2);
}

// The first group always replaces its brackets; each of the second only when
// its value is not in the text yet, so an address that already names the
// city does not get it twice.
QString fillPattern(QString text, const QList<Replacement> &always, const QList<Replacement> &unlessPresent)
{
    for (const auto &[bracket, value] : always)
        text.replace(QString::fromUtf16(bracket), value);
    for (const auto &[bracket, value] : unlessPresent)
        text.replace(QString::fromUtf16(bracket), text.contains(value) ? QString() : value);
    return text.trimmed();
}

LabelFields::Party party(const LabelFields::Options &o, QString name, QString corp, QString address, QString phone,
                         QString zip, QString country, QString province, QString city)
{
    if (o.breaksToBlanks)
        address = address.remove(u'\r').replace(u'\n', u' ');
    if (o.upperCase) {
        corp = corp.toUpper();
        city = city.toUpper();
        province = province.toUpper();
        country = country.toUpper();
        address = address.toUpper();
        zip = zip.toUpper();
    }
    return {name, corp, address, phone, zip, country, province, city};
}

// Written texts are never null, so that text() tells an empty one from none.
QString written(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

LabelFields::Options LabelFields::Options::Of(const PrintTemplate &t)
{
    Options o;
    o.upperCase = t.GetNumber(gbk(u"全部转换大写")) == 1;
    o.breaksToBlanks = t.GetNumber(gbk(u"换行转空格")) == 1;
    o.senderPattern = t.GetSection(gbk(u"发件人定义")).remove(u'\r');
    o.receiverPattern = t.GetSection(gbk(u"收件人定义")).remove(u'\r');
    return o;
}

QString LabelFields::SenderText(const QString &pattern, const Party &s)
{
    if (pattern.size() < kMinPatternLength)
        return s.name;
    return fillPattern(
        pattern,
        {{u"[发件人]", s.name}, {u"[单位]", s.corp}, {u"[地址]", s.address}, {u"[电话]", s.phone}, {u"[邮编]", s.zip}},
        {{u"[国家]", s.country}, {u"[省州]", s.province}, {u"[城市]", s.city}});
}

QString LabelFields::ReceiverText(const QString &pattern, const Party &r, const QString &destination)
{
    if (pattern.size() < kMinPatternLength)
        return r.name;
    return fillPattern(pattern,
                       {{u"[目的地]", destination}, {u"[收件人]", r.name}, {u"[单位]", r.corp}, {u"[地址]", r.address}},
                       {{u"[邮编]", r.zip},
                        {u"[电话]", r.phone},
                        {u"[国家]", r.country},
                        {u"[省州]", r.province},
                        {u"[城市]", r.city}});
}

void LabelFields::add(int index, const QString &text)
{
    writes_.append({index, QByteArray(), written(text)});
}

void LabelFields::addNumber(int index, const QString &text)
{
    if (!text.isEmpty())
        add(index, FieldValues::NumericText(text));
}

void LabelFields::addNamed(const QString &name, const QString &text)
{
    writes_.append({-1, Gbk::fromUnicode(name), written(text)});
}

void LabelFields::addAddressLines(int first, const QByteArray &address)
{
    const std::array<QByteArray, 3> lines = AddressLines::Split(address);
    for (int i = 0; i < 3; ++i)
        add(first + i, Gbk::toUnicode(lines[std::size_t(i)]));
}

QString LabelFields::text(int index) const
{
    for (const Write &w : writes_)
        if (w.index == index && index >= 0)
            return w.text;
    return QString();
}

QString LabelFields::text(const QString &name) const
{
    const QByteArray nameGbk = Gbk::fromUnicode(name);
    for (const Write &w : writes_)
        if (w.index < 0 && w.nameGbk == nameGbk)
            return w.text;
    return QString();
}

// The company, address, phone, city, postcode, province and country of one
// side, at the indexes that follow its name field in the vocabulary.
void LabelFields::addParty(int first, const Party &p)
{
    add(first + 1, p.corp);
    add(first + 2, p.address);
    addNumber(first + 3, p.phone);
    add(first + 4, p.city);
    addNumber(first + 5, p.zip);
    add(first + 6, p.province);
    add(first + 7, p.country);
}

LabelFields LabelFields::FromRecord(const PreInputRecord &r, const Options &o, const QString &account,
                                    const BaseData &baseData)
{
    const auto text = [](const auto &field) { return Gbk::field(field); };
    const auto bytes = [](const auto &field) { return QByteArray(field, qsizetype(qstrnlen(field, sizeof field))); };
    LabelFields f;
    f.number_ = text(r.cnum);
    const Party sender = party(o, text(r.csender), text(r.csendercorp), text(r.csenderaddr), text(r.csenderphone),
                               text(r.csenderzip), text(r.csendercountry), text(r.csenderprov), text(r.csendercity));
    const Party receiver =
        party(o, text(r.creceiver), text(r.creceivercorp), text(r.creceiveraddr), text(r.cphone), text(r.creceiverzip),
              text(r.creceivercountry), text(r.creceiverprov), text(r.creceivercity));
    f.add(V::Account, account);
    f.addNamed(V::ExpressKindName(), text(r.cemskind));
    f.addNamed(QStringLiteral("发件人姓名"), sender.name);
    f.add(V::Sender, SenderText(o.senderPattern, sender));
    f.addParty(V::Sender, sender);
    f.addNumber(V::SenderSms, text(r.csendersms));
    f.add(V::SenderMail, text(r.csendermail));
    f.addNamed(QStringLiteral("收件人姓名"), receiver.name);
    f.add(V::Receiver, ReceiverText(o.receiverPattern, receiver, text(r.cdes)));
    f.addParty(V::Receiver, receiver);
    f.addNumber(V::ReceiverSms, text(r.creceiversms));
    f.add(V::ReceiverMail, text(r.creceivermail));
    f.add(V::CustomerFee, fixed(r.ffee));
    if (const DestinationEntry *d = baseData.destinationByName(text(r.cdes))) {
        f.add(V::DestinationCode, d->text(DestinationEntry::FirstKey));
        f.add(V::DestinationEnglish, d->text(DestinationEntry::SecondKey));
    }
    f.add(V::Weight, FieldValues::Weight(r.fweight));
    f.add(V::Date, QString::asprintf("'%d-%02d-%02d", r.ddate.year, r.ddate.month, r.ddate.day));
    f.add(V::From, text(r.cfrom));
    f.add(V::Destination, text(r.cdes));
    f.add(V::Goods, text(r.cgoods));
    f.addNamed(V::BarcodeName(), FieldValues::Code39(f.number_));
    f.add(V::Number, FieldValues::NumericText(f.number_));
    f.add(V::Mark, text(r.cmark));
    f.add(V::Department, text(r.cdepart));
    f.addAddressLines(V::ReceiverLine1, bytes(r.creceiveraddr));
    f.addAddressLines(V::SenderLine1, bytes(r.csenderaddr));
    f.add(V::DocumentMark, FieldValues::ItemTypeName(r.nitemtype));
    f.add(V::MonthlyMark, FieldValues::PayWayName(r.npayway));
    f.add(V::Weighed, FieldValues::Weight(r.fweighed));
    f.add(V::PayDirection, text(r.cpaydir));
    f.add(V::Declared, FieldValues::Money(r.ideclare));
    f.add(V::Insured, FieldValues::Money(r.iinsure));
    f.add(V::Pieces, QString::number(r.npieces));
    if (r.npayway == 2) {
        f.add(V::CollectFreight, fixed(r.ffee));
        f.add(V::CashOnDelivery, fixed(r.fcod));
    }
    return f;
}

} // namespace quarvel
