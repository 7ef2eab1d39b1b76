#pragma once

#include "excel/SheetCell.h"

#include <QString>

#include <optional>

namespace quarvel {

// How an import reads one cell for a field: text fields take what the sheet
// shows, numeric fields take the number with its unit. Whatever cannot be
// read for the field comes back as a problem for the operator (the row is
// skipped, never stored as 0 or as something else than typed).
class SheetValue {
public:
    // How a field reads its cells.
    enum class Type {
        Text,   // names, addresses, remarks: the text as shown
        Digits, // waybill numbers, phones, postcodes, codes: as shown, zeros kept, never in scientific notation
        Count,  // whole numbers of pieces or items
        Weight, // kilograms; grams and pounds converted
        Amount, // money and other amounts with a fraction
    };
    // A unit named by a cell or by a header ("重量(g)").
    enum class Unit { None, Kilogram, Gram, Pound };

    struct Text {
        QString text;
        // Why the cell cannot be taken; empty when it can.
        QString problem;
    };
    struct Number {
        double value = 0;
        // The cell holds nothing (a default applies).
        bool empty = true;
        QString problem;
    };

    // The cell as a text field of the given type shows it; problems name the
    // field by its caption.
    static Text AsText(const SheetCell &cell, Type type, const QString &caption);
    // The cell as a number of the given type, in kilograms for weights;
    // `headerUnit` applies to numbers written without a unit.
    static Number AsNumber(const SheetCell &cell, Type type, const QString &caption, Unit headerUnit = Unit::None);

    // The unit a text names: "kg", "公斤", "g", "克", "lb", ...; None for any other text.
    static Unit UnitNamed(const QString &text);
    // Full-width digits, letters and signs as their ASCII forms (Chinese
    // input methods type "１.５").
    static QString HalfWidth(const QString &text);
    // A text for a message, cut when long so that a 100,000-character cell
    // does not fill the summary.
    static QString Quoted(const QString &text);

    // The largest whole number a sheet keeps exactly: Excel keeps 15 digits.
    static constexpr double kExactDigitsLimit = 1e15;

private:
    static Text digitsOfNumber(const SheetCell &cell, const QString &caption);
    static Text digitsOfText(const QString &text, const QString &caption);
    static Number parseNumber(const QString &text, Type type, const QString &caption, Unit headerUnit);
    static Number numberValue(double value, Type type, const QString &caption, Unit headerUnit);
    static Number checked(double value, Type type, const QString &caption, const QString &text, Unit unit);
};

} // namespace quarvel
