#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

class ScaleDevice;
class ScaleSettings;

// The scale settings by name, for quarvelctl: shown as name=value lines and
// set one name at a time with the dialog's rules, but refusing what the
// dialog would quietly limit or leave.
class ScaleFields {
public:
    enum class Result { Set, UnknownField, BadValue };

    static QStringList Names();
    // Sets one field; the reason for the operator when it is refused.
    static Result Set(ScaleSettings &settings, ScaleDevice &device, const QString &name, const QString &value,
                      QString &reason);
    // Every field, then the device that would be opened and the settings string.
    static QString Show(const ScaleSettings &settings, const ScaleDevice &device);
};

} // namespace quarvel
