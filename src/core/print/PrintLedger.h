#pragma once

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QString>

namespace quarvel {

// Every printout the client made, so that any of them can be found and
// printed again: time, kind, waybill number, template, copies and the PDF,
// and when the PDF was removed after its keeping time. A text file of the
// installation (DATA_SYS/printlog.txt), one tab-separated line per printout.
// Changes are made under a lock on a file beside it (printlog.txt.lock), so
// that the window and the command line may both write. A new printout is
// appended; when the ledger has grown long, or lines are marked, it is
// rewritten whole as a new file renamed over the old one, so that a kill or
// a full disk leaves the old ledger or the new one, never an empty one.
class PrintLedger {
public:
    static constexpr int kKeep = 5000;
    static QString fileName() { return QStringLiteral("DATA_SYS/printlog.txt"); }

    struct Entry {
        int number = 0; // 1, 2, 3 ... in the order of printing
        QDateTime time;
        QString kind; // "面单", "形式发票", "标签"
        QString waybill;
        QString templateName;
        int copies = 1;
        QString pdf;
        // When the PDF was removed after its keeping time; invalid while it is kept.
        QDateTime removed;
    };

    // The newest `keep` printouts stay when the ledger is trimmed at twice as many.
    explicit PrintLedger(const QString &path = QString(), int keep = kKeep) : path_(path), keep_(keep) {}
    void setPath(const QString &path) { path_ = path; }
    QString path() const { return path_; }

    // Records a printout and returns its number; 0 when it could not be
    // written, with the file and the reason in `error`.
    int Append(Entry entry, QString *error = nullptr);
    // The last `limit` printouts, newest first.
    QList<Entry> Recent(int limit = 200) const;
    // Every printout the ledger holds, oldest first.
    QList<Entry> All() const;
    // The printout of that number, if the ledger still holds it.
    bool Find(int number, Entry &entry) const;
    // Marks those printouts' PDFs as removed at `when`; false with the reason.
    bool MarkRemoved(const QList<int> &numbers, const QDateTime &when, QString *error = nullptr);

    // "已打印，但打印记录没能写入：..." for an outcome whose ledger line failed.
    static QString NotRecordedText(const QString &error);

private:
    bool appendLine(const QByteArray &bytes, bool newlineFirst, QString *error) const;
    bool rewrite(const QList<Entry> &entries, QString *error) const;
    void removeStrayCopies() const;
    QList<Entry> readAll(bool *endsWhole = nullptr) const;

    QString path_;
    int keep_;
    mutable QMutex mutex_;
};

} // namespace quarvel
