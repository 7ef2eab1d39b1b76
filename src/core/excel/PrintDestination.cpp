#include "excel/PrintDestination.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace quarvel {

namespace {

QString confPath(const QString &rootFolder)
{
    return QDir(rootFolder).filePath(QStringLiteral("DATA_SYS/") + QLatin1String(PrintDestination::kFileName));
}

} // namespace

PrintDestination PrintDestination::Printer(const QString &name)
{
    PrintDestination d;
    d.printer_ = name.trimmed();
    return d;
}

PrintDestination PrintDestination::Folder(const QString &folder)
{
    PrintDestination d;
    d.folder_ = folder;
    return d;
}

PrintDestination PrintDestination::Load(const QString &rootFolder)
{
    PrintDestination d;
    QFile file(confPath(rootFolder));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return d;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (line.startsWith(u'#') || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("printer"))
            d.printer_ = value;
        else if (key == QLatin1String("folder") && !value.isEmpty())
            d.folder_ = QDir::cleanPath(QDir(rootFolder).absoluteFilePath(value));
    }
    return d;
}

bool PrintDestination::Save(const QString &rootFolder) const
{
    QSaveFile file(confPath(rootFolder));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# Where printed sheets go: printer=NAME (empty: the default printer) or folder=PATH (PDFs kept there)\n";
    out << "printer=" << printer_ << '\n';
    if (isFolder())
        out << "folder=" << folder_ << '\n';
    out.flush();
    return file.commit();
}

} // namespace quarvel
