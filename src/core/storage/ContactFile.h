#pragma once

#include "storage/ContactRecord.h"
#include "storage/TypedRecordFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

namespace quarvel {

// DATA/rsdata.dat: the address book. Three indexes (by code, name and phone,
// ASCII case-insensitive) serve the look-ups while a sender or receiver is
// typed. An append files the new record into them; any other change marks
// them stale and they are rebuilt before the next look-up, so no look-up
// ever reads through a stale index.
class ContactFile : public TypedRecordFile<ContactRecord> {
public:
    static constexpr int kLookupSlots = 5;

    int OpenRecords(const QString &path, Mode mode = Mode::ReadWrite);

    int Append(void *record) override;
    int DeleteAt(int index) override;
    int WriteAt(int index, const void *record) override;
    void Reopen() override;

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
    int prefixSearch(Key key, const QByteArray &text) const;
    QList<const ContactRecord *> fromIndex(Key key, int position) const;
    const ContactRecord *findLastBy(Key key, const QString &text) const;

    std::vector<int> index_[3];
    bool stale_ = true;
};

} // namespace quarvel
