#include "upload/UploadResultBook.h"
#include "storage/FileReplace.h"

#include <QFile>

namespace quarvel {

namespace {

// Reasons are one line each: no tab or line break may come from a text.
QString oneLine(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.unicode() < 0x20)
            c = u' ';
    return out;
}

} // namespace

void UploadResultBook::Load()
{
    entries_.clear();
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() != 4)
            continue;
        bool kindOk = false;
        bool idOk = false;
        bool digestOk = false;
        const int kind = parts[0].toInt(&kindOk);
        const int id = parts[1].toInt(&idOk);
        const quint64 digest = parts[2].toULongLong(&digestOk, 16);
        if (kindOk && idOk && digestOk && id > 0)
            entries_[{kind, id}] = {digest, QString::fromUtf8(parts[3])};
    }
}

bool UploadResultBook::Save() const
{
    QByteArray text;
    for (const auto &[key, entry] : entries_)
        text += QByteArray::number(key.first) + '\t' + QByteArray::number(key.second) + '\t' +
                QByteArray::number(entry.digest, 16) + '\t' + entry.text.toUtf8() + '\n';
    return FileReplace::Write(path_, text);
}

void UploadResultBook::Refused(UploadKind kind, int id, quint64 digest, const QString &text)
{
    entries_[{int(kind), id}] = {digest, oneLine(text)};
}

void UploadResultBook::Accepted(UploadKind kind, int id)
{
    entries_.erase({int(kind), id});
}

QString UploadResultBook::Reason(UploadKind kind, int id, quint64 digest) const
{
    const auto it = entries_.find({int(kind), id});
    return it != entries_.end() && it->second.digest == digest ? it->second.text : QString();
}

QList<int> UploadResultBook::Ids(UploadKind kind) const
{
    QList<int> ids;
    for (const auto &[key, entry] : entries_)
        if (key.first == int(kind))
            ids.append(key.second);
    return ids;
}

void UploadResultBook::Prune(UploadKind kind, const std::function<bool(int)> &exists)
{
    for (auto it = entries_.begin(); it != entries_.end();)
        it = it->first.first == int(kind) && !exists(it->first.second) ? entries_.erase(it) : std::next(it);
}

} // namespace quarvel
