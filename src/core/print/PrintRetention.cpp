#include "print/PrintRetention.h"

#include "excel/PrintDestination.h"
#include "print/PrintLedger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace quarvel {

namespace {

constexpr qint64 kMaxFileBytes = 64 * 1024;
constexpr qint64 kMegabyte = 1024 * 1024;

const QString kDays = QStringLiteral("keep_days");
const QString kMegabytes = QStringLiteral("keep_mb");

// One PDF and the printouts that name it (a reprint in the destination
// folder prints the same file again).
struct Kept {
    QString path;
    QDateTime lastPrinted;
    qint64 bytes = 0;
    QList<int> numbers;
};

// The PDFs still on disk, oldest last print first.
QList<Kept> keptFiles(const QList<PrintLedger::Entry> &entries)
{
    QHash<QString, qsizetype> at;
    QList<Kept> files;
    for (const PrintLedger::Entry &e : entries) {
        if (e.removed.isValid() || e.pdf.isEmpty())
            continue;
        if (!at.contains(e.pdf)) {
            const QFileInfo info(e.pdf);
            // Only a PDF of our own naming is ever removed; a link is not followed.
            if (!info.isFile() || info.isSymLink() || info.suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive))
                continue;
            at.insert(e.pdf, files.size());
            files.append({e.pdf, e.time, info.size(), {}});
        }
        Kept &k = files[at.value(e.pdf)];
        k.lastPrinted = std::max(k.lastPrinted, e.time);
        k.numbers.append(e.number);
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const Kept &a, const Kept &b) { return a.lastPrinted < b.lastPrinted; });
    return files;
}

} // namespace

bool PrintRetention::IsKey(const QString &key)
{
    return key == kDays || key == kMegabytes;
}

PrintRetention::Limits PrintRetention::Load(const QString &rootFolder, QStringList *damage)
{
    QFile file(QDir(rootFolder).filePath(QStringLiteral("DATA_SYS/") + QLatin1String(PrintDestination::kFileName)));
    if (!file.open(QIODevice::ReadOnly))
        return Limits();
    return Parse(file.read(kMaxFileBytes), damage);
}

PrintRetention::Limits PrintRetention::Parse(const QByteArray &text, QStringList *damage)
{
    Limits limits;
    QStringList found;
    for (const QByteArray &raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const qsizetype eq = line.indexOf(u'=');
        const QString key = eq <= 0 ? QString() : line.left(eq).trimmed().toLower();
        if (!IsKey(key))
            continue;
        bool ok = false;
        const qint64 value = line.mid(eq + 1).trimmed().toLongLong(&ok);
        if (!ok || value < 1 || value > 1'000'000) {
            found << QStringLiteral("%1 应为 1 到 1000000 之间的整数").arg(key);
            continue;
        }
        if (key == kDays)
            limits.days = int(value);
        else
            limits.megabytes = value;
    }
    if (damage)
        *damage = found;
    return limits;
}

PrintRetention::Pruned PrintRetention::Prune(PrintLedger &ledger, const Limits &limits, const QDateTime &now)
{
    const QList<Kept> files = keptFiles(ledger.All());
    qint64 total = 0;
    for (const Kept &k : files)
        total += k.bytes;
    const QDateTime oldest = now.addDays(-limits.days);
    Pruned pruned;
    QList<int> numbers;
    for (const Kept &k : files) {
        if (k.lastPrinted >= oldest && total <= limits.megabytes * kMegabyte)
            break;
        if (!QFile::remove(k.path))
            continue;
        total -= k.bytes;
        pruned.bytes += k.bytes;
        ++pruned.files;
        numbers += k.numbers;
    }
    ledger.MarkRemoved(numbers, now, &pruned.error);
    return pruned;
}

} // namespace quarvel
