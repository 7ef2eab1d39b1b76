#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace quarvel {

class PrintTemplate;

// Where a proforma-invoice template wants its 28 values, read from every
// line of its definition text (not only the list section): a line names
// one of the invoice names anywhere before or after its "=", and the cell
// follows the "=" as one column letter and a row. Also how goods
// descriptions are written (descriptionMode).
class InvoiceLayout {
public:
    static constexpr int kCount = 28;
    enum Index {
        Number = 0,
        Weight = 1,
        Size = 2,
        ShipDate = 3,
        PrintDate = 4,
        ReceiverCorp = 5,
        ReceiverPhone = 8,
        ReceiverZip = 9,
        SenderCorp = 13,
        SenderPhone = 16,
        SenderZip = 17,
        Description = 21,
        Quantity = 22,
        UnitPrice = 23,
        Origin = 24,
        Subtotal = 25,
        Total = 26,
        Pieces = 27,
    };
    // 0 translated into Chinese, 1 into the foreign language, 2 as entered.
    enum DescriptionMode { IntoChinese = 0, IntoForeign = 1, AsEntered = 2 };

    struct Cell {
        int row = 0;
        int column = 0;
    };

    static QString Name(int index);
    static QByteArray NameGbk(int index);

    // Reads the layout from the invoice template; a null template changes nothing.
    void Rebuild(const PrintTemplate *invoiceTemplate);
    bool valid() const { return valid_; }
    int descriptionMode() const { return descriptionMode_; }
    // The cell of an index; {0, 0} when not placed or the index is out of range.
    Cell cell(int index) const;
    bool placed(int index) const { return cell(index).row >= 1 && cell(index).column >= 1; }

private:
    void readLine(const QByteArray &line);

    bool valid_ = false;
    int descriptionMode_ = IntoForeign;
    std::array<Cell, kCount> cells_{};
};

} // namespace quarvel
