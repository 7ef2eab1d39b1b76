#pragma once

#include "storage/ContactRecord.h"
#include "storage/TypedRecordFile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <map>
#include <vector>

namespace quarvel {

// DATA/rsdata.dat: the address book. Three indexes (by code, name and phone,
// ASCII case-insensitive) serve the look-ups while a sender or receiver is
// typed. Appended records wait outside them (their codes in a hash, so that
// codes stay unique) and are merged in at the next look-up: an import of
// thousands of rows costs no more per row at the end than at the start. A
// renewed map keeps every record where it was; any other change marks the
// indexes stale and they are rebuilt before the next look-up, so no look-up
// ever reads through a stale index.
class ContactFile : public TypedRecordFile<ContactRecord> {
public:
    static constexpr int kLookupSlots = 5;

    int OpenRecords(const QString &path, Mode mode = Mode::ReadWrite);

    int Append(void *record) override;
    int DeleteAt(int index) override;
    int WriteAt(int index, const void *record) override;

    void RebuildIndexes();
    const ContactRecord *FindLastByName(const QString &name) const;
    const ContactRecord *FindLastByPhone(const QString &phone) const;
    // 1 when the code is empty or another record (iid differs) holds exactly it.
    int IsCodeTaken(const QString &code, int iid);
    QString MakeUniqueCode(const QString &name);
    // Up to 5 records for the typed text: by code prefix when it looks like a
    // code, else by name prefix, else names containing it.
    QList<const ContactRecord *> LookupByCodeOrName(const QString &text);
    QList<const ContactRecord *> LookupByPhone(const QString &text);

    // The first letters of a GBK name by the GB 2312 level-1 table (a Latin
    // letter for each Chinese character, up to 11).
    static QByteArray Initials(const QByteArray &gbkName);

private:
    enum Key { Code, Name, Phone };
    const char *keyOf(int index, Key key) const;
    std::size_t keyWidth(Key key) const;
    void ensureIndexes();
    void ensureFresh();
    void mergeAppended();
    int prefixSearch(Key key, const QByteArray &text) const;
    QList<const ContactRecord *> fromIndex(Key key, int position) const;
    const ContactRecord *findLastBy(Key key, const QString &text) const;

    QString randomCode();
    void markStale();

    std::vector<int> index_[3];
    bool stale_ = true;
    // Records from this one on were appended after the indexes were made.
    int indexed_ = 0;
    // Their codes, with their ids.
    QHash<QByteArray, int> appendedCodes_;
    // Per set of initials, the first candidate not known to be taken (-1:
    // the bare initials, n: the initials with n after them). Codes only come
    // in by appends while the indexes are current, so every candidate before
    // it stays taken and the next code for the same initials starts there:
    // an import of thousands of namesakes does not try every earlier code
    // again for each row. Any other change forgets it.
    std::map<QString, int> nextCandidate_;
};

} // namespace quarvel
