#pragma once

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace quarvel {

// The rows of a CSV text (UTF-8, double quotes around fields that need
// them, quotes doubled inside): the text is kept as bytes with where each
// row starts, and a row is split into its fields only when asked for, so
// that a large sheet costs its size and no more.
class CsvRows {
public:
    explicit CsvRows(QByteArray text, char separator = ',');

    int count() const { return int(starts_.size()); }
    // The fields of row `index` (0 is the first); an empty list beyond the last row.
    QStringList row(int index) const;

private:
    QByteArray text_;
    char separator_;
    std::vector<qsizetype> starts_;
};

} // namespace quarvel
