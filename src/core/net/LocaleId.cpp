#include "net/LocaleId.h"

namespace quarvel {

namespace {

struct Entry {
    QLocale::Language language;
    QLocale::Territory territory;
    quint32 id;
};

const Entry kIds[] = {
    {QLocale::Chinese, QLocale::China, 2052},         {QLocale::Chinese, QLocale::Taiwan, 1028},
    {QLocale::Chinese, QLocale::HongKong, 3076},      {QLocale::Chinese, QLocale::Singapore, 4100},
    {QLocale::Chinese, QLocale::Macao, 5124},         {QLocale::English, QLocale::UnitedStates, 1033},
    {QLocale::English, QLocale::UnitedKingdom, 2057}, {QLocale::English, QLocale::Australia, 3081},
    {QLocale::English, QLocale::Canada, 4105},        {QLocale::English, QLocale::NewZealand, 5129},
    {QLocale::English, QLocale::Ireland, 6153},       {QLocale::English, QLocale::Singapore, 18441},
    {QLocale::Japanese, QLocale::Japan, 1041},        {QLocale::Korean, QLocale::SouthKorea, 1042},
    {QLocale::German, QLocale::Germany, 1031},        {QLocale::German, QLocale::Switzerland, 2055},
    {QLocale::German, QLocale::Austria, 3079},        {QLocale::French, QLocale::France, 1036},
    {QLocale::French, QLocale::Belgium, 2060},        {QLocale::French, QLocale::Canada, 3084},
    {QLocale::French, QLocale::Switzerland, 4108},    {QLocale::Spanish, QLocale::Spain, 3082},
    {QLocale::Spanish, QLocale::Mexico, 2058},        {QLocale::Italian, QLocale::Italy, 1040},
    {QLocale::Portuguese, QLocale::Brazil, 1046},     {QLocale::Portuguese, QLocale::Portugal, 2070},
    {QLocale::Dutch, QLocale::Netherlands, 1043},     {QLocale::Russian, QLocale::Russia, 1049},
    {QLocale::Polish, QLocale::Poland, 1045},         {QLocale::Turkish, QLocale::Turkey, 1055},
    {QLocale::Vietnamese, QLocale::Vietnam, 1066},    {QLocale::Thai, QLocale::Thailand, 1054},
    {QLocale::Indonesian, QLocale::Indonesia, 1057},  {QLocale::Malay, QLocale::Malaysia, 1086},
};

} // namespace

quint32 LocaleId::of(const QLocale &locale)
{
    for (const Entry &e : kIds)
        if (e.language == locale.language() && e.territory == locale.territory())
            return e.id;
    return kDefault;
}

quint32 LocaleId::system()
{
    return of(QLocale::system());
}

} // namespace quarvel
