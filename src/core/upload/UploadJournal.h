#pragma once

#include "upload/UploadKind.h"
#include "upload/UploadLedgerEntry.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <mutex>
#include <optional>
#include <unordered_set>
#include <utility>

namespace quarvel {

class ClientContext;

// DATA_SYS/upload.jnl: what the counter knows of its uploads beyond the
// record files, so that a record the server accepted is never sent again
// after a crash. Each record is marked on its way before it is sent, and an
// acceptance is on disk before the reply is applied; the next start finishes
// what a run left (the accepted records and their lines deleted). A send that
// never got its answer leaves its record "in doubt": the server may hold it.
//
// One line per event, appended: "S k id digest" on its way, "R k id"
// answered and not stored, "A k id digest time server account" accepted
// (seconds since 1970, the server's id, the account in hexadecimal: what
// the upload ledger needs when the next start finishes it), "D k id digest" in
// doubt since an earlier run, "C k id" a doubt the server cleared (it holds
// no such record); k is the upload kind, the digest (hexadecimal) that of
// the record bytes sent. "S" and "D" lines of older files carry no digest:
// such a doubt cannot be cleared by a look-up. A line a kill cut short is
// skipped. The worker thread appends while the user-interface thread reads;
// one lock keeps them apart.
class UploadJournal {
public:
    static QString fileName() { return QStringLiteral("DATA_SYS/upload.jnl"); }

    explicit UploadJournal(QString path);
    ~UploadJournal();
    UploadJournal(const UploadJournal &) = delete;
    UploadJournal &operator=(const UploadJournal &) = delete;

    // A digest of the record bytes a send was built from, to tell whether
    // the stored record is still what the server got.
    static quint64 Digest(const QByteArray &recordBytes);

    // Reads what earlier runs left. Sends that never got an answer are in
    // doubt from here on.
    void Load();
    // Deletes every accepted record that still holds the bytes it was sent
    // with, and the goods and piece lines of accepted shipments; a record
    // edited after it was sent stays, in doubt. Each record's ledger line is
    // written first (unless the run that accepted it wrote it already); a
    // record whose line cannot be written stays, for the next start. Then
    // rewrites the journal with what is still open. Returns how many
    // records went.
    int FinishAccepted(ClientContext &context);

    // The account the acceptances of the coming run are noted under.
    void setAccount(const QString &account);
    // When, by whom and as which server record a record was accepted;
    // nothing when the journal holds no acceptance of it.
    std::optional<UploadLedgerEntry::Acceptance> acceptance(UploadKind kind, int id) const;

    // The worker, before a send of the record bytes with this digest: true
    // once the mark is on disk. A record whose mark cannot be written must
    // not be sent.
    bool Sending(UploadKind kind, int id, quint64 digest);
    // Why the last write of the journal failed, in the operator's words.
    QString failureReason() const;
    // The worker, on a complete reply: an acceptance (status above 0) is on
    // disk when this returns; a refusal means this send stored nothing.
    void Answered(UploadKind kind, int id, quint64 digest, int status);
    // The worker, when the server showed that no earlier send of the record
    // was stored: the record is no longer in doubt.
    void Cleared(UploadKind kind, int id);

    // True when an earlier send of the record may have been stored although
    // the counter never learnt it (a kill, a time-out, a lost connection).
    bool inDoubt(UploadKind kind, int id) const;
    bool accepted(UploadKind kind, int id) const;
    // The digest of the bytes the send in doubt carried; nothing when the
    // record is not in doubt, or when sends of different bytes (or of bytes
    // an older journal did not note) are in doubt together.
    std::optional<quint64> doubtDigest(UploadKind kind, int id) const;
    // After a run, with no worker left: sends without an answer become in
    // doubt, accepted records the files no longer hold unchanged are done,
    // marks of records that are gone are dropped, and the file is rewritten
    // with what stays open.
    void Settle(ClientContext &context);

private:
    using SentDigest = std::optional<quint64>;
    struct Mark {
        bool pending = false; // sent, no answer yet
        SentDigest pendingDigest;
        bool doubt = false; // an earlier send was never answered
        SentDigest doubtDigest;
        bool accepted = false;
        quint64 digest = 0;
        UploadLedgerEntry::Acceptance acceptance;

        // A send of these bytes may have been stored.
        void doubted(const SentDigest &sent);
        // The send under way becomes a doubt: the run ended without its answer.
        void unanswered();
    };
    using Key = std::pair<int, int>;

    static Key key(UploadKind kind, int id) { return {static_cast<int>(kind), id}; }
    void apply(char event, const Key &k, const SentDigest &digest,
               const UploadLedgerEntry::Acceptance &acceptance = {});
    // Writes the ledger lines of the accepted records about to be deleted;
    // the ids whose lines are on disk.
    static std::unordered_set<int> recordInLedger(ClientContext &context, UploadKind kind,
                                                  const std::map<int, UploadLedgerEntry::Acceptance> &accepted);
    bool append(const QByteArray &line, bool durable);
    // Keeps or drops each mark, given whether its record is still there and
    // still holds what was sent; then writes the marks left.
    void settle(ClientContext &context);
    bool rewrite();
    bool openForAppend();

    QString path_;
    mutable std::mutex mutex_;
    std::map<Key, Mark> marks_;
    QString account_;
    int fd_ = -1;
    int lastError_ = 0;
};

} // namespace quarvel
