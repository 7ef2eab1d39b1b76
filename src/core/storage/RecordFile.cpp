#include "storage/RecordFile.h"

#include "storage/SystemError.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quarvel {

namespace {

std::int32_t readInt(const char *p)
{
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void writeInt(char *p, std::int32_t v)
{
    std::memcpy(p, &v, 4);
}

std::atomic_ref<std::uint64_t> sequenceAt(char *view)
{
    return std::atomic_ref<std::uint64_t>(*reinterpret_cast<std::uint64_t *>(view + 8));
}

// How long a reader waits for a change to end before it takes the file as
// it stands: a writer killed in the middle of a change never ends it.
constexpr auto kStaleChange = std::chrono::milliseconds(500);

RecordFile::Stamp stampOf(const struct stat &st, std::int32_t count, std::int32_t lastId)
{
    RecordFile::Stamp stamp;
    stamp.size = st.st_size;
    stamp.changedNs = std::int64_t(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    stamp.inode = st.st_ino;
    stamp.count = count;
    stamp.lastId = lastId;
    return stamp;
}

} // namespace

RecordFile::~RecordFile()
{
    Close();
}

int RecordFile::OpenFile(const QString &path, int recordSize, Mode mode)
{
    recordSize_ = recordSize;
    path_ = path;
    mode_ = mode;
    return Open();
}

bool RecordFile::fail(const char *format, Failure failure, const QString &reason)
{
    errorText_ = QString::fromLatin1(format).arg(path_);
    failure_ = failure;
    failureReason_ = reason;
    return false;
}

bool RecordFile::failSystem(const char *format, int error)
{
    return fail(format, Failure::System, SystemError::Reason(error));
}

int RecordFile::Open()
{
    Close();
    changeCount_ = 1;
    errorText_.clear();
    failure_ = Failure::None;
    failureReason_.clear();
    repairText_.clear();
    renumbered_.clear();
    openedClean_ = false;
    dirty_ = true;
    const std::optional<Stamp> trusted = std::exchange(trusted_, std::nullopt);
    const QByteArray native = QFile::encodeName(path_);
    const bool writable = mode_ == Mode::ReadWrite;
    fd_ = ::open(native.constData(), writable ? O_RDWR | O_CREAT | O_CLOEXEC : O_RDONLY | O_CLOEXEC, 0644);
    if (fd_ < 0 && !writable && errno == ENOENT) {
        // A reader of a file that was never written sees an empty file.
        open_ = true;
        return 1;
    }
    if (fd_ < 0)
        return failSystem("File(%1) open failed.", errno);
    // An open-file-description lock: a second writer, in this process or
    // another, is refused; readers take no lock and may share the file.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (writable && ::fcntl(fd_, F_OFD_SETLK, &lock) != 0) {
        const int error = errno;
        Close();
        if (error == EACCES || error == EAGAIN)
            return fail("File(%1) open failed. It is in use by another program.", Failure::InUse,
                        QStringLiteral("文件正被另一个程序使用。"));
        return failSystem("File(%1) open failed.", error);
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int error = errno;
        Close();
        return failSystem("File(%1) open failed.", error);
    }
    if (!readHeader(st.st_size)) {
        Close();
        return 0;
    }
    // The stamp is compared before the map is made: making it may grow the file.
    const bool asClosed = trusted && *trusted == stampOf(st, recordCount_, lastId_);
    openedClean_ = writable && asClosed;
    if (!writable && st.st_size == 0) {
        open_ = true;
        return 1;
    }
    if (!mapView()) {
        Close();
        return 0;
    }
    // Only what the open itself changes needs a flush before the first change.
    dirty_ = false;
    if (writable) {
        // A change a killed writer left under way is over now.
        std::atomic_ref<std::uint64_t> sequence = sequenceAt(view_);
        if (sequence.load(std::memory_order_relaxed) & 1) {
            sequence.store(sequence.load(std::memory_order_relaxed) + 1, std::memory_order_release);
            dirty_ = true;
        }
    }
    if (writable && !openedClean_ && !repairOrder()) {
        Close();
        return 0;
    }
    dirty_ = dirty_ || !repairText_.isEmpty();
    open_ = true;
    if (asClosed) {
        openSequence_ = sequenceAt(view_).load(std::memory_order_acquire);
        takeContentNote(trusted->note);
    }
    return 1;
}

void RecordFile::beginChange()
{
    if (mode_ != Mode::ReadWrite || !view_)
        return;
    dirty_ = true;
    if (changeDepth_++ > 0)
        return;
    std::atomic_ref<std::uint64_t> sequence = sequenceAt(view_);
    changeSequence_ = sequence.load(std::memory_order_relaxed) | 1;
    sequence.store(changeSequence_, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
}

void RecordFile::endChange()
{
    if (mode_ != Mode::ReadWrite || !view_ || changeDepth_ == 0 || --changeDepth_ > 0)
        return;
    sequenceAt(view_).store(changeSequence_ + 1, std::memory_order_release);
}

bool RecordFile::coverCount(int count) const
{
    const std::int64_t needed = kHeaderSize + std::int64_t(count) * recordSize_;
    if (needed <= mappedLength_)
        return true;
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_size < needed)
        return false;
    void *p =
        ::mremap(view_, static_cast<std::size_t>(mappedLength_), static_cast<std::size_t>(st.st_size), MREMAP_MAYMOVE);
    if (p == MAP_FAILED)
        return false;
    view_ = static_cast<char *>(p);
    mappedLength_ = st.st_size;
    return true;
}

int RecordFile::liveCount() const
{
    if (!view_)
        return 0;
    const int count =
        std::atomic_ref<std::int32_t>(*reinterpret_cast<std::int32_t *>(view_)).load(std::memory_order_relaxed);
    if (count < 0)
        return 0;
    // Records the writer added beyond this reader's map are mapped now; a
    // count the file cannot hold is taken only as far as it can.
    if (!coverCount(count))
        return static_cast<int>(std::max<std::int64_t>(0, (mappedLength_ - kHeaderSize) / recordSize_));
    return count;
}

int RecordFile::lowerBound(int id, int count) const
{
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (recordId(middle) < id)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Copies under the writer's change sequence: `pick` finds the index in the
// live map (or -1), and the copy counts only when no change crossed it.
template <class Pick> char *RecordFile::readerRead(Pick pick) const
{
    if (!open_ || !view_)
        return nullptr;
    if (copies_.empty())
        copies_.assign(kReaderCopies, QByteArray(recordSize_, '\0'));
    char *out = copies_[static_cast<std::size_t>(nextCopy_++ % kReaderCopies)].data();
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        liveCount(); // maps what the writer added, before the view is relied on
        char *const view = view_;
        const std::uint64_t before = sequenceAt(view).load(std::memory_order_acquire);
        const bool stale = std::chrono::steady_clock::now() - start > kStaleChange;
        if ((before & 1) && !stale) {
            ::sched_yield();
            continue;
        }
        const int count = liveCount();
        if (view_ != view)
            continue;
        const int index = pick(count);
        if (index >= 0)
            std::memcpy(out, slot(index), static_cast<std::size_t>(recordSize_));
        std::atomic_thread_fence(std::memory_order_acquire);
        if (stale || sequenceAt(view).load(std::memory_order_relaxed) == before)
            return index >= 0 ? out : nullptr;
    }
}

bool RecordFile::readHeader(std::int64_t fileLength)
{
    recordCount_ = 0;
    lastId_ = 0;
    if (fileLength == 0)
        return true;
    if (fileLength < kHeaderSize)
        return fail("File(%1) is damaged: it is shorter than its header.", Failure::Damaged,
                    QStringLiteral("文件只有 %1 字节，比 256 字节的文件头还短。").arg(fileLength));
    char header[8];
    if (::pread(fd_, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header))
        return failSystem("File(%1) open failed.", errno);
    recordCount_ = readInt(header);
    lastId_ = readInt(header + 4);
    const std::int64_t needed = kHeaderSize + std::int64_t(recordCount_) * recordSize_;
    if (recordCount_ < 0 || needed > fileLength) {
        const QString reason = recordCount_ < 0 ? QStringLiteral("文件头的记录数是负数（%1）。").arg(recordCount_)
                                                : QStringLiteral("文件头记 %1 条记录，文件只容得下 %2 条。")
                                                      .arg(recordCount_)
                                                      .arg((fileLength - kHeaderSize) / recordSize_);
        recordCount_ = lastId_ = 0;
        return fail("File(%1) is damaged: its header counts more records than the file holds.", Failure::Damaged,
                    reason);
    }
    return true;
}

bool RecordFile::mapView()
{
    const bool writable = mode_ == Mode::ReadWrite;
    const std::int64_t extra = writable ? kGrowth : 0;
    const std::int64_t length = kHeaderSize + (std::int64_t(recordCount_) + extra) * recordSize_;
    if (writable && !growFile(length))
        return failSystem("File(%1) mapping failed.", errno);
    void *p = MAP_FAILED;
    if (view_) {
        // Growing the existing map keeps its pages in place; a fresh map would
        // fault every page in again after each renewal. When it cannot grow,
        // the old map stays: the file goes on with what it holds.
        p = ::mremap(view_, static_cast<std::size_t>(mappedLength_), static_cast<std::size_t>(length), MREMAP_MAYMOVE);
        if (p == MAP_FAILED)
            return failSystem("File(%1) mapview failed(0).", errno);
    } else {
        p = ::mmap(nullptr, static_cast<std::size_t>(length), writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED,
                   fd_, 0);
    }
    if (p == MAP_FAILED)
        return failSystem("File(%1) mapview failed(0).", errno);
    const std::int64_t before = view_ == p ? mappedLength_ : 0;
    view_ = static_cast<char *>(p);
    mappedLength_ = length;
    prefault(before);
    return true;
}

void RecordFile::prefault(std::int64_t from)
{
    // The room for the next appends is faulted in with one call instead of a
    // page fault per page while records are written; best effort only.
    if (mode_ != Mode::ReadWrite)
        return;
    const std::int64_t page = ::sysconf(_SC_PAGESIZE);
    const std::int64_t start =
        std::max<std::int64_t>(from, kHeaderSize + std::int64_t(recordCount_) * recordSize_) / page * page;
    if (start < mappedLength_)
        ::madvise(view_ + start, static_cast<std::size_t>(mappedLength_ - start), MADV_POPULATE_WRITE);
}

bool RecordFile::growFile(std::int64_t length)
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return false;
    if (st.st_size >= length)
        return true;
    // Blocks are reserved now, so a full disk is reported here rather than
    // as a fault when a record is written into the map.
    const int r = ::posix_fallocate(fd_, st.st_size, length - st.st_size);
    if (r == 0)
        return true;
    if (r == EOPNOTSUPP || r == EINVAL)
        return ::ftruncate(fd_, length) == 0;
    errno = r;
    return false;
}

