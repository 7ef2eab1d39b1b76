#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quarvel {

// One express kind ("快递类别") of the base data: the code the server knows
// it by, the name the operator sees and local records store, and the
// destinations it serves.
struct ExpressKind {
    static constexpr int kCodeBytes = 15;
    static constexpr int kNameBytes = 31;

    QByteArray code;
    QByteArray name;
    // Served destinations, each followed by a tab; absent when the base data
    // has no line for this kind.
    std::optional<QByteArray> served;

    QString codeText() const;
    QString nameText() const;
    // True when the destination is one of the served ones, as a whole entry:
    // 广州 is served by "北京\t广州\t" but not by "北京\t广州市\t".
    bool serves(const QString &destination) const;
    bool serves(const QByteArray &destinationGbk) const;
};

} // namespace quarvel
