#pragma once

#include <QString>
#include <QStringList>

#include <span>

namespace quarvel {

// The values of the pre-entry page, one per control, as the operator sees
// them: texts, combo indexes, integers and reals (money as typed, not yet in
// hundredths). Members carry the names of the record fields they edit, so
// that scripts can fill them by those names.
struct PreInputValues {
    enum class Kind { Text, Int, Real, Flag };
    struct Field {
        const char *name;
        Kind kind;
        QString PreInputValues::*text;
        int PreInputValues::*integer;
        double PreInputValues::*real;
        bool PreInputValues::*flag;
    };
    // Every page value by its record field name.
    static std::span<const Field> fields();
    static const Field *field(const QString &name);
    // Sets a value from its text form: integers and reals as decimals, flags
    // as 0/1. False when the name is unknown or the text is not a number.
    bool set(const QString &name, const QString &value);

    // The ten fields of one side of the shipment, in the order of the address
    // book: name, company, address, phone, postcode, country, province, city,
    // e-mail, SMS.
    enum Side { Receiver, Sender };
    static std::span<QString PreInputValues::*const> sideFields(Side side);

    static const QStringList &itemTypes();     // 文件, 包裹, 防水袋
    static const QStringList &regions();       // 大陆, 华语, 外语
    static const QStringList &payWays();       // 月结, 现付, 到付
    static const QStringList &payDirections(); // PP, CC, COD, DP
    static const QStringList &currencies();    // CNY, USD, ... CHF

    bool nmarked = false;
    int nitemtype = 1;
    int nlanguage = 0;
    QString cemskind;
    int npieces = 1;
    QString cfrom;
    QString cdes;
    QString cnum;
    double fweight = 0;
    double ffee = 0;
    int npayway = 1;
    QString ddate;

    QString creceiver;
    QString creceiverzip;
    QString cphone;
    QString creceivermail;
    QString creceiversms;
    QString creceivercorp;
    QString creceiveraddr;
    QString creceivercountry;
    QString creceiverprov;
    QString creceivercity;

    QString csender;
    QString csenderzip;
    QString csenderphone;
    QString csendermail;
    QString csendersms;
    QString csendercorp;
    QString csenderaddr;
    QString csendercountry;
    QString csenderprov;
    QString csendercity;

    QString cmark;
    QString cdepart;
    QString cpack;
    QString cpaydir = QStringLiteral("PP");
    QString cremark;
    QString cgoods;
    int nquantity = 1;
    double iprice = 1.0;
    QString ccurrency = QStringLiteral("USD");
    QString cgoodsorigin = QStringLiteral("CN");
    double ideclare = 0;
    double iinsure = 0;

    bool operator==(const PreInputValues &) const = default;
};

} // namespace quarvel
