#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace quarvel {

// What a script may give for a new shipment, by name: every page value with
// its caption and what it takes, the goods and piece lines, and the collect
// amounts. Also the checks a window's numeric boxes and list boxes make by
// what they let the operator enter: a number, never a negative amount, a
// whole count, an entry of the list.
class PreInputFieldGuide {
public:
    struct Entry {
        QString name;
        QString caption;
        QString rule;
    };

    // Every name in the order of the page.
    static QList<Entry> All();
    static bool Known(const QString &name);
    // The known names nearest to a mistyped one (at most three).
    static QStringList Nearest(const QString &name);
    // The message for a numeric value that is not a number, is negative, has
    // a fraction where a count belongs or is not an entry of its list box,
    // naming the field; empty when the value is fine or not numeric.
    static QString CheckNumber(const QString &name, const QString &value);
};

} // namespace quarvel
