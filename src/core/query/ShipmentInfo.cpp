#include "query/ShipmentInfo.h"

#include "net/ReplyText.h"
#include "text/ControlText.h"
#include "text/Gbk.h"

namespace quarvel {

namespace {

// Where the value of "\a<TAG>" starts, or -1.
qsizetype valueAt(const QByteArray &reply, const char *tag)
{
    const QByteArray open = QByteArray("\a<") + tag + '>';
    const qsizetype at = reply.indexOf(open);
    return at < 0 ? -1 : at + open.size();
}

int integer(const QByteArray &reply, const char *tag)
{
    const qsizetype at = valueAt(reply, tag);
    return at < 0 ? 0 : ReplyText::integer(reply, at);
}

double decimal(const QByteArray &reply, const char *tag)
{
    const qsizetype at = valueAt(reply, tag);
    return at < 0 ? 0 : ReplyText::decimal(reply, at);
}

// The text up to "</TAG>\a"; empty when either end is missing.
QString text(const QByteArray &reply, const char *tag)
{
    const qsizetype from = valueAt(reply, tag);
    if (from < 0)
        return {};
    const qsizetype end = reply.indexOf(QByteArray("</") + tag + ">\a", from);
    return end < 0 ? QString() : ControlText::Plain(Gbk::toUnicode(reply.mid(from, end - from)));
}

ShipmentInfo::Party party(const QByteArray &reply, char side)
{
    const auto t = [&](const char *suffix) { return text(reply, (QByteArray(1, side) + suffix).constData()); };
    return {t("NAME"),  t("UNIT"), t("ADDR"),    t("POST"),     t("PHONE"),
            t("EMAIL"), t("SMS"),  t("COUNTRY"), t("PROVINCE"), t("CITY")};
}

} // namespace

ShipmentInfo ShipmentInfo::Parse(const QByteArray &reply)
{
    ShipmentInfo s;
    s.recordId = integer(reply, "RID");
    s.invoiceId = integer(reply, "IID");
    s.feeId = integer(reply, "FID");
    s.state = integer(reply, "STATE");
    s.quantity = integer(reply, "QUANTITY");
    s.unitPrice = integer(reply, "GPRICE");
    s.declaredValue = integer(reply, "DVALUE");
    s.insuredValue = integer(reply, "IVALUE");
    s.amount = decimal(reply, "AMOUNT");
    s.baseFreight = decimal(reply, "ABASE");
    s.fuelSurcharge = decimal(reply, "AADDON");
    s.customsFee = decimal(reply, "ACUSTOM");
    s.pickUpFee = decimal(reply, "AGET");
    s.deliveryFee = decimal(reply, "ACARRY");
    s.insurance = decimal(reply, "ASAFE");
    s.packingFee = decimal(reply, "APACK");
    s.otherFees = decimal(reply, "AOTHER");
    s.payDirection = text(reply, "PAYDIR");
    s.date = text(reply, "DATE");
    s.entryTime = text(reply, "SYSDATE");
    s.dispatchTime = text(reply, "SENDDATE");
    s.deliveryTime = text(reply, "ADATE");
    s.kindCode = text(reply, "EMSKIND");
    s.origin = text(reply, "ADDRFROM");
    s.destination = text(reply, "DES");
    s.label = text(reply, "MARK");
    s.waybill = text(reply, "NUM");
    s.department = text(reply, "DEPART");
    s.goods = text(reply, "GOODS");
    s.packaging = text(reply, "PACK");
    s.consignmentNote = text(reply, "TRANSNOTE");
    s.signer = text(reply, "SIGN");
    s.receiver = party(reply, 'R');
    s.sender = party(reply, 'S');
    return s;
}

} // namespace quarvel
