#pragma once

#include "net/DestinationEntry.h"
#include "net/ExpressKind.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <array>
#include <vector>

namespace quarvel {

// The reference data the server supplies (DATA_SYS/0.dat): the express kinds,
// the destinations with five sorted views for prefix look-ups, which kinds
// serve which destinations, and the volume mode flag "D".
class BaseData {
public:
    static constexpr char kXor = 8;
    static QString fileName() { return QStringLiteral("DATA_SYS/0.dat"); }

    // Reads the stored file and takes its data; when the file cannot be
    // read, everything stays as it was and the result is false.
    bool LoadBaseData(const QString &path);
    // The text of a stored file: every byte XOR 8, up to the first NUL.
    static QByteArray decode(const QByteArray &stored);
    // Takes the data of a decoded text. A section that is missing leaves
    // the matching data as it was.
    void parse(const QByteArray &text);

    // Divisor mode "D" (5000 instead of 6000 cm³ per kg).
    bool volumeModeD() const { return volumeModeD_; }

    const QList<ExpressKind> &kinds() const { return kinds_; }
    // The kinds' names in order, for choice lists.
    const QStringList &kindNames() const { return kindNames_; }
    const ExpressKind *kindByName(const QString &name) const;
    const ExpressKind *kindByCode(const QString &code) const;
    const ExpressKind *kindByCode(const QByteArray &codeGbk) const;

    const QList<DestinationEntry> &destinations() const { return destinations_; }
    // The destinations sorted by one field, case ignored.
    const DestinationEntry &viewAt(DestinationEntry::Field view, int position) const;
    // The first position in a view whose field starts with the typed text
    // (case ignored), or -1.
    int findPrefix(DestinationEntry::Field view, const QString &typed) const;
    // Up to `limit` destinations from that position on whose field starts
    // with the typed text, in view order.
    QList<const DestinationEntry *> matchPrefix(DestinationEntry::Field view, const QString &typed, int limit) const;
    // The destination with exactly this name, or null.
    const DestinationEntry *destinationByName(const QString &name) const;

private:
    qsizetype parseKinds(const QByteArray &text, qsizetype from, qsizetype end);
    void parseDestinations(const QByteArray &text, qsizetype from, qsizetype end);
    void parseServed(const QByteArray &text, qsizetype from, qsizetype end);
    void buildViews();
    int prefixPosition(DestinationEntry::Field view, const QByteArray &typed) const;

    bool volumeModeD_ = false;
    QList<ExpressKind> kinds_;
    QStringList kindNames_;
    QList<DestinationEntry> destinations_;
    std::array<std::vector<int>, 5> views_;
};

} // namespace quarvel
