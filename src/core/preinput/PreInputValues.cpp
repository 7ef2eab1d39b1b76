#include "preinput/PreInputValues.h"

#include <array>

namespace quarvel {

namespace {

using V = PreInputValues;
using K = PreInputValues::Kind;

constexpr V::Field text(const char *name, QString V::*m)
{
    return {name, K::Text, m, nullptr, nullptr, nullptr};
}
constexpr V::Field integer(const char *name, int V::*m)
{
    return {name, K::Int, nullptr, m, nullptr, nullptr};
}
constexpr V::Field real(const char *name, double V::*m)
{
    return {name, K::Real, nullptr, nullptr, m, nullptr};
}
constexpr V::Field flag(const char *name, bool V::*m)
{
    return {name, K::Flag, nullptr, nullptr, nullptr, m};
}

const std::array kFields{
    flag("nmarked", &V::nmarked),
    integer("nitemtype", &V::nitemtype),
    integer("nlanguage", &V::nlanguage),
    text("cemskind", &V::cemskind),
    integer("npieces", &V::npieces),
    text("cfrom", &V::cfrom),
    text("cdes", &V::cdes),
    text("cnum", &V::cnum),
    real("fweight", &V::fweight),
    real("ffee", &V::ffee),
    integer("npayway", &V::npayway),
    text("ddate", &V::ddate),
    text("creceiver", &V::creceiver),
    text("creceiverzip", &V::creceiverzip),
    text("cphone", &V::cphone),
    text("creceivermail", &V::creceivermail),
    text("creceiversms", &V::creceiversms),
    text("creceivercorp", &V::creceivercorp),
    text("creceiveraddr", &V::creceiveraddr),
    text("creceivercountry", &V::creceivercountry),
    text("creceiverprov", &V::creceiverprov),
    text("creceivercity", &V::creceivercity),
    text("csender", &V::csender),
    text("csenderzip", &V::csenderzip),
    text("csenderphone", &V::csenderphone),
    text("csendermail", &V::csendermail),
    text("csendersms", &V::csendersms),
    text("csendercorp", &V::csendercorp),
    text("csenderaddr", &V::csenderaddr),
    text("csendercountry", &V::csendercountry),
    text("csenderprov", &V::csenderprov),
    text("csendercity", &V::csendercity),
    text("cmark", &V::cmark),
    text("cdepart", &V::cdepart),
    text("cpack", &V::cpack),
    text("cpaydir", &V::cpaydir),
    text("cremark", &V::cremark),
    text("cgoods", &V::cgoods),
    integer("nquantity", &V::nquantity),
    real("iprice", &V::iprice),
    text("ccurrency", &V::ccurrency),
    text("cgoodsorigin", &V::cgoodsorigin),
    real("ideclare", &V::ideclare),
    real("iinsure", &V::iinsure),
};

const std::array<QString V::*const, 10> kReceiver{
    &V::creceiver,        &V::creceivercorp, &V::creceiveraddr, &V::cphone,        &V::creceiverzip,
    &V::creceivercountry, &V::creceiverprov, &V::creceivercity, &V::creceivermail, &V::creceiversms,
};

const std::array<QString V::*const, 10> kSender{
    &V::csender,        &V::csendercorp, &V::csenderaddr, &V::csenderphone, &V::csenderzip,
    &V::csendercountry, &V::csenderprov, &V::csendercity, &V::csendermail,  &V::csendersms,
};

} // namespace

std::span<const V::Field> PreInputValues::fields()
{
    return kFields;
}

const V::Field *PreInputValues::field(const QString &name)
{
    for (const Field &f : kFields)
        if (name == QLatin1String(f.name))
            return &f;
    return nullptr;
}

bool PreInputValues::set(const QString &name, const QString &value)
{
    const Field *f = field(name);
    if (!f)
        return false;
    bool ok = true;
    switch (f->kind) {
    case Kind::Text:
        this->*(f->text) = value;
        break;
    case Kind::Int:
        this->*(f->integer) = value.trimmed().toInt(&ok);
        break;
    case Kind::Real:
        this->*(f->real) = value.trimmed().toDouble(&ok);
        break;
    case Kind::Flag: {
        const int n = value.trimmed().toInt(&ok);
        ok = ok && (n == 0 || n == 1);
        this->*(f->flag) = n == 1;
        break;
    }
    }
    return ok;
}

std::span<QString V::*const> PreInputValues::sideFields(Side side)
{
    return side == Receiver ? std::span<QString V::*const>(kReceiver) : std::span<QString V::*const>(kSender);
}

const QStringList &PreInputValues::itemTypes()
{
    static const QStringList list{QStringLiteral("文件"), QStringLiteral("包裹"), QStringLiteral("防水袋")};
    return list;
}

const QStringList &PreInputValues::regions()
{
    static const QStringList list{QStringLiteral("大陆"), QStringLiteral("华语"), QStringLiteral("外语")};
    return list;
}

const QStringList &PreInputValues::payWays()
{
    static const QStringList list{QStringLiteral("月结"), QStringLiteral("现付"), QStringLiteral("到付")};
    return list;
}

const QStringList &PreInputValues::payDirections()
{
    static const QStringList list{QStringLiteral("PP"), QStringLiteral("CC"), QStringLiteral("COD"),
                                  QStringLiteral("DP")};
    return list;
}

const QStringList &PreInputValues::currencies()
{
    static const QStringList list{
        QStringLiteral("CNY"), QStringLiteral("USD"), QStringLiteral("EUR"), QStringLiteral("JPY"),
        QStringLiteral("HKD"), QStringLiteral("MOP"), QStringLiteral("TWD"), QStringLiteral("RUB"),
        QStringLiteral("CAD"), QStringLiteral("AUD"), QStringLiteral("SGD"), QStringLiteral("INR"),
        QStringLiteral("KRW"), QStringLiteral("PHP"), QStringLiteral("NZD"), QStringLiteral("THB"),
        QStringLiteral("VND"), QStringLiteral("MNT"), QStringLiteral("GBP"), QStringLiteral("CHF")};
    return list;
}

} // namespace quarvel
