#pragma once

#include <QList>
#include <QString>

namespace quarvel {

// One cell of a worksheet as an import reads it: what the cell holds, not how
// the spreadsheet happens to show it, so that a phone number stored as a
// number comes in as its digits and a text keeps its leading zeros.
struct SheetCell {
    enum class Kind : unsigned char { Empty, Text, Number, Date, Time, DateTime, Boolean, Error };

    Kind kind = Kind::Empty;
    // Number and Boolean (0 or 1); Date, Time and DateTime as days since
    // 1899-12-30 with the time of day as the fraction.
    double number = 0;
    // Text; for Error the text the spreadsheet shows ("#DIV/0!", "Err:502").
    QString text;
    // Numbers, dates, times and truth values: the text the sheet shows, its
    // number format applied ("01086493748" for a zero-padded phone); empty
    // where the engine cannot tell.
    QString shown;

    // The text an import takes from the cell: numbers as plain digits (no
    // ".0", no exponent), dates as the pre-entry page writes them
    // ("2024.03.05"), times "14:30:00", truth values "TRUE"/"FALSE". An
    // error cell gives its shown text; importers refuse it before.
    QString importText() const;

    static QString NumberText(double value);
    static SheetCell Text(const QString &text) { return {Kind::Text, 0, text, QString()}; }
    static SheetCell Number(double value) { return {Kind::Number, value, QString(), QString()}; }
};

// A rectangle of cells, row by row.
using SheetBlock = QList<QList<SheetCell>>;

} // namespace quarvel
