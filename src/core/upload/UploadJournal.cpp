#include "upload/UploadJournal.h"

#include "app/ClientContext.h"
#include "storage/FileReplace.h"
#include "storage/SystemError.h"

#include <QFile>
#include <QFileInfo>

#include <functional>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <unordered_set>

namespace quarvel {

namespace {

template <class R> QByteArray bytesOf(const R &record)
{
    return QByteArray(reinterpret_cast<const char *>(&record), sizeof(R));
}

// The bytes of a record as stored now, or an empty text when it is gone.
QByteArray storedBytes(ClientContext &context, int kind, int id)
{
    if (kind == static_cast<int>(UploadKind::Shipments)) {
        const PreInputRecord *r = context.preInputs().Find(id);
        return r ? bytesOf(*r) : QByteArray();
    }
    const CheckRecord *r = context.checks().Find(id);
    return r ? bytesOf(*r) : QByteArray();
}

QByteArray line(char event, int kind, int id)
{
    return QByteArray(1, event) + ' ' + QByteArray::number(kind) + ' ' + QByteArray::number(id);
}

// " time server account" of an acceptance line.
QByteArray acceptanceFields(const UploadLedgerEntry::Acceptance &a)
{
    const qint64 seconds = a.at.isValid() ? a.at.toSecsSinceEpoch() : 0;
    return ' ' + QByteArray::number(seconds) + ' ' + QByteArray::number(a.serverId) + ' ' +
           (a.account.isEmpty() ? QByteArray("-") : a.account.toUtf8().toHex());
}

// What an acceptance line says beyond its digest; older lines say nothing.
UploadLedgerEntry::Acceptance readAcceptance(const QList<QByteArray> &parts)
{
    UploadLedgerEntry::Acceptance a;
    if (parts.size() < 7)
        return a;
    const qint64 seconds = parts[4].toLongLong();
    if (seconds > 0)
        a.at = QDateTime::fromSecsSinceEpoch(seconds);
    a.serverId = parts[5].toInt();
    if (parts[6] != "-")
        a.account = QString::fromUtf8(QByteArray::fromHex(parts[6]));
    return a;
}

std::function<bool(const char *)> pickFrom(const std::unordered_set<int> &ids)
{
    return [&ids](const char *record) {
        std::int32_t id = 0;
        std::memcpy(&id, record, sizeof id);
        return ids.count(id) > 0;
    };
}

} // namespace

UploadJournal::UploadJournal(QString path) : path_(std::move(path))
{
}

UploadJournal::~UploadJournal()
{
    if (fd_ >= 0)
        ::close(fd_);
}

quint64 UploadJournal::Digest(const QByteArray &recordBytes)
{
    // FNV-1a: stable across runs and builds, which is all it needs to be.
    quint64 h = 14695981039346656037ULL;
    for (char c : recordBytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ULL;
    }
    return h;
}

void UploadJournal::Mark::doubted(const SentDigest &sent)
{
    // Two sends of different bytes in doubt: which one the server may hold
    // is not known any more.
    doubtDigest = !doubt || doubtDigest == sent ? sent : std::nullopt;
    doubt = true;
}

void UploadJournal::Mark::unanswered()
{
    if (pending)
        doubted(pendingDigest);
    pending = false;
    pendingDigest.reset();
}

void UploadJournal::apply(char event, const Key &k, const SentDigest &digest,
                          const UploadLedgerEntry::Acceptance &acceptance)
{
    Mark &m = marks_[k];
    switch (event) {
    case 'S':
        m.unanswered();
        m.pending = true;
        m.pendingDigest = digest;
        break;
    case 'R':
        m.pending = false;
        m.pendingDigest.reset();
        break;
    case 'A':
        m = Mark{};
        m.accepted = true;
        m.digest = digest.value_or(0);
        m.acceptance = acceptance;
        break;
    case 'D':
        m.doubted(digest);
        break;
    case 'C':
        m.doubt = false;
        m.doubtDigest.reset();
        break;
    default:
        break;
    }
}

void UploadJournal::Load()
{
    const std::lock_guard lock(mutex_);
    marks_.clear();
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray text = file.readAll();
        qsizetype from = 0;
        // Only whole lines count: the last one may have been cut by a kill.
        for (qsizetype end = text.indexOf('\n'); end >= 0; from = end + 1, end = text.indexOf('\n', from)) {
            const QList<QByteArray> parts = text.mid(from, end - from).split(' ');
            if (parts.size() < 3 || parts[0].size() != 1)
                continue;
            bool okKind = false;
            bool okId = false;
            bool okDigest = parts.size() < 4;
            const int kind = parts[1].toInt(&okKind);
            const int id = parts[2].toInt(&okId);
            SentDigest digest;
            if (parts.size() >= 4)
                digest = parts[3].toULongLong(&okDigest, 16);
            if (okKind && okId && okDigest && id > 0)
                apply(parts[0].at(0), {kind, id}, digest, readAcceptance(parts));
        }
    }
    for (auto &[k, m] : marks_)
        m.unanswered();
}

