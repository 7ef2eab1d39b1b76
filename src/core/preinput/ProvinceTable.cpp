#include "preinput/ProvinceTable.h"

#include "text/Gbk.h"

namespace quarvel {

const QStringList &ProvinceTable::Names()
{
    static const QStringList names = QStringLiteral("安徽 福建 甘肃 广东 广西 贵州 海南 河北 河南 黑龙江 湖北 湖南 "
                                                    "吉林 江苏 江西 辽宁 内蒙古 宁夏 青海 山东 山西 陕西 四川 西藏 "
                                                    "新疆 云南 浙江 重庆 北京 天津 上海 台湾 香港 澳门")
                                         .split(u' ');
    return names;
}

std::optional<ProvinceTable::Split> ProvinceTable::SplitDestination(const QString &destination)
{
    const QByteArray name = Gbk::fromUnicode(destination);
    if (name.isEmpty())
        return std::nullopt;
    for (const QString &province : Names()) {
        const QByteArray p = Gbk::fromUnicode(province);
        if (!name.startsWith(p))
            continue;
        const QByteArray rest = name.mid(p.size());
        return Split{province, rest.size() < 3 ? destination : Gbk::toUnicode(rest)};
    }
    return std::nullopt;
}

} // namespace quarvel
