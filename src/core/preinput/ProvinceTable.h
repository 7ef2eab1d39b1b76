#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace quarvel {

// The provinces of China in the order a destination name is matched against
// them, so that 广东深圳 fills the province 广东 and the city 深圳.
class ProvinceTable {
public:
    struct Split {
        QString province;
        QString city;
    };

    static const QStringList &Names();
    // The first province the destination begins with (GBK bytes), and the
    // city: the rest of the name, or the whole name when the rest is shorter
    // than 3 bytes (北京市 → 北京, 北京市). Nothing when no province matches.
    static std::optional<Split> SplitDestination(const QString &destination);
};

} // namespace quarvel
