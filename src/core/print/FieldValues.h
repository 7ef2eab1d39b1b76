#pragma once

#include "print/FieldVocabulary.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

namespace quarvel {

class BaseData;
class ServerRecord;
struct PreInputRecord;

// The texts one waybill writes: one per vocabulary index, empty when the
// output writes nothing for it, and the cells a template names outside the
// vocabulary (the number as a barcode, the express kind). Built on the
// user-interface thread from a local record or from a server record, so a
// printing worker gets plain values and reads no record file.
class FieldValues {
public:
    // A cell named outside the vocabulary and its text.
    struct Named {
        QString name;
        QString text;
    };

    const QString &at(int index) const { return values_[std::size_t(index)]; }
    void set(int index, const QString &text) { values_[std::size_t(index)] = text; }
    const QList<Named> &named() const { return named_; }
    // The text of a named cell; empty when none.
    QString named(const QString &name) const;
    // The waybill number the values carry (for titles and the print ledger).
    QString number() const;

    // The local column of the vocabulary: a pre-entry record, the session's
    // account and the destination look-up of the base data.
    static FieldValues FromRecord(const PreInputRecord &record, const QString &account, const BaseData &baseData);
    // The server column: a record of operation 7.
    static FieldValues FromServer(const ServerRecord &record, const QString &account, const BaseData &baseData);

    // A text of digits, "+", "-" and "." only gets a leading apostrophe, so the
    // spreadsheet keeps it as text (leading zeros of phones and postcodes stay).
    static QString NumericText(const QString &text);
    // Hundredths as "'%.2f".
    static QString Money(qint64 hundredths);
    // Kilograms as "%.3fkg".
    static QString Weight(double kilograms);
    // "文件", "包裹", "防水袋" (any other value is a bag); "月结", "现付", "到付".
    static QString ItemTypeName(int itemType);
    static QString PayWayName(int payWay);
    // The waybill number for a Code-39 font: between the start and stop
    // asterisks, upper case, with every character Code 39 cannot encode left
    // out; empty when nothing encodable remains.
    static QString Code39(const QString &number);

private:
    void setAddressLines(int first, const QByteArray &address);
    void setCheckMark(int first, int count, int chosen);
    void setDestination(const QString &name, const BaseData &baseData);
    // The barcode of the number, the express kind and the freight, which a
    // courier's waybill shows beside the vocabulary's fields.
    void setWaybillExtras(const QString &expressKind, double freight);

    std::array<QString, FieldVocabulary::kCount> values_;
    QList<Named> named_;
};

} // namespace quarvel
