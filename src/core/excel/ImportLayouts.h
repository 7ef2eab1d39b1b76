#pragma once

#include "excel/ColumnMap.h"

#include <QString>

#include <optional>

namespace quarvel {

// DATA_SYS/sheetlayouts.json: the column maps operators gave, kept per import
// kind and header layout, so that the next sheet with the same header row
// comes in without being mapped again. Written whole to a new file renamed
// over the old one; the most recently used layouts are kept.
class ImportLayouts {
public:
    static QString fileName() { return QStringLiteral("DATA_SYS/sheetlayouts.json"); }
    static constexpr int kKept = 200;

    explicit ImportLayouts(const QString &path) : path_(path) {}

    // The map kept for the layout; none when it was never mapped (or the file cannot be read).
    std::optional<ColumnMap> find(const QString &kind, const QString &layout) const;
    // Keeps the map for the layout (replacing an earlier one); false with the reason.
    bool Remember(const QString &kind, const QString &layout, const ColumnMap &map, QString *error = nullptr);

private:
    QString path_;
};

} // namespace quarvel
