#include "excel/PrintDestination.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextStream>

namespace quarvel {

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024;

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

PrintDestination PrintDestination::Load(const QString &rootFolder, QStringList *damage)
{
    QFile file(confPath(rootFolder));
    if (!file.open(QIODevice::ReadOnly))
        return PrintDestination();
    return Parse(rootFolder, file.read(kMaxFileBytes), damage);
}

PrintDestination PrintDestination::Parse(const QString &rootFolder, const QByteArray &text, QStringList *damage)
{
    PrintDestination d;
    QStringList found;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(text);
    if (utf8.hasError())
        found << QStringLiteral("内容不是有效的 UTF-8 文本");
    const QStringList lines = decoded.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines.at(n).trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QString key = eq <= 0 ? QString() : line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("printer"))
            d.printer_ = value;
        else if (key == QLatin1String("folder") && !value.isEmpty())
            d.folder_ = QDir::cleanPath(QDir(rootFolder).absoluteFilePath(value));
        else
            found << QStringLiteral("第 %1 行不是设置（应为 printer=... 或 folder=...）").arg(n + 1);
    }
    if (damage)
        *damage = found;
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
