#include "app/ShippedData.h"

#include <QDir>
#include <QFileInfo>

namespace quarvel {

QString ShippedData::Folder()
{
    const QDir program = QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).dir();
    const QString candidates[] = {
        program.filePath(QStringLiteral("share/quarvel")), program.filePath(QStringLiteral("../share/quarvel")),
        program.filePath(QStringLiteral("../share/quarvel-server")), QStringLiteral(QUARVEL_SHIPPED_DATA_DIR)};
    for (const QString &c : candidates)
        if (QFileInfo(c + QStringLiteral("/DATA_MODEL")).isDir() || QFileInfo(c + QStringLiteral("/DATA_SYS")).isDir())
            return QDir::cleanPath(c);
    return QString();
}

} // namespace quarvel