void RecordFile::unmap()
{
    if (view_)
        ::munmap(view_, static_cast<std::size_t>(mappedLength_));
    view_ = nullptr;
    mappedLength_ = 0;
}

void RecordFile::Close()
{
    idsValid_ = false;
    ids_.clear();
    probesSinceCache_ = 0;
    openSequence_.reset();
    unmap();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    open_ = false;
    recordCount_ = 0;
    lastId_ = 0;
}

char *RecordFile::slot(int index) const
{
    return view_ + kHeaderSize + std::int64_t(index) * recordSize_;
}

int RecordFile::recordId(int index) const
{
    return readInt(slot(index));
}

char *RecordFile::GetRecord(int index)
{
    if (mode_ == Mode::ReadOnly)
        return readerRead([index](int count) { return index >= 0 && index < count ? index : -1; });
    if (!open_ || index < 0 || index >= recordCount_)
        return nullptr;
    // The caller may change the record through the pointer.
    dirty_ = true;
    return slot(index);
}

int RecordFile::GetCount() const
{
    return mode_ == Mode::ReadOnly && open_ ? liveCount() : recordCount_;
}

void RecordFile::writeHeader()
{
    writeInt(view_, recordCount_);
    writeInt(view_ + 4, lastId_);
}

void RecordFile::countChange()
{
    if (++changeCount_ >= kChangesBeforeReopen)
        Reopen();
}

