#pragma once

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QMutex>
#include <QString>

namespace quarvel {

// Every printout the client made, so that any of them can be found and
// printed again: time, kind, waybill number, template, copies and the PDF.
// A text file of the installation (DATA_SYS/printlog.txt), one tab-separated
// line per printout, appended under a file lock so that the window and the
// command line may both write; old lines are dropped when it grows long.
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
    };

    explicit PrintLedger(const QString &path = QString()) : path_(path) {}
    void setPath(const QString &path) { path_ = path; }
    QString path() const { return path_; }

    // Records a printout and returns its number (0 when it could not be written).
    int Append(Entry entry);
    // The last `limit` printouts, newest first.
    QList<Entry> Recent(int limit = 200) const;
    // The printout of that number, if the ledger still holds it.
    bool Find(int number, Entry &entry) const;

private:
    QList<Entry> readAll() const;
    bool trim(QFile &file, const QList<Entry> &entries);

    QString path_;
    mutable QMutex mutex_;
};

} // namespace quarvel
