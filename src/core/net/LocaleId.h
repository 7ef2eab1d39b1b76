#pragma once

#include <QLocale>

namespace quarvel {

// The Windows locale id (LCID) of a locale, which the server expects in
// every envelope: zh_CN 2052, zh_TW 1028, en_US 1033, ...; 2052 when unknown.
class LocaleId {
public:
    static constexpr quint32 kDefault = 2052;

    static quint32 of(const QLocale &locale);
    // The id of the user's locale.
    static quint32 system();
};

} // namespace quarvel