bool RecordFile::unchangedSinceOpen() const
{
    if (mode_ == Mode::ReadWrite)
        return open_;
    return open_ && view_ && openSequence_ && sequenceAt(view_).load(std::memory_order_acquire) == *openSequence_;
}

std::optional<RecordFile::Stamp> RecordFile::CurrentStamp() const
{
    struct stat st {};
    if (!open_ || fd_ < 0 || ::fstat(fd_, &st) != 0)
        return std::nullopt;
    RecordFile::Stamp stamp = stampOf(st, recordCount_, lastId_);
    stamp.note = contentNote();
    return stamp;
}

QString RecordFile::CheckRoom(int appends) const
{
    if (appends <= kHighestId - lastId_)
        return {};
    return QStringLiteral("数据文件%1的记录编号已经用完（最后编号已到 %2），不能再添加记录。")
        .arg(QDir::toNativeSeparators(path_))
        .arg(kHighestId);
}

int RecordFile::Append(void *record)
{
    if (!open_ || mode_ != Mode::ReadWrite)
        return 0;
    if (const QString refusal = CheckRoom(1); !refusal.isEmpty()) {
        // Ids only grow and are never reused: past the highest one the file
        // takes no more records rather than give a negative or repeated id.
        errorText_ = refusal;
        return 0;
    }
    if (kHeaderSize + (std::int64_t(recordCount_) + 1) * recordSize_ > mappedLength_) {
        Reopen();
        // A file that could not grow keeps its records and count as they are.
        if (!open_ || kHeaderSize + (std::int64_t(recordCount_) + 1) * recordSize_ > mappedLength_) {
            errorText_ = QStringLiteral("数据文件%1无法扩大，记录没有写入：%2")
                             .arg(QDir::toNativeSeparators(path_), failureReason_);
            return 0;
        }
    }
    ++lastId_;
    writeInt(static_cast<char *>(record), lastId_);
    beginChange();
    std::memcpy(slot(recordCount_), record, static_cast<std::size_t>(recordSize_));
    if (idsValid_)
        ids_.push_back(lastId_);
    ++recordCount_;
    writeHeader();
    endChange();
    countChange();
    return recordCount_;
}

