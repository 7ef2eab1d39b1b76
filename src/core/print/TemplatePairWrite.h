#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <optional>

namespace quarvel {

// Replaces a template's definition and spreadsheet as a pair: both are
// written aside first, then put in place together. Should the second file
// fail to go in, the first is put back as it was, so a definition never
// names cells of a spreadsheet it was not written for.
class TemplatePairWrite {
public:
    TemplatePairWrite(const QString &definitionPath, const QString &spreadsheetPath);

    // Both files written aside in full; nothing replaced yet.
    bool Prepare(const QByteArray &definition, const QByteArray &spreadsheet);
    // The spreadsheet, then the definition; false with the old pair kept.
    bool Commit();

private:
    void restoreSpreadsheet();

    QSaveFile definition_;
    QSaveFile spreadsheet_;
    // The spreadsheet as it was before; none when there was no file.
    std::optional<QByteArray> oldSpreadsheet_;
    bool prepared_ = false;
};

} // namespace quarvel
