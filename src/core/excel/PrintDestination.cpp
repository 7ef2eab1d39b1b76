#include "excel/PrintDestination.h"
#include "storage/FileReplace.h"
#include "storage/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QTextStream>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quarvel {

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024;
constexpr int kMaxSameNames = 100000;

// The lines of the file that say how long PDFs are kept: a new destination keeps them.
QByteArray keepingLines(const QString &path)
{
    QFile file(path);
    QByteArray kept;
    if (!file.open(QIODevice::ReadOnly))
        return kept;
    for (const QByteArray &line : file.read(kMaxFileBytes).split('\n')) {
        const QByteArray key = line.left(line.indexOf('=')).trimmed().toLower();
        if (key == "keep_days" || key == "keep_mb")
            kept += line.trimmed() + '\n';
    }
    return kept;
}

// The PDF's bytes into a file reserved for it (QFile::copy refuses an existing target).
bool copyInto(const QString &from, const QString &to)
{
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = source.readAll();
    return target.write(bytes) == bytes.size() && target.flush();
}

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
        else if (key == QLatin1String("keep_days") || key == QLatin1String("keep_mb"))
            continue; // how long printed PDFs are kept, read where they are pruned
        else
            found << QStringLiteral("第 %1 行不是设置（应为 printer=... 或 folder=...）").arg(n + 1);
    }
    if (damage)
        *damage = found;
    return d;
}

bool PrintDestination::Save(const QString &rootFolder) const
{
    QString text =
        QStringLiteral("# Where printed sheets go: printer=NAME (empty: the default printer) or folder=PATH (PDFs kept "
                       "there)\nprinter=%1\n")
            .arg(printer_);
    if (isFolder())
        text += QStringLiteral("folder=%1\n").arg(folder_);
    return FileReplace::Write(confPath(rootFolder), text.toUtf8() + keepingLines(confPath(rootFolder)));
}

QString PrintDestination::FileNameOf(const QString &title)
{
    QString name = title.trimmed();
    for (QChar &c : name)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
            c == u'<' || c == u'>' || c == u'|')
            c = u'_';
    if (name.startsWith(u'.'))
        name.prepend(u'_');
    return name.isEmpty() ? QStringLiteral("document") : name;
}

QString PrintDestination::FreeFileName(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    QString candidate = dir.filePath(name + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = dir.filePath(name + u'_' + QString::number(n) + QStringLiteral(".pdf"));
    return candidate;
}

QString PrintDestination::ReserveFileName(const QString &folder, const QString &name, QString *error)
{
    const QDir dir(folder);
    for (int n = 1; n < kMaxSameNames; ++n) {
        const QString candidate =
            dir.filePath(name + (n == 1 ? QString() : u'_' + QString::number(n)) + QStringLiteral(".pdf"));
        const int fd = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            if (error)
                *error = QStringLiteral("打印文件%1没能创建：%2")
                             .arg(QDir::toNativeSeparators(candidate), SystemError::Reason(errno));
            return QString();
        }
    }
    if (error)
        *error = QStringLiteral("打印文件夹%1里同名的文件太多。").arg(QDir::toNativeSeparators(folder));
    return QString();
}

bool PrintDestination::Send(const QString &pdf, int copies, const QString &title, QString *error,
                            QString *sentPath) const
{
    if (!QFileInfo(pdf).isFile()) {
        if (error)
            *error = QStringLiteral("打印文件已不存在:\r\n") + QDir::toNativeSeparators(pdf);
        return false;
    }
    if (!isFolder()) {
        if (sentPath)
            *sentPath = pdf;
        return sendToPrinter(pdf, std::max(1, copies), title, error);
    }
    QString kept = pdf;
    if (QFileInfo(pdf).absolutePath() != QDir(folder_).absolutePath()) {
        kept = QDir().mkpath(folder_) ? ReserveFileName(folder_, FileNameOf(title)) : QString();
        if (kept.isEmpty() || !copyInto(pdf, kept)) {
            if (!kept.isEmpty())
                QFile::remove(kept);
            if (error)
                *error = QStringLiteral("打印失败:\r\n无法写入打印文件夹") + QDir::toNativeSeparators(folder_) + u'.';
            return false;
        }
    }
    if (sentPath)
        *sentPath = kept;
    return true;
}

bool PrintDestination::sendToPrinter(const QString &pdf, int copies, const QString &title, QString *error) const
{
    const auto failed = [error](const QString &why) {
        if (error)
            *error = QStringLiteral("打印失败:\r\n") + why;
        return false;
    };
    QStringList args{QStringLiteral("-n"), QString::number(copies), QStringLiteral("-t"), title};
    if (!printer_.isEmpty())
        args << QStringLiteral("-d") << printer_;
    args << QStringLiteral("--") << pdf;
    QProcess lp;
    lp.start(lpProgram_, args);
    if (!lp.waitForStarted(10000))
        return failed(QStringLiteral("无法运行打印程序") + lpProgram_ + u'.');
    if (!lp.waitForFinished(60000)) {
        lp.kill();
        lp.waitForFinished(1000);
        return failed(QStringLiteral("打印程序没有响应。"));
    }
    if (lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
        const QString reason = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
        return failed(reason.isEmpty() ? QStringLiteral("打印程序报告错误。") : reason);
    }
    return true;
}

} // namespace quarvel
