#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace quarvel {

// A file of fixed-size records used in place through a shared memory map.
// Layout: a 256-byte header (record count, last id handed out, a change
// sequence, zero reserve), then the records in ascending id order without
// gaps. The map always has room for 200 more records; after 199 changes it is
// renewed with room for 200 more, so an append never passes its end.
//
// One process may write a file at a time; readers may map it beside the
// writer. The writer makes the change sequence odd for the length of every
// change (append, write, delete, repair) and even again after it; a reader
// copies a record only between two equal, even readings of it and tries
// again otherwise, so what it reads is always one whole record as it stood.
// A reader's GetRecord and FindById give such a copy, valid until a few more
// reads; it walks the file by id (ReadAfter), since indexes move when the
// writer deletes.
class RecordFile {
public:
    static constexpr int kHeaderSize = 256;
    static constexpr int kGrowth = 200;
    static constexpr int kChangesBeforeReopen = 200;

    static constexpr std::int32_t kHighestId = 0x7fffffff;

    enum class Mode { ReadWrite, ReadOnly };
    // Why the last open failed: another writer holds the file, the file's
    // content cannot be a record file, or the system refused (rights, space).
    enum class Failure { None, InUse, Damaged, System };

    // What a file looked like when it was closed: if it still looks so at the
    // next open, nobody changed it in between. The status-change time moves
    // with every write and cannot be set back the way a modification time can.
    struct Stamp {
        std::int64_t size = 0;
        std::int64_t changedNs = 0;
        std::uint64_t inode = 0;
        std::int32_t count = 0;
        std::int32_t lastId = 0;
        // What the file knew of its content at the close (-1: nothing), given
        // back to it by an open that finds it unchanged; not part of the look.
        std::int32_t note = -1;
        bool operator==(const Stamp &other) const
        {
            return size == other.size && changedNs == other.changedNs && inode == other.inode && count == other.count &&
                   lastId == other.lastId;
        }
    };

    RecordFile() = default;
    virtual ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Stores size and path, then opens. ReadOnly maps the records present at
    // open time and never changes the file (listing tools beside a writer).
    int OpenFile(const QString &path, int recordSize, Mode mode = Mode::ReadWrite);

    virtual char *GetRecord(int index);
    // A reader sees the writer's count as it is now.
    virtual int GetCount() const;
    // A writer checks ids and order (and repairs) unless the file is exactly
    // as it was closed cleanly (see TrustCleanClose).
    virtual int Open();
    virtual int IsOpen() const { return open_ ? 1 : 0; }
    // Many look-ups by id run over a cached copy of the ids (a record's id
    // changes only through WriteAt); a few binary-search the map itself.
    // Gives the record the next id (written into the caller's buffer too) and
    // adds it at the end. Returns the new count, 0 when it cannot (errorText
    // says why: after id 2147483647 no id is left).
    virtual int Append(void *record);
    virtual int DeleteAt(int index);
    // Removes `count` records from `index` on with one move of those after
    // them; returns how many went (0 when the range is not in the file).
    int DeleteRange(int index, int count);
    virtual int WriteAt(int index, const void *record);
    virtual void Reopen();

    const char *GetRecord(int index) const { return const_cast<RecordFile *>(this)->GetRecord(index); }
    int GetLastId() const { return lastId_; }
    // The id the next Append gives; 0 when no id is left.
    int GetNextId() const { return lastId_ < kHighestId ? lastId_ + 1 : 0; }
    // Empty when `appends` more records fit, else the refusal to show. Callers
    // that append a record with its lines ask every file first, so that no
    // record is saved without its lines.
    QString CheckRoom(int appends) const;
    int FindIndexById(int id) const;
    char *FindById(int id);
    void DeleteById(int id);
    // The first record whose id is above `id` (a copy for a reader); null
    // when there is none. Walking a file this way sees each record once.
    char *ReadAfter(int id);
    bool readOnly() const { return mode_ == Mode::ReadOnly; }

    // Brackets a change a caller makes in place through a record pointer, so
    // that readers never copy it half made.
    class Change {
    public:
        explicit Change(RecordFile &file) : file_(file) { file_.beginChange(); }
        ~Change() { file_.endChange(); }
        Change(const Change &) = delete;
        Change &operator=(const Change &) = delete;

