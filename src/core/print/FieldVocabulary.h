#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

// The 101 print field names that waybill and label templates use in their
// list sections. The index of a name is fixed: outputs keep one value and
// label sheets one position per index. Template names are matched against
// the GBK form byte for byte.
class FieldVocabulary {
public:
    static constexpr int kCount = 101;

    // The indexes the outputs fill by name.
    enum Index {
        Sender = 0,
        SenderCorp = 1,
        SenderAddress = 2,
        SenderPhone = 3,
        SenderCity = 4,
        SenderZip = 5,
        SenderProvince = 6,
        SenderCountry = 7,
        Receiver = 8,
        ReceiverCorp = 9,
        ReceiverAddress = 10,
        ReceiverPhone = 11,
        ReceiverCity = 12,
        ReceiverZip = 13,
        ReceiverProvince = 14,
        ReceiverCountry = 15,
        Weight = 16,
        Date = 17,
        From = 18,
        Destination = 19,
        Goods = 26,
        Pack = 27,
        ConsignNote = 28,
        Declared = 29,
        Insured = 30,
        Pieces = 31,
        CollectFreight = 32,
        CashOnDelivery = 33,
        Account = 34,
        CustomerFee = 41,
        Number = 42,
        Mark = 45,
        ReceiverLine1 = 46,
        SenderLine1 = 49,
        ItemType = 52,
        DocumentMark = 53,
        ParcelMark = 54,
        BagMark = 55,
        Department = 59,
        SenderMail = 60,
        ReceiverMail = 61,
        ReceiverSms = 62,
        PayDirection = 78,
        Weighed = 79,
        MonthlyMark = 80,
        CashMark = 81,
        CollectMark = 82,
        DestinationCode = 98,
        DestinationEnglish = 99,
        SenderSms = 100,
    };

    static QString Name(int index);
    static QByteArray NameGbk(int index);
    // The index of a name, -1 when it is not in the vocabulary.
    static int IndexOf(const QString &name);

    // Cells that waybill and label templates name outside the vocabulary:
    // the waybill number for a Code-39 font, and the express kind.
    static QString BarcodeName() { return QStringLiteral("内单号39码"); }
    static QString ExpressKindName() { return QStringLiteral("网络渠道"); }
};

} // namespace quarvel