int RecordFile::WriteAt(int index, const void *record)
{
    if (!open_ || mode_ != Mode::ReadWrite || index < 0 || index >= recordCount_)
        return 0;
    beginChange();
    std::memmove(slot(index), record, static_cast<std::size_t>(recordSize_));
    endChange();
    if (idsValid_)
        ids_[static_cast<std::size_t>(index)] = recordId(index);
    countChange();
    return 1;
}

int RecordFile::DeleteAt(int index)
{
    if (!open_ || mode_ != Mode::ReadWrite || index < 0 || index >= recordCount_)
        return 0;
    const std::int64_t following = std::int64_t(recordCount_ - index - 1) * recordSize_;
    beginChange();
    if (following > 0)
        std::memmove(slot(index), slot(index + 1), static_cast<std::size_t>(following));
    --recordCount_;
    writeInt(view_, recordCount_);
    endChange();
    if (idsValid_)
        ids_.erase(ids_.begin() + index);
    countChange();
    return 1;
}

int RecordFile::DeleteRange(int index, int count)
{
    if (!open_ || mode_ != Mode::ReadWrite || index < 0 || count <= 0 || index + count > recordCount_)
        return 0;
    const std::int64_t following = std::int64_t(recordCount_ - index - count) * recordSize_;
    beginChange();
    if (following > 0)
        std::memmove(slot(index), slot(index + count), static_cast<std::size_t>(following));
    recordCount_ -= count;
    writeInt(view_, recordCount_);
    endChange();
    if (idsValid_)
        ids_.erase(ids_.begin() + index, ids_.begin() + index + count);
    countChange();
    return count;
}

