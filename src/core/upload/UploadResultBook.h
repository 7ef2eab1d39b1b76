#pragma once

#include "upload/UploadKind.h"

#include <QList>
#include <QString>

#include <functional>
#include <map>
#include <utility>

namespace quarvel {

// DATA_SYS/upresult.txt: why each record stayed at its last upload, so that
// the list shows the reason again after a restart. One line per refused
// record: "k<TAB>id<TAB>digest<TAB>text" (k the upload kind, the digest that
// of the record bytes when the reason was given); an accepted record's line
// goes. A reason is shown only while the record still holds those bytes: an
// edit after the refusal is a new record as far as the reason goes.
class UploadResultBook {
public:
    static QString fileName() { return QStringLiteral("DATA_SYS/upresult.txt"); }

    explicit UploadResultBook(QString path) : path_(std::move(path)) {}

    // Reads the file; a missing one is empty, a damaged line is skipped.
    void Load();
    // Writes a new file over the old one; false when it could not be written.
    bool Save() const;

    void Refused(UploadKind kind, int id, quint64 digest, const QString &text);
    void Accepted(UploadKind kind, int id);
    // The reason of a record that still holds the bytes it was refused with.
    QString Reason(UploadKind kind, int id, quint64 digest) const;
    // The records of this kind with a reason, in id order.
    QList<int> Ids(UploadKind kind) const;
    // Drops the reasons of records that are gone.
    void Prune(UploadKind kind, const std::function<bool(int id)> &exists);

private:
    struct Entry {
        quint64 digest;
        QString text;
    };

    QString path_;
    std::map<std::pair<int, int>, Entry> entries_;
};

} // namespace quarvel
