#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace quarvel {

class PrintLedger;

// How long the PDFs of printouts are kept, a setting of DATA_SYS/print.conf
// beside the print destination:
//   keep_days=N   a PDF goes N days after it was last printed (default 90)
//   keep_mb=N     and the oldest go while all together take more than N MB (default 2048)
// Pruning removes only PDFs the print ledger names, and marks their
// printouts as removed there; a printout whose PDF is gone can still be
// printed anew from its record.
class PrintRetention {
public:
    static constexpr int kDefaultDays = 90;
    static constexpr int kDefaultMegabytes = 2048;

    struct Limits {
        int days = kDefaultDays;
        qint64 megabytes = kDefaultMegabytes;
    };
    struct Pruned {
        int files = 0;
        qint64 bytes = 0;
        // Why the ledger could not be marked; empty when it was.
        QString error;
    };

    // The limits of DATA_SYS/print.conf below rootFolder; what is wrong with
    // them in `damage` (the defaults apply then).
    static Limits Load(const QString &rootFolder, QStringList *damage = nullptr);
    static Limits Parse(const QByteArray &text, QStringList *damage);
    // True for the keys this class reads, so the destination's reader passes them by.
    static bool IsKey(const QString &key);

    static Pruned Prune(PrintLedger &ledger, const Limits &limits, const QDateTime &now);
};

} // namespace quarvel