void RecordFile::Reopen()
{
    // The descriptor and its lock stay; only the view is renewed, with room
    // for another 200 records beyond the current count.
    if (fd_ < 0)
        return;
    changeCount_ = 1;
    // A failed renewal keeps the old view: the file stays usable as it was.
    mapView();
    open_ = view_ != nullptr;
}

int RecordFile::FindIndexById(int id) const
{
    if (!open_)
        return -1;
    // A reader's ids move under it: the index is found in the live map.
    if (mode_ == Mode::ReadOnly) {
        const int count = liveCount();
        const int at = lowerBound(id, count);
        return at < count && recordId(at) == id ? at : -1;
    }
    if (!idsValid_ && !cacheEarned())
        return probe(id);
    // Many look-ups run over a dense copy of the ids: the ids in the map stand
    // one record apart, and each probe there may miss the cache or fault a page.
    if (!idsValid_) {
        ids_.resize(static_cast<std::size_t>(recordCount_));
        for (int i = 0; i < recordCount_; ++i)
            ids_[static_cast<std::size_t>(i)] = recordId(i);
        idsValid_ = true;
    }
    const auto at = std::lower_bound(ids_.begin(), ids_.end(), id);
    return at != ids_.end() && *at == id ? static_cast<int>(at - ids_.begin()) : -1;
}

bool RecordFile::cacheEarned() const
{
    // Building the copy reads every record, which in a large file faults in
    // the whole map; it pays only once the searches in the map have probed
    // as many records as the copy would read.
    return probesSinceCache_ >= recordCount_ && recordCount_ > 0;
}

int RecordFile::probe(int id) const
{
    int low = 0;
    int high = recordCount_;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        ++probesSinceCache_;
        if (recordId(middle) < id)
            low = middle + 1;
        else
            high = middle;
    }
    return low < recordCount_ && recordId(low) == id ? low : -1;
}

char *RecordFile::FindById(int id)
{
    if (mode_ == Mode::ReadOnly)
        return readerRead([this, id](int count) {
            const int at = lowerBound(id, count);
            return at < count && recordId(at) == id ? at : -1;
        });
    const int index = FindIndexById(id);
    if (index < 0)
        return nullptr;
    dirty_ = true;
    return slot(index);
}

char *RecordFile::ReadAfter(int id)
{
    if (mode_ == Mode::ReadOnly)
        return readerRead([this, id](int count) {
            const int at = lowerBound(id + 1, count);
            return at < count ? at : -1;
        });
    if (!open_)
        return nullptr;
    const int at = lowerBound(id + 1, recordCount_);
    return at < recordCount_ ? slot(at) : nullptr;
}

void RecordFile::DeleteById(int id)
{
    const int index = FindIndexById(id);
    if (index >= 0)
        DeleteAt(index);
}

int RecordFile::DeleteWhere(const std::function<bool(const char *record)> &pick)
{
    if (!open_ || mode_ != Mode::ReadWrite)
        return 0;
    int kept = 0;
    beginChange();
    for (int i = 0; i < recordCount_; ++i) {
        if (pick(slot(i)))
            continue;
        if (kept != i)
            std::memcpy(slot(kept), slot(i), static_cast<std::size_t>(recordSize_));
        ++kept;
    }
    const int removed = recordCount_ - kept;
    idsValid_ = false;
    if (removed > 0) {
        recordCount_ = kept;
        writeInt(view_, recordCount_);
    }
    endChange();
    if (removed > 0)
        countChange();
    return removed;
}

