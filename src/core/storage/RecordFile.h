#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace quarvel {

// A file of fixed-size records used in place through a shared memory map.
// Layout: a 256-byte header (record count, last id handed out, zero reserve),
// then the records in ascending id order without gaps. The map always has room
// for 200 more records; after 199 changes it is renewed with room for 200 more,
// so an append never passes its end. One process may write a file at a time.
class RecordFile {
public:
    static constexpr int kHeaderSize = 256;
    static constexpr int kGrowth = 200;
    static constexpr int kChangesBeforeReopen = 200;

    enum class Mode { ReadWrite, ReadOnly };

    RecordFile() = default;
    virtual ~RecordFile();
    RecordFile(const RecordFile &) = delete;
    RecordFile &operator=(const RecordFile &) = delete;

    // Stores size and path, then opens. ReadOnly maps the records present at
    // open time and never changes the file (listing tools beside a writer).
    int OpenFile(const QString &path, int recordSize, Mode mode = Mode::ReadWrite);

    virtual char *GetRecord(int index);
    virtual int GetCount() const { return recordCount_; }
    virtual int Open();
    virtual int IsOpen() const { return open_ ? 1 : 0; }
    // Ids are cached for look-ups: a record's id changes only through WriteAt.
    // Gives the record the next id (written into the caller's buffer too) and
    // adds it at the end. Returns the new count, 0 when it cannot.
    virtual int Append(void *record);
    virtual int DeleteAt(int index);
    virtual int WriteAt(int index, const void *record);
    virtual void Reopen();

    const char *GetRecord(int index) const { return const_cast<RecordFile *>(this)->GetRecord(index); }
    int GetLastId() const { return lastId_; }
    int GetNextId() const { return lastId_ + 1; }
    int FindIndexById(int id) const;
    char *FindById(int id);
    void DeleteById(int id);

    // Removes every record the predicate picks in one pass; the order of the
    // others is kept and ids are never reused. Returns how many went.
    int DeleteWhere(const std::function<bool(const char *record)> &pick);

    // Writes every changed page to the disk; the end of each user-level
    // operation calls it so that a saved record survives a power cut.
    bool Flush();
    void Close();

    QString errorText() const { return errorText_; }
    // What the last open repaired in a file a crash had left half-changed.
    QString repairText() const { return repairText_; }
    QString path() const { return path_; }
    int recordSize() const { return recordSize_; }
    std::int64_t mappedLength() const { return mappedLength_; }
    int changeCount() const { return changeCount_; }

private:
    bool fail(const char *format);
    bool readHeader(std::int64_t fileLength);
    bool mapView();
    bool growFile(std::int64_t length);
    void prefault(std::int64_t from);
    void unmap();
    void writeHeader();
    void countChange();
    int recordId(int index) const;
    char *slot(int index) const;
    void repairOrder();

    int changeCount_ = 1;
    int fd_ = -1;
    char *view_ = nullptr;
    std::int64_t mappedLength_ = 0;
    int recordCount_ = 0;
    int lastId_ = 0;
    bool open_ = false;
    QString errorText_;
    QString repairText_;
    int recordSize_ = 0;
    QString path_;
    mutable std::vector<std::int32_t> ids_;
    mutable bool idsValid_ = false;
    Mode mode_ = Mode::ReadWrite;
};

} // namespace quarvel
