#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

// One shipment as the information reply (operation 2) carries it: tagged
// values, each introduced by BEL and its opening tag, texts ended by their
// closing tag and BEL, found wherever they stand. A missing number reads as
// 0, a missing text as empty.
struct ShipmentInfo {
    struct Party {
        QString name;
        QString unit;
        QString address;
        QString postcode;
        QString phone;
        QString email;
        QString sms;
        QString country;
        QString province;
        QString city;
    };

    int recordId = 0;
    int invoiceId = 0; // above 0: invoiced
    int feeId = 0;     // above 0: settled
    int state = 0;
    int quantity = 0;
    // Hundredths.
    int unitPrice = 0;
    int declaredValue = 0;
    int insuredValue = 0;
    double amount = 0;
    double baseFreight = 0;
    double fuelSurcharge = 0;
    double customsFee = 0;
    double pickUpFee = 0;
    double deliveryFee = 0;
    double insurance = 0;
    double packingFee = 0;
    double otherFees = 0;

    QString payDirection;
    QString date;
    QString entryTime;
    QString dispatchTime;
    QString deliveryTime;
    QString kindCode;
    QString origin;
    QString destination;
    QString label;
    QString waybill;
    QString department;
    QString goods;
    QString packaging;
    QString consignmentNote;
    QString signer;
    Party receiver;
    Party sender;

    static ShipmentInfo Parse(const QByteArray &reply);
};

} // namespace quarvel
