#pragma once

#include "storage/GoodsFile.h"
#include "storage/PreInputFile.h"
#include "storage/WeightFile.h"

#include <QString>

#include <vector>

namespace quarvel {

// Brings the shipments and their goods and piece lines back into agreement
// after a run that ended between writing a record and writing its lines.
// The lines are the truth: a shipment's line counts are set to the lines that
// point to it. Lines never move to another shipment: when the record file's
// repair had to give one of two records with the same id a new id, the record
// whose counts match the lines on that id keeps the id (and the lines); the
// other owns no lines under its new id. Ids in the line files cannot tell two
// such records apart, so moving lines would give one shipment's pieces to
// another.
class LineRepair {
public:
    // A shipment whose line counts were set to its lines: what it counted
    // before and what it has.
    struct Fixed {
        int id = 0;
        QString number;
        int goodsBefore = 0;
        int goodsNow = 0;
        int piecesBefore = 0;
        int piecesNow = 0;
    };
    struct Outcome {
        int countsFixed = 0;
        int idsRestored = 0;
        std::vector<Fixed> fixed;
        bool changed() const { return countsFixed > 0 || idsRestored > 0; }
    };
    // How many shipments the warning names one by one; the rest are counted.
    static constexpr int kNamed = 50;

    static Outcome Run(PreInputFile &records, const GoodsFile &goods, const WeightFile &weights);
    // The warning for the operator; empty when nothing changed.
    static QString Text(const Outcome &outcome, const QString &recordsPath);
};

} // namespace quarvel
