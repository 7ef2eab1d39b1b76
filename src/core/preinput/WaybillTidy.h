#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quarvel {

class PreInputFile;

// Waybill numbers made while no customer id was known carry "XXXXX" in its
// place. Completing them ("整理预录记录的运单号") writes the id in.
class WaybillTidy {
public:
    struct Change {
        int id;
        QString number;
    };

    // Replaces the first "XXXXX" of a GBK number by the client id as "%05d",
    // keeping what follows it; a number that would then be longer than
    // `maxBytes` stays as it is. The search steps over double-byte
    // characters, so a trail byte never passes for an X. With `anyCase`
    // lower-case x match too (the upload's rule). True when the number changed.
    static bool Complete(QByteArray &number, int clientId, bool anyCase, int maxBytes = 31);

    // Whether another record than `id` holds this number already.
    static bool TakenByAnother(const PreInputFile &file, int id, const QByteArray &number);
    // Completes the stored numbers of the records with these ids (exact upper
    // case "XXXXX"), flushing the file once; a number another record holds
    // already is left provisional. Nothing happens without a client
    // id. Returns the records changed with their new numbers.
    static QList<Change> Tidy(PreInputFile &file, const QList<int> &ids, int clientId);
    // The same for every record of the file.
    static QList<Change> TidyAll(PreInputFile &file, int clientId);
};

} // namespace quarvel
