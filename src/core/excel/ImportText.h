#pragma once

#include "app/ScriptedPrompter.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <optional>

namespace quarvel {

// The field check of an import row: the page's check (trimmed, at least
// `min` characters, only characters GBK holds), but a text too long for its
// field names the limit in bytes, the unit the limit is in, with what the
// cell holds. A failed check skips the row; it never ends the import.
class ImportText {
public:
    // The GBK form of the trimmed value; none with the reason in why.
    std::optional<QByteArray> Check(QString &value, int min, int max, const QString &caption, QString &why);
    // The same, then copied into a record field.
    bool Into(QString &value, int min, int max, const QString &caption, char *field, std::size_t width, QString &why);

    static QString TooLongText(const QString &caption, int max, qsizetype bytes);

private:
    ScriptedPrompter page_;
};

} // namespace quarvel
