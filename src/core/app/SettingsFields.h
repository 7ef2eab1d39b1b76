#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace quarvel {

class ProgramSettings;

// The program settings by name, for quarvelctl: shown as name=value lines
// and set one name at a time before the settings form confirms them,
// refusing what the dialog's boxes would not take or would quietly change
// (a program number outside 0-9, a text longer than its box).
class SettingsFields {
public:
    enum class Result { Set, UnknownField, BadValue };

    // "program", then the text boxes in the dialog's order.
    static QStringList Names();
    // Sets one value; the reason for the operator when it is refused.
    static Result Set(ProgramSettings &values, const QString &name, const QString &value, QString &reason);
    // Every value as name=value, a line each (line breaks of the address written as \n).
    static QString Show(const ProgramSettings &values);
    static QJsonObject Json(const ProgramSettings &values);
};

} // namespace quarvel
