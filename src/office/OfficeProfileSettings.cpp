#include "OfficeProfileSettings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace quarvel {

namespace {

const QByteArray kFontCachePath = "oor:path=\"/org.openoffice.Office.Common/Cache/Font\"";
const QByteArray kGlyphsCacheName = "oor:name=\"GlyphsCacheSize\"";
const QByteArray kItemsEnd = "</oor:items>";
const QByteArray kEmptyRegistry =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
    "</oor:items>\n";

QByteArray glyphsCacheItem()
{
    return "<item " + kFontCachePath + "><prop " + kGlyphsCacheName + " oor:op=\"fuse\"><value>" +
           QByteArray::number(OfficeProfileSettings::kGlyphsCacheBytes) + "</value></prop></item>\n";
}

} // namespace

QByteArray OfficeProfileSettings::Merged(const QByteArray &registry)
{
    const QByteArray item = glyphsCacheItem();
    if (registry.count(kGlyphsCacheName) == 1 && registry.contains(item))
        return registry;
    // The office writes one item to a line, so an earlier value is one line.
    QByteArray kept;
    for (const QByteArray &line : registry.split('\n')) {
        if (line.contains(kFontCachePath) && line.contains(kGlyphsCacheName))
            continue;
        if (!line.isEmpty())
            kept += line + '\n';
    }
    if (!kept.contains(kItemsEnd))
        kept = kEmptyRegistry;
    return kept.insert(kept.lastIndexOf(kItemsEnd), item);
}

bool OfficeProfileSettings::Apply(const QString &profileFolder, QString &error)
{
    const QString userFolder = QDir(profileFolder).filePath(QStringLiteral("user"));
    const QString path = QDir(userFolder).filePath(QStringLiteral("registrymodifications.xcu"));
    QByteArray registry;
    QFile current(path);
    if (current.open(QIODevice::ReadOnly))
        registry = current.readAll();
    const QByteArray merged = Merged(registry);
    if (merged == registry)
        return true;
    QSaveFile file(path);
    if (!QDir().mkpath(userFolder) || !file.open(QIODevice::WriteOnly) || file.write(merged) != merged.size() ||
        !file.commit()) {
        error =
            QStringLiteral("无法写入LibreOffice配置文件%1:%2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

} // namespace quarvel