bool RecordFile::Flush()
{
    if (!open_ || mode_ != Mode::ReadWrite)
        return false;
    // Nothing written since the last flush that succeeded: the disk holds it
    // all already, and a close need not ask the disk again.
    if (!dirty_)
        return true;
    if (::msync(view_, static_cast<std::size_t>(mappedLength_), MS_SYNC) == 0) {
        dirty_ = false;
        return true;
    }
    failSystem("File(%1) flush failed.", errno);
    errorText_ = QStringLiteral("数据文件%1没能写到磁盘上：%2").arg(QDir::toNativeSeparators(path_), failureReason_);
    return false;
}

bool RecordFile::isOrdered() const
{
    for (int i = 0; i < recordCount_; ++i)
        if (recordId(i) < 1 || (i > 0 && recordId(i) <= recordId(i - 1)))
            return false;
    return true;
}

bool RecordFile::repairOrder()
{
    // A crash in the middle of a delete can leave a record twice, and a file
    // edited by other means can lose its order. Keep every record: drop only
    // exact copies, put the rest back in id order, give clashing ids new ones.
    if (isOrdered()) {
        const int top = recordCount_ > 0 ? recordId(recordCount_ - 1) : 0;
        if (lastId_ < top) {
            lastId_ = top;
            writeHeader();
            repairText_ =
                QStringLiteral("数据文件%1已修复：文件头记下的最后编号落后于记录，已改为 %2。").arg(path_).arg(top);
        }
        return true;
    }
    const std::size_t size = static_cast<std::size_t>(recordSize_);
    std::vector<QByteArray> records;
    for (int i = 0; i < recordCount_; ++i)
        records.emplace_back(slot(i), recordSize_);
    std::stable_sort(records.begin(), records.end(),
                     [](const QByteArray &a, const QByteArray &b) { return readInt(a.data()) < readInt(b.data()); });
    int top = 0;
    for (const QByteArray &r : records)
        top = std::max(top, readInt(r.data()));
    lastId_ = std::max(lastId_, top);
    int copies = 0;
    std::vector<QByteArray> kept;
    std::vector<QByteArray> moved;
    for (QByteArray &r : records) {
        const int id = readInt(r.data());
        if (!kept.empty() && kept.back() == r) {
            ++copies;
            continue;
        }
        if (id < 1 && r.count('\0') == r.size()) {
            ++copies;
            continue;
        }
        if (id < 1 || (!kept.empty() && readInt(kept.back().data()) == id)) {
            if (lastId_ == kHighestId)
                return fail("File(%1) is damaged: no id is left for records with clashing ids.", Failure::Damaged,
                            QStringLiteral("有编号重复的记录，但编号已经用完，无法给它们换新编号。"));
            writeInt(r.data(), ++lastId_);
            renumbered_.emplace_back(id, lastId_);
            moved.push_back(r);
            continue;
        }
        kept.push_back(r);
    }
    kept.insert(kept.end(), moved.begin(), moved.end());
    beginChange();
    for (std::size_t i = 0; i < kept.size(); ++i)
        std::memcpy(slot(static_cast<int>(i)), kept[i].constData(), size);
    for (int i = static_cast<int>(kept.size()); i < recordCount_; ++i)
        std::memset(slot(i), 0, size);
    recordCount_ = static_cast<int>(kept.size());
    idsValid_ = false;
    writeHeader();
    endChange();
    ::msync(view_, static_cast<std::size_t>(mappedLength_), MS_SYNC);
    repairText_ =
        QStringLiteral("数据文件%1在一次中断的修改后已修复：去掉重复或空白的记录 %2 条，记录已按编号重新排好，"
                       "%3 条编号重复的记录换了新编号。")
            .arg(path_)
            .arg(copies)
            .arg(renumbered_.size());
    return true;
}

} // namespace quarvel
