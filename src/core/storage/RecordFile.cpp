#include "storage/RecordFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    QString reason;
    switch (error) {
    case EACCES:
    case EPERM:
        reason = QStringLiteral("没有读写这个文件的权限。");
        break;
    case ENOSPC:
    case EDQUOT:
        reason = QStringLiteral("磁盘空间不足。");
        break;
    case EROFS:
        reason = QStringLiteral("磁盘是只读的。");
        break;
    default:
        reason = QStringLiteral("系统错误 %1（%2）。").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
    }
    return fail(format, Failure::System, reason);
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
    openedClean_ = writable && trusted && *trusted == stampOf(st, recordCount_, lastId_);
    if (!writable && st.st_size == 0) {
        open_ = true;
        return 1;
    }
    if (!mapView()) {
        Close();
        return 0;
    }
    if (writable && !openedClean_ && !repairOrder()) {
        Close();
        return 0;
    }
    open_ = true;
    return 1;
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
        // fault every page in again after each renewal.
        p = ::mremap(view_, static_cast<std::size_t>(mappedLength_), static_cast<std::size_t>(length), MREMAP_MAYMOVE);
        if (p == MAP_FAILED)
            unmap();
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
    if (!open_ || index < 0 || index >= recordCount_)
        return nullptr;
    return slot(index);
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

std::optional<RecordFile::Stamp> RecordFile::CurrentStamp() const
{
    struct stat st {};
    if (!open_ || fd_ < 0 || ::fstat(fd_, &st) != 0)
        return std::nullopt;
    return stampOf(st, recordCount_, lastId_);
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
        if (!open_)
            return 0;
    }
    ++lastId_;
    writeInt(static_cast<char *>(record), lastId_);
    std::memcpy(slot(recordCount_), record, static_cast<std::size_t>(recordSize_));
    if (idsValid_)
        ids_.push_back(lastId_);
    ++recordCount_;
    writeHeader();
    countChange();
    return recordCount_;
}

int RecordFile::WriteAt(int index, const void *record)
{
    if (!open_ || mode_ != Mode::ReadWrite || index < 0 || index >= recordCount_)
        return 0;
    std::memmove(slot(index), record, static_cast<std::size_t>(recordSize_));
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
    if (following > 0)
        std::memmove(slot(index), slot(index + 1), static_cast<std::size_t>(following));
    if (idsValid_)
        ids_.erase(ids_.begin() + index);
    --recordCount_;
    writeInt(view_, recordCount_);
    countChange();
    return 1;
}

void RecordFile::Reopen()
{
    // The descriptor and its lock stay; only the view is renewed, with room
    // for another 200 records beyond the current count.
    if (fd_ < 0)
        return;
    open_ = false;
    changeCount_ = 1;
    if (mapView())
        open_ = true;
}

int RecordFile::FindIndexById(int id) const
{
    if (!open_)
        return -1;
    // The binary search runs over a dense copy of the ids: the ids in the map
    // stand one record apart, and each probe there would miss the cache.
    if (!idsValid_) {
        ids_.resize(static_cast<std::size_t>(recordCount_));
        for (int i = 0; i < recordCount_; ++i)
            ids_[static_cast<std::size_t>(i)] = recordId(i);
        idsValid_ = true;
    }
    int low = 0;
    int high = recordCount_ - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int found = ids_[static_cast<std::size_t>(middle)];
        if (found == id)
            return middle;
        if (found > id)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return -1;
}

char *RecordFile::FindById(int id)
{
    const int index = FindIndexById(id);
    return index < 0 ? nullptr : slot(index);
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
        countChange();
    }
    return removed;
}

bool RecordFile::Flush()
{
    if (!open_ || mode_ != Mode::ReadWrite)
        return false;
    return ::msync(view_, static_cast<std::size_t>(mappedLength_), MS_SYNC) == 0;
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
    for (std::size_t i = 0; i < kept.size(); ++i)
        std::memcpy(slot(static_cast<int>(i)), kept[i].constData(), size);
    for (int i = static_cast<int>(kept.size()); i < recordCount_; ++i)
        std::memset(slot(i), 0, size);
    recordCount_ = static_cast<int>(kept.size());
    idsValid_ = false;
    writeHeader();
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
