#include "excel/ImportLayouts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace quarvel {

namespace {

QJsonArray readLayouts(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).array();
}

bool sameLayout(const QJsonObject &entry, const QString &kind, const QString &layout)
{
    return entry.value(QLatin1String("kind")).toString() == kind &&
           entry.value(QLatin1String("layout")).toString() == layout;
}

} // namespace

std::optional<ColumnMap> ImportLayouts::find(const QString &kind, const QString &layout) const
{
    for (const QJsonValue &value : readLayouts(path_)) {
        const QJsonObject entry = value.toObject();
        if (!sameLayout(entry, kind, layout))
            continue;
        ColumnMap map;
        for (const QJsonValue &pair : entry.value(QLatin1String("map")).toArray()) {
            const QJsonArray p = pair.toArray();
            map.set(p.at(0).toString(), p.at(1).toString());
        }
        return map;
    }
    return std::nullopt;
}

bool ImportLayouts::Remember(const QString &kind, const QString &layout, const ColumnMap &map, QString *error)
{
    QJsonArray pairs;
    for (const auto &[header, field] : map.entries())
        pairs.append(QJsonArray{header, field});
    QJsonArray layouts{
        QJsonObject{{QLatin1String("kind"), kind}, {QLatin1String("layout"), layout}, {QLatin1String("map"), pairs}}};
    for (const QJsonValue &value : readLayouts(path_))
        if (layouts.size() < kKept && !sameLayout(value.toObject(), kind, layout))
            layouts.append(value);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(layouts).toJson()) >= 0 && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("表格列对应无法保存:%1\r\n%2").arg(QDir::toNativeSeparators(path_), file.errorString());
    return false;
}

} // namespace quarvel
