#pragma once

#include <QString>

namespace quarvel {

// Settings the program keeps in its private office profile, written into the
// profile's user registry before each start of the office.
class OfficeProfileSettings final {
public:
    // The office's glyph cache grows by about 0.1 MB a printed document
    // under its own default cap; at this size its memory levels off after
    // the first hundred documents.
    static constexpr long kGlyphsCacheBytes = 500000;

    // Puts the program's settings into profileFolder/user/registrymodifications.xcu,
    // replacing earlier values of the same settings and keeping every other
    // item. False with the reason when the file cannot be written.
    static bool Apply(const QString &profileFolder, QString &error);

    // The registry text with the settings in place of any earlier ones.
    static QByteArray Merged(const QByteArray &registry);
};

} // namespace quarvel
