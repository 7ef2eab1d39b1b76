#pragma once

#include "upload/UploadKind.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <unordered_map>
#include <unordered_set>

namespace quarvel {

class ClientContext;
class RecordFile;

// The records the server accepted during an upload, deleted from the local
// files in batches: one pass over each file per batch, so that thousands of
// them cost a few passes, not one each. A batch is due once it holds
// kMinBatch records or an eighth of the file, or when its first record has
// waited kBatchWait; the run commits what is left before it reports its end.
class AcceptedRecords {
public:
    static constexpr int kMinBatch = 64;
    static constexpr std::chrono::milliseconds kBatchWait{1000};

    enum class State {
        Unknown,    // never accepted
        Waiting,    // accepted, still in the files
        Removed,    // deleted with its lines, or deleted by the operator meanwhile
        Kept,       // edited while it travelled: kept, so the edit is not lost
        Unrecorded, // its ledger line could not be written: kept for the next start
    };

    AcceptedRecords(ClientContext &context, UploadKind kind);

    // An accepted record and the bytes it was sent from.
    void add(int id, QByteArray sent);
    bool due() const;
    // Deletes the waiting records that are still exactly what was sent: their
    // ledger lines first (from the bytes sent, on disk before anything goes;
    // when they cannot be written nothing goes), then the records, then (for
    // shipments) their goods and piece lines, each file written to disk, so
    // a crash in between leaves stray lines, never a shipment without its
    // lines.
    void commit();
    State state(int id) const;
    std::size_t waiting() const { return waiting_.size(); }
    // What a commit could not write (the ledger, or a file's flush after the
    // deletion), in the operator's words; empty when all went to disk.
    QString failure() const { return failure_; }

private:
    int fileCount() const;
    bool recordInLedger();
    void flush(RecordFile &file);

    ClientContext &context_;
    UploadKind kind_;
    std::unordered_map<int, QByteArray> sent_;
    std::unordered_set<int> waiting_;
    std::unordered_map<int, State> done_;
    std::chrono::steady_clock::time_point oldestWaiting_;
    QString failure_;
};

} // namespace quarvel
