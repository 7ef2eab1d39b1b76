#include "print/TemplateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quarvel {

namespace {

const QString kDefinitionSuffix = QStringLiteral(".TXT");
const QString kSpreadsheetSuffix = QStringLiteral(".XLS");

} // namespace

QString TemplateFiles::Find(const QString &folder, const QString &fileName)
{
    const QDir dir(folder);
    const QString exact = dir.filePath(fileName);
    if (QFileInfo::exists(exact))
        return exact;
    const QString wanted = fileName.toUpper();
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
        if (entry.toUpper() == wanted)
            return dir.filePath(entry);
    return exact;
}

QString TemplateFiles::DefinitionPath(const QString &folder, TemplateKind kind, const QString &name)
{
    return Find(folder, TemplateKinds::Prefix(kind) + name + QStringLiteral(".txt"));
}

QString TemplateFiles::SpreadsheetPath(const QString &folder, TemplateKind kind, const QString &name)
{
    return Find(folder, TemplateKinds::Prefix(kind) + name + QStringLiteral(".xls"));
}

QStringList TemplateFiles::Available(const QString &folder, TemplateKind kind)
{
    const QDir dir(folder);
    const QString prefix = TemplateKinds::Prefix(kind);
    QStringList names;
    for (const QString &entry : dir.entryList(QDir::Files, QDir::Name)) {
        const QString upper = entry.toUpper();
        if (!upper.endsWith(kSpreadsheetSuffix) || !upper.startsWith(prefix))
            continue;
        const QString stem = upper.chopped(kSpreadsheetSuffix.size());
        QFile definition(Find(folder, stem + kDefinitionSuffix));
        if (!definition.open(QIODevice::ReadOnly))
            continue;
        const QString name = stem.mid(prefix.size());
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    names.sort();
    return names;
}

int TemplateFiles::CopyMissing(const QString &from, const QString &to)
{
    const QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return 0;
    int copied = 0;
    for (const QString &entry : source.entryList(QDir::Files, QDir::Name)) {
        if (QFileInfo::exists(Find(to, entry)))
            continue;
        const QString target = QDir(to).filePath(entry);
        if (QFile::copy(source.filePath(entry), target)) {
            // The copy belongs to the installation: writable by its operator.
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
            ++copied;
        }
    }
    return copied;
}

} // namespace quarvel
