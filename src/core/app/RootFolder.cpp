#include "app/RootFolder.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace quarvel {

namespace {

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

} // namespace

QString RootFolder::Choose(const QString &given, const QString &programFolder)
{
    if (!given.isEmpty())
        return withSlash(given);
    if (programFolder.isEmpty() || IsInstalled(programFolder))
        return UserRoot();
    return withSlash(programFolder);
}

QString RootFolder::UserRoot()
{
    // Only an absolute XDG_DATA_HOME counts (the XDG base directory rules).
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!data.startsWith(u'/'))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return withSlash(QDir::cleanPath(data + QStringLiteral("/quarvel")));
}

bool RootFolder::IsInstalled(const QString &programFolder)
{
    // root may write /usr/bin, so writability alone does not tell an installation.
    if (::access(QFile::encodeName(programFolder).constData(), W_OK) != 0)
        return true;
    return QFileInfo(QDir(programFolder).filePath(QStringLiteral("../share/quarvel"))).isDir();
}

} // namespace quarvel