bool UploadJournal::openForAppend()
{
    if (fd_ < 0)
        fd_ = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

bool UploadJournal::append(const QByteArray &text, bool durable)
{
    if (!openForAppend()) {
        lastError_ = errno;
        return false;
    }
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    if (FileReplace::WriteAll(fd_, text + '\n') && (!durable || ::fdatasync(fd_) == 0))
        return true;
    lastError_ = errno;
    // Part of a line must not stay: the next line would be glued to it. When
    // even this fails, the reader skips the broken line with a warning.
    if (end >= 0) {
        [[maybe_unused]] const int trimmed = ::ftruncate(fd_, end);
    }
    return false;
}

QString UploadJournal::failureReason() const
{
    const std::lock_guard lock(mutex_);
    return SystemError::Reason(lastError_);
}

bool UploadJournal::Sending(UploadKind kind, int id, quint64 digest)
{
    const std::lock_guard lock(mutex_);
    if (!append(line('S', static_cast<int>(kind), id) + ' ' + QByteArray::number(digest, 16), true))
        return false;
    apply('S', key(kind, id), digest);
    return true;
}

void UploadJournal::Answered(UploadKind kind, int id, quint64 digest, int status)
{
    const std::lock_guard lock(mutex_);
    const char event = status > 0 ? 'A' : 'R';
    const UploadLedgerEntry::Acceptance acceptance{QDateTime::currentDateTime(), status, account_};
    QByteArray text = line(event, static_cast<int>(kind), id);
    if (event == 'A')
        text += ' ' + QByteArray::number(digest, 16) + acceptanceFields(acceptance);
    // A refusal need not reach the disk: lost, it only leaves the record in doubt.
    append(text, event == 'A');
    apply(event, key(kind, id), digest, acceptance);
}

void UploadJournal::Cleared(UploadKind kind, int id)
{
    const std::lock_guard lock(mutex_);
    // Lost, it only leaves the record in doubt for one more look-up.
    append(line('C', static_cast<int>(kind), id), false);
    apply('C', key(kind, id), std::nullopt);
}

bool UploadJournal::inDoubt(UploadKind kind, int id) const
{
    const std::lock_guard lock(mutex_);
    const auto it = marks_.find(key(kind, id));
    return it != marks_.end() && it->second.doubt;
}

bool UploadJournal::accepted(UploadKind kind, int id) const
{
    const std::lock_guard lock(mutex_);
    const auto it = marks_.find(key(kind, id));
    return it != marks_.end() && it->second.accepted;
}

void UploadJournal::setAccount(const QString &account)
{
    const std::lock_guard lock(mutex_);
    account_ = account;
}

std::optional<UploadLedgerEntry::Acceptance> UploadJournal::acceptance(UploadKind kind, int id) const
{
    const std::lock_guard lock(mutex_);
    const auto it = marks_.find(key(kind, id));
    if (it == marks_.end() || !it->second.accepted)
        return std::nullopt;
    return it->second.acceptance;
}

std::optional<quint64> UploadJournal::doubtDigest(UploadKind kind, int id) const
{
    const std::lock_guard lock(mutex_);
    const auto it = marks_.find(key(kind, id));
    if (it == marks_.end() || !it->second.doubt)
        return std::nullopt;
    return it->second.doubtDigest;
}

std::unordered_set<int> UploadJournal::recordInLedger(ClientContext &context, UploadKind kind,
                                                      const std::map<int, UploadLedgerEntry::Acceptance> &accepted)
{
    QList<UploadLedgerEntry> entries;
    for (auto [id, acceptance] : accepted) {
        const QByteArray stored = storedBytes(context, static_cast<int>(kind), id);
        // An acceptance an older journal noted without its time counts today.
        if (!acceptance.at.isValid())
            acceptance.at = QDateTime::currentDateTime();
        if (kind == UploadKind::Shipments)
            entries.append(UploadLedgerEntry::OfShipment(*context.preInputs().Find(id), Digest(stored), acceptance));
        else
            entries.append(UploadLedgerEntry::OfScan(*context.checks().Find(id), Digest(stored), acceptance));
    }
    std::unordered_set<int> recorded;
    if (context.uploadLedger().Record(entries))
        for (const auto &[id, acceptance] : accepted)
            recorded.insert(id);
    return recorded;
}

int UploadJournal::FinishAccepted(ClientContext &context)
{
    const std::lock_guard lock(mutex_);
    std::map<int, UploadLedgerEntry::Acceptance> shipments;
    std::map<int, UploadLedgerEntry::Acceptance> scans;
    std::unordered_set<int> parents;
    for (const auto &[k, m] : marks_) {
        if (!m.accepted)
            continue;
        const QByteArray now = storedBytes(context, k.first, k.second);
        const bool shipment = k.first == static_cast<int>(UploadKind::Shipments);
        if (!now.isEmpty() && Digest(now) == m.digest)
            (shipment ? shipments : scans)[k.second] = m.acceptance;
        // A shipment whose record went before its lines leaves them to go now.
        if (shipment && now.isEmpty())
            parents.insert(k.second);
    }
    // The ledger line goes to disk before the record leaves the files.
    const std::unordered_set<int> shipmentIds = recordInLedger(context, UploadKind::Shipments, shipments);
    const std::unordered_set<int> scanIds = recordInLedger(context, UploadKind::Scans, scans);
    parents.insert(shipmentIds.begin(), shipmentIds.end());
    int removed = 0;
    if (!shipmentIds.empty()) {
        removed += context.preInputs().DeleteWhere(pickFrom(shipmentIds));
        context.preInputs().Flush();
    }
    if (!parents.empty()) {
        context.goods().DeleteByParents(parents);
        context.weights().DeleteByParents(parents);
        context.goods().Flush();
        context.weights().Flush();
    }
    if (!scanIds.empty()) {
        removed += context.checks().DeleteWhere(pickFrom(scanIds));
        context.checks().Flush();
    }
    settle(context);
    return removed;
}

void UploadJournal::Settle(ClientContext &context)
{
    const std::lock_guard lock(mutex_);
    settle(context);
}

void UploadJournal::settle(ClientContext &context)
{
    for (auto it = marks_.begin(); it != marks_.end();) {
        Mark &m = it->second;
        const QByteArray now = storedBytes(context, it->first.first, it->first.second);
        m.unanswered();
        if (m.accepted && !now.isEmpty() && Digest(now) != m.digest) {
            // Accepted, then edited before its delete: the server holds the
            // older bytes, so the record it keeps is in doubt.
            const quint64 held = m.digest;
            m = Mark{};
            m.doubted(held);
        }
        const bool done = now.isEmpty() || (!m.accepted && !m.doubt);
        it = done ? marks_.erase(it) : std::next(it);
    }
    rewrite();
}

bool UploadJournal::rewrite()
{
    QByteArray text;
    for (const auto &[k, m] : marks_) {
        if (m.accepted)
            text += line('A', k.first, k.second) + ' ' + QByteArray::number(m.digest, 16) +
                    acceptanceFields(m.acceptance) + '\n';
        else if (m.doubt)
            text += line('D', k.first, k.second) +
                    (m.doubtDigest ? ' ' + QByteArray::number(*m.doubtDigest, 16) : QByteArray()) + '\n';
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (text.isEmpty())
        return QFile::remove(path_) || !QFile::exists(path_);
    // Written beside, synced, then renamed over: a kill leaves the old or the new.
    const QString fresh = path_ + QStringLiteral(".new");
    const int fd = ::open(QFile::encodeName(fresh).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = FileReplace::WriteAll(fd, text) && ::fdatasync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path_).constData()) != 0) {
        QFile::remove(fresh);
        return false;
    }
    const int dir = ::open(QFile::encodeName(QFileInfo(path_).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace quarvel
