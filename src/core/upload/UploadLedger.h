#pragma once

#include "upload/UploadLedgerEntry.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// DATA_SYS/ledger: every record the server accepted, one file a day (the
// day of the acceptance), so that the counter can still tell what it sent
// after the records are gone from its files. Lines are only appended, each
// written whole and synced to disk before the record is deleted; a line cut
// short or damaged is skipped with a warning naming its file, and the rest
// of the day counts. A record's line is written once: an acceptance already
// in its day's file is not written again (the journal's recovery relies on
// that). Files older than the days kept are deleted. The window and the
// command line may both append: a lock on the file keeps them apart.
class UploadLedger {
public:
    static constexpr int kKeepDays = 400;
    static QString folderName() { return QStringLiteral("DATA_SYS/ledger"); }

    struct Day {
        QList<UploadLedgerEntry> entries;
        QStringList warnings;
    };

    explicit UploadLedger(QString folder, int keepDays = kKeepDays);
    void setFolder(const QString &folder) { folder_ = folder; }
    QString folder() const { return folder_; }
    int keepDays() const { return keepDays_; }

    // The file of one day: "upload-YYYY-MM-DD.txt".
    QString FileOf(QDate day) const;
    // Appends the entries not yet in their day's file, each to the file of
    // its acceptance day; true once they are all on disk.
    bool Record(const QList<UploadLedgerEntry> &entries);
    // Why the last Record failed: the file and the system's reason.
    QString failure() const { return failure_; }
    // The day's entries in the order written; an acceptance written twice
    // (an older program, a copied file) counts once, as its last line says.
    Day Read(QDate day) const;
    // Deletes the files of days before today less the days kept; how many went.
    int Prune(QDate today) const;

private:
    bool recordDay(QDate day, const QList<UploadLedgerEntry> &entries);

    bool fail(const QString &path, int error);

    QString folder_;
    int keepDays_;
    QString failure_;
};

} // namespace quarvel
