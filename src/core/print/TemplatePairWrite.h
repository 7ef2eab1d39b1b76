#pragma once

#include "print/TemplatePairJournal.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace quarvel {

// Replaces a template's definition (.txt) and spreadsheet (.xls) as a pair,
// so that a definition never names cells of a spreadsheet it was not
// written for, not even after a kill or a power cut between the two renames.
//
// Both new files are written aside and synced; the old files are kept aside
// under second names (hard links); then a journal in the folder names them
// all, and only then are the new files renamed into place. Should a rename
// fail, the journal is turned round and the old files go back. The journal
// goes once the pair is whole again. Recover, run at start-up, finishes the
// pair a killed writer left, or puts the old one back when it cannot, so the
// pair is old+old or new+new.
//
// All of it happens under a lock on the folder, so a second writer or a
// start-up's recovery waits for the pair in progress.
class TemplatePairWrite {
public:
    // Points a test may stop the writer at.
    enum class Step { Written, Journaled, FirstRenamed, Renamed };

    TemplatePairWrite(const QString &definitionPath, const QString &spreadsheetPath);
    ~TemplatePairWrite();
    TemplatePairWrite(const TemplatePairWrite &) = delete;
    TemplatePairWrite &operator=(const TemplatePairWrite &) = delete;

    // Both files written aside in full; nothing replaced yet. A target that
    // is a symbolic link or anything but a plain file is refused.
    bool Prepare(const QByteArray &definition, const QByteArray &spreadsheet);
    // The spreadsheet, then the definition; false with the old pair kept.
    bool Commit();
    // Why Prepare or Commit failed.
    QString errorText() const { return error_; }

    void setStepHook(std::function<void(Step)> hook) { hook_ = std::move(hook); }

    // Completes or undoes the pair a writer of this folder left unfinished,
    // and removes the files it had written aside. A text for the operator
    // when a pair was completed or put back; empty when there was none.
    static QString Recover(const QString &folder);

private:
    using Member = TemplatePairJournal::Member;

    bool lock();
    bool refuseUnusual(const QString &name);
    bool writeAside(Member &m, const QByteArray &bytes);
    bool keepOld(Member &m);
    bool fail(const QString &text);
    void step(Step s) const;
    void discard();

    QString folder_;
    // The spreadsheet first: it goes in first.
    QList<Member> members_;
    QString error_;
    int lockFd_ = -1;
    bool prepared_ = false;
    std::function<void(Step)> hook_;
};

} // namespace quarvel
