#pragma once

#include "print/FieldVocabulary.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace quarvel {

class BaseData;
class ServerRecord;
struct PreInputRecord;

// The texts one waybill writes: one per vocabulary index, empty when the
// output writes nothing for it. Built on the user-interface thread from a
// local record or from a server record, so a printing worker gets plain
// values and reads no record file.
class FieldValues {
public:
    const QString &at(int index) const { return values_[std::size_t(index)]; }
    void set(int index, const QString &text) { values_[std::size_t(index)] = text; }
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

private:
    void setAddressLines(int first, const QByteArray &address);
    void setCheckMark(int first, int count, int chosen);
    void setDestination(const QString &name, const BaseData &baseData);

    std::array<QString, FieldVocabulary::kCount> values_;
};

} // namespace quarvel