    private:
        RecordFile &file_;
    };

    // Removes every record the predicate picks in one pass; the order of the
    // others is kept and ids are never reused. Returns how many went.
    int DeleteWhere(const std::function<bool(const char *record)> &pick);

    // Writes every changed page to the disk; the end of each user-level
    // operation calls it so that a saved record survives a power cut.
    bool Flush();
    void Close();

    // The next Open skips the full check when the file is still exactly as
    // this stamp of its last clean close says. Used once.
    void TrustCleanClose(const Stamp &stamp) { trusted_ = stamp; }
    // True when the last Open trusted a clean close instead of checking.
    bool openedClean() const { return openedClean_; }
    // The file as it is now (size, time, inode, header); none when not open.
    std::optional<Stamp> CurrentStamp() const;

    // What a kind of file knows of its content beyond the header (see Stamp).
    virtual std::int32_t contentNote() const { return -1; }

    QString errorText() const { return errorText_; }
    Failure failure() const { return failure_; }
    // The reason of the last open failure, in words for the operator.
    QString failureReason() const { return failureReason_; }
    // What the last open repaired in a file a crash had left half-changed.
    QString repairText() const { return repairText_; }
    // Records the last open gave new ids because their id clashed with
    // another record's: (old id, new id), in the order given.
    const std::vector<std::pair<int, int>> &renumbered() const { return renumbered_; }
    QString path() const { return path_; }
    int recordSize() const { return recordSize_; }
    std::int64_t mappedLength() const { return mappedLength_; }
    int changeCount() const { return changeCount_; }

protected:
    // An open found the file as it was closed, with this note (a reader's too).
    virtual void takeContentNote(std::int32_t) {}
    // A writer's own changes keep its notes true; a reader's note holds while
    // no writer has changed the file since the reader opened it.
    bool unchangedSinceOpen() const;

private:
    static constexpr int kSequenceOffset = 8;
    static constexpr int kReaderCopies = 16;

    void beginChange();
    void endChange();
    // A reader's copy of the record `pick` finds (under the change sequence).
    template <class Pick> char *readerRead(Pick pick) const;
    // Reader: the count in the header now, the map grown to hold it.
    int liveCount() const;
    bool coverCount(int count) const;
    int lowerBound(int id, int count) const;
    // A writer's look-up by id in the map itself, counting its probes.
    int probe(int id) const;
    bool cacheEarned() const;
    bool fail(const char *format, Failure failure, const QString &reason);
    bool failSystem(const char *format, int error);
    bool readHeader(std::int64_t fileLength);
    bool mapView();
    bool growFile(std::int64_t length);
    void prefault(std::int64_t from);
    void unmap();
    void writeHeader();
    void countChange();
    int recordId(int index) const;
    char *slot(int index) const;
    bool isOrdered() const;
    bool repairOrder();

    int changeCount_ = 1;
    int fd_ = -1;
    // A reader's view grows (in a const look-up) as the writer's file does.
    mutable char *view_ = nullptr;
    mutable std::int64_t mappedLength_ = 0;
    int recordCount_ = 0;
    int lastId_ = 0;
    bool open_ = false;
    QString errorText_;
    Failure failure_ = Failure::None;
    QString failureReason_;
    QString repairText_;
    std::vector<std::pair<int, int>> renumbered_;
    std::optional<Stamp> trusted_;
    bool openedClean_ = false;
    int recordSize_ = 0;
    QString path_;
    mutable std::vector<std::int32_t> ids_;
    mutable bool idsValid_ = false;
    // Records probed in the map since the dense copy was last thrown away.
    mutable std::int64_t probesSinceCache_ = 0;
    int changeDepth_ = 0;
    // Whether anything may have changed in the map since the last flush that
    // succeeded; a writer's pointer to a record counts as a change.
    bool dirty_ = true;
    std::uint64_t changeSequence_ = 0;
    // The change sequence at an open that found the file as it was closed.
    std::optional<std::uint64_t> openSequence_;
    mutable std::vector<QByteArray> copies_;
    mutable int nextCopy_ = 0;
    Mode mode_ = Mode::ReadWrite;
};

} // namespace quarvel
