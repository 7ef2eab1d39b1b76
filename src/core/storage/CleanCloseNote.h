#pragma once

#include "storage/RecordFile.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>

namespace quarvel {

// DATA_SYS/recstate.dat: how each record file looked when the program last
// closed it cleanly. While a program has the files open the note says
// "open" (written to the disk before the first change), so a kill or a power
// cut can never leave a note that vouches for a half-changed file; a file
// that still looks exactly as noted needs no full check at the next start.
// The sizes stay noted while open, so that a file found empty where records
// were is noticed.
class CleanCloseNote {
public:
    static QString fileName() { return QStringLiteral("DATA_SYS/recstate.dat"); }

    struct Entry {
        bool closed = false;
        RecordFile::Stamp stamp;
    };

    explicit CleanCloseNote(const QString &path) : path_(path) {}

    // A missing or unreadable note knows no file (every file is checked).
    void Load();
    std::optional<Entry> entry(const QString &name) const;
    // Every file counts as open from now on; true once that is on the disk.
    bool MarkOpen();
    void SetClosed(const QString &name, const RecordFile::Stamp &stamp);
    // Writes the note and waits for the disk.
    bool Save() const;

    QByteArray Encode() const;
    // Lines that do not read as a noted file are skipped.
    void Decode(const QByteArray &text);

private:
    QString path_;
    std::map<QString, Entry> entries_;
};

} // namespace quarvel
